#include "XSession.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

namespace {

void endProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

}  // namespace

XSession::XSession(QSize screen, Manager manager)
{
    // The server picks a free display and writes its number to the given descriptor.
    // No reset when its last client leaves: a tool's look would cut short the next connection.
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), QStringLiteral("-noreset"),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QString number;
    const QDeadlineTimer deadline(15000);
    while (!number.endsWith(QLatin1Char('\n')) && !deadline.hasExpired() && server.waitForReadyRead(1000))
        number += QString::fromLatin1(server.readAllStandardOutput());
    if (number.trimmed().isEmpty())
        return;
    if (manager == Manager::None) {
        name = QLatin1Char(':') + number.trimmed();
        return;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + number.trimmed());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    windowManager.setProcessEnvironment(environment);
    windowManager.setProcessChannelMode(QProcess::MergedChannels);
    windowManager.start(QStringLiteral("openbox"), {});
    if (!windowManager.waitForStarted(10000))
        return;
    name = QLatin1Char(':') + number.trimmed();
    // The window manager has taken over once it names itself on the root window.
    while (!tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QLatin1String("window id"))) {
        if (deadline.hasExpired()) {
            name.clear();
            return;
        }
        QThread::msleep(100);
    }
}

XSession::~XSession()
{
    endProcess(windowManager);
    endProcess(server);
}

QString XSession::tool(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), name);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList XSession::windowsTitled(const QString& title) const
{
    return tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                            QLatin1Char('^') + QRegularExpression::escape(title)})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString XSession::xdotool(const QStringList& arguments) const
{
    return tool(QStringLiteral("xdotool"), arguments).trimmed();
}

QStringList XSession::windows(qint64 pid) const
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(pid), QStringLiteral("--name"), QStringLiteral(".")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString XSession::waitForWindow(qint64 pid, const QString& titleStart, int milliseconds) const
{
    const QDeadlineTimer deadline(milliseconds);
    do {
        for (const QString& window : windows(pid)) {
            if (xdotool({QStringLiteral("getwindowname"), window}).startsWith(titleStart))
                return window;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

void XSession::click(const QString& window, int x, int y, int button) const
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x), QString::number(y),
             QStringLiteral("click"), QString::number(button)});
}
