#pragma once

// A ring of two pixels in the window text's colour around the control that
// holds the keyboard focus, drawn over the background the controls stand on.
// The style marks a focused button or box only faintly, and a page not at
// all; the ring stands out from any light background.

#include <QPointer>
#include <QWidget>

class FocusRing : public QWidget {
    Q_OBJECT
public:
    // Follows the focus among the children of area and whatever they hold.
    explicit FocusRing(QWidget* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);
    void place();

    QPointer<QWidget> control;
};
