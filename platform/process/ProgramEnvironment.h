#pragma once

// What the process is given before the application object exists: the web
// engine's switches, the platform plugin and the run's one proxy.

#include <QString>
#include <chrono>

// True when a display is there to show windows on (on Linux: DISPLAY or
// WAYLAND_DISPLAY is set).
bool hasDisplay();

// How long a run that shows its window waits for a display that is named but
// not there yet (a kiosk unit started before the display server).
inline constexpr std::chrono::milliseconds kDisplayWait{30000};

// Before the application object exists: makes sure a display is there for a
// run that needs a window, waiting up to wait for one that is named but does
// not accept a connection yet. A run that needs none (downloads) never waits:
// with a display that cannot be opened it goes on as without any display.
// Returns the German message the run ends with (status 2), or an empty text.
// A platform chosen in QT_QPA_PLATFORM without a display is left to Qt.
QString settleDisplay(bool needsWindow, std::chrono::milliseconds wait);

// Before the application object exists: works out the run's proxy for the
// downloads and the web engine, chooses the offscreen platform when no display
// is there, and switches the web engine's sandbox off when running as root,
// with a warning when the run shows pages (not a download job). Unless
// verbose, or QT_LOGGING_RULES says what to log, the engine's start-up report,
// its log below fatal errors and Qt's notices that change nothing stay off
// standard error.
void prepareEnvironment(bool verbose = false, bool showsPages = true);
