#pragma once

// A timer with the semantics the program relies on: starting it, or setting
// its interval while it runs, begins a fresh full interval; an interval of 0
// never fires; stopping and restarting is exact. Intervals up to 2^32-1 ms are
// allowed (the refresh interval can exceed what QTimer takes in one piece).
// A held timer behaves as if its messages were delivered late.

#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <utility>

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(std::uint32_t intervalMs, bool enabled, QObject* parent = nullptr);

    std::uint32_t interval() const { return intervalMs; }
    void setInterval(std::uint32_t ms);
    void setInterval(std::chrono::milliseconds interval);
    bool isRunning() const { return running; }
    void start();
    // Sets the interval and starts: a fresh full interval.
    void start(std::chrono::milliseconds interval);
    void stop();
    void setRunning(bool run);
    // While held the timer goes on counting but does not fire. Intervals that
    // end meanwhile fire once, as soon as the event loop runs after the hold,
    // and the rhythm of the intervals stays as it was.
    void setHeld(bool hold);

signals:
    void timeout();

private:
    void arm();
    void startPiece();
    void onPiece();
    void fireLate();

    QTimer piece;
    QTimer late;  // the late tick after a hold
    std::uint32_t intervalMs;
    std::uint64_t remainingMs = 0;
    bool running = false;
    bool held = false;
    bool dueWhileHeld = false;
};

// Remembers which timers ran, stops them, and restores exactly that on the
// way out, even when a step in between fails; a timer that runs again starts
// a fresh full interval.
class PausedTimers {
public:
    explicit PausedTimers(std::initializer_list<Timer*> timers);
    ~PausedTimers();
    PausedTimers(const PausedTimers&) = delete;
    PausedTimers& operator=(const PausedTimers&) = delete;

private:
    QList<std::pair<Timer*, bool>> states;
};

// Holds the timers for a scope: what comes due meanwhile fires right after.
class HeldTimers {
public:
    explicit HeldTimers(std::initializer_list<Timer*> timers);
    ~HeldTimers();
    HeldTimers(const HeldTimers&) = delete;
    HeldTimers& operator=(const HeldTimers&) = delete;

private:
    QList<Timer*> timers;
};
