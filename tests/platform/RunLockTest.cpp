#include "platform/files/RunLock.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace std::chrono_literals;

// Another run holds the lock (flock(1) in a process of its own): a run waits
// for it as long as its bound or its caller allow, then takes it. (A job's
// download that takes it again inside the job is the end-to-end case.)
TEST(RunLockTest, WaitsForAnotherRunWithinItsBound)
{
    QTemporaryDir folder;
    QProcess other;
    other.start(QStringLiteral("flock"), {RunLock::fileIn(folder.path()), QStringLiteral("sh"), QStringLiteral("-c"),
                                          QStringLiteral("echo gesperrt; sleep 1.5")});
    ASSERT_TRUE(other.waitForReadyRead(5000));  // it holds the lock

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunLock(folder.path(), 300ms).state(), RunLock::State::Busy);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_FALSE(RunLock(folder.path(), 10s, [] { return true; }).mayGoOn());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(RunLock(folder.path(), 10s).state(), RunLock::State::Held);
    EXPECT_GE(clock.elapsed(), 1000);
    other.waitForFinished();

    // A folder where no lock file can be made guards nothing: the run goes on.
    EXPECT_EQ(RunLock(folder.filePath(QStringLiteral("fehlt")), 0ms).state(), RunLock::State::Unavailable);
}

// A lock file that is a link (it would lock another file) or a FIFO is refused by name.
TEST(RunLockTest, ALinkOrAFifoAsTheLockFileIsRefused)
{
    QTemporaryDir folder;
    const QString lockFile = RunLock::fileIn(folder.path());
    for (const bool link : {true, false}) {
        QFile::remove(lockFile);
        ASSERT_TRUE(link ? QFile::link(folder.filePath(QStringLiteral("ziel")), lockFile)
                         : ::mkfifo(QFile::encodeName(lockFile).constData(), 0600) == 0);
        const RunLock lock(folder.path(), 0ms);
        EXPECT_TRUE(lock.state() == RunLock::State::Refused && lock.refusal().contains(lockFile)) << link;
    }
}
