#include "downloads/WorkerHandoff.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>

namespace {

constexpr int kTickMs = 250;      // progress shown four times a second
constexpr int kPauseWakeMs = 50;  // how often a pause looks at its flag

// Delivers this thread's events until done(). A timer wakes the loop every
// wakeMs; tick runs here, between events, so what it throws stays out of the
// timer's dispatch.
void waitUntil(const std::function<bool()>& done, int wakeMs, const std::function<void()>& tick)
{
    bool due = true;  // the first tick comes at once
    QTimer waker;
    QObject::connect(&waker, &QTimer::timeout, &waker, [&due] { due = true; });
    waker.start(wakeMs);
    for (;;) {
        if (std::exchange(due, false) && tick)
            tick();
        if (done())
            return;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace

void runOnWorker(const std::function<void()>& work, const std::function<void()>& tick, CancelFlag& breakOff)
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
        dispatcher->wakeUp();  // the loop may be waiting for its next event
    });
    try {
        waitUntil([&finished] { return finished.load(); }, kTickMs, tick);
    } catch (...) {
        breakOff.set();  // before the join: a stalled transfer must not hold the window
        worker.join();
        throw;
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void waitUnlessCancelled(int ms, const CancelFlag& cancel)
{
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.elapsed() >= ms || cancel.isSet(); }, kPauseWakeMs, {});
}
