// The settings dialog on the offscreen platform: its tabs and controls, the
// enabling by role and rights, "Beenden", "Abbrechen", "Standard" and the two
// password groups, driven through the real controls.

#include "dialogs/EinstellDialog.h"
#include "dialogs/RadioGroup.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "support/RecordText.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

enum class Role { None, User, Admin };

// The controls the dialog places itself (not the parts of the tab widget).
bool isPlaced(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QLineEdit*>(widget)
           || qobject_cast<const QPushButton*>(widget) || qobject_cast<const QCheckBox*>(widget)
           || qobject_cast<const QRadioButton*>(widget) || qobject_cast<const QGroupBox*>(widget);
}

int textWidth(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().horizontalAdvance(text);
}

}  // namespace

class EinstellDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempProgramFolder> folder;
    std::unique_ptr<RecordingPresenter> boxes;
    std::unique_ptr<TEinstellForm> form;

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        form->ensureControls();
        T* found = form->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    QCheckBox* box(const char* name) const { return control<QCheckBox>(name); }
    void click(const char* button) const { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }

    void open(Role role)
    {
        form->setRoles(role == Role::Admin, role == Role::User);
        form->show();
        QVERIFY(form->isVisible());
    }

    bool settingsFileWritten() const { return QFile::exists(folder->path(QStringLiteral("Einstell.DAT"))); }

private slots:
    void init();
    void cleanup();

    void controlsComeWhenFirstNeeded();
    void isAFixedDialogWithFourTabsAndItsButtons();
    void everyCaptionFitsItsControlWithoutOverlap();
    void passwordFieldsShowHashesAndChoicesStandInTwoColumns();
    void theRoleAndTheRightsDecideWhatIsEnabledAndTakenOver_data();
    void theRoleAndTheRightsDecideWhatIsEnabledAndTakenOver();
    void rightsAreReadWhenTheDialogIsShown();
    void recordToFormFillsEveryControlButThePasswords();
    void aNumberErrorStopsFinishAndTakesNothingOver();
    void cancelEscapeAndCloseBoxTakeNothing();
    void standardResetsWhatTheRoleMayChange_data();
    void standardResetsWhatTheRoleMayChange();
    void passwordButtonsChangeAndRefill();
};

void EinstellDialogTest::init()
{
    folder = std::make_unique<TempProgramFolder>();
    boxes = std::make_unique<RecordingPresenter>();
    SetDefaults(EinstellDaten);
    StandardDaten = EinstellDaten;
    EinstellDaten.RefreshMinutes = 10;
    EinstellDaten.WindowMode = 1;
    EinstellDaten.WindowWidth = 800;
    EinstellDaten.WindowHeight = 600;
    derivePlainPasswords(EinstellDaten);
    form = std::make_unique<TEinstellForm>();
}

void EinstellDialogTest::cleanup()
{
    form.reset();
    boxes.reset();
    folder.reset();
}

// The program creates the dialog at start; its controls come when first
// needed, by a showing or by the record going into or out of them.
void EinstellDialogTest::controlsComeWhenFirstNeeded()
{
    QVERIFY(form->findChildren<QWidget*>().isEmpty());
    form->RecordToForm();
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("Edit6"))->text(), text(EinstellDaten.HomePage));

    // Never filled, its counters are empty: the take-over stops as it always did.
    TEinstellForm unfilled;
    unfilled.setRoles(true, false);
    const QByteArray before = image(EinstellDaten);
    QVERIFY(!unfilled.FormToRecord());
    QCOMPARE(image(EinstellDaten), before);
    QCOMPARE(boxes->messages.size(), 1);
    QCOMPARE(boxes->messages[0].text, QStringLiteral("'' ist kein gültiger Integerwert"));

    TEinstellForm shown;
    shown.setRoles(false, false);
    shown.show();
    QCOMPARE(shown.findChild<QLineEdit*>(QStringLiteral("Edit7"))->text(), text(EinstellDaten.SearchPage));
}

