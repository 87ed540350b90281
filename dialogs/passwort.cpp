#include "dialogs/passwort.h"

#include "dialogs/DialogParts.h"
#include "dialogs/MaskedEdit.h"
#include "settings/MB_Daten.h"
#include "widgets/ProgramFont.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

// The designed label widths are a few pixels short for this font; a label
// grows to its text, never shrinks below its place.
void fitToText(QLabel* label)
{
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    if (needed > label->width())
        label->resize(needed, label->height());
}
}  // namespace

TPasswordDlg::TPasswordDlg(QWidget* parent)
    : OnDemandDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Zugangskontrolle für Konfigurationsbereich"));
    setFont(programFont());
    setFixedSize(372, 104);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    setPalette(yellow);
    setAutoFillBackground(true);
}

void TPasswordDlg::createControls()
{
    QLabel* Label1 =
        addLabel(this, "Label1", QStringLiteral("Bitte das (Nutzer- oder Administrator-) Passwort eingeben:"),
                 QRect(8, 9, 329, 13));
    Label1->setFont(bold(programFont(11)));
    fitToText(Label1);

    Password = new MaskedEdit(QLatin1Char('*'), this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setFont(programFont(19));
    Password->setGeometry(128, 35, 137, 32);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(286, 35, 75, 25);
    OKBtn->setFont(bold(font()));
    OKBtn->setDefault(true);
    OKBtn->setFocusPolicy(Qt::ClickFocus);
    connect(OKBtn, &QPushButton::clicked, this, &TPasswordDlg::OKBtnClick);

    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(286, 67, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &TPasswordDlg::CancelBtnClick);

    fitToText(addLabel(this, "Label2", QStringLiteral("(ohne ein Passwort können die Einstellungen "),
                       QRect(56, 72, 215, 13)));
    fitToText(addLabel(this, "Label3", QStringLiteral(" nicht übernommen werden!)"), QRect(56, 84, 134, 13)));
}

void TPasswordDlg::reject()
{
    ensureControls();  // cancelling works on the field
    CancelBtnClick();
}

void TPasswordDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape is the cancel button, not a mere close.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);  // Enter: the focused button, else the default one
    FormKeyPress(event);
}

// Enter also moves the focus to the next control; it shows where no button
// took the key (Shift+Enter). A prompt that Enter closed keeps its focus on
// the field, where the next visitor types.
void TPasswordDlg::FormKeyPress(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && isVisible())
        focusNextChild();
}

void TPasswordDlg::OKBtnClick()
{
    Password->setFocus();
    EnteredPassword = Password->text();
    Password->clear();
    done(1);
}

void TPasswordDlg::CancelBtnClick()
{
    Password->setFocus();
    Password->clear();
    EnteredPassword.clear();
    done(2);
}
