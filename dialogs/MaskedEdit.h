#pragma once

// A password field that shows every character as the given mask character
// ("#" in the settings dialog, "*" in the password prompt) instead of the
// style's own dot.

#include <QLineEdit>

class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedEdit(QChar mask, QWidget* parent = nullptr);
};