void EinstellDialogTest::isAFixedDialogWithFourTabsAndItsButtons()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Programm-Einstellungen"));
    QCOMPARE(form->minimumSize(), QSize(652, 445));
    QCOMPARE(form->maximumSize(), QSize(652, 445));
    QCOMPARE(QFontInfo(form->font()).pixelSize(), 11);

    auto* tabs = control<QTabWidget>("PageControl1");
    const char* const pages[] = {"TabSheet1", "TabSheet3", "TabSheet4", "TabSheet2"};
    const QStringList captions = {QStringLiteral("Nutzer-Optionen"), QStringLiteral("Adressen + Downloads"),
                                  QStringLiteral("Adressen + Downloads 2"), QStringLiteral("Administrator-Optionen")};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(tabs->widget(i)->objectName(), QLatin1String(pages[i]));
        QCOMPARE(tabs->tabText(i), captions[i]);
    }

    auto* defaults = control<QPushButton>("BitBtn5");
    auto* cancel = control<QPushButton>("BitBtn2");
    auto* finish = control<QPushButton>("BitBtn1");
    QCOMPARE(defaults->text(), QStringLiteral("Standard"));
    QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(finish->text(), QStringLiteral("Beenden"));
    QVERIFY(finish->font().bold());
    QVERIFY(!cancel->font().bold());
    QVERIFY(defaults->geometry().right() < form->width() / 2);
    QVERIFY(cancel->x() > form->width() / 2 && cancel->geometry().right() < finish->x());
    for (QPushButton* button :
         {defaults, cancel, finish, control<QPushButton>("BitBtn3"), control<QPushButton>("BitBtn4")})
        QVERIFY(!button->icon().isNull());
    QVERIFY(tabs->geometry().bottom() < finish->y());

    QWidget owner;
    owner.setGeometry(60, 40, 700, 520);
    owner.show();
    TEinstellForm child(&owner);
    child.show();
    const QPoint offset = child.geometry().center() - owner.geometry().center();
    QVERIFY(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1);
}

void EinstellDialogTest::everyCaptionFitsItsControlWithoutOverlap()
{
    form->ensureControls();
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QByteArray name = label->objectName().toLatin1();
        QVERIFY2(textWidth(label, label->text()) <= label->width(), name);
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), name);
    }
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        if (!isPlaced(button))
            continue;
        const QByteArray name = button->text().toUtf8();
        const int room = qobject_cast<QPushButton*>(button) ? 16 + 4 + 4 + 4 : 20;  // glyph or indicator
        QVERIFY2(textWidth(button, button->text()) + room <= button->width(), name);
        QVERIFY2(button->parentWidget()->rect().contains(button->geometry()), name);
    }
    for (QGroupBox* group : form->findChildren<QGroupBox*>()) {
        const QByteArray name = group->title().toUtf8();
        QVERIFY2(textWidth(group, group->title()) + 16 <= group->width(), name);
        QVERIFY2(group->parentWidget()->rect().contains(group->geometry()), name);
    }
    // Siblings of every kind stay apart: labels, edits, boxes, frames.
    QList<QWidget*> placed;
    for (QWidget* widget : form->findChildren<QWidget*>())
        if (isPlaced(widget))
            placed.append(widget);
    for (QWidget* a : placed)
        for (QWidget* b : placed)
            if (a != b && a->parentWidget() == b->parentWidget())
                QVERIFY2(!a->geometry().intersects(b->geometry()),
                         (a->objectName() + QStringLiteral(" overlaps ") + b->objectName()).toUtf8());
}

void EinstellDialogTest::passwordFieldsShowHashesAndChoicesStandInTwoColumns()
{
    for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"}) {
        QLineEdit* field = edit(name);
        field->setText(QStringLiteral("abc"));
        QCOMPARE(field->displayText(), QStringLiteral("###"));
    }
    QCOMPARE(edit("Edit6")->echoMode(), QLineEdit::Normal);

    auto* suffix = control<RadioGroup>("RadioGroup2");
    QCOMPARE(suffix->title(), QStringLiteral("Dateinamenszusatz"));
    const QStringList modes = {QStringLiteral("keinen"),        QStringLiteral("lfd. Nummer"),
                               QStringLiteral("Datum"),         QStringLiteral("Datum + Zeit"),
                               QStringLiteral("Sich.-Kopie"),   QStringLiteral("Kopie (lfd. Nr.)"),
                               QStringLiteral("Kopie (Datum)"), QStringLiteral("Kopie (D + Z)")};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(suffix->item(i)->text(), modes[i]);
        QCOMPARE(suffix->item(i)->x(), suffix->item(i < 4 ? 0 : 4)->x());
    }
    QVERIFY(suffix->item(4)->x() > suffix->item(3)->geometry().right());

    auto* window = control<RadioGroup>("RadioGroup5");
    QCOMPARE(window->title(), QStringLiteral("Fenster-Modus"));
    QCOMPARE(window->item(0)->text(), QStringLiteral("normal"));
    QCOMPARE(window->item(1)->text(), QStringLiteral("festgelegt"));
    QCOMPARE(window->item(2)->text(), QStringLiteral("maximiert"));
    QCOMPARE(window->item(1)->x(), window->item(0)->x());
    QVERIFY(window->item(2)->x() > window->item(0)->geometry().right());

    // A value outside the choices checks none, and choosing works again afterwards.
    window->setItemIndex(3);
    QCOMPARE(window->itemIndex(), -1);
    QTest::mouseClick(window->item(2), Qt::LeftButton);
    QCOMPARE(window->itemIndex(), 2);
}

