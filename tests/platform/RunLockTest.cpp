#include "platform/host/RunLock.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

using namespace std::chrono_literals;

// Another run holds the lock (flock(1) in a process of its own): a run waits
// for it as long as its bound or its caller allow, then takes it; inside the
// process the lock is taken again at once and ends with its last holder.
TEST(RunLockTest, WaitsForAnotherRunWithinItsBoundAndNestsInsideOne)
{
    QTemporaryDir folder;
    QProcess other;
    other.start(QStringLiteral("flock"), {RunLock::fileIn(folder.path()), QStringLiteral("sh"), QStringLiteral("-c"),
                                          QStringLiteral("echo gesperrt; sleep 1.5")});
    ASSERT_TRUE(other.waitForReadyRead(5000));  // it holds the lock

    QElapsedTimer clock;
    clock.start();
    {
        const RunLock refused(folder.path(), 300ms);
        EXPECT_EQ(refused.state(), RunLock::State::Busy);
        EXPECT_GE(clock.elapsed(), 300);
        const RunLock givenUp(folder.path(), 10s, [] { return true; });
        EXPECT_FALSE(givenUp.mayGoOn());
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_FALSE(RunLock::heldByThisProcess());
    }
    {
        const RunLock waited(folder.path(), 10s);
        EXPECT_EQ(waited.state(), RunLock::State::Held);
        EXPECT_GE(clock.elapsed(), 1000);
        {
            const RunLock nested(folder.path(), 0ms);
            EXPECT_EQ(nested.state(), RunLock::State::Held);
        }
        EXPECT_TRUE(RunLock::heldByThisProcess());
    }
    EXPECT_FALSE(RunLock::heldByThisProcess());
    other.waitForFinished();

    // A folder where no lock file can be made guards nothing: the run goes on.
    const RunLock nowhere(folder.filePath(QStringLiteral("fehlt")), 0ms);
    EXPECT_EQ(nowhere.state(), RunLock::State::Unavailable);
    EXPECT_TRUE(nowhere.mayGoOn());
}
