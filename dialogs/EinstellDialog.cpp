#include "dialogs/EinstellDialog.h"

#include "dialogs/DialogParts.h"
#include "dialogs/MaskedEdit.h"
#include "dialogs/NumberField.h"
#include "dialogs/RadioGroup.h"
#include "dialogs/SettingsFields.h"
#include "platform/files/RunLock.h"
#include "platform/host/Messages.h"
#include "resources/Glyphs.h"
#include "settings/Defaults.h"
#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "settings/SettingsFile.h"
#include "widgets/GlyphButton.h"
#include "widgets/ProgramFont.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTabWidget>

namespace {

constexpr QChar kPasswordMask = QLatin1Char('#');
// A label sits this far below the top of the edit on its row.
constexpr int kLabelDrop = 5;

const QStringList kSuffixModes = {
    QStringLiteral("keinen"),        QStringLiteral("lfd. Nummer"),   QStringLiteral("Datum"),
    QStringLiteral("Datum + Zeit"),  QStringLiteral("Sich.-Kopie"),   QStringLiteral("Kopie (lfd. Nr.)"),
    QStringLiteral("Kopie (Datum)"), QStringLiteral("Kopie (D + Z)"),
};

QLineEdit* addEdit(QWidget* parent, const char* name, QRect place)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    return edit;
}

QLineEdit* addPasswordEdit(QWidget* parent, const char* name, QRect place)
{
    auto* edit = new MaskedEdit(kPasswordMask, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    return edit;
}

void addCheckBox(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
}

void addRadioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items, QRect place)
{
    auto* group = new RadioGroup(title, items, 2, place, parent);
    group->setObjectName(QLatin1String(name));
}

GlyphButton* addButton(QWidget* parent, const char* name, const QString& caption, const QString& glyphName, QRect place)
{
    auto* button = new GlyphButton(caption, glyph(glyphName), GlyphButton::Layout::ImageLeft, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    return button;
}

QWidget* addTab(QTabWidget* tabs, const char* name, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    tabs->addTab(page, caption);
    return page;
}

// The dialog's controls as the settings record sees them.
class FormControls final : public SettingsControls {
public:
    explicit FormControls(const QWidget* dialogForm)
        : form(dialogForm)
    {
    }

    QString text(const char* edit) const override { return find<QLineEdit>(edit)->text(); }
    void setText(const char* edit, const QString& text) override { find<QLineEdit>(edit)->setText(text); }
    bool isChecked(const char* box) const override { return find<QCheckBox>(box)->isChecked(); }
    void setChecked(const char* box, bool checked) override { find<QCheckBox>(box)->setChecked(checked); }
    int itemIndex(const char* group) const override { return find<RadioGroup>(group)->itemIndex(); }
    void setItemIndex(const char* group, int index) override { find<RadioGroup>(group)->setItemIndex(index); }

private:
    template <class Control>
    Control* find(const char* name) const
    {
        auto* control = form->findChild<Control*>(QLatin1String(name));
        Q_ASSERT_X(control, "FormControls", name);
        return control;
    }

    const QWidget* form;
};

}  // namespace

TEinstellForm::TEinstellForm(QWidget* parent)
    : OnDemandDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("EinstellForm"));
    setWindowTitle(QStringLiteral("Programm-Einstellungen"));
    setFont(programFont(11));
    setFixedSize(652, 445);
}

void TEinstellForm::createControls()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 4, 644, 400);
    createUserTab();
    createAddressTab();
    createAddressTab2();
    createAdminTab();
    createButtons();
}

QLabel* TEinstellForm::addLabel(QWidget* parent, const QString& text, QPoint place)
{
    const QByteArray name = "Label" + QByteArray::number(++labelCount);
    return ::addLabel(parent, name.constData(), text, place);
}

// "Passwort:", "Wiederholung:" and the "Passwort ändern" button of a password group.
void TEinstellForm::addPasswordFields(QWidget* group, const std::array<const char*, 3>& names, QLineEdit*& password,
                                      QLineEdit*& repeat, GlyphButton*& button)
{
    addLabel(group, QStringLiteral("Passwort:"), {8, 20 + kLabelDrop});
    password = addPasswordEdit(group, names[0], {84, 20, 120, 21});
    addLabel(group, QStringLiteral("Wiederholung:"), {8, 46 + kLabelDrop});
    repeat = addPasswordEdit(group, names[1], {84, 46, 120, 21});
    button =
        addButton(group, names[2], QStringLiteral("Passwort ändern"), QStringLiteral("password"), {84, 74, 120, 25});
}

