#pragma once

// The flash message: a caption, a bold headline and five centred lines, with
// a small countdown bar; it closes itself after its display time, or at once
// through its button. Shown modally through ShowFlashMessage, one at a time.

#include "dialogs/FlashMessage.h"

#include <QDialog>
#include <cstdint>

class QLineEdit;
class QTextEdit;
class QProgressBar;
class QPushButton;
class Timer;

class TInfoDlg : public QDialog {
    Q_OBJECT
public:
    // The program's one flash dialog; ShowFlashMessage uses the last one created.
    explicit TInfoDlg(QWidget* parent = nullptr);
    ~TInfoDlg() override;

    void reject() override;

private:
    friend void ShowFlashMessage(const FlashMessage& message);
    void FormShow();
    void Timer1Timer();
    void BitBtn1Click();

    QLineEdit* Edit1;
    QTextEdit* Memo1;
    QProgressBar* ProgressBar1;
    QPushButton* BitBtn1;
    Timer* Timer1;

    QString captionSlot = QStringLiteral("Blitz-Meldung");
    QString headlineSlot;
    QString lineSlots[5];
    std::uint16_t FlashStepInterval = 0;
    std::uint16_t FlashStepCounter = 0;
};

// Shows the message modally and returns when it has closed; ignored while
// another one is shown.
void ShowFlashMessage(const FlashMessage& message);

// True while a flash message is shown.
bool flashMessageOpen();
