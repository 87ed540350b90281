#pragma once

// The about dialog: product line, version and the maker's contact block.
// Created once and hidden between showings; centred on its parent each time
// it is shown. "OK" closes it with result 1, the close box (or Escape) with 2.

#include "dialogs/OnDemandDialog.h"

class TAboutForm : public OnDemandDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void reject() override;

protected:
    void createControls() override;

private slots:
    void Button1Click();
};
