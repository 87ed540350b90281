#pragma once

// The window's wait for the transfer of a download button. The transfer runs
// on a worker thread while this thread goes on painting and answering the
// window system; user input is dropped meanwhile (not deferred: none of it
// reaches a control afterwards) and close requests of the window manager are
// refused. Only a modal window that opens during the wait keeps its input,
// so that nothing can hold the wait for ever.

#include <functional>
#include <memory>

class QObject;

class DownloadWait {
public:
    DownloadWait();
    ~DownloadWait();
    DownloadWait(const DownloadWait&) = delete;
    DownloadWait& operator=(const DownloadWait&) = delete;

    // Runs work on a worker thread and returns when it has ended; tick runs
    // on this thread at once and then a few times a second. An exception
    // thrown by work is thrown again here.
    void run(const std::function<void()>& work, const std::function<void()>& tick = {});
    // Waits ms milliseconds, or less once stop() is true.
    void pause(int ms, const std::function<bool()>& stop);

private:
    static void waitUntil(const std::function<bool()>& done, int wakeMs, const std::function<void()>& tick);

    std::unique_ptr<QObject> inputFilter;
};
