#pragma once

// A real HTTP or HTTPS server on 127.0.0.1 for tests, on its own thread, at a
// port the system chooses. Register handlers through http() before start().

#include "support/TestCertificates.h"

#include <httplib.h>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// A body that serveBody() answers with, in pieces of 16 KiB. Every member has
// its default, so that a test names only those it needs.
struct ServedBody {
    std::string bytes{};
    std::string etag{};             // sent as ETag when not empty
    std::string lastModified{};     // sent as Last-Modified when not empty
    std::string date{};             // sent as Date when not empty
    bool partialValidators = true;  // false: a 206 comes without ETag and Last-Modified
    int status = 200;               // any other status: that answer, without a body
    bool ranges = true;             // Range requests are served when If-Range is absent or matches
    bool rangeFromStart = false;    // a Range request gets a 206 of the whole body from byte 0
    std::size_t cutAfter = 0;       // each answer closes its connection after this many bytes (0: never)
    std::chrono::milliseconds pieceDelay{0};
    bool honoursIfRange = true;  // false: ranges are served whatever If-Range says
};

// A host name that no resolver finds and that none asks a name server for:
// it is longer than DNS allows, so the lookup fails on this machine. Requests
// for it reach a test server only through a proxy.
QString unresolvableHost();

class LoopbackServer {
public:
    LoopbackServer();
    // HTTPS with the certificate and key of these files.
    explicit LoopbackServer(const CertificateFiles& tls);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& http() { return *server; }
    // A forwarding proxy: every GET for an absolute address, whatever its
    // host, is answered by origin with the address's path. requests() then
    // lists the absolute addresses.
    void forwardTo(const LoopbackServer& origin);
    // Listens at port, or at one the system chooses when port is 0.
    void start(int port = 0);
    void stop();

    int port() const { return boundPort; }
    // "http://127.0.0.1:<port>" (https for a TLS server) followed by path.
    QString url(const QString& path = QStringLiteral("/")) const;

    // The paths of the requests answered so far, in order.
    QStringList requests() const;
    int count(const QString& path) const;

    // Answers GET path with content of that type, whole; registered before start().
    void serveText(const std::string& path, std::string content, const std::string& type = "text/html; charset=utf-8");
    // Answers GET path with body. The first call for a path comes before
    // start(); a later one replaces what the path serves from then on.
    void serveBody(const std::string& path, ServedBody body);
    // The bytes of bodies sent by serveBody() so far.
    std::size_t bodyBytesSent() const { return bodySent; }
    // The Range and If-Range headers of the requests for bodies, in order
    // ("" for none, "bytes=10-|\"a\"" for both).
    QStringList rangeRequests() const;

private:
    std::shared_ptr<const ServedBody> servedAt(const std::string& path) const;

    void logRequests();

    std::unique_ptr<httplib::Server> server;
    bool tls = false;
    std::thread thread;
    int boundPort = 0;
    mutable std::mutex mutex;
    QStringList log;
    std::map<std::string, std::shared_ptr<const ServedBody>> bodies;
    QStringList ranges;
    std::atomic<std::size_t> bodySent{0};
};