void TEinstellForm::createUserTab()
{
    TabSheet1 = addTab(PageControl1, "TabSheet1", QStringLiteral("Nutzer-Optionen"));
    QWidget* page = TabSheet1;

    addLabel(page, QStringLiteral("Startseite (Home):"), {8, 12 + kLabelDrop});
    addEdit(page, "Edit6", {120, 12, 500, 21});
    addLabel(page, QStringLiteral("für Nur-Betrachter-Modus: automatische Aktualisierung alle: "),
             {8, 40 + kLabelDrop});
    addEdit(page, "Edit32", {306, 40, 44, 21});
    addLabel(page, QStringLiteral("(0 (nicht) .. 1000) min"), {356, 40 + kLabelDrop});
    addLabel(page, QStringLiteral("Suchseite:"), {8, 68 + kLabelDrop});
    addEdit(page, "Edit7", {120, 68, 500, 21});

    QGroupBox* more = addGroupFrame(page, "GroupBox1", QStringLiteral("weitere Nutzer-Optionen"), {8, 104, 624, 112});
    addLabel(more, QStringLiteral("Download-Ordner:"), {8, 20 + kLabelDrop});
    addEdit(more, "Edit19", {112, 20, 500, 21});
    addLabel(more,
             QStringLiteral("(für Downloads 1+2;  keine Angabe: Downloads landen im lokalen Unter-Ordner: "
                            ".\\Downloads\\"),
             {112, 44});
    addLabel(more, QStringLiteral("Download-Ordner 2:"), {8, 66 + kLabelDrop});
    addEdit(more, "Edit23", {112, 66, 500, 21});
    addLabel(more,
             QStringLiteral("(für Downloads 3+4; keine Angabe: Downloads landen im lokalen Unter-Ordner: "
                            ".\\Downloads\\)"),
             {112, 90});

    QGroupBox* password = addGroupFrame(page, "GroupBox2", QStringLiteral("Nutzer-Passwort"), {8, 226, 300, 106});
    addPasswordFields(password, {"Edit3", "Edit4", "BitBtn4"}, Edit3, Edit4, BitBtn4);
    connect(BitBtn4, &QPushButton::clicked, this, &TEinstellForm::BitBtn4Click);
}

void TEinstellForm::createAddressTab()
{
    TabSheet3 = addTab(PageControl1, "TabSheet3", QStringLiteral("Adressen + Downloads"));
    QWidget* page = TabSheet3;

    QGroupBox* web1 = addGroupFrame(page, "GroupBox3", QStringLiteral("Web-Adresse 1 (oben)"), {8, 4, 624, 68});
    addLabel(web1, QStringLiteral("URL:"), {8, 16 + kLabelDrop});
    addEdit(web1, "Edit8", {48, 16, 330, 21});
    addLabel(web1, QStringLiteral("z.B.: https://www.google.de/"), {388, 16 + kLabelDrop});
    addLabel(web1, QStringLiteral("Name:"), {8, 40 + kLabelDrop});
    addEdit(web1, "Edit9", {48, 40, 150, 21});
    addLabel(web1, QStringLiteral("(für Schaltfläche)"), {206, 40 + kLabelDrop});
    addLabel(web1, QStringLiteral("z.B.: Google"), {388, 40 + kLabelDrop});

    QGroupBox* web2 = addGroupFrame(page, "GroupBox4", QStringLiteral("Web-Adresse 2 (unten)"), {8, 76, 624, 68});
    addLabel(web2, QStringLiteral("URL:"), {8, 16 + kLabelDrop});
    addEdit(web2, "Edit10", {48, 16, 330, 21});
    addLabel(web2, QStringLiteral("Name:"), {8, 40 + kLabelDrop});
    addEdit(web2, "Edit11", {48, 40, 150, 21});

    addDownloadGroup(page, 1, {8, 148, 624, 108});
    addDownloadGroup(page, 2, {8, 262, 624, 100});
}

void TEinstellForm::createAddressTab2()
{
    TabSheet4 = addTab(PageControl1, "TabSheet4", QStringLiteral("Adressen + Downloads 2"));
    addDownloadGroup(TabSheet4, 3, {8, 4, 624, 108});
    addDownloadGroup(TabSheet4, 4, {8, 118, 624, 100});
}

