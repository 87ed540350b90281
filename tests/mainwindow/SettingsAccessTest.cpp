// The settings button in the real main window: the role the prompt grants,
// the timers resting while the dialogs are open, the window following saved
// settings when the role entitles to it, and the next start using them.

#include "dialogs/EinstellDialog.h"
#include "dialogs/passwort.h"
#include "mainwindow/MB_main.h"
#include "mainwindow/TimerIntervals.h"
#include "platform/host/Timer.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "support/GuiTestMain.h"
#include "support/LoopbackServer.h"
#include "support/MainWindowRun.h"
#include "support/ModalDriver.h"
#include "widgets/MessageBoxPresenter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <cstring>
#include <memory>

namespace {

// What happened while the settings dialog was open.
struct Visit {
    bool promptShown = false;
    QString firstTab;
    QList<bool> timersRunning;
};

}  // namespace

class SettingsAccessTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<MainWindowRun> run;

    QList<bool> timerStates() const
    {
        QList<bool> states;
        for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
            states.append(run->control<Timer>(name)->isRunning());
        return states;
    }

    // The prompt gets the password typed and OK, or Cancel when it is null.
    static std::function<void(TPasswordDlg*)> typed(const char* password)
    {
        return [password](TPasswordDlg* dialog) {
            if (!password) {
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CancelBtn")), Qt::LeftButton);
                return;
            }
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Password")), QString::fromUtf8(password));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
        };
    }

    // Clicks the settings button; answer acts on the prompt, the settings
    // dialog gets the edits and closes with "Beenden".
    Visit visit(
        const std::function<void(TPasswordDlg*)>& answer,
        const std::function<void(TEinstellForm*)>& edit = [](TEinstellForm*) {})
    {
        Visit seen;
        const WhenShown<TPasswordDlg> answerPrompt([&](TPasswordDlg* dialog) {
            seen.promptShown = true;
            answer(dialog);
        });
        const WhenShown<TEinstellForm> editSettings([&](TEinstellForm* dialog) {
            auto* tabs = dialog->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
            seen.firstTab = tabs->tabText(tabs->currentIndex());
            seen.timersRunning = timerStates();
            edit(dialog);
            dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        run->click("BitBtn8");
        return seen;
    }

    QByteArray savedFile() const { return run->folder.readFile(QStringLiteral("Einstell.DAT")); }

private slots:
    void initTestCase()
    {
        server = std::make_unique<LoopbackServer>();
        for (const char* path : {"/", "/neu"})
            server->serveText(path, "<html><body>Seite</body></html>", "text/html");
        server->start();
    }

    void init()
    {
        run = std::make_unique<MainWindowRun>();
        stringToText(run->settings.HomePage, server->url(QStringLiteral("/")));
        run->settings.AutoEndSeconds = 600;
        scrambleAdminPassword(run->settings.AdminPasswordStored, "Chef-Passwort");
        scrambleUserPassword(run->settings.UserPasswordStored, "nutzer");
    }

    void cleanup() { run.reset(); }

    void theAdministratorsChangeIsSavedAppliedAndUsedAtTheNextStart()
    {
        run->start();
        QCOMPARE(timerStates(), (QList<bool>{true, false, false, false}));
        const Visit seen = visit(typed("Chef-Passwort"), [&](TEinstellForm* dialog) {
            dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(false);
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit6"))->setText(server->url(QStringLiteral("/neu")));
        });
        QCOMPARE(seen.firstTab, QStringLiteral("Administrator-Optionen"));
        QCOMPARE(seen.timersRunning, (QList<bool>{false, false, false, false}));
        QCOMPARE(timerStates(), (QList<bool>{true, false, false, false}));

        // The file holds the change at its place; the window follows it at once.
        const QByteArray file = savedFile();
        QCOMPARE(file.size(), 7990);
        QCOMPARE(file.mid(8, 2), QByteArray("\0\0", 2));  // MaySurf
        QCOMPARE(file.mid(55, file.at(54)), server->url(QStringLiteral("/neu")).toLatin1());
        QVERIFY(!run->control<QWidget>("ComboBox1")->isEnabled());

        // The next start reads it.
        run.reset();  // its program folder goes before the next one comes
        run = std::make_unique<MainWindowRun>();
        std::memcpy(&run->settings, file.constData(), sizeof run->settings);
        run->start();
        QTRY_COMPARE_WITH_TIMEOUT(server->count(QStringLiteral("/neu")), 1, 10000);
    }

    void aUserInViewerModeSavesButTheWindowStaysAsItWas()
    {
        run->settings.MayChangeUserOptions = 1;
        run->settings.RefreshMinutes = 0;
        run->start({QStringLiteral("0")});
        const Visit seen = visit(typed("nutzer"), [](TEinstellForm* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit32"))->setText(QStringLiteral("5"));
        });
        QCOMPARE(seen.firstTab, QStringLiteral("Nutzer-Optionen"));
        QCOMPARE(static_cast<unsigned char>(savedFile().at(34)), 5);  // RefreshMinutes
        QCOMPARE(EinstellDaten.RefreshMinutes, 5);
        QVERIFY(!run->control<Timer>("Timer3")->isRunning());
        QCOMPARE(run->control<Timer>("Timer3")->interval(), 1000u);  // not applied
    }

    void aStoppedRefreshTimerStaysStoppedAfterTheAdministratorSetsMinutes()
    {
        run->settings.RefreshMinutes = 0;
        run->start();
        visit(typed("Chef-Passwort"), [](TEinstellForm* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit32"))->setText(QStringLiteral("3"));
        });
        auto* timer3 = run->control<Timer>("Timer3");
        QCOMPARE(timer3->interval(), 180000u);  // ApplySettings ran
        QVERIFY(!timer3->isRunning());          // but the timer stays as it was
    }

    void withoutARoleNothingIsTakenOverOrSaved()
    {
        run->start();
        const auto visitWithout = [&](const char* password) {
            const Visit seen = visit(typed(password), [&](TEinstellForm* dialog) {
                dialog->findChild<QLineEdit*>(QStringLiteral("Edit19"))->setText(QStringLiteral("/anders"));
            });
            QVERIFY(seen.promptShown);
            QCOMPARE(seen.firstTab, QStringLiteral("Nutzer-Optionen"));
        };
        visitWithout(nullptr);          // Cancel
        visitWithout("chef-passwort");  // wrong case
        visitWithout("");
        QCOMPARE(savedFile(), QByteArray(reinterpret_cast<const char*>(&run->settings), sizeof run->settings));
        QVERIFY(run->control<Timer>("Timer1")->isRunning());
    }

    // While the built-in administrator password is in force, the administrator
    // hears about it once per run.
    void theBuiltInPasswordIsNotedOncePerRun()
    {
        scrambleAdminPassword(run->settings.AdminPasswordStored, encodeAnsi(kBuiltInAdminPassword));
        run->start();
        visit(typed("nutzer"));
        QVERIFY(run->boxes.messages.isEmpty());
        visit(typed("Kavelo-Chef"));
        visit(typed("Kavelo-Chef"));
        QCOMPARE(run->boxes.messages.size(), 1);
        QCOMPARE(run->boxes.messages[0].kind, MessageKind::Information);
        QVERIFY(run->lastBox().startsWith(QStringLiteral("Es gilt noch das eingebaute Administrator-Passwort")));
    }

    // A visitor who typed the administrator's password and cancelled leaves
    // nothing for the next one; wrong entries cost no wait.
    void theNextVisitorFindsNoEntryAndWrongEntriesCostNoWait()
    {
        run->start();
        visit(typed(nullptr));
        visit(typed("Chef-Passwort"));
        QCOMPARE(visit([](TPasswordDlg* dialog) {
                     QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Password")),
                                      QStringLiteral("Chef-Passwort"));
                     QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CancelBtn")), Qt::LeftButton);
                 }).firstTab,
                 QStringLiteral("Nutzer-Optionen"));
        QString left;
        const Visit next = visit([&](TPasswordDlg* dialog) {
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("Password"));
            left = field->text();
            QTest::keyClick(field, Qt::Key_Return);
        });
        QCOMPARE(left, QString());
        QCOMPARE(next.firstTab, QStringLiteral("Nutzer-Optionen"));

        for (int i = 0; i < 5; ++i)
            visit(typed("falsch"));
        QCOMPARE(visit(typed("Chef-Passwort")).firstTab, QStringLiteral("Administrator-Optionen"));
    }

    // A kiosk's visit left for the limit ends, innermost window first, as cancelled,
    // and the home page comes back; typing keeps the prompt open; normal mode waits.
    void aVisitNobodyFinishesEndsOnlyInAKiosk_data()
    {
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<QByteArray>("keys");    // typed into the prompt one every 200 ms, then OK; none: Cancel
        QTest::addColumn<QStringList>("ended");  // the windows with their results
        QTest::newRow("kiosk, walked away") << true << QByteArray() << QStringList{QStringLiteral("Abfrage 2")};
        QTest::newRow("kiosk, typed slowly, walked away from a box on the settings")
            << true << QByteArray("Chef-Passwort")
            << QStringList{QStringLiteral("Abfrage 1"), QStringLiteral("Box 0"), QStringLiteral("Einstellungen 2")};
        QTest::newRow("normal mode, walked away")
            << false << QByteArray() << QStringList{QStringLiteral("Abfrage 2"), QStringLiteral("Einstellungen 1")};
    }

    void aVisitNobodyFinishesEndsOnlyInAKiosk()
    {
        QFETCH(bool, viewer);
        QFETCH(QByteArray, keys);
        QFETCH(QStringList, ended);
        setRefreshMinute(std::chrono::seconds(1));  // and so the idle limit
        run->settings.RefreshMinutes = 1;
        const int requests = server->count(QStringLiteral("/"));
        run->start(viewer ? QStringList{QStringLiteral("0")} : QStringList());
        // The timer's own reloads far off: a second request of the home page comes from the visit's end.
        run->control<Timer>("Timer3")->setInterval(std::chrono::minutes(1));
        MessageBoxPresenter realBoxes;
        const auto restore = qScopeGuard([recording = setMessagePresenter(&realBoxes)] {
            setMessagePresenter(recording);
            setRefreshMinute(std::chrono::minutes(1));
        });

        QStringList seen;
        const auto note = [&](QDialog* dialog, const char* name) {
            connect(dialog, &QDialog::finished, this, [&seen, name](int result) {
                seen << QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(result);
            });
        };
        note(run->window().findChild<TPasswordDlg*>(), "Abfrage");
        note(run->window().findChild<TEinstellForm*>(), "Einstellungen");
        const WhenShown<QMessageBox> box([&](QMessageBox* shown) { note(shown, "Box"); });
        // Left alone or typed into, the prompt gets 2.6 idle limits of time; a
        // prompt that ends by itself ends the wait at once.
        const WhenShown<TPasswordDlg> answer([&](TPasswordDlg* dialog) {
            for (int step = 0; step < 13; ++step) {
                if (step < keys.size())
                    QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("Password")), keys[step]);
                if (QTest::qWaitFor([dialog] { return !dialog->isVisible(); }, 200))
                    break;
            }
            if (dialog->isVisible())
                typed(keys.isEmpty() ? nullptr : "")(dialog);  // Cancel, or OK on what was typed
        });
        // "Beenden"; with a role "Passwort ändern" with unequal entries: an error box on the dialog.
        const WhenShown<TEinstellForm> finish([&](TEinstellForm* dialog) {
            const char* button = keys.isEmpty() ? "BitBtn1" : "BitBtn3";
            QTimer::singleShot(0, dialog->findChild<QPushButton*>(QLatin1String(button)), &QPushButton::click);
        });
        run->click("BitBtn8");
        QCOMPARE(seen, ended);
        QCOMPARE(timerStates(), (QList<bool>{true, false, true, true}));
        if (viewer)
            QTRY_COMPARE_WITH_TIMEOUT(server->count(QStringLiteral("/")), requests + 2, 10000);
    }
};

KAVELO_GUI_TEST_MAIN(SettingsAccessTest)

#include "SettingsAccessTest.moc"
