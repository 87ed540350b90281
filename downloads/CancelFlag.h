#pragma once

// A request to break transfers off. It is set from any thread, or from a
// signal handler (a lock-free atomic store), and polled by the transfer and
// by the pauses between attempts, which then end at once as failures. A flag
// made with a parent counts as set while its parent is: one download's own
// flag also follows the program's.

#include <atomic>

class CancelFlag {
public:
    constexpr explicit CancelFlag(const CancelFlag* parentFlag = nullptr) noexcept
        : parent(parentFlag)
    {
    }

    void set() noexcept { flag.store(true, std::memory_order_relaxed); }
    void clear() noexcept { flag.store(false, std::memory_order_relaxed); }  // this flag's own; not its parent
    bool isSet() const noexcept { return flag.load(std::memory_order_relaxed) || (parent && parent->isSet()); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "the flag must be settable from a signal handler");
    std::atomic<bool> flag{false};
    const CancelFlag* parent;
};

// The program's own flag: set when the program ends, it breaks off the
// running download and every attempt and pause that would follow.
CancelFlag& downloadCancel();
