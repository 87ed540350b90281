#include "platform/Timer.h"

#include <gtest/gtest.h>
#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimerEvent>
#include <climits>
#include <map>
#include <stdexcept>

namespace {

// The thread's event dispatcher replaced by a manual clock: timers fire only
// when a test advances the time, so long intervals are tested without waiting.
class ManualClock : public QAbstractEventDispatcher {
public:
    void advance(qint64 ms)
    {
        const qint64 end = now + ms;
        while (true) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it)
                if (it->second.due <= end && (next == timers.end() || it->second.due < next->second.due))
                    next = it;
            if (next == timers.end())
                break;
            Entry& entry = next->second;
            now = entry.due;
            // A zero interval would fire endlessly: let it fire once per advance.
            entry.due = entry.interval > 0 ? entry.due + entry.interval : end + 1;
            QObject* receiver = entry.object;  // a single-shot timer unregisters while it fires
            QTimerEvent event(next->first);
            receiver->event(&event);  // there is no application object to route it
        }
        now = end;
    }

    bool processEvents(QEventLoop::ProcessEventsFlags) override { return false; }
    void registerSocketNotifier(QSocketNotifier*) override {}
    void unregisterSocketNotifier(QSocketNotifier*) override {}
    void registerTimer(int id, qint64 interval, Qt::TimerType type, QObject* object) override
    {
        timers[id] = {interval, type, object, now + interval};
    }
    bool unregisterTimer(int id) override { return timers.erase(id) > 0; }
    bool unregisterTimers(QObject* object) override
    {
        return std::erase_if(timers, [object](const auto& timer) { return timer.second.object == object; }) > 0;
    }
    QList<TimerInfo> registeredTimers(QObject* object) const override
    {
        QList<TimerInfo> result;
        for (const auto& [id, entry] : timers)
            if (entry.object == object)
                result.append({id, static_cast<int>(entry.interval), entry.type});
        return result;
    }
    int remainingTime(int id) override
    {
        const auto it = timers.find(id);
        return it == timers.end() ? -1 : static_cast<int>(it->second.due - now);
    }
    void wakeUp() override {}
    void interrupt() override {}

private:
    struct Entry {
        qint64 interval;
        Qt::TimerType type;
        QObject* object;
        qint64 due;
    };
    std::map<int, Entry> timers;
    qint64 now = 0;
};

ManualClock& Clock()
{
    static ManualClock* clock = [] {
        auto* installed = new ManualClock;
        QThread::currentThread()->setEventDispatcher(installed);
        return installed;
    }();
    return *clock;
}

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { clock = &Clock(); }

    int countTicks(Timer& timer)
    {
        QObject::connect(&timer, &Timer::timeout, &timer, [this] { ++ticks; });
        return ticks;
    }

    ManualClock* clock = nullptr;
    int ticks = 0;
};

}  // namespace

TEST_F(TimerTest, FiresEveryFullInterval)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(999);
    EXPECT_EQ(ticks, 0);
    clock->advance(1);
    EXPECT_EQ(ticks, 1);
    clock->advance(3000);
    EXPECT_EQ(ticks, 4);
}

TEST_F(TimerTest, StartingAgainBeginsAFreshInterval)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(600);
    timer.start();
    clock->advance(600);
    EXPECT_EQ(ticks, 0);
    clock->advance(400);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, NewIntervalWhileRunningBeginsAFreshInterval)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(900);
    timer.setInterval(1000);
    clock->advance(900);
    EXPECT_EQ(ticks, 0);
    clock->advance(100);
    EXPECT_EQ(ticks, 1);

    timer.setInterval(300);
    clock->advance(300);
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, NewIntervalWhileStoppedDoesNotStart)
{
    Timer timer(1000, false);
    countTicks(timer);
    timer.setInterval(500);
    clock->advance(5000);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerTest, IntervalZeroNeverFiresButCountsAsRunning)
{
    Timer timer(0, true);
    countTicks(timer);
    clock->advance(100000);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(timer.isRunning());

    Timer running(1000, true);
    countTicks(running);
    running.setInterval(0);
    clock->advance(100000);
    EXPECT_EQ(ticks, 0);
    running.setInterval(1000);
    clock->advance(1000);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, StopAndRestoreAreExact)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(999);
    const bool wasRunning = timer.isRunning();
    timer.stop();
    clock->advance(5000);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(timer.isRunning());

    timer.setRunning(wasRunning);
    EXPECT_TRUE(timer.isRunning());
    clock->advance(999);
    EXPECT_EQ(ticks, 0);
    clock->advance(1);
    EXPECT_EQ(ticks, 1);

    Timer stopped(1000, false);
    stopped.setRunning(false);
    EXPECT_FALSE(stopped.isRunning());
}

TEST_F(TimerTest, StoppingInsideTheHandlerHolds)
{
    Timer timer(1000, true);
    QObject::connect(&timer, &Timer::timeout, &timer, [&] {
        ++ticks;
        timer.stop();
    });
    clock->advance(10000);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerTest, HandlerThatThrowsLeavesTheTimerRunning)
{
    Timer timer(1000, true);
    QObject::connect(&timer, &Timer::timeout, &timer, [this] {
        ++ticks;
        throw std::runtime_error("Fehler im Zeitgeber");
    });
    EXPECT_THROW(clock->advance(1000), std::runtime_error);
    EXPECT_TRUE(timer.isRunning());
    EXPECT_THROW(clock->advance(1000), std::runtime_error);
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, IntervalBeyondIntMaxFiresOnlyWhenItsFullLengthHasPassed)
{
    const std::uint32_t longest = UINT32_MAX;
    Timer timer(longest, true);
    countTicks(timer);
    clock->advance(INT_MAX);
    EXPECT_EQ(ticks, 0);
    clock->advance(qint64(longest) - INT_MAX - 1);
    EXPECT_EQ(ticks, 0);
    clock->advance(1);
    EXPECT_EQ(ticks, 1);
    // The next interval is just as long again.
    clock->advance(qint64(longest) - 1);
    EXPECT_EQ(ticks, 1);
    clock->advance(1);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(timer.interval(), longest);
}

TEST_F(TimerTest, AHeldTimerFiresOnceLateThenKeepsItsRhythm)
{
    Timer timer(1000, true);
    countTicks(timer);
    timer.setHeld(true);
    clock->advance(3500);  // three intervals come due
    EXPECT_EQ(ticks, 0);
    timer.setHeld(false);
    EXPECT_EQ(ticks, 0);  // not inside the caller: when the event loop runs next
    clock->advance(0);
    EXPECT_EQ(ticks, 1);
    clock->advance(499);
    EXPECT_EQ(ticks, 1);
    clock->advance(1);  // at 4000 ms, in the old rhythm
    EXPECT_EQ(ticks, 2);

    // Nothing is owed after a hold without a due interval, nor after a stop or
    // a fresh start during the hold.
    timer.setHeld(true);
    timer.setHeld(false);
    clock->advance(0);
    EXPECT_EQ(ticks, 2);
    timer.setHeld(true);
    clock->advance(1000);
    timer.stop();
    timer.setHeld(false);
    clock->advance(5000);
    EXPECT_EQ(ticks, 2);
    timer.setHeld(true);
    timer.start();
    clock->advance(1500);
    timer.start();
    timer.setHeld(false);
    clock->advance(999);
    EXPECT_EQ(ticks, 2);
    clock->advance(1);
    EXPECT_EQ(ticks, 3);
}
