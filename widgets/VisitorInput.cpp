#include "widgets/VisitorInput.h"

#include "platform/host/Clock.h"

#include <QApplication>
#include <QEvent>

namespace {

QDateTime lastInput;  // on the program's clock, which tests can move

class InputFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
            if (event->spontaneous())
                lastInput = currentDateTime();
            break;
        default:
            break;
        }
        return false;
    }
};

}  // namespace

void watchVisitorInput()
{
    if (lastInput.isValid())
        return;
    lastInput = currentDateTime();
    qApp->installEventFilter(new InputFilter(qApp));
}

std::chrono::milliseconds sinceVisitorInput()
{
    return lastInput.isValid() ? std::chrono::milliseconds(lastInput.msecsTo(currentDateTime()))
                               : std::chrono::milliseconds::max();
}
