// The download buttons in the real main window against a loopback server:
// the messages and when they are left out, and the automatic download.

#include "dialogs/InfoDialog.h"
#include "mainwindow/MB_main.h"
#include "platform/HostRegistry.h"
#include "platform/Timer.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"
#include "support/LoopbackServer.h"
#include "support/ModalDriver.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
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
    QTemporaryDir config;
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<TempProgramFolder> folder;
    std::unique_ptr<RecordingPresenter> boxes;
    std::unique_ptr<TKaveloMainForm> window;
    std::unique_ptr<TInfoDlg> info;
    TEinstellRecord settings{};

    void startWindow(const QStringList& arguments = {})
    {
        const QString programFolder = ProgramFolder;
        folder->writeSettings(settings);
        window = std::make_unique<TKaveloMainForm>(programFolder, arguments);
        info = std::make_unique<TInfoDlg>(window.get());
        window->show();
    }

    // Clicks a button and, when a flash message appears, records it and closes it.
    QList<Shown> clickAndRecord(const char* name)
    {
        QList<Shown> shown;
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* dialog) {
            Shown entry;
            entry.caption = dialog->windowTitle();
            entry.headline = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text();
            entry.lines =
                dialog->findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n'));
            entry.stepMs = dialog->findChild<Timer*>(QStringLiteral("Timer1"))->interval();
            shown.append(entry);
            dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        window->findChild<QPushButton*>(QLatin1String(name))->click();
        QTest::qWait(100);
        return shown;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        server = std::make_unique<LoopbackServer>();
        server->http().Get("/datei.zip", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("Inhalt", "application/zip");
        });
        server->start();
    }

    void init()
    {
        folder = std::make_unique<TempProgramFolder>();
        boxes = std::make_unique<RecordingPresenter>();
        SetDefaults(EinstellDaten);
        settings = EinstellDaten;
        settings.HomePage.length = 0;
        settings.RedirectDownloads = 0;
        settings.DownloadAttempts = 1;
        StringToText(settings.Download1Url, server->url(QStringLiteral("/datei.zip")));
        StringToText(settings.Download1Target, folder->path(QStringLiteral("datei.zip")));
        StringToText(settings.Download2Url, server->url(QStringLiteral("/fehlt.zip")));
        StringToText(settings.Download2Target, folder->path(QStringLiteral("fehlt.zip")));
    }

    void cleanup()
    {
        info.reset();
        window.reset();
        boxes.reset();
        folder.reset();
    }

    void successAndFailureAreReportedForThreeSeconds()
    {
        startWindow();
        const QList<Shown> ok = clickAndRecord("BitBtn10");
        QCOMPARE(ok.size(), 1);
        QCOMPARE(ok[0].caption, QStringLiteral("Download"));
        QCOMPARE(ok[0].headline, QString());
        const QString tail =
            QStringLiteral("//127.0.0.1:%1/datei.zip").arg(server->port()).section(QLatin1Char(':'), 1);
        QCOMPARE(ok[0].lines, (QStringList{tail, QStringLiteral("abgeschlossen!"), QString(), QString(), QString()}));
        QCOMPARE(ok[0].stepMs, 600u);
        QFile file(folder->path(QStringLiteral("datei.zip")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Inhalt"));

        const QList<Shown> failed = clickAndRecord("BitBtn11");
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0].caption, QStringLiteral("Problem!!!"));
        QCOMPARE(failed[0].headline, QStringLiteral("Download:"));
        QCOMPARE(failed[0].lines[1], QStringLiteral("NICHT durchgeführt!"));
    }

    void silentModeKeepsTheMessageForThirtySeconds()
    {
        settings.SilentMode = 1;
        startWindow();
        const QList<Shown> shown = clickAndRecord("BitBtn10");
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].stepMs, 6000u);
    }

    void aMinimizedWindowShowsNothing()
    {
        startWindow();
        window->showMinimized();
        QVERIFY(clickAndRecord("BitBtn10").isEmpty());
        QVERIFY(clickAndRecord("BitBtn11").isEmpty());
    }

    void closingTheWindowPutsTheHostDownloadDirectoryBack()
    {
        {
            HostRegistryKey key;
            QVERIFY(key.open(kInternetExplorerKey));
            key.writeString(kDownloadDirectoryValue, QStringLiteral("/vorher"));
        }
        settings.RedirectDownloads = 1;
        StringToText(settings.DownloadFolder1, folder->path(QStringLiteral("eins")));
        startWindow();
        QCOMPARE(ReadHostValue(kInternetExplorerKey, kDownloadDirectoryValue), folder->path(QStringLiteral("eins")));
        window->close();
        QCOMPARE(ReadHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/vorher"));
    }

    // Last: the tick ends the program, after which no modal loop runs any more.
    void aPendingAutomaticDownloadSilencesItsButtonAndRunsOnce()
    {
        startWindow({QStringLiteral("1"), QStringLiteral("2")});
        window->showNormal();
        QVERIFY(clickAndRecord("BitBtn10").isEmpty());  // its flag is cleared by this run
        const int served = server->count(QStringLiteral("/datei.zip"));

        QList<Shown> shown;
        std::function<void(TInfoDlg*)> record = [&](TInfoDlg* dialog) {
            shown.append(
                {dialog->windowTitle(), QString(),
                 dialog->findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n')), 0});
            dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        };
        const WhenShown<TInfoDlg> driver(record);
        emit window->findChild<Timer*>(QStringLiteral("Timer2"))->timeout();
        QCOMPARE(server->count(QStringLiteral("/datei.zip")), served);  // not fetched again
        QCOMPARE(shown.size(), 1);                                      // only download 2 reports
        QCOMPARE(shown[0].caption, QStringLiteral("automatischer Download"));
        QCOMPARE(shown[0].lines[1], QStringLiteral("NICHT durchgeführt!"));
    }
};

KAVELO_GUI_TEST_MAIN(DownloadButtonsTest)

#include "DownloadButtonsTest.moc"
