#include "dialogs/RadioGroup.h"

#include "dialogs/DialogParts.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {
// Room inside the frame: below the caption on the frame line and at the sides.
constexpr int kTop = 14;
constexpr int kSide = 8;
constexpr int kBottom = 4;
}  // namespace

RadioGroup::RadioGroup(const QString& title, const QStringList& captions, int columnCount, QRect place, QWidget* parent)
    : QGroupBox(title, parent)
    , buttons(new QButtonGroup(this))
    , columns(columnCount)
{
    useClassicFrame(this);
    setGeometry(place);
    for (const QString& caption : captions) {
        auto* button = new QRadioButton(caption, this);
        buttons->addButton(button, static_cast<int>(items.size()));
        items.append(button);
    }
    placeItems();
}

int RadioGroup::itemIndex() const
{
    return buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < items.size()) {
        items[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; let go of it for a moment.
    buttons->setExclusive(false);
    for (QRadioButton* button : items)
        button->setChecked(false);
    buttons->setExclusive(true);
}

QRadioButton* RadioGroup::item(int index) const
{
    return items.value(index);
}

// A hidden group receives its resize event only when shown; the items are
// placed at once in the constructor and again at every later resize.
void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    placeItems();
}

void RadioGroup::placeItems()
{
    const int count = static_cast<int>(items.size());
    if (count == 0)
        return;
    const int rows = (count + columns - 1) / columns;
    const int columnWidth = (width() - 2 * kSide) / columns;
    const int rowHeight = (height() - kTop - kBottom) / rows;
    for (int i = 0; i < count; ++i)
        items[i]->setGeometry(kSide + (i / rows) * columnWidth, kTop + (i % rows) * rowHeight, columnWidth, rowHeight);
}
