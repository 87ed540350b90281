#include "ProgramRun.h"

#include "settings/Defaults.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

TEinstellRecord defaultRecord()
{
    TEinstellRecord record{};
    SetDefaults(record);
    return record;
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

ProgramRun::ProgramRun()
{
    environment = QProcessEnvironment::systemEnvironment();
    // The network of a run is what its test sets: no proxy, the system's certificates.
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR", "http_proxy", "HTTP_PROXY", "https_proxy",
          "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY", "SSL_CERT_FILE", "SSL_CERT_DIR"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), homeDir.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), homeDir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), homeDir.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), homeDir.filePath(QStringLiteral("cache")));
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
}

ProgramRun::~ProgramRun()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

void ProgramRun::writeSettings(const TEinstellRecord& record) const
{
    QFile file(programDir.filePath(QStringLiteral("Einstell.DAT")));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(&record), sizeof record) != sizeof record)
        qFatal("cannot write the settings file");
}

QByteArray ProgramRun::readSettings() const
{
    QFile file(programDir.filePath(QStringLiteral("Einstell.DAT")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ProgramRun::setEnv(const QString& name, const QString& value)
{
    environment.insert(name, value);
}

void ProgramRun::shortenMinutes(int minuteMs)
{
    executable = QStringLiteral(KAVELO_SEAMS_EXECUTABLE);
    setEnv(QStringLiteral("KAVELO_E2E_MINUTE_MS"), QString::number(minuteMs));
}

void ProgramRun::start(const QStringList& arguments)
{
    const QString copy = programDir.filePath(QFileInfo(executable).fileName());
    if (!QFile::exists(copy) && !QFile::copy(executable, copy))
        qFatal("cannot copy the program");
    process.setProgram(copy);
    process.setProcessEnvironment(environment);
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(10000))
        qFatal("the program does not start");
}

bool ProgramRun::waitForExit(int milliseconds)
{
    return process.waitForFinished(milliseconds);
}

VirtualDisplay::VirtualDisplay()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return;
    // Xvfb picks a free display number and writes it to its standard output once it is ready.
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted(10000))
        return;
    QByteArray number;
    while (!number.endsWith('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    if (!number.trimmed().isEmpty())
        display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

VirtualDisplay::~VirtualDisplay()
{
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        if (!server.waitForFinished(5000))
            server.kill();
    }
}

QString VirtualDisplay::xdotool(const QStringList& arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QStringList VirtualDisplay::windows(qint64 pid) const
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                    QString::number(pid), QStringLiteral("--name"), QStringLiteral(".")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString VirtualDisplay::title(const QString& window) const
{
    return xdotool({QStringLiteral("getwindowname"), window});
}

QString VirtualDisplay::waitForWindow(qint64 pid, const QString& titleStart, int milliseconds) const
{
    const QDeadlineTimer deadline(milliseconds);
    do {
        for (const QString& window : windows(pid)) {
            if (title(window).startsWith(titleStart))
                return window;
        }
        QThread::msleep(200);
    } while (!deadline.hasExpired());
    return {};
}

void VirtualDisplay::click(const QString& window, int x, int y, int button) const
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x), QString::number(y),
             QStringLiteral("click"), QString::number(button)});
}