// Each role opens on its own tab, whichever was shown last. The rights enable
// their controls whether or not a user is logged in; "Beenden" takes over what
// is enabled and saves it, for the administrator and for a logged-in user with
// either right only. One field of each group stands for its group.
void EinstellDialogTest::theRoleAndTheRightsDecideWhatIsEnabledAndTakenOver_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("userOptions");
    QTest::addColumn<int>("addresses");
    QTest::addColumn<QString>("firstTab");
    QTest::addColumn<bool>("adminControls");
    QTest::addColumn<bool>("userControls");
    QTest::addColumn<bool>("addressControls");
    QTest::addColumn<bool>("saved");

    const QString admin = QStringLiteral("TabSheet2");
    const QString user = QStringLiteral("TabSheet1");
    QTest::newRow("administrator without rights")
        << int(Role::Admin) << 0 << 0 << admin << true << true << true << true;
    QTest::newRow("user without rights") << int(Role::User) << 0 << 0 << user << false << false << false << false;
    QTest::newRow("user with user options") << int(Role::User) << 1 << 0 << user << false << true << false << true;
    QTest::newRow("user with addresses") << int(Role::User) << 0 << 1 << user << false << false << true << true;
    QTest::newRow("no role, both rights") << int(Role::None) << 1 << 1 << user << false << true << true << false;
    QTest::newRow("no role, no rights") << int(Role::None) << 0 << 0 << user << false << false << false << false;
}

void EinstellDialogTest::theRoleAndTheRightsDecideWhatIsEnabledAndTakenOver()
{
    QFETCH(int, role);
    QFETCH(int, userOptions);
    QFETCH(int, addresses);
    QFETCH(QString, firstTab);
    QFETCH(bool, adminControls);
    QFETCH(bool, userControls);
    QFETCH(bool, addressControls);
    QFETCH(bool, saved);

    EinstellDaten.MayChangeUserOptions = static_cast<Word>(userOptions);
    EinstellDaten.MayChangeAddresses = static_cast<Word>(addresses);
    const TEinstellRecord before = EinstellDaten;
    auto* tabs = control<QTabWidget>("PageControl1");
    tabs->setCurrentIndex(2);
    open(static_cast<Role>(role));
    QCOMPARE(tabs->currentWidget()->objectName(), firstTab);

    for (const char* name : {"CheckBox1", "CheckBox6", "Edit5", "Edit18", "Edit20", "Edit34", "Edit22", "RadioGroup5",
                             "Edit30", "Edit31", "Edit1", "Edit2", "BitBtn3"})
        QVERIFY2(control(name)->isEnabled() == adminControls, name);
    for (const char* name : {"Edit3", "Edit4", "BitBtn4", "BitBtn5"})
        QVERIFY2(control(name)->isEnabled() == userControls, name);
    for (const char* name :
         {"Edit6", "Edit7", "Edit8", "Edit11", "Edit12", "Edit17", "Edit24", "Edit29", "RadioGroup1", "RadioGroup4"})
        QVERIFY2(control(name)->isEnabled() == addressControls, name);
    for (const char* name : {"Edit19", "Edit23", "Edit32", "BitBtn1", "BitBtn2", "TabSheet1", "TabSheet2"})
        QVERIFY2(control(name)->isEnabled(), name);

    edit("Edit22")->setText(QStringLiteral("500"));
    edit("Edit19")->clear();
    QTest::keyClicks(edit("Edit19"), QStringLiteral("/daten/eins"));
    edit("Edit6")->setText(QStringLiteral("https://neu.example/"));
    click("BitBtn1");

    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), 1);
    QVERIFY(boxes->messages.isEmpty());
    QCOMPARE(EinstellDaten.MaxVersions, saved && adminControls ? Word(500) : before.MaxVersions);
    QCOMPARE(text(EinstellDaten.DownloadFolder1),
             saved && userControls ? QStringLiteral("/daten/eins") : text(before.DownloadFolder1));
    QCOMPARE(text(EinstellDaten.HomePage),
             saved && addressControls ? QStringLiteral("https://neu.example/") : text(before.HomePage));
    if (saved)
        QCOMPARE(folder->readFile(QStringLiteral("Einstell.DAT")), image(EinstellDaten));
    else
        QVERIFY(!settingsFileWritten());
}

