// The password prompt on the offscreen platform: its fixed look, OK and
// Cancel with what they leave in EnteredPassword and the field, the keys and
// the close box.

#include "dialogs/passwort.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class PasswordDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T = QWidget>
    static T* control(TPasswordDlg& dialog, const char* name)
    {
        dialog.ensureControls();
        T* found = dialog.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    // Runs the prompt modally; the action runs once it is open.
    static int run(TPasswordDlg& dialog, const std::function<void()>& action)
    {
        QTimer::singleShot(0, &dialog, [&dialog, action] {
            if (QTest::qWaitForWindowActive(&dialog))
                action();
        });
        return dialog.exec();
    }

private slots:
    void init() { EnteredPassword = QStringLiteral("vorher"); }

    void looksAsDesigned();
    void okStoresTheEntryAndEmptiesTheField();
    void cancelEscapeAndTheCloseBoxEmptyTheEntry();
    void enterIsTakenByTheButtonsFirstThenMovesTheFocus();
};

void PasswordDialogTest::looksAsDesigned()
{
    TPasswordDlg dialog;
    QVERIFY(dialog.findChildren<QWidget*>().isEmpty());  // built when first needed
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zugangskontrolle für Konfigurationsbereich"));
    QCOMPARE(dialog.minimumSize(), QSize(372, 104));
    QCOMPARE(dialog.maximumSize(), QSize(372, 104));
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(255, 255, 0));

    auto* label1 = control<QLabel>(dialog, "Label1");
    QCOMPARE(label1->text(), QStringLiteral("Bitte das (Nutzer- oder Administrator-) Passwort eingeben:"));
    QVERIFY(label1->font().bold());
    QCOMPARE(control<QLabel>(dialog, "Label2")->text(), QStringLiteral("(ohne ein Passwort können die Einstellungen "));
    QCOMPARE(control<QLabel>(dialog, "Label3")->text(), QStringLiteral(" nicht übernommen werden!)"));
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QVERIFY(dialog.rect().contains(label->geometry()));
    }
    QCOMPARE(label1->pos(), QPoint(8, 9));
    QCOMPARE(control<QLabel>(dialog, "Label2")->pos(), QPoint(56, 72));
    QCOMPARE(control<QLabel>(dialog, "Label3")->pos(), QPoint(56, 84));

    auto* password = control<QLineEdit>(dialog, "Password");
    QCOMPARE(password->geometry(), QRect(128, 35, 137, 32));
    QCOMPARE(QFontInfo(password->font()).pixelSize(), 19);
    password->setText(QStringLiteral("geheim"));
    QCOMPARE(password->displayText(), QStringLiteral("******"));

    auto* ok = control<QPushButton>(dialog, "OKBtn");
    auto* cancel = control<QPushButton>(dialog, "CancelBtn");
    QCOMPARE(ok->geometry(), QRect(286, 35, 75, 25));
    QCOMPARE(cancel->geometry(), QRect(286, 67, 75, 25));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    QVERIFY(ok->font().bold());
    QVERIFY(ok->isDefault());
    QVERIFY(!(ok->focusPolicy() & Qt::TabFocus));
    QVERIFY(cancel->focusPolicy() & Qt::TabFocus);

    // The field comes first in the tab order and has the focus when the prompt opens.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.focusWidget(), password);
    QTest::keyClick(password, Qt::Key_Tab);
    QCOMPARE(dialog.focusWidget(), cancel);
}

void PasswordDialogTest::okStoresTheEntryAndEmptiesTheField()
{
    TPasswordDlg dialog;
    auto* password = control<QLineEdit>(dialog, "Password");
    auto* ok = control<QPushButton>(dialog, "OKBtn");
    const int result = run(dialog, [&] {
        QTest::keyClicks(password, QStringLiteral("Geheim 1"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QCOMPARE(result, 1);
    QCOMPARE(EnteredPassword, QStringLiteral("Geheim 1"));
    QVERIFY(password->text().isEmpty());

    // An empty entry is confirmed as it is.
    QCOMPARE(run(dialog, [&] { QTest::mouseClick(ok, Qt::LeftButton); }), 1);
    QVERIFY(EnteredPassword.isEmpty());
}

// Nothing typed stays for the next visitor, however the prompt is left.
void PasswordDialogTest::cancelEscapeAndTheCloseBoxEmptyTheEntry()
{
    TPasswordDlg dialog;
    auto* password = control<QLineEdit>(dialog, "Password");
    auto* cancel = control<QPushButton>(dialog, "CancelBtn");
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Abbrechen", [&] { QTest::mouseClick(cancel, Qt::LeftButton); }},
        {"Escape", [&] { QTest::keyClick(password, Qt::Key_Escape); }},
        {"close box", [&] { dialog.close(); }},
    };
    for (const auto& [way, leave] : ways) {
        EnteredPassword = QStringLiteral("vorher");
        const int result = run(dialog, [&] {
            QTest::keyClicks(password, QStringLiteral("halb"));
            leave();
        });
        QVERIFY2(result == 2, way);
        QVERIFY2(EnteredPassword.isEmpty(), way);
        QVERIFY2(password->text().isEmpty(), way);
    }
    // The next opening confirms what is typed then, not what was typed before.
    QCOMPARE(run(dialog, [&] { QTest::keyClick(password, Qt::Key_Return); }), 1);
    QVERIFY(EnteredPassword.isEmpty());

    // A prompt never shown cancels the same way.
    EnteredPassword = QStringLiteral("vorher");
    TPasswordDlg unshown;
    unshown.reject();
    QCOMPARE(unshown.result(), 2);
    QVERIFY(EnteredPassword.isEmpty());
}

// Enter confirms from the field and cancels on the focused cancel button;
// where no button takes it (Shift+Enter) it moves the focus on, and the
// prompt never opens with the focus anywhere but the field.
void PasswordDialogTest::enterIsTakenByTheButtonsFirstThenMovesTheFocus()
{
    TPasswordDlg dialog;
    auto* password = control<QLineEdit>(dialog, "Password");
    auto* cancel = control<QPushButton>(dialog, "CancelBtn");
    QWidget* focusAfterShiftEnter = nullptr;
    QCOMPARE(run(dialog,
                 [&] {
                     QTest::keyClicks(password, QStringLiteral("abc"));
                     QTest::keyClick(password, Qt::Key_Return, Qt::ShiftModifier);
                     focusAfterShiftEnter = dialog.focusWidget();
                     password->setFocus();
                     QTest::keyClick(password, Qt::Key_Enter, Qt::KeypadModifier);
                 }),
             1);
    QCOMPARE(focusAfterShiftEnter, cancel);
    QCOMPARE(EnteredPassword, QStringLiteral("abc"));

    QWidget* focusAtOpening = nullptr;
    QCOMPARE(run(dialog,
                 [&] {
                     focusAtOpening = dialog.focusWidget();
                     cancel->setFocus();
                     QTest::keyClick(cancel, Qt::Key_Return);
                 }),
             2);
    QCOMPARE(focusAtOpening, password);
    QVERIFY(EnteredPassword.isEmpty());
    QCOMPARE(run(dialog, [&] { QTest::keyClick(dialog.focusWidget(), Qt::Key_Return); }), 1);
}

KAVELO_GUI_TEST_MAIN(PasswordDialogTest)
#include "PasswordDialogTest.moc"
