#include "widgets/StatusPanel.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kTextMargin = 2;  // between the sunken frame and the text

}  // namespace

StatusPanel::StatusPanel(QWidget* parent)
    : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setTextFormat(Qt::PlainText);
}

QString StatusPanel::shownText() const
{
    return wholeWordsThatFit(text(), fontMetrics(), contentsRect().width() - 2 * kTextMargin);
}

void StatusPanel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     shownText());
}

QString wholeWordsThatFit(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString more = QStringLiteral(" …");
    for (qsizetype end = text.lastIndexOf(QLatin1Char(' ')); end > 0;
         end = text.lastIndexOf(QLatin1Char(' '), end - 1)) {
        const QString words = text.left(end).trimmed();
        if (!words.isEmpty() && metrics.horizontalAdvance(words + more) <= width)
            return words + more;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}
