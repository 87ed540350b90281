#include "platform/host/Timer.h"

#include <gtest/gtest.h>
#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimerEvent>
#include <climits>
#include <map>

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

    // Advances the clock by ms and gives the ticks counted so far.
    int ticksAfter(qint64 ms)
    {
        clock->advance(ms);
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
    EXPECT_EQ(ticksAfter(999), 0);
    EXPECT_EQ(ticksAfter(1), 1);
    EXPECT_EQ(ticksAfter(3000), 4);
}

TEST_F(TimerTest, StartingAgainBeginsAFreshInterval)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(600);
    timer.start();
    EXPECT_EQ(ticksAfter(600), 0);
    EXPECT_EQ(ticksAfter(400), 1);
}

TEST_F(TimerTest, ANewIntervalBeginsAFreshOneWhileRunningAndStartsNothingWhenStopped)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(900);
    timer.setInterval(1000);
    EXPECT_EQ(ticksAfter(900), 0);
    EXPECT_EQ(ticksAfter(100), 1);

    timer.setInterval(300);
    EXPECT_EQ(ticksAfter(300), 2);

    // A stopped timer stays stopped.
    timer.stop();
    timer.setInterval(500);
    EXPECT_EQ(ticksAfter(5000), 2);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerTest, IntervalZeroNeverFiresButCountsAsRunning)
{
    Timer timer(0, true);
    countTicks(timer);
    EXPECT_EQ(ticksAfter(100000), 0);
    EXPECT_TRUE(timer.isRunning());

    Timer running(1000, true);
    countTicks(running);
    running.setInterval(0);
    EXPECT_EQ(ticksAfter(100000), 0);
    running.setInterval(1000);
    EXPECT_EQ(ticksAfter(1000), 1);
}

TEST_F(TimerTest, StopAndRestoreAreExact)
{
    Timer timer(1000, true);
    countTicks(timer);
    clock->advance(999);
    const bool wasRunning = timer.isRunning();
    timer.stop();
    EXPECT_EQ(ticksAfter(5000), 0);
    EXPECT_FALSE(timer.isRunning());

    timer.setRunning(wasRunning);
    EXPECT_TRUE(timer.isRunning());
    EXPECT_EQ(ticksAfter(999), 0);
    EXPECT_EQ(ticksAfter(1), 1);

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
    EXPECT_EQ(ticksAfter(10000), 1);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(TimerTest, IntervalBeyondIntMaxFiresOnlyWhenItsFullLengthHasPassed)
{
    const std::uint32_t longest = UINT32_MAX;
    Timer timer(longest, true);
    countTicks(timer);
    EXPECT_EQ(ticksAfter(INT_MAX), 0);
    EXPECT_EQ(ticksAfter(qint64(longest) - INT_MAX - 1), 0);
    EXPECT_EQ(ticksAfter(1), 1);
    // The next interval is just as long again.
    EXPECT_EQ(ticksAfter(qint64(longest) - 1), 1);
    EXPECT_EQ(ticksAfter(1), 2);
    EXPECT_EQ(timer.interval(), longest);
}

TEST_F(TimerTest, AHeldTimerFiresOnceLateThenKeepsItsRhythm)
{
    Timer timer(1000, true);
    countTicks(timer);
    timer.setHeld(true);
    EXPECT_EQ(ticksAfter(3500), 0);  // three intervals come due
    timer.setHeld(false);
    EXPECT_EQ(ticks, 0);  // not inside the caller: when the event loop runs next
    EXPECT_EQ(ticksAfter(0), 1);
    EXPECT_EQ(ticksAfter(499), 1);
    EXPECT_EQ(ticksAfter(1), 2);  // at 4000 ms, in the old rhythm

    // Nothing is owed after a hold without a due interval, nor after a stop or
    // a fresh start during the hold.
    timer.setHeld(true);
    timer.setHeld(false);
    EXPECT_EQ(ticksAfter(0), 2);
    timer.setHeld(true);
    clock->advance(1000);
    timer.stop();
    timer.setHeld(false);
    EXPECT_EQ(ticksAfter(5000), 2);
    timer.setHeld(true);
    timer.start();
    clock->advance(1500);
    timer.start();
    timer.setHeld(false);
    EXPECT_EQ(ticksAfter(999), 2);
    EXPECT_EQ(ticksAfter(1), 3);
}
