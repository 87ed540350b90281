#include "widgets/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

AnchorLayout::AnchorLayout(QWidget* parent, QSize design)
    : QLayout(parent)
    , designSize(design)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AnchorLayout::~AnchorLayout()
{
    for (const Entry& entry : entries)
        delete entry.item;
}

void AnchorLayout::add(QWidget* widget, QRect rect, int anchors)
{
    addChildWidget(widget);
    entries.append({new QWidgetItem(widget), rect, anchors});
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item)
{
    entries.append({item, QRect(QPoint(0, 0), item->sizeHint()), Left | Top});
}

QLayoutItem* AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < entries.size() ? entries[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= entries.size())
        return nullptr;
    return entries.takeAt(index).item;
}

int AnchorLayout::count() const
{
    return static_cast<int>(entries.size());
}

QSize AnchorLayout::sizeHint() const
{
    return designSize;
}

QSize AnchorLayout::minimumSize() const
{
    return designSize;
}

// One axis: a control anchored at both edges stretches, one anchored only at
// the far edge moves, any other keeps its place.
static void follow(int& start, int& length, int growth, bool nearEdge, bool farEdge)
{
    if (nearEdge && farEdge)
        length += growth;
    else if (farEdge)
        start += growth;
}

void AnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    // Below the designed size (a window manager that ignores the minimum) the
    // controls keep their designed places and the window clips them.
    const int dx = std::max(0, rect.width() - designSize.width());
    const int dy = std::max(0, rect.height() - designSize.height());
    for (const Entry& entry : entries) {
        int x = entry.design.x();
        int y = entry.design.y();
        int w = entry.design.width();
        int h = entry.design.height();
        follow(x, w, dx, entry.anchors & Left, entry.anchors & Right);
        follow(y, h, dy, entry.anchors & Top, entry.anchors & Bottom);
        // Straight to the widget: its size policy must not override the design.
        const QRect placed(rect.x() + x, rect.y() + y, w, h);
        if (QWidget* widget = entry.item->widget())
            widget->setGeometry(placed);
        else
            entry.item->setGeometry(placed);
    }
}