void EinstellDialogTest::rightsAreReadWhenTheDialogIsShown()
{
    open(Role::Admin);
    box("CheckBox4")->setChecked(true);
    click("BitBtn2");
    open(Role::User);
    QVERIFY(!control("BitBtn5")->isEnabled());

    EinstellDaten.MayChangeUserOptions = 1;
    click("BitBtn2");
    open(Role::User);
    QVERIFY(control("BitBtn5")->isEnabled());
}

void EinstellDialogTest::recordToFormFillsEveryControlButThePasswords()
{
    // One control of each kind; which field goes where is the settings fields' test.
    stringToText(EinstellDaten.Download3Target, QStringLiteral("/tmp/Dritte Datei.zip"));
    EinstellDaten.Download4Counter = 65535;
    EinstellDaten.MaySearch = 1;
    EinstellDaten.Download2Suffix = 5;
    edit("Edit1")->setText(QStringLiteral("bleibt"));
    open(Role::None);

    QCOMPARE(edit("Edit26")->text(), QStringLiteral("/tmp/Dritte Datei.zip"));
    QCOMPARE(edit("Edit34")->text(), QStringLiteral("65535"));
    QVERIFY(box("CheckBox3")->isChecked());
    QCOMPARE(control<RadioGroup>("RadioGroup2")->itemIndex(), 5);
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("bleibt"));
    QVERIFY(edit("Edit2")->text().isEmpty());
}

void EinstellDialogTest::aNumberErrorStopsFinishAndTakesNothingOver()
{
    open(Role::Admin);
    const QByteArray before = image(EinstellDaten);
    edit("Edit6")->setText(QStringLiteral("https://neu.example/"));
    box("CheckBox1")->setChecked(true);
    edit("Edit20")->clear();
    edit("Edit22")->setText(QStringLiteral("500"));
    click("BitBtn1");

    QVERIFY(form->isVisible());
    QCOMPARE(boxes->messages.size(), 1);
    QCOMPARE(boxes->messages[0].kind, MessageKind::Error);
    QCOMPARE(boxes->messages[0].text, QStringLiteral("'' ist kein gültiger Integerwert"));
    QCOMPARE(image(EinstellDaten), before);
    QVERIFY(!settingsFileWritten());

    edit("Edit20")->setText(QStringLiteral("3"));
    click("BitBtn1");
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), 1);
    QCOMPARE(text(EinstellDaten.HomePage), QStringLiteral("https://neu.example/"));
    QCOMPARE(EinstellDaten.MaxVersions, Word(500));
    QCOMPARE(folder->readFile(QStringLiteral("Einstell.DAT")), image(EinstellDaten));

    // "Abbrechen" after a refused "Beenden" leaves the record as it was.
    const QByteArray saved = image(EinstellDaten);
    open(Role::Admin);
    edit("Edit7")->setText(QStringLiteral("https://suche.example/"));
    edit("Edit22")->setText(QStringLiteral("x"));
    click("BitBtn1");
    QVERIFY(form->isVisible());
    click("BitBtn2");
    QVERIFY(!form->isVisible());
    QCOMPARE(image(EinstellDaten), saved);
}

void EinstellDialogTest::cancelEscapeAndCloseBoxTakeNothing()
{
    const QByteArray before = image(EinstellDaten);
    open(Role::Admin);
    edit("Edit6")->setText(QStringLiteral("https://neu.example/"));
    click("BitBtn2");
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), 2);

    open(Role::Admin);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), 2);

    open(Role::Admin);
    form->close();
    QCOMPARE(form->result(), 2);

    QCOMPARE(image(EinstellDaten), before);
    QVERIFY(!settingsFileWritten());
}

