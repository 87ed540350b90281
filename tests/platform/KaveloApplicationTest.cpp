#include "platform/web/KaveloPage.h"
#include "support/GuiTestMain.h"
#include "support/RecordingPresenter.h"

#include <pwd.h>
#include <unistd.h>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <memory>
#include <stdexcept>

// Errors that escape an event handler end up in the error box, are counted,
// and the event loop goes on delivering.
class KaveloApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void escapingErrorIsShownAndTheProgramGoesOn()
    {
        RecordingPresenter presenter;
        bool laterEventDelivered = false;
        QTimer::singleShot(0, this, [] { throw std::runtime_error("Zugriff auf »Größe« verweigert"); });
        QTimer::singleShot(0, this, [] { throw 42; });
        QTimer::singleShot(10, this, [&] { laterEventDelivered = true; });

        QTRY_VERIFY(laterEventDelivered);
        QCOMPARE(presenter.messages.size(), 2);
        QCOMPARE(presenter.messages[0].kind, MessageKind::Error);
        QCOMPARE(presenter.messages[0].title, QStringLiteral("Fehler"));
        QCOMPARE(presenter.messages[0].text, QStringLiteral("Zugriff auf »Größe« verweigert"));
        QCOMPARE(presenter.messages[1].title, QStringLiteral("Fehler"));
        QCOMPARE(presenter.messages[1].text, QStringLiteral("Unbekannter Fehler."));
        QCOMPARE(qobject_cast<KaveloApplication*>(qApp)->takeEscapedErrors(), 2);
    }

    // Under any locale (the tests run under C.UTF-8): the menu of every text
    // field, and the engine's texts, which pages' dialogs compare with.
    void qtsOwnTextsAreGerman()
    {
        QLineEdit field(QStringLiteral("Text"));
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList entries;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                entries << action->text();
        QCOMPARE(entries,
                 (QStringList{QStringLiteral("&Rückgängig\tStrg+Z"), QStringLiteral("Wieder&herstellen\tStrg+Y"),
                              QStringLiteral("&Ausschneiden\tStrg+X"), QStringLiteral("&Kopieren\tStrg+C"),
                              QStringLiteral("Einf&ügen\tStrg+V"), QStringLiteral("Löschen"),
                              QStringLiteral("Alles auswählen\tStrg+A")}));
        QVERIFY(
            KaveloPage::leavePageQuestion().startsWith(QStringLiteral("Möchten Sie diese Seite wirklich verlassen?")));
    }

    void theEnvironmentCannotOpenADebuggingPort()
    {
        qputenv("QTWEBENGINE_REMOTE_DEBUGGING", "9222");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--remote-debugging-port=9223 --lang=de --auto-open-devtools-for-tabs");
        prepareEnvironment();
        QVERIFY(!qEnvironmentVariableIsSet("QTWEBENGINE_REMOTE_DEBUGGING"));
        QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").startsWith("--lang=de"));
        QVERIFY(!qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("debugging"));
        QVERIFY(!qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("devtools"));

        // A service started without HOME gets the runner's home, not the root folder.
        qunsetenv("HOME");
        prepareEnvironment();
        QCOMPARE(qgetenv("HOME"), QByteArray(::getpwuid(::geteuid())->pw_dir));
    }
};

KAVELO_GUI_TEST_MAIN(KaveloApplicationTest)

#include "KaveloApplicationTest.moc"
