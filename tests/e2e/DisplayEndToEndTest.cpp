// The display the program finds at its start: none at all, one that is named
// but never comes, one that comes while the program waits for it.

#include "ProgramRun.h"

#include "settings/AnsiText.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

const QString kDownloadsOnly =
    QStringLiteral("Ohne Bildschirm laufen nur die Downloads mit den Schlüsselwörtern 1 bis 4.\n");
const QString kRefused = QStringLiteral("Download 1: Verbindung abgelehnt");  // the download ran
// An X display that no server uses: -displayfd counts up from 0.
const QString kUnused = QStringLiteral(":%1").arg(60000 + QCoreApplication::applicationPid() % 5000);

struct Start {
    QStringList arguments;
    QString display;  // none, an X display ":<n>" or a Wayland socket
    int waitMs;       // the tests' wait for it, the least the run lasts; 0: the shipped one
    int status;
    QString errorLine;
    int toMs;  // the most the run lasts
};

// Each start with no platform chosen; its download 1 is refused.
void expectEnds(const QList<Start>& starts)
{
    for (const Start& start : starts) {
        SCOPED_TRACE(start.arguments.join(QLatin1Char(' ')).toStdString() + " " + start.display.toStdString());
        ProgramRun run;
        TEinstellRecord record = defaultRecord();
        record.HomePage.length = 0;
        record.DownloadAttempts = 1;
        stringToText(record.Download1Url, QStringLiteral("http://127.0.0.1:9/datei"));
        run.writeSettings(record);
        run.setEnv(QStringLiteral("QT_QPA_PLATFORM"), {});
        if (!start.display.isEmpty())
            run.setEnv(QLatin1String(start.display.startsWith(QLatin1Char(':')) ? "DISPLAY" : "WAYLAND_DISPLAY"),
                       start.display);
        if (start.waitMs > 0)
            run.shortenDisplayWait(start.waitMs);
        QElapsedTimer timer;
        timer.start();
        run.start(start.arguments);
        ASSERT_TRUE(run.waitForExit(start.toMs));
        EXPECT_GE(timer.elapsed(), start.waitMs);
        EXPECT_EQ(run.exitCode(), start.status);
        EXPECT_TRUE(run.standardError().contains(start.errorLine));
    }
}

}  // namespace

// A window nobody could see ends the run at once, one whose display does not
// come after the wait; the downloads need none and go offscreen at once.
TEST(Display, WithoutOneOnlyTheDownloadsRun)
{
    const QString none = QStringLiteral("Fehler: Kein Bildschirm da (weder DISPLAY noch WAYLAND_DISPLAY gesetzt). ");
    const QString wayland = QStringLiteral("/tmp/kavelo-wayland-nirgends");
    const QString gone = QStringLiteral("Fehler: Der Bildschirm %1 ist auch nach 3 Sekunden nicht erreichbar. ");
    const QString waylandGone = gone.arg(wayland + QLatin1String(" (Wayland)")) + kDownloadsOnly;
    expectEnds({{{}, {}, 0, 2, none + kDownloadsOnly, 3000},
                {{QStringLiteral("etwas")}, {}, 0, 2, none + kDownloadsOnly, 3000},
                {{QStringLiteral("0")}, {}, 0, 2, none + kDownloadsOnly, 3000},
                {{QStringLiteral("autostop")}, {}, 0, 2, none + kDownloadsOnly, 3000},
                {{QStringLiteral("1")}, {}, 0, 1, kRefused, 30000},
                {{}, kUnused, 3000, 2, gone.arg(kUnused + QStringLiteral(" (X11)")) + kDownloadsOnly, 15000},
                {{QStringLiteral("0")}, wayland, 3000, 2, waylandGone, 15000},
                {{QStringLiteral("1")}, kUnused, 0, 1, kRefused, 25000}});  // the shipped wait is 30 s
}

// The program says that it waits, and shows its window once the display has come.
TEST(Display, OneThatComesDuringTheWaitIsUsed)
{
    ProgramRun run;
    run.setEnv(QStringLiteral("DISPLAY"), kUnused);
    run.shortenDisplayWait(30000);
    run.start();
    run.proc().setReadChannel(QProcess::StandardError);
    QString said;
    while (!said.contains(QStringLiteral("wartet auf den Bildschirm ") + kUnused) && run.proc().waitForReadyRead(10000))
        said += run.standardError();
    ASSERT_TRUE(said.contains(QStringLiteral("höchstens 30 Sekunden"))) << said.toStdString();

    QProcess server;
    // No reset when the last client leaves: xdotool's look would cut the program's connection short.
    server.start(QStringLiteral("Xvfb"),
                 {kUnused, QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted())
        GTEST_SKIP() << "needs Xvfb";
    QProcess windows;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), kUnused);
    windows.setProcessEnvironment(environment);
    const bool shown = waitUntil(
        [&] {
            windows.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                      QStringLiteral("--pid"), QString::number(run.proc().processId()),
                                                      QStringLiteral("--name"), QStringLiteral("Kavelo")});
            return windows.waitForFinished(10000) && windows.exitCode() == 0;
        },
        30000);
    EXPECT_TRUE(shown) << run.standardError().toStdString();
    EXPECT_EQ(run.proc().state(), QProcess::Running) << run.exitCode();
    server.terminate();
    server.waitForFinished();
}
