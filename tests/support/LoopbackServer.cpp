#include "support/LoopbackServer.h"

#include <QtGlobal>
#include <chrono>

LoopbackServer::LoopbackServer()
{
    server.set_logger([this](const httplib::Request& request, const httplib::Response&) {
        const std::lock_guard lock(mutex);
        log.append(QString::fromStdString(request.path));
    });
}

LoopbackServer::~LoopbackServer()
{
    stop();
}

void LoopbackServer::start(int port)
{
    if (port == 0)
        boundPort = server.bind_to_any_port("127.0.0.1");
    else
        boundPort = server.bind_to_port("127.0.0.1", port) ? port : -1;
    if (boundPort <= 0)
        qFatal("the loopback server cannot bind");
    thread = std::thread([this] { server.listen_after_bind(); });
    // stop() does nothing until the accept loop runs.
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::stop()
{
    if (!thread.joinable())
        return;
    server.stop();
    thread.join();
}

QString LoopbackServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(boundPort).arg(path);
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
