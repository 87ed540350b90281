#include "widgets/GlyphButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kMargin = 4;
}

GlyphButton::GlyphButton(const QString& caption, const QIcon& glyph, Layout glyphLayout, QWidget* parent)
    : QPushButton(caption, parent)
    , layout(glyphLayout)
{
    setIcon(glyph);
    setIconSize(layout == Layout::ImageAbove ? QSize(24, 24) : QSize(16, 16));
    setAutoDefault(false);
}

void GlyphButton::setSpacing(int pixels)
{
    spacing = pixels;
    update();
}

void GlyphButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap picture = icon().pixmap(iconSize(), devicePixelRatioF(), mode);
    const QSize pictureSize = picture.deviceIndependentSize().toSize();
    const int shift = isDown() ? 1 : 0;

    QRect textRect;
    int textFlags = Qt::TextShowMnemonic;
    if (layout == Layout::ImageAbove) {
        const int x = (width() - pictureSize.width()) / 2;
        painter.drawPixmap(x + shift, area.top() + 1 + shift, picture);
        textRect =
            QRect(0, area.top() + pictureSize.height() + 1, width(), area.bottom() - area.top() - pictureSize.height());
        textFlags |= Qt::AlignHCenter | Qt::AlignVCenter;
    } else {
        const int y = (height() - pictureSize.height()) / 2;
        painter.drawPixmap(kMargin + shift, y + shift, picture);
        const int textLeft = text().isEmpty() ? width() : kMargin + pictureSize.width() + spacing;
        textRect = QRect(textLeft, 0, width() - textLeft, height());
        textFlags |= Qt::AlignLeft | Qt::AlignVCenter;
    }
    if (!text().isEmpty())
        painter.drawItemText(textRect.translated(shift, shift), textFlags, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
}
