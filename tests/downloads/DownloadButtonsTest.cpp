// The download buttons in the real main window against a loopback server:
// the messages and when they are left out, and the automatic download.

#include "dialogs/InfoDialog.h"
#include "mainwindow/MB_main.h"
#include "platform/host/HostRegistry.h"
#include "platform/host/Timer.h"
#include "platform/web/PageDownloads.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"
#include "support/HostValue.h"
#include "support/LoopbackServer.h"
#include "support/MainWindowRun.h"
#include "support/ModalDriver.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

struct Shown {
    QString caption;
    QString headline;
    QStringList lines;
    std::uint32_t stepMs = 0;
};

}  // namespace

class DownloadButtonsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<MainWindowRun> run;

    // Runs what may show flash messages and records each one that appears, closing it.
    static QList<Shown> recordFlashes(const std::function<void()>& action)
    {
        QList<Shown> shown;
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* dialog) {
            shown.append(
                {dialog->windowTitle(), dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(),
                 dialog->findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n')),
                 dialog->findChild<Timer*>(QStringLiteral("Timer1"))->interval()});
            dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        action();
        return shown;
    }
    // Clicks a download button; the click returns when the run is over.
    QList<Shown> clickAndRecord(const char* name)
    {
        return recordFlashes([&] { run->control<QPushButton>(name)->click(); });
    }

