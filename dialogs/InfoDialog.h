#pragma once

// The flash message: a caption, a bold headline and five centred lines, with
// a small countdown bar; it closes itself after its display time, or at once
// through its button. Shown modally through ShowFlashMessage, one at a time.

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend void ShowFlashMessage(const QString&, const QString&, const QString&, const QString&, const QString&,
                                 const QString&, const QString&, std::int32_t);
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

// Shows the message modally and returns when it has closed. durationMs below
// 0 means 3 seconds, 0 means 30 seconds.
void ShowFlashMessage(const QString& caption, const QString& headline, const QString& line1, const QString& line2,
                      const QString& line3, const QString& line4, const QString& line5, std::int32_t durationMs);

// True while a flash message is shown.
bool FlashMessageOpen();
