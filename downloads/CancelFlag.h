#pragma once

// A request to break transfers off. It is set from any thread, or from a
// signal handler (a lock-free atomic store), and polled by the transfer and
// by the pauses between attempts, which then end at once as failures.

#include <atomic>

class CancelFlag {
public:
    void set() noexcept { flag.store(true, std::memory_order_relaxed); }
    void clear() noexcept { flag.store(false, std::memory_order_relaxed); }
    bool isSet() const noexcept { return flag.load(std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "the flag must be settable from a signal handler");
    std::atomic<bool> flag{false};
};

// The program's own flag: set when the program ends, it breaks off the
// running download and every attempt and pause that would follow.
CancelFlag& downloadCancel();
