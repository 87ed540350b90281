#include "platform/host/Timer.h"

#include <algorithm>
#include <limits>

Timer::Timer(std::uint32_t interval, bool enabled, QObject* parent)
    : QObject(parent)
    , intervalMs(interval)
{
    piece.setSingleShot(true);
    piece.setTimerType(Qt::PreciseTimer);
    connect(&piece, &QTimer::timeout, this, &Timer::onPiece);
    late.setSingleShot(true);
    connect(&late, &QTimer::timeout, this, &Timer::fireLate);
    setRunning(enabled);
}

void Timer::setInterval(std::uint32_t ms)
{
    intervalMs = ms;
    if (running)
        arm();
}

void Timer::setInterval(std::chrono::milliseconds interval)
{
    setInterval(static_cast<std::uint32_t>(interval.count()));
}

void Timer::start(std::chrono::milliseconds interval)
{
    intervalMs = static_cast<std::uint32_t>(interval.count());
    start();
}

void Timer::start()
{
    running = true;
    arm();
}

void Timer::stop()
{
    running = false;
    piece.stop();
    late.stop();
    dueWhileHeld = false;
}

void Timer::setRunning(bool run)
{
    if (run)
        start();
    else
        stop();
}

// A fresh full interval, handed to QTimer in pieces that fit its int milliseconds.
void Timer::arm()
{
    piece.stop();
    late.stop();  // a fresh interval, or a tick that takes the late one's place
    dueWhileHeld = false;
    remainingMs = intervalMs;
    if (remainingMs != 0)  // an interval of 0 never fires
        startPiece();
}

void Timer::startPiece()
{
    const auto step = std::min<std::uint64_t>(remainingMs, std::numeric_limits<int>::max());
    remainingMs -= step;
    piece.start(static_cast<int>(step));
}

void Timer::onPiece()
{
    if (remainingMs > 0) {
        startPiece();
        return;
    }
    // The next interval begins before the handler runs, so that a handler that
    // stops the timer or sets a new interval leaves it in a sound state.
    arm();
    if (held) {
        dueWhileHeld = true;
        return;
    }
    emit timeout();
}

void Timer::setHeld(bool hold)
{
    held = hold;
    if (!held && dueWhileHeld)
        late.start(0);
}

void Timer::fireLate()
{
    if (held || !dueWhileHeld)
        return;
    dueWhileHeld = false;
    emit timeout();
}

PausedTimers::PausedTimers(std::initializer_list<Timer*> timers)
{
    for (Timer* timer : timers) {
        states.append({timer, timer->isRunning()});
        timer->stop();
    }
}

PausedTimers::~PausedTimers()
{
    for (const auto& [timer, running] : states)
        timer->setRunning(running);
}

HeldTimers::HeldTimers(std::initializer_list<Timer*> held)
    : timers(held)
{
    for (Timer* timer : timers)
        timer->setHeld(true);
}

HeldTimers::~HeldTimers()
{
    for (Timer* timer : timers)
        timer->setHeld(false);
}
