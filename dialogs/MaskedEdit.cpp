#include "dialogs/MaskedEdit.h"

#include <QApplication>
#include <QProxyStyle>

namespace {
// The application's style with another password character.
class MaskStyle : public QProxyStyle {
public:
    explicit MaskStyle(QChar maskChar)
        : QProxyStyle(QApplication::style()->name())
        , mask(maskChar)
    {
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar mask;
};
}  // namespace

MaskedEdit::MaskedEdit(QChar mask, QWidget* parent)
    : QLineEdit(parent)
{
    auto* style = new MaskStyle(mask);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}
