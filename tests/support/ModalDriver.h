#pragma once

// Acts on a modal dialog from inside its own event loop: while the driver
// lives, the action runs as soon as a visible top-level widget of type T
// appears (polling every 20 ms), on the first one only or on every one (which
// the action then closes).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

template <typename T>
class WhenShown {
public:
    enum class Showings { First, Every };

    explicit WhenShown(std::function<void(T*)> action, Showings showings = Showings::First)
    {
        QObject::connect(&poll, &QTimer::timeout, &poll, [this, action, showings] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                    if (showings == Showings::First)
                        poll.stop();
                    action(dialog);
                    return;
                }
            }
        });
        poll.start(20);
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

private:
    QTimer poll;
};
