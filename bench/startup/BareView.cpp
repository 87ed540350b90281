// The smallest program that shows a web page: one top-level QWebEngineView of
// 790x570 that loads the address given on its command line. It gets the same
// environment treatment as Kavelo's prepareEnvironment(), so that start-up
// figures of the two compare the web engine's cost with the program's own.
//
// Usage: BareView URL [--profile=NAME]
//   --profile=NAME  use a named profile on disk (as Kavelo does) instead of
//                   the engine's default profile.

#include <QApplication>
#include <QByteArray>
#include <QFileInfo>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

void prepareBareEnvironment()
{
#ifdef Q_OS_LINUX
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!QFileInfo::exists(QStringLiteral("/dev/dri"))) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.isEmpty())
            flags += ' ';
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + "--disable-gpu");
    }
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace

int main(int argc, char* argv[])
{
    prepareBareEnvironment();
    QApplication app(argc, argv);

    QString address;
    QString profileName;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--profile=")))
            profileName = argument.mid(10);
        else
            address = argument;
    }
    if (address.isEmpty()) {
        std::fputs("usage: BareView URL [--profile=NAME]\n", stderr);
        return 2;
    }

    QWebEngineView view;
    if (!profileName.isEmpty()) {
        auto* profile = new QWebEngineProfile(profileName, &app);
        view.setPage(new QWebEnginePage(profile, &view));
    }
    view.resize(790, 570);
    view.load(QUrl::fromUserInput(address));
    view.show();
    return QApplication::exec();
}
