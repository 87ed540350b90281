#pragma once

// Keeps every control at its designed rectangle and moves or stretches it by
// the growth of its parent beyond the designed size, according to its anchors:
// a control anchored left and right widens with the parent, one anchored only
// right moves with the right edge; likewise for top and bottom.

#include <QLayout>
#include <QList>
#include <QRect>

class AnchorLayout : public QLayout {
public:
    enum Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };

    AnchorLayout(QWidget* parent, QSize designSize);
    ~AnchorLayout() override;

    // Places widget at rect (in the designed parent size) with the given anchors.
    void add(QWidget* widget, QRect rect, int anchors = Left | Top);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        QRect design;
        int anchors;
    };
    QList<Entry> entries;
    QSize designSize;
};