private slots:
    void initTestCase()
    {
        server = std::make_unique<LoopbackServer>();
        server->serveText("/", "<html><body>Start</body></html>");
        server->serveText("/datei.zip", "Inhalt", "application/zip");
        // About two seconds of transfer.
        server->serveBody("/langsam.bin",
                          {.bytes = std::string(640 * 1024, 'l'), .pieceDelay = std::chrono::milliseconds(50)});
        server->start();
    }

    void init()
    {
        run = std::make_unique<MainWindowRun>();
        TEinstellRecord& settings = run->settings;
        settings.DownloadAttempts = 1;
        stringToText(settings.Download1Url, server->url(QStringLiteral("/datei.zip")));
        QVERIFY(QDir().mkpath(run->folder.path(QStringLiteral("Ablage"))));
        stringToText(settings.Download1Target, run->folder.path(QStringLiteral("Ablage/datei.zip")));
        stringToText(settings.Download2Url, server->url(QStringLiteral("/fehlt.zip")));
        stringToText(settings.Download2Target, run->folder.path(QStringLiteral("Ablage/fehlt.zip")));
    }

    void cleanup() { run.reset(); }

    void successAndFailureAreReportedForThreeSecondsOrThirtyWhenSilent()
    {
        run->start();
        const QList<Shown> ok = clickAndRecord("BitBtn10");
        QCOMPARE(ok.size(), 1);
        QCOMPARE(ok[0].caption, QStringLiteral("Download"));
        QCOMPARE(ok[0].headline, QString());
        const QString tail =
            QStringLiteral("//127.0.0.1:%1/datei.zip").arg(server->port()).section(QLatin1Char(':'), 1);
        QCOMPARE(ok[0].lines, (QStringList{tail, QStringLiteral("abgeschlossen!"), QString(), QString(), QString()}));
        QCOMPARE(ok[0].stepMs, 600u);
        QFile file(run->folder.path(QStringLiteral("Ablage/datei.zip")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Inhalt"));
        QCOMPARE(run->control<QLabel>("StatusPanel0")->text(), QStringLiteral("fertig und bereit!"));

        QCursor::setPos(run->control<QPushButton>("BitBtn11")->mapToGlobal(QPoint(5, 5)));
        EinstellDaten.SilentMode = 1;
        const QList<Shown> failed = clickAndRecord("BitBtn11");
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0].stepMs, 6000u);
        QCOMPARE(failed[0].caption, QStringLiteral("Problem!!!"));
        QCOMPARE(failed[0].headline, QStringLiteral("Download:"));
        QCOMPARE(failed[0].lines[1], QStringLiteral("NICHT durchgeführt!"));
        // Why stays in panel 1 while the pointer leaves the button for the
        // message and comes back, until it rests on another control with a hint.
        const auto* panel1 = run->control<QLabel>("StatusPanel1");
        const QString why = QStringLiteral("Download 2: HTTP-Fehler 404");
        QCOMPARE(panel1->text(), why);
        auto* button = run->control<QPushButton>("BitBtn11");
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(button, &leave);
        QStatusTipEvent again(button->statusTip());
        QCoreApplication::sendEvent(button, &again);
        QCOMPARE(panel1->text(), why);
        auto* back = run->control<QPushButton>("BitBtn1");
        QCursor::setPos(back->mapToGlobal(back->rect().center()));
        QStatusTipEvent enter(back->statusTip());
        QCoreApplication::sendEvent(back, &enter);
        QCOMPARE(panel1->text(), back->statusTip());
        QCoreApplication::sendEvent(back, &leave);
        QCOMPARE(panel1->text(), QString());
    }

    // A user who may change the downloads cannot fetch a settings file of their own.
    void aTargetInTheProgramFolderIsRefusedBeforeAnythingIsFetched()
    {
        stringToText(run->settings.Download1Target, run->folder.path(QStringLiteral("Einstell.DAT")));
        run->start();
        const QByteArray before = run->folder.readFile(QStringLiteral("Einstell.DAT"));
        const int served = server->count(QStringLiteral("/datei.zip"));
        QVERIFY(clickAndRecord("BitBtn10").isEmpty());
        QCOMPARE(run->boxes.messages.size(), 1);
        QCOMPARE(run->boxes.messages[0].kind, MessageKind::Error);
        QVERIFY(run->lastBox().startsWith(QStringLiteral("Das Download-Ziel\n")));
        QCOMPARE(server->count(QStringLiteral("/datei.zip")), served);
        QCOMPARE(run->folder.readFile(QStringLiteral("Einstell.DAT")), before);
    }

    // The viewer's page loses its renderer during the download too: the
    // download goes on, and the page is loaded again.
    void theWindowStaysAliveButTakesNoInputWhileItDownloads()
    {
        stringToText(run->settings.Download3Url, server->url(QStringLiteral("/langsam.bin")));
        stringToText(run->settings.Download3Target, run->folder.path(QStringLiteral("Ablage/langsam.bin")));
        stringToText(run->settings.HomePage, server->url(QStringLiteral("/")));
        run->start({QStringLiteral("0")});
        const QWebEnginePage* page = run->control<QWebEngineView>("WebBrowser1")->page();
        QTRY_VERIFY_WITH_TIMEOUT(page->renderProcessPid() > 0 && server->count(QStringLiteral("/")) == 1, 15000);
        const qint64 renderer = page->renderProcessPid();
        TKaveloMainForm& window = run->window();
        const auto* panel = run->control<QLabel>("StatusPanel0");
        auto* countdown = run->control<Timer>("Timer4");
        QObject receiver;
        int ticks = 0;
        connect(countdown, &Timer::timeout, &receiver, [&ticks] { ++ticks; });
        countdown->start(std::chrono::milliseconds(100));
        const int failedBefore = server->count(QStringLiteral("/fehlt.zip"));

        // Twice during the download: what the window shows, and input it must not take.
        QStringList progress;
        QList<int> ticksDuring;
        bool busy = false;
        bool closeAccepted = true;
        QTimer::singleShot(300, &receiver, [renderer] { ::kill(static_cast<pid_t>(renderer), SIGKILL); });
        QTimer::singleShot(700, &receiver, [&] {
            busy = buttonDownloadRunning();
            progress << panel->text();
            ticksDuring << ticks;
            QTest::mouseClick(run->control<QPushButton>("BitBtn11"), Qt::LeftButton);
            QTest::keyClick(run->control<QPushButton>("BitBtn11"), Qt::Key_Space);
            QCloseEvent close;  // as the window manager sends it
            QSpontaneKeyEvent::setSpontaneous(&close);
            QApplication::sendEvent(window.windowHandle(), &close);
            closeAccepted = close.isAccepted();
        });
        QTimer::singleShot(1400, &receiver, [&] {
            progress << panel->text();
            ticksDuring << ticks;
        });
        const QList<Shown> shown = clickAndRecord("BitBtn15");
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("Download"));

        QVERIFY(busy);
        QVERIFY(!buttonDownloadRunning());
        QCOMPARE(progress.size(), 2);
        QVERIFY2(progress[0].startsWith(QStringLiteral("Download 3: ")), qPrintable(progress[0]));
        QVERIFY2(progress[0] != progress[1], qPrintable(progress[1]));  // it moves on
        QVERIFY(!panel->text().startsWith(QStringLiteral("Download")));
        QCOMPARE(server->count(QStringLiteral("/fehlt.zip")), failedBefore);  // neither click nor key acted
        QVERIFY(!closeAccepted);
        QVERIFY(window.isVisible());
        // The countdown rested during the download and comes due afterwards.
        QCOMPARE(ticksDuring[0], ticksDuring[1]);
        QTRY_VERIFY(ticks > ticksDuring[1]);
        QTRY_VERIFY_WITH_TIMEOUT(server->count(QStringLiteral("/")) > 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(page->renderProcessPid() > 0 && page->renderProcessPid() != renderer, 15000);
    }

    // Escape or the stop button, the only input the wait takes, breaks the
    // download off: the old file stays, and no part file is left.
    void aPersonStopsADownloadWithEscapeOrTheStopButton()
    {
        stringToText(run->settings.Download3Url, server->url(QStringLiteral("/langsam.bin")));
        stringToText(run->settings.Download3Target, run->folder.path(QStringLiteral("Ablage/langsam.bin")));
        run->folder.writeFile(QStringLiteral("Ablage/langsam.bin"), "alt");
        run->start();
        const std::function<void()> stops[] = {
            [this] { QTest::keyClick(&run->window(), Qt::Key_Escape); },
            [this] { QTest::mouseClick(run->control<QPushButton>("BitBtn3"), Qt::LeftButton); }};
        for (const auto& stop : stops) {
            QObject receiver;
            QTimer::singleShot(500, &receiver, stop);
            const QList<Shown> shown = clickAndRecord("BitBtn15");
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].lines[1], QStringLiteral("abgebrochen!"));
            QCOMPARE(run->control<QLabel>("StatusPanel1")->text(), QStringLiteral("Download 3: Download abgebrochen"));
            QCOMPARE(run->folder.readFile(QStringLiteral("Ablage/langsam.bin")), QByteArray("alt"));
            QCOMPARE(QDir(run->folder.path(QStringLiteral("Ablage"))).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("langsam.bin")});
        }
    }

    void aMinimizedWindowShowsNothing()
    {
        run->start();
        run->window().showMinimized();
        QVERIFY(clickAndRecord("BitBtn10").isEmpty());
        QVERIFY(clickAndRecord("BitBtn11").isEmpty());
    }

    void closingTheWindowPutsTheHostDownloadDirectoryBack()
    {
        setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, QStringLiteral("/vorher"));
        run->settings.RedirectDownloads = 1;
        stringToText(run->settings.DownloadFolder1, run->folder.path(QStringLiteral("eins")));
        run->start();
        QCOMPARE(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue),
                 run->folder.path(QStringLiteral("eins")));
        run->window().close();
        QCOMPARE(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/vorher"));
    }

    // Last: the tick ends the program, after which no modal loop runs any more.
    void aPendingAutomaticDownloadSilencesItsButtonAndRunsOnce()
    {
        run->start({QStringLiteral("1"), QStringLiteral("2")});
        run->window().showNormal();
        const QString title = run->window().windowTitle();
        QVERIFY(clickAndRecord("BitBtn10").isEmpty());  // its flag is cleared by this run
        const int served = server->count(QStringLiteral("/datei.zip"));

        const QList<Shown> shown = recordFlashes([&] { emit run->control<Timer>("Timer2")->timeout(); });
        QCOMPARE(server->count(QStringLiteral("/datei.zip")), served);  // not fetched again
        QCOMPARE(shown.size(), 1);                                      // only download 2 reports
        QCOMPARE(shown[0].caption, QStringLiteral("automatischer Download"));
        QCOMPARE(shown[0].lines[1], QStringLiteral("NICHT durchgeführt!"));
        QCOMPARE(run->window().windowTitle(), title);  // it showed the progress meanwhile
    }
};

KAVELO_GUI_TEST_MAIN(DownloadButtonsTest)

#include "DownloadButtonsTest.moc"
