// The smallest program that shows a web page the way Kavelo does: one
// top-level QWebEngineView of 790x570 that loads the address given on its
// command line, on the engine's default profile (in memory, as Kavelo's), with the web
// engine's switches set by Kavelo's own prepareEnvironment() (compiled in from
// platform/). Start-up figures of the two then compare the program's own cost
// with that of the engine.
//
// Usage: BareView URL [--profile=NAME]
//   --profile=NAME  a profile on disk of that name; without it (or with an
//                   empty NAME) the engine's default profile, which keeps nothing on disk.

#include "platform/process/ProgramEnvironment.h"

#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char* argv[])
{
    prepareEnvironment();
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
