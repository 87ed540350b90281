#pragma once

// What the process is given before the application object exists: the web
// engine's switches, the platform plugin and the run's one proxy.

// True when a display is there to show windows on (on Linux: DISPLAY or
// WAYLAND_DISPLAY is set).
bool hasDisplay();

// Before the application object exists: works out the run's proxy for the
// downloads and the web engine, chooses the offscreen platform when no display
// is there, and switches the web engine's sandbox off when running as root.
void prepareEnvironment();
