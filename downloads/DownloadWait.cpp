#include "downloads/DownloadWait.h"

#include "platform/web/PageDownloads.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <exception>
#include <thread>

namespace {

constexpr int kTickMs = 250;      // progress shown four times a second
constexpr int kPauseWakeMs = 50;  // how often a pause looks at its stop condition

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

// Sees every event of this thread before its receiver does.
class InputFilter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (inModalWindow(receiver))
            return false;
        if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();  // the window stays
            return true;
        }
        return isUserInput(event->type());
    }
};

}  // namespace

DownloadWait::DownloadWait()
    : inputFilter(std::make_unique<InputFilter>())
{
    QCoreApplication::instance()->installEventFilter(inputFilter.get());
    setButtonDownloadRunning(true);
}

DownloadWait::~DownloadWait()
{
    setButtonDownloadRunning(false);
    QCoreApplication::instance()->removeEventFilter(inputFilter.get());
}

void DownloadWait::run(const std::function<void()>& work, const std::function<void()>& tick)
{
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        dispatcher->wakeUp();  // the loop below may be waiting for its next event
    });
    try {
        waitUntil([&finished] { return finished.load(); }, kTickMs, tick);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void DownloadWait::pause(int ms, const std::function<bool()>& stop)
{
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.elapsed() >= ms || stop(); }, kPauseWakeMs, {});
}

void DownloadWait::waitUntil(const std::function<bool()>& done, int wakeMs, const std::function<void()>& tick)
{
    // The timer wakes the loop to look at done() and to call tick.
    QTimer waker;
    QObject::connect(&waker, &QTimer::timeout, &waker, [&tick] {
        if (tick)
            tick();
    });
    waker.start(wakeMs);
    if (tick)
        tick();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
