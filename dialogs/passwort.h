#pragma once

// The password prompt in front of the settings: a yellow box with one masked
// field. "OK" (or Enter) stores the entry in EnteredPassword, empties the
// field and closes with 1; "Abbrechen", Escape and the close box empty
// EnteredPassword and the field and close with 2, so that nothing typed waits
// for the next visitor. Enter is taken by the focused button, else by OK, and
// moves the focus to the next control while the prompt stays open. Created
// once and hidden between showings, centred on its parent each time.

#include "dialogs/OnDemandDialog.h"

class QLineEdit;
class QPushButton;

class TPasswordDlg : public OnDemandDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    void reject() override;

protected:
    void createControls() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OKBtnClick();
    void CancelBtnClick();
    void FormKeyPress(QKeyEvent* event);

    QLineEdit* Password = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
