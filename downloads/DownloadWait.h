#pragma once

// The window while it waits for the transfer of a download button, which runs
// on a worker thread (runOnWorker) while this thread goes on painting and
// answering the window system. For the lifetime of this object user input is
// dropped (not deferred: none of it reaches a control afterwards), close
// requests of the window manager are refused, and pages start no downloads
// and open no dialogs. Two inputs stop the download instead: the Escape key
// and a click on the stop button, while that is enabled. Only a modal window
// that opens during the wait keeps its input, so that nothing can hold the
// wait for ever.
//
// What still runs in the wait's event loop, and why that is safe:
// - Navigations of the view queued before the wait (a probe's answer, a hung
//   page's end, a renderer's retry) and a renderer crash with the view's
//   reload after it: they load pages and count the surf path, which the
//   download does not touch; what they throw their own handlers show.
// - A termination signal's handler: it sets the program's break-off flag,
//   which this download's flag follows, so the transfer ends at once, and it
//   asks the main loop to end; the download then returns without messages
//   and the loop ends once the button's handler has returned.
// - Three of the window's timers are held by the download (HeldTimers): each
//   comes due at most once afterwards, so no second download or timed reload
//   starts in the middle of one. The program's timed end is not held: it
//   breaks the download off as a termination signal does.
// - Page dialogs, file choosers and page downloads are refused while it runs,
//   so no page holds the wait with a dialog of its own.
// - Modal boxes (an error a queued handler shows): their own loop runs on top
//   of the wait's and keeps its input; the wait goes on once the box is closed,
//   and without a display boxes answer at once.

#include <functional>
#include <memory>

class QObject;
class QWidget;

class DownloadWait {
public:
    DownloadWait(QWidget* stopButton, const std::function<void()>& stop);
    ~DownloadWait();
    DownloadWait(const DownloadWait&) = delete;
    DownloadWait& operator=(const DownloadWait&) = delete;

private:
    std::unique_ptr<QObject> inputFilter;
};
