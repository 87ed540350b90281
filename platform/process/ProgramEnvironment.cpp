#include "platform/process/ProgramEnvironment.h"

#include "platform/network/NetworkProxy.h"
#include "platform/process/DisplayProbe.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkProxyFactory>
#include <QProcessEnvironment>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include <pwd.h>
#include <unistd.h>

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString settleDisplay(bool needsWindow, std::chrono::milliseconds wait)
{
    const QString downloadsOnly =
        QStringLiteral("Ohne Bildschirm laufen nur die Downloads mit den Schlüsselwörtern 1 bis 4.");
    if (!hasDisplay()) {
        if (!needsWindow || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            return {};
        return QStringLiteral("Kein Bildschirm da (weder DISPLAY noch WAYLAND_DISPLAY gesetzt). ") + downloadsOnly;
    }
    const QList<DisplayServer> servers = displayServersQtWouldTry();
    if (servers.isEmpty())
        return {};
    if (!needsWindow) {
        // The downloads need no window: rather than wait, they run offscreen,
        // and their messages become lines on standard error.
        if (probeDisplays(servers) == DisplayState::Closed) {
            qunsetenv("DISPLAY");
            qunsetenv("WAYLAND_DISPLAY");
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return {};
    }
    const qint64 seconds = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
    // The journal of a kiosk started before its display server tells why nothing shows yet.
    const auto probeTelling = [&servers, seconds, told = false]() mutable {
        const DisplayState state = probeDisplays(servers);
        if (state == DisplayState::Closed && !std::exchange(told, true)) {
            const QString line = QStringLiteral("Kavelo: wartet auf den Bildschirm %1, höchstens %2 Sekunden.\n")
                                     .arg(displayNames(servers))
                                     .arg(seconds);
            std::fputs(line.toLocal8Bit().constData(), stderr);
        }
        return state;
    };
    if (waitForDisplay(probeTelling, wait) == DisplayState::Closed)
        return QStringLiteral("Der Bildschirm %1 ist auch nach %2 Sekunden nicht erreichbar. ")
                   .arg(displayNames(servers))
                   .arg(seconds)
               + downloadsOnly;
    return {};
}

namespace {

// Drops the engine's switches that begin with one of prefixes.
void removeChromiumFlags(std::initializer_list<const char*> prefixes)
{
    QByteArrayList kept;
    for (const QByteArray& flag : qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ')) {
        const bool dropped = std::any_of(prefixes.begin(), prefixes.end(),
                                         [&flag](const char* prefix) { return flag.startsWith(prefix); });
        if (!flag.isEmpty() && !dropped)
            kept.append(flag);
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", kept.join(' '));
}

// The last of a repeated flag counts.
void appendChromiumFlag(const QByteArray& flag)
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

QtMessageHandler shownMessages = nullptr;

// What the web engine says as it starts although nothing is to be done: that
// it has no OpenGL (offscreen, where it draws in software as meant) and that
// its sandbox is off (as root, which the program says itself in German); and
// Qt's notice that a job started by cron has no XDG_RUNTIME_DIR, whose
// default serves as well.
void dropEngineNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    static const QStringList notices = {QStringLiteral("No suitable graphics backend found"),
                                        QStringLiteral("Sandboxing disabled by user.")};
    if (!notices.contains(message.trimmed())
        && !message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set")))
        shownMessages(type, context, message);
}

}  // namespace

void prepareEnvironment(bool verbose, bool showsPages)
{
    // A job started without HOME (a system service) still has a home: the
    // runner's own, as a login gives it. Qt would take the root folder and
    // put the program's per-user folders there.
    if (qEnvironmentVariableIsEmpty("HOME")) {
        if (const passwd* runner = ::getpwuid(::geteuid()); runner && runner->pw_dir && *runner->pw_dir)
            qputenv("HOME", runner->pw_dir);
    }
    // The engine's developer tools must not be reachable from a locked-down
    // browser, not even over a debugging port set up in the environment; and
    // the run's one proxy takes the place of any proxy switches given before.
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    removeChromiumFlags({"--remote-debugging", "--auto-open-devtools", "--proxy-", "--no-proxy-server"});
    // The engine's own texts (error pages, form messages) are German whatever
    // the system's language; the program's numbers keep the system's locale.
    appendChromiumFlag("--lang=de");
    // A kiosk restarts often, and its journal would get the engine's report of
    // its set-up (some 25 lines) and Chromium's warnings at every start, and
    // the warnings pages write to their console ("js") all day.
    if (!verbose && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext=false\njs=false"));
        if (!shownMessages)
            shownMessages = qInstallMessageHandler(dropEngineNotices);
        if (!qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--log-level="))
            appendChromiumFlag("--log-level=3");  // fatal errors only
    }

    // The proxy is worked out once, for libcurl, and the engine gets the same
    // answer as its switches. The engine reads them only while Qt follows the
    // system's configuration; otherwise it would take Qt's application proxy.
    setProgramProxy(NetworkProxy::workedOut(QProcessEnvironment::systemEnvironment()));
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    for (const QByteArray& flag : programProxy().engineFlags())
        appendChromiumFlag(flag);
    // Without any display (a scheduled job on a server) the downloads run on
    // the offscreen platform; a window run has ended in settleDisplay().
    if (!hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium refuses to start as root with its sandbox on. A job's page is
    // seen by nobody, and its cron mails nothing but its failures.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (showsPages)
            std::fputs(
                "Warnung: Kavelo läuft als root. Die Web-Seiten laufen dann ohne die Sandbox der Web-Engine; "
                "starten Sie das Programm besser als gewöhnlicher Benutzer.\n",
                stderr);
    }
    // Without a GPU device (/dev/dri: a server, a container, Xvfb) Chromium would
    // run its GPU path on Mesa's software GL; --disable-gpu makes it composite in
    // software right away, which renders the same pages at less cost and without
    // the GL driver's quirks. The offscreen platform sets this flag by itself.
    // The window then draws the page's pictures with the raster engine as well:
    // Qt Quick on Mesa's GL would compile its shaders at start, a few hundred
    // milliseconds of processor time before the first page shows.
    if (!QFileInfo::exists(QStringLiteral("/dev/dri"))) {
        appendChromiumFlag("--disable-gpu");
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            qputenv("QT_QUICK_BACKEND", "software");
    }
    // The web engine shares its OpenGL context with the windows' one.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