void TEinstellForm::addDownloadGroup(QWidget* page, int number, QRect place)
{
    struct Names {
        const char* box;
        const char* title;
        const char* url;
        const char* name;
        const char* target;
        const char* suffix;
    };
    static constexpr Names kGroups[] = {
        {"GroupBox5", "Download 1 (links oben)", "Edit12", "Edit13", "Edit14", "RadioGroup1"},
        {"GroupBox6", "Download 2 (unten)", "Edit15", "Edit16", "Edit17", "RadioGroup2"},
        {"GroupBox7", "Download 3 (rechts oben)", "Edit24", "Edit25", "Edit26", "RadioGroup3"},
        {"GroupBox8", "Download 4 (rechts unten)", "Edit27", "Edit28", "Edit29", "RadioGroup4"},
    };
    const Names& names = kGroups[number - 1];
    // The upper download of each tab shows an example target.
    const bool example = number % 2 == 1;

    QGroupBox* box = addGroupFrame(page, names.box, QString::fromUtf8(names.title), place);
    addLabel(box, QStringLiteral("URL:"), {8, 16 + kLabelDrop});
    addEdit(box, names.url, {152, 16, 240, 21});
    addLabel(box, QStringLiteral("Name:"), {8, 40 + kLabelDrop});
    addEdit(box, names.name, {152, 40, 240, 21});
    addLabel(box, QStringLiteral("Speicherort und Dateiname:"), {8, 64 + kLabelDrop});
    addEdit(box, names.target, {152, 64, 240, 21});
    if (example)
        addLabel(box, QStringLiteral("z.B.: D:\\Downloads\\Beispiel.zip"), {152, 89});
    addRadioGroup(box, names.suffix, QStringLiteral("Dateinamenszusatz"), kSuffixModes, {400, 8, 216, 88});
}

void TEinstellForm::createAdminTab()
{
    TabSheet2 = addTab(PageControl1, "TabSheet2", QStringLiteral("Administrator-Optionen"));
    QWidget* page = TabSheet2;

    QGroupBox* program = addGroupFrame(page, "GroupBox9", QStringLiteral("Programm-Optionen"), {8, 4, 624, 68});
    addCheckBox(program, "CheckBox1", QStringLiteral("Programm ohne unnötige Meldungen und Dialoge (stiller Modus)"),
                {8, 16, 400, 19});
    addLabel(program, QStringLiteral("automatisches Ende des Programms: "), {8, 40 + kLabelDrop});
    addEdit(program, "Edit5", {196, 40, 56, 21});
    addLabel(program, QStringLiteral("s"), {258, 40 + kLabelDrop});
    addLabel(program, QStringLiteral("Anzahl Download-Versuche: "), {330, 40 + kLabelDrop});
    addEdit(program, "Edit18", {474, 40, 40, 21});

    QGroupBox* rights = addGroupFrame(page, "GroupBox10", QStringLiteral("Nutzer-Rechte"), {8, 78, 316, 100});
    addCheckBox(rights, "CheckBox2", QStringLiteral("darf Surfen / neue Adressen eingeben"), {8, 16, 300, 19});
    addCheckBox(rights, "CheckBox3", QStringLiteral("darf Suchen"), {8, 36, 300, 19});
    addCheckBox(rights, "CheckBox4", QStringLiteral("darf Nutzer-Optionen ändern"), {8, 56, 300, 19});
    addCheckBox(rights, "CheckBox5", QStringLiteral("darf Adressen und Downloads ändern"), {8, 76, 300, 19});

    QGroupBox* more = addGroupFrame(page, "GroupBox11", QStringLiteral("weitere Optionen"), {8, 184, 316, 56});
    addCheckBox(more, "CheckBox6", QStringLiteral("lokale Download´s  in den Ordner:  .\\Downloads\\   leiten"),
                {8, 16, 300, 19});
    addLabel(more, QStringLiteral("(statt Download-Ordner des Gastsystems)"), {26, 37});

    QGroupBox* window = addGroupFrame(page, "GroupBox12", QStringLiteral("Fenster-Einstellungen"), {8, 246, 316, 88});
    addRadioGroup(window, "RadioGroup5", QStringLiteral("Fenster-Modus"),
                  {QStringLiteral("normal"), QStringLiteral("festgelegt"), QStringLiteral("maximiert")},
                  {8, 16, 170, 62});
    addLabel(window, QStringLiteral("festgelegte ..."), {190, 18});
    addLabel(window, QStringLiteral("Breite:"), {190, 36 + kLabelDrop});
    addEdit(window, "Edit30", {228, 36, 50, 21});
    addLabel(window, QStringLiteral("Höhe:"), {190, 60 + kLabelDrop});
    addEdit(window, "Edit31", {228, 60, 50, 21});

    QGroupBox* counters = addGroupFrame(page, "GroupBox13", QStringLiteral("Download-Zähler"), {332, 78, 300, 100});
    addLabel(counters, QStringLiteral("Download1:"), {8, 16 + kLabelDrop});
    addEdit(counters, "Edit20", {70, 16, 64, 21});
    addLabel(counters, QStringLiteral("Download2:"), {150, 16 + kLabelDrop});
    addEdit(counters, "Edit21", {212, 16, 64, 21});
    addLabel(counters, QStringLiteral("Download3:"), {8, 40 + kLabelDrop});
    addEdit(counters, "Edit33", {70, 40, 64, 21});
    addLabel(counters, QStringLiteral("Download4:"), {150, 40 + kLabelDrop});
    addEdit(counters, "Edit34", {212, 40, 64, 21});
    addLabel(counters, QStringLiteral("max. Versionsanzahl:"), {8, 70 + kLabelDrop});
    addEdit(counters, "Edit22", {116, 70, 64, 21});
    addLabel(counters, QStringLiteral("(2 ... 60000)"), {186, 70 + kLabelDrop});

    QGroupBox* password =
        addGroupFrame(page, "GroupBox14", QStringLiteral("Administrator-Passwort"), {332, 184, 300, 106});
    addPasswordFields(password, {"Edit1", "Edit2", "BitBtn3"}, Edit1, Edit2, BitBtn3);
    connect(BitBtn3, &QPushButton::clicked, this, &TEinstellForm::BitBtn3Click);
}

