#include "dialogs/passwort.h"

#include "dialogs/DialogParts.h"
#include "dialogs/MaskedEdit.h"
#include "platform/Clock.h"
#include "platform/LoginAttempts.h"
#include "platform/ProgramFont.h"
#include "settings/MB_Daten.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

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
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Zugangskontrolle für Konfigurationsbereich"));
    setFont(programFont());
    setFixedSize(372, 104);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    setPalette(yellow);
    setAutoFillBackground(true);

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

    Label2 = addLabel(this, "Label2", QStringLiteral("(ohne ein Passwort können die Einstellungen "),
                      QRect(56, 72, 215, 13));
    Label3 = addLabel(this, "Label3", QStringLiteral(" nicht übernommen werden!)"), QRect(56, 84, 134, 13));
    fitToText(Label2);
    fitToText(Label3);

    WaitLabel = addLabel(this, "WaitLabel", QString(), QRect(8, 72, 272, 26));
    WaitLabel->setFont(bold(programFont(11)));
    WaitLabel->setWordWrap(true);
    WaitLabel->hide();
    waitTicks = new QTimer(this);
    waitTicks->setInterval(250);
    connect(waitTicks, &QTimer::timeout, this, &TPasswordDlg::showWait);
}

void TPasswordDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showWait();
}

void TPasswordDlg::showWait()
{
    if (!isVisible()) {
        waitTicks->stop();
        return;
    }
    const std::chrono::milliseconds wait = loginWait(readLoginAttempts(), currentDateTime());
    const bool waiting = wait.count() > 0;
    OKBtn->setEnabled(!waiting);
    Label2->setVisible(!waiting);
    Label3->setVisible(!waiting);
    WaitLabel->setVisible(waiting);
    if (!waiting) {
        waitTicks->stop();
        return;
    }
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(wait).count();
    WaitLabel->setText(QStringLiteral("Zu viele falsche Eingaben: die nächste ist in %1 s möglich.").arg(seconds));
    if (!waitTicks->isActive())
        waitTicks->start();
}

void TPasswordDlg::reject()
{
    CancelBtnClick();
}

void TPasswordDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape is the cancel button, not a mere close.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPasswordDlg::OKBtnClick()
{
    if (!OKBtn->isEnabled())
        return;  // still waiting after wrong entries
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
