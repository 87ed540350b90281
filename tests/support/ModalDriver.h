#pragma once

// Acts on a modal dialog from inside its own event loop: while the driver
// lives, the action runs once, as soon as a visible top-level widget of type
// T appears (polling every 20 ms).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

template <typename T>
class WhenShown {
public:
    explicit WhenShown(std::function<void(T*)> action)
    {
        QObject::connect(&poll, &QTimer::timeout, &poll, [this, action] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
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