void TEinstellForm::createButtons()
{
    BitBtn5 = addButton(this, "BitBtn5", QStringLiteral("Standard"), QStringLiteral("defaults"), {8, 412, 92, 25});
    BitBtn2 = addButton(this, "BitBtn2", QStringLiteral("Abbrechen"), QStringLiteral("cancel"), {456, 412, 92, 25});
    BitBtn1 = addButton(this, "BitBtn1", QStringLiteral("Beenden"), QStringLiteral("finish"), {554, 412, 92, 25});
    QFont bold = BitBtn1->font();
    bold.setBold(true);
    BitBtn1->setFont(bold);
    connect(BitBtn1, &QPushButton::clicked, this, &TEinstellForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TEinstellForm::BitBtn2Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TEinstellForm::BitBtn5Click);
}

void TEinstellForm::setRoles(bool adminLoggedIn, bool userLoggedIn)
{
    AdminLoggedIn = adminLoggedIn;
    UserLoggedIn = userLoggedIn;
}

void TEinstellForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TEinstellForm::FormShow()
{
    PageControl1->setCurrentWidget(AdminLoggedIn ? TabSheet2 : TabSheet1);
    ApplyRights();
    RecordToForm();
    shown = EinstellDaten;
}

void TEinstellForm::ApplyRights()
{
    ensureControls();
    for (const ControlState& state : controlStates(AdminLoggedIn, EinstellDaten))
        findChild<QWidget*>(QLatin1String(state.control))->setEnabled(state.enabled);
}

void TEinstellForm::RecordToForm()
{
    ensureControls();
    FormControls controls(this);
    recordToControls(EinstellDaten, controls);
}

bool TEinstellForm::FormToRecord()
{
    ensureControls();
    const FormControls controls(this);
    if (const std::optional<QString> text = controlsToRecord(controls, {AdminLoggedIn, UserLoggedIn}, EinstellDaten)) {
        showMessage(MessageKind::Error, notANumberMessage(*text));
        return false;
    }
    return true;
}

void TEinstellForm::reject()
{
    done(2);
}

void TEinstellForm::BitBtn1Click()
{
    if (finishTakesOver({AdminLoggedIn, UserLoggedIn}, EinstellDaten)) {
        // The file is read, changed and written under the run lock: a running
        // number a job has advanced since stays, unless it was changed here.
        const RunLock lock(ProgramFolder, std::chrono::milliseconds(0));
        if (lock.state() == RunLock::State::Refused) {
            showMessage(MessageKind::Error,
                        lock.refusal() + QStringLiteral("\rDie Einstellungen werden nicht gespeichert."));
            return;
        }
        if (!lock.mayGoOn()) {
            showMessage(MessageKind::Information,
                        QStringLiteral("Ein Download mit denselben Einstellungen läuft gerade.\r"
                                       "Bitte wählen Sie gleich noch einmal „Beenden“."));
            return;
        }
        if (!FormToRecord())
            return;
        if (const std::optional<TEinstellRecord> saved = peekSettingsFile(ProgramFolder + SettingsFileName))
            keepAdvancedCounters(shown, *saved, EinstellDaten);
        SaveSettings();
    }
    done(1);
}

void TEinstellForm::BitBtn2Click()
{
    done(2);
}

void TEinstellForm::BitBtn3Click()
{
    PasswordFields fields{Edit1->text(), Edit2->text()};
    changeAdminPassword(fields, AdminLoggedIn, EinstellDaten);
    Edit1->setText(fields.password);
    Edit2->setText(fields.repeat);
}

void TEinstellForm::BitBtn4Click()
{
    PasswordFields fields{Edit3->text(), Edit4->text()};
    changeUserPassword(fields, AdminLoggedIn, UserLoggedIn, EinstellDaten);
    Edit3->setText(fields.password);
    Edit4->setText(fields.repeat);
}

void TEinstellForm::BitBtn5Click()
{
    if (AdminLoggedIn)
        ResetAllOptions(EinstellDaten);
    else
        ResetUserOptions(EinstellDaten, StandardDaten);
    RecordToForm();
}
