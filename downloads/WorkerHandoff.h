#pragma once

// Work handed to a worker thread while this thread's event loop runs on:
// windows repaint, timers fire, queued calls run, until the work has ended.
// What the window lets through meanwhile is its own choice (see DownloadWait).

#include "downloads/CancelFlag.h"

#include <functional>

// Runs work on a worker thread and returns when it has ended; tick runs on
// this thread at once and then a few times a second, never from inside an
// event's dispatch. What work throws is thrown again here. When tick throws,
// breakOff is set first, so that work (which watches it) ends at once; the
// exception comes out here after work has ended.
void runOnWorker(const std::function<void()>& work, const std::function<void()>& tick, CancelFlag& breakOff);

// Waits ms milliseconds while the event loop runs on, or less once cancel is set.
void waitUnlessCancelled(int ms, const CancelFlag& cancel);
