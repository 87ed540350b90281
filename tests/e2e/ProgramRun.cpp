#include "ProgramRun.h"

#include "settings/Defaults.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    QFile file(settingsPath());
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(&record), sizeof record) != sizeof record)
        qFatal("cannot write the settings file");
}

QByteArray ProgramRun::readSettings() const
{
    QFile file(settingsPath());
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
    // A test that wants no platform chosen sets QT_QPA_PLATFORM empty.
    if (!environment.contains(QStringLiteral("DISPLAY")) && !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(10000))
        qFatal("the program does not start");
}

void ProgramRun::shortenDisplayWait(int milliseconds)
{
    executable = QStringLiteral(KAVELO_SEAMS_EXECUTABLE);
    setEnv(QStringLiteral("KAVELO_E2E_DISPLAY_WAIT_MS"), QString::number(milliseconds));
}

bool ProgramRun::waitForExit(int milliseconds)
{
    return process.waitForFinished(milliseconds);
}
