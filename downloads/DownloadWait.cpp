#include "downloads/DownloadWait.h"

#include "platform/web/PageDownloads.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Whether receiver belongs to the modal window that is open, if any.
bool inModalWindow(QObject* receiver)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (const auto* widget = qobject_cast<QWidget*>(receiver))
        return widget->window() == modal;
    if (const auto* window = qobject_cast<QWindow*>(receiver))
        return window == modal->windowHandle();
    return false;
}

bool isEscape(const QEvent* event)
{
    return event->type() == QEvent::KeyPress && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// Sees every event of this thread before its receiver does.
class InputFilter : public QObject {
public:
    InputFilter(QWidget* button, std::function<void()> onStop)
        : stopButton(button)
        , stop(std::move(onStop))
    {
    }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (inModalWindow(receiver))
            return false;
        if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();  // the window stays
            return true;
        }
        if (isEscape(event) || isClickOnStopButton(event))
            stop();
        return isUserInput(event->type());
    }

private:
    // Seen at whatever receiver it first reaches, the window as a rule.
    bool isClickOnStopButton(const QEvent* event) const
    {
        if (event->type() != QEvent::MouseButtonRelease || !stopButton || !stopButton->isEnabled()
            || !stopButton->isVisible())
            return false;
        const QPointF global = static_cast<const QMouseEvent*>(event)->globalPosition();
        return stopButton->rect().contains(stopButton->mapFromGlobal(global.toPoint()));
    }

    QPointer<QWidget> stopButton;
    std::function<void()> stop;
};

}  // namespace

DownloadWait::DownloadWait(QWidget* stopButton, const std::function<void()>& stop)
    : inputFilter(std::make_unique<InputFilter>(stopButton, stop))
{
    QCoreApplication::instance()->installEventFilter(inputFilter.get());
    setButtonDownloadRunning(true);
}

DownloadWait::~DownloadWait()
{
    setButtonDownloadRunning(false);
    QCoreApplication::instance()->removeEventFilter(inputFilter.get());
}
