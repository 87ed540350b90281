#pragma once

// The password prompt in front of the settings: a yellow box with one masked
// field. "OK" (or Enter) stores the entry in EnteredPassword, empties the
// field and closes with 1; "Abbrechen" (or Escape) empties EnteredPassword and
// closes with 2, leaving the entry in the field for the next opening. The
// close box closes with 2 and changes nothing. Created once and hidden between
// showings, centred on its parent each time.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OKBtnClick();
    void CancelBtnClick();

    QLineEdit* Password = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