// "Standard" asks, and resets what the role may change (the record's resets
// have their own tests); the controls show the record afterwards whatever the
// answer, the typed passwords stay, the dialog stays open and nothing is saved.
void EinstellDialogTest::standardResetsWhatTheRoleMayChange_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("adminOptions");
    QTest::newRow("administrator") << int(Role::Admin) << QStringLiteral("wieder herstellen?\n(Passwörter") << true;
    QTest::newRow("user") << int(Role::User) << QStringLiteral("für die Nutzer-Optionen") << false;
}

void EinstellDialogTest::standardResetsWhatTheRoleMayChange()
{
    QFETCH(int, role);
    QFETCH(QString, question);
    QFETCH(bool, adminOptions);
    EinstellDaten.MayChangeUserOptions = 1;
    EinstellDaten.MaxVersions = 500;
    stringToText(EinstellDaten.HomePage, QStringLiteral("https://eigene.example/"));
    const QByteArray before = image(EinstellDaten);
    open(static_cast<Role>(role));
    edit("Edit6")->setText(QStringLiteral("https://getippt.example/"));
    edit("Edit22")->setText(QStringLiteral("700"));
    edit("Edit1")->setText(QStringLiteral("getippt"));

    boxes->answerNext(false);
    click("BitBtn5");
    QCOMPARE(boxes->messages.size(), 1);
    QCOMPARE(boxes->messages[0].kind, MessageKind::Confirmation);
    QVERIFY2(boxes->messages[0].text.contains(question), qPrintable(boxes->messages[0].text));
    QCOMPARE(image(EinstellDaten), before);
    QCOMPARE(edit("Edit6")->text(), QStringLiteral("https://eigene.example/"));
    QCOMPARE(edit("Edit22")->text(), QStringLiteral("500"));

    boxes->answerNext(true);
    click("BitBtn5");
    QCOMPARE(text(EinstellDaten.HomePage), text(StandardDaten.HomePage));
    QCOMPARE(EinstellDaten.MaxVersions, adminOptions ? StandardDaten.MaxVersions : Word(500));
    QCOMPARE(edit("Edit6")->text(), text(StandardDaten.HomePage));
    QCOMPARE(edit("Edit22")->text(), QString::number(EinstellDaten.MaxVersions));
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("getippt"));
    QVERIFY(form->isVisible());
    QVERIFY(!settingsFileWritten());
}

void EinstellDialogTest::passwordButtonsChangeAndRefill()
{
    const QString filler = QStringLiteral("123456789012345");
    open(Role::Admin);
    edit("Edit1")->setText(QStringLiteral("Neu!"));
    edit("Edit2")->setText(QStringLiteral("Neu!"));
    click("BitBtn3");
    QCOMPARE(AdminPassword, QStringLiteral("Neu!"));
    QCOMPARE(unscrambleAdminPassword(EinstellDaten.AdminPasswordStored), QByteArray("Neu!"));
    QCOMPARE(edit("Edit1")->text(), filler);
    QCOMPARE(edit("Edit2")->text(), QStringLiteral("9876543210"));
    QCOMPARE(edit("Edit1")->displayText(), QString(15, QLatin1Char('#')));

    // A user with the right changes the user password; the fields keep their fillers between showings.
    click("BitBtn2");
    EinstellDaten.MayChangeUserOptions = 1;
    open(Role::User);
    QCOMPARE(edit("Edit1")->text(), filler);
    edit("Edit3")->setText(QStringLiteral("nutz"));
    edit("Edit4")->setText(QStringLiteral("nutz"));
    click("BitBtn4");
    QCOMPARE(UserPassword, QStringLiteral("nutz"));
    QCOMPARE(unscrambleUserPassword(EinstellDaten.UserPasswordStored), QByteArray("nutz"));
    QCOMPARE(edit("Edit3")->text(), filler);

    // Someone without role may press the button but changes nothing, silently.
    click("BitBtn2");
    open(Role::None);
    edit("Edit3")->setText(QStringLiteral("fremd"));
    edit("Edit4")->setText(QStringLiteral("fremd"));
    click("BitBtn4");
    QCOMPARE(UserPassword, QStringLiteral("nutz"));
    QCOMPARE(edit("Edit3")->text(), filler);
    QVERIFY(boxes->messages.isEmpty());
    QVERIFY(!settingsFileWritten());
}

QTEST_MAIN(EinstellDialogTest)
#include "EinstellDialogTest.moc"
