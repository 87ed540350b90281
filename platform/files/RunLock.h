#pragma once

// One run at a time per settings file. Runs that read, change and write the
// settings file (a download job's running number, a window's numbered
// download or saved settings) lock a file beside it first. That file is never
// replaced, unlike the settings file itself, which a save renames over the old
// one: a lock on the settings file would not hold across a save.
//
// The lock is the process's: a run that holds it may take it again (a job's
// download inside the job), and it ends with the last holder or the process.

#include <QString>
#include <chrono>
#include <functional>

class RunLock {
public:
    enum class State {
        Held,         // this process holds it
        Busy,         // another run held it over the whole bound
        Unavailable,  // the lock file cannot be opened (a folder nobody may write): nothing to guard
        Refused,      // a link or no regular file stands there: no lock to trust (refusal() says so)
    };

    // Tries for the lock of the settings in folder every 200 ms until it is
    // got, bound has passed (0: once) or giveUp() says so; giveUp also runs
    // between the tries, so that it may deliver events.
    RunLock(const QString& folder, std::chrono::milliseconds bound, const std::function<bool()>& giveUp = {});
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    State state() const { return result; }
    // Whether a run may go on: it holds the lock, or there is none to hold.
    bool mayGoOn() const { return result == State::Held || result == State::Unavailable; }
    // Why the lock file is refused, in German with the file named; empty unless Refused.
    QString refusal() const { return why; }

    // Whether this process holds a lock now: no other run of the same
    // settings writes beside its targets meanwhile.
    static bool heldByThisProcess();

    // The lock file of the settings in folder.
    static QString fileIn(const QString& folder);

private:
    State result = State::Unavailable;
    QString why;
};
