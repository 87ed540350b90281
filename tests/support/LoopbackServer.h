#pragma once

// A real HTTP server on 127.0.0.1 for tests, on its own thread, at a port the
// system chooses. Register handlers through http() before start().

#include <httplib.h>
#include <QString>
#include <QStringList>
#include <mutex>
#include <thread>

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& http() { return server; }
    // Listens at port, or at one the system chooses when port is 0.
    void start(int port = 0);
    void stop();

    int port() const { return boundPort; }
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString& path = QStringLiteral("/")) const;

    // The paths of the requests answered so far, in order.
    QStringList requests() const;
    int count(const QString& path) const;

private:
    httplib::Server server;
    std::thread thread;
    int boundPort = 0;
    mutable std::mutex mutex;
    QStringList log;
};
