#pragma once

// A dialog whose controls are built the first time they are needed instead of
// with the dialog: the program creates all its dialogs at start, before the
// home page is requested, and most runs show few of them or none. The
// controls come before the first showing (show(), exec(), open()), or earlier
// when an operation of the dialog reads or writes them.

#include <QDialog>

class OnDemandDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    void setVisible(bool visible) override;
    // Builds the controls unless they are there.
    void ensureControls();

protected:
    // Called once, by ensureControls().
    virtual void createControls() = 0;

private:
    bool controlsBuilt = false;
};
