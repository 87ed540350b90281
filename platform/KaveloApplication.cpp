#include "platform/KaveloApplication.h"

#include "platform/Messages.h"
#include "platform/NetworkProxy.h"

#include <QByteArray>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QProcessEnvironment>
#include <exception>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

KaveloApplication::KaveloApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

// Errors thrown by the program carry their German text as UTF-8.
bool KaveloApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    showingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

bool hasDisplay()
{
#ifdef Q_OS_LINUX
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

namespace {

// The last of a repeated flag counts.
void appendChromiumFlag(const QByteArray& flag)
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

// Works out the run's proxy once, for libcurl, and hands the same answer to the
// engine as its switches, in place of any proxy switches given before.
void useOneProxy()
{
    setProgramProxy(NetworkProxy::workedOut(QProcessEnvironment::systemEnvironment()));
    // The engine reads its proxy switches only while Qt follows the system's
    // configuration; otherwise it would take Qt's application proxy.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    QByteArrayList kept;
    for (const QByteArray& flag : qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ')) {
        if (!flag.isEmpty() && !flag.startsWith("--proxy-") && !flag.startsWith("--no-proxy-server"))
            kept.append(flag);
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", kept.join(' '));
    for (const QByteArray& flag : programProxy().engineFlags())
        appendChromiumFlag(flag);
}

}  // namespace

// The engine's developer tools must not be reachable from a locked-down
// browser, not even over a debugging port set up in the environment.
static void closeRemoteDebugging()
{
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    const QList<QByteArray> flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ');
    QList<QByteArray> kept;
    for (const QByteArray& flag : flags) {
        if (!flag.isEmpty() && !flag.startsWith("--remote-debugging") && !flag.startsWith("--auto-open-devtools"))
            kept.append(flag);
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", kept.join(' '));
}

void prepareEnvironment()
{
    closeRemoteDebugging();
    // The engine's own texts (error pages, form messages) are German whatever
    // the system's language; the program's numbers keep the system's locale.
    appendChromiumFlag("--lang=de");
    useOneProxy();
#ifdef Q_OS_LINUX
    // Without any display (a scheduled job on a server) run on the offscreen platform.
    if (!hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium refuses to start as root with its sandbox on.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
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
#endif
    // The web engine shares its OpenGL context with the windows' one.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
