#include "dialogs/InfoDialog.h"

#include "platform/host/Timer.h"
#include "widgets/ProgramFont.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

namespace {

TInfoDlg* instance = nullptr;

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

}  // namespace

TInfoDlg::TInfoDlg(QWidget* parent)
    : OnDemandDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("InfoDlg"));
    setWindowTitle(QStringLiteral("Info-Dialog"));
    setFont(programFont());
    setFixedSize(394, 188);
    setModal(true);

    Timer1 = new Timer(0, false, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &Timer::timeout, this, &TInfoDlg::Timer1Timer);
    instance = this;
}

TInfoDlg::~TInfoDlg()
{
    if (instance == this)
        instance = nullptr;
}

void TInfoDlg::createControls()
{
    const QColor face = palette().color(QPalette::Window);
    QPalette facePalette = palette();
    facePalette.setColor(QPalette::Base, face);

    BitBtn1 = new QPushButton(QStringLiteral("OK   /   Schließen"), this);  // first in tab order
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFont(bold(font()));
    BitBtn1->setGeometry(240, 156, 129, 25);
    BitBtn1->setDefault(true);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFrame(false);
    Edit1->setPalette(facePalette);
    Edit1->setFont(bold(font()));
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setGeometry(24, 8, 345, 21);

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setPalette(facePalette);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QTextEdit::WidgetWidth);
    Memo1->setAcceptRichText(false);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setGeometry(8, 32, 377, 113);

    auto* label = new QLabel(QStringLiteral("autom. Schließen"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setStyleSheet(QStringLiteral("color: blue"));
    // The designed 82 pixels are a little short for this font: the label may grow.
    label->setGeometry(8, 152, std::max(82, label->sizeHint().width()), 13);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 10);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(8, 164, 81, 17);

    connect(BitBtn1, &QPushButton::clicked, this, &TInfoDlg::BitBtn1Click);
}

void TInfoDlg::FormShow()
{
    FlashStepCounter = 1;
    ProgressBar1->setValue(1);
    Timer1->setInterval(FlashStepInterval);
    Timer1->start();
    setWindowTitle(captionSlot);
    Edit1->setText(headlineSlot);
    Memo1->setPlainText(QStringList(std::begin(lineSlots), std::end(lineSlots)).join(QLatin1Char('\n')));
    // Centre every line.
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    BitBtn1->setFocus();
}

void TInfoDlg::Timer1Timer()
{
    if (FlashStepCounter >= kFlashSteps) {
        BitBtn1Click();
        return;
    }
    ++FlashStepCounter;
    ProgressBar1->setValue(FlashStepCounter);
    ProgressBar1->repaint();
}

void TInfoDlg::BitBtn1Click()
{
    Timer1->stop();
    done(2);
}

// Escape acts as the button; there is no close box.
void TInfoDlg::reject()
{
    BitBtn1Click();
}

void ShowFlashMessage(const FlashMessage& message)
{
    TInfoDlg* dialog = instance;
    if (!dialog || dialog->isVisible())
        return;  // one message at a time
    dialog->Timer1->stop();
    dialog->captionSlot = message.caption;
    dialog->headlineSlot = message.headline;
    std::copy(message.lines.begin(), message.lines.end(), std::begin(dialog->lineSlots));
    dialog->FlashStepInterval = flashStepIntervalFor(message.duration, message.customTime);
    dialog->ensureControls();
    // The countdown starts here, once per message: the show events that the
    // window system sends again (a minimised main window coming back) leave it.
    dialog->FormShow();
    dialog->exec();
}

bool flashMessageOpen()
{
    return instance && instance->isVisible();
}
