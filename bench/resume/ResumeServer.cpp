// Serves one file on 127.0.0.1 with an ETag and byte ranges (If-Range
// honoured), and breaks every connection off after a fixed number of body
// bytes. GET /sent answers the body bytes sent so far.
// Usage: resume_server <file> <bytes per connection>; prints its port.

#include <httplib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file> <bytes per connection>\n", argv[0]);
        return 2;
    }
    const int fd = open(argv[1], O_RDONLY);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::size_t perConnection = std::stoull(argv[2]);
    char etag[64];
    std::snprintf(etag, sizeof etag, "\"%lld-%zu\"", static_cast<long long>(info.st_mtime), size);
    std::atomic<std::size_t> sent{0};

    httplib::Server server;
    server.Get("/sent", [&sent](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::to_string(sent.load()), "text/plain");
    });
    server.Get("/file", [&](const httplib::Request& request, httplib::Response& response) {
        response.set_header("ETag", etag);
        response.set_header("Accept-Ranges", "bytes");
        const std::string ifRange = request.get_header_value("If-Range");
        if (!ifRange.empty() && ifRange != etag)
            const_cast<httplib::Request&>(request).ranges.clear();  // httplib would serve the range regardless
        auto sentHere = std::make_shared<std::size_t>(0);
        response.set_content_provider(
            size, "application/octet-stream",
            [&, sentHere](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (*sentHere >= perConnection)
                    return false;  // the connection breaks off
                std::vector<char> piece(std::min({length, std::size_t{256 * 1024}, perConnection - *sentHere}));
                const ssize_t got = pread(fd, piece.data(), piece.size(), static_cast<off_t>(offset));
                if (got <= 0 || !sink.write(piece.data(), static_cast<std::size_t>(got)))
                    return false;
                *sentHere += static_cast<std::size_t>(got);
                sent += static_cast<std::size_t>(got);
                return true;
            });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::printf("%d\n", port);
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}
