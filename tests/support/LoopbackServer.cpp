#include "support/LoopbackServer.h"

#include <QUrl>
#include <QtGlobal>
#include <algorithm>
#include <chrono>

QString unresolvableHost()
{
    return QStringList(4, QString(60, QLatin1Char('x'))).join(QLatin1Char('.')) + QStringLiteral(".kavelo.test");
}

LoopbackServer::LoopbackServer()
    : server(std::make_unique<httplib::Server>())
{
    logRequests();
}

LoopbackServer::LoopbackServer(const CertificateFiles& files)
    : server(std::make_unique<httplib::SSLServer>(files.certificate.toLocal8Bit().constData(),
                                                  files.key.toLocal8Bit().constData()))
    , tls(true)
{
    if (!server->is_valid())
        qFatal("the loopback server cannot read its certificate");
    logRequests();
}

void LoopbackServer::logRequests()
{
    server->set_logger([this](const httplib::Request& request, const httplib::Response&) {
        const std::lock_guard lock(mutex);
        log.append(QString::fromStdString(request.path));
    });
}

void LoopbackServer::forwardTo(const LoopbackServer& origin)
{
    const int originPort = origin.port();
    // Each request is listed when it comes, before the client has its answer.
    server->set_logger([](const httplib::Request&, const httplib::Response&) {});
    server->Get(".*", [this, originPort](const httplib::Request& request, httplib::Response& response) {
        {
            const std::lock_guard lock(mutex);
            log.append(QString::fromStdString(request.path));
        }
        const QUrl address(QString::fromStdString(request.path));
        if (!address.isValid() || address.host().isEmpty()) {
            response.status = 400;  // not a proxy request
            return;
        }
        httplib::Client client("127.0.0.1", originPort);
        const httplib::Result answer = client.Get(address.path(QUrl::FullyEncoded).toStdString());
        if (!answer) {
            response.status = 502;
            return;
        }
        response.status = answer->status;
        response.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
    });
}

LoopbackServer::~LoopbackServer()
{
    stop();
}

void LoopbackServer::start(int port)
{
    if (port == 0)
        boundPort = server->bind_to_any_port("127.0.0.1");
    else
        boundPort = server->bind_to_port("127.0.0.1", port) ? port : -1;
    if (boundPort <= 0)
        qFatal("the loopback server cannot bind");
    thread = std::thread([this] { server->listen_after_bind(); });
    // stop() does nothing until the accept loop runs.
    while (!server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::stop()
{
    if (!thread.joinable())
        return;
    server->stop();
    thread.join();
}

QString LoopbackServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(boundPort)
        .arg(path);
}

QStringList LoopbackServer::requests() const
{
    const std::lock_guard lock(mutex);
    return log;
}

int LoopbackServer::count(const QString& path) const
{
    const std::lock_guard lock(mutex);
    return static_cast<int>(log.count(path));
}

std::shared_ptr<const ServedBody> LoopbackServer::servedAt(const std::string& path) const
{
    const std::lock_guard lock(mutex);
    return bodies.at(path);
}

QStringList LoopbackServer::rangeRequests() const
{
    const std::lock_guard lock(mutex);
    return ranges;
}

void LoopbackServer::serveText(const std::string& path, std::string content, const std::string& type)
{
    server->Get(path, [content = std::move(content), type](const httplib::Request&, httplib::Response& response) {
        response.set_content(content, type);
    });
}

void LoopbackServer::serveBody(const std::string& path, ServedBody served)
{
    {
        const std::lock_guard lock(mutex);
        const bool known = bodies.contains(path);
        bodies[path] = std::make_shared<const ServedBody>(std::move(served));
        if (known)
            return;
    }
    server->Get(path, [this, path](const httplib::Request& request, httplib::Response& response) {
        const std::shared_ptr<const ServedBody> body = servedAt(path);
        const std::string range = request.get_header_value("Range");
        const std::string ifRange = request.get_header_value("If-Range");
        {
            const std::lock_guard lock(mutex);
            ranges.append(QString::fromStdString(ifRange.empty() ? range : range + "|" + ifRange));
        }
        if (!body->date.empty())
            response.set_header("Date", body->date);
        if (body->status != 200) {
            response.status = body->status;
            return;
        }
        // httplib answers the ranges of the request, whatever the status: change them.
        auto& asked = const_cast<httplib::Request&>(request).ranges;
        const bool matches =
            ifRange.empty() || ifRange == body->etag || ifRange == body->lastModified || !body->honoursIfRange;
        if (!body->ranges || !matches)
            asked.clear();
        else if (body->rangeFromStart && !asked.empty())
            asked = {{0, -1}};
        if (asked.empty() || body->partialValidators) {
            if (!body->etag.empty())
                response.set_header("ETag", body->etag);
            if (!body->lastModified.empty())
                response.set_header("Last-Modified", body->lastModified);
        }
        auto sentHere = std::make_shared<std::size_t>(0);
        response.set_content_provider(
            body->bytes.size(), "application/octet-stream",
            [this, body, sentHere](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                constexpr std::size_t kPiece = 16 * 1024;
                if (body->cutAfter != 0 && *sentHere >= body->cutAfter)
                    return false;  // closes the connection in the middle of the body
                std::this_thread::sleep_for(body->pieceDelay);
                std::size_t size = std::min(length, kPiece);
                if (body->cutAfter != 0)
                    size = std::min(size, body->cutAfter - *sentHere);
                // Counted before the client can have the bytes and end its transfer.
                bodySent += size;
                if (!sink.write(body->bytes.data() + offset, size)) {
                    bodySent -= size;
                    return false;
                }
                *sentHere += size;
                return true;
            });
    });
}
