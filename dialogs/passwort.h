#pragma once

// The password prompt in front of the settings: a yellow box with one masked
// field. "OK" (or Enter) stores the entry in EnteredPassword, empties the
// field and closes with 1; "Abbrechen", Escape and the close box empty
// EnteredPassword and the field and close with 2, so that nothing typed waits
// for the next visitor. After repeated wrong entries OK stays disabled for a
// while, with a countdown in place of the note below the field. Created once
// and hidden between showings, centred on its parent each time.

#include "dialogs/OnDemandDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TPasswordDlg : public OnDemandDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    void reject() override;

protected:
    void createControls() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();
    void CancelBtnClick();
    // Enables OK once the wait after wrong entries is over, and shows how long it still is.
    void showWait();

    QLineEdit* Password = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* WaitLabel = nullptr;
    QTimer* waitTicks = nullptr;
};
