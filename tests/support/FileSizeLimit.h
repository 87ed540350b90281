#pragma once

// A full disk for one scope: while it lives, no file of this process may grow
// beyond the given size, and a write past it fails as on a full disk (the
// signal the system sends then is ignored meanwhile). Linux only.

#include <sys/resource.h>
#include <csignal>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
            return;
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (active)
            setrlimit(RLIMIT_FSIZE, &saved);
        if (oldHandler != SIG_ERR)
            std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return active; }

private:
    rlimit saved{};
    void (*oldHandler)(int) = SIG_ERR;
    bool active = false;
};
