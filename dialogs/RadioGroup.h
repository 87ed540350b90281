#pragma once

// A framed group of radio buttons laid out in columns, filled column by
// column. The index of the chosen item is the group's value; an index outside
// the items chooses none.

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns, QRect place, QWidget* parent);

    // -1 when no item is chosen.
    int itemIndex() const;
    void setItemIndex(int index);

    QRadioButton* item(int index) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeItems();

    QButtonGroup* buttons;
    QList<QRadioButton*> items;
    int columns;
};
