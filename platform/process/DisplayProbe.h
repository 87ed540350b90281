#pragma once

// Whether the display that Qt is going to open accepts a connection, asked
// before Qt asks: Qt aborts with a text of its own when it cannot open the
// display, as a kiosk unit started before the display server would meet it.
// The client libraries of X11 (libxcb) and Wayland (libwayland-client) are
// loaded when first asked (dlopen), so the program links to neither.

#include <QList>
#include <QString>
#include <chrono>
#include <functional>

enum class DisplayServer { Wayland, X11 };

enum class DisplayState {
    Open,     // one of the displays accepts a connection
    Closed,   // none of them does
    Unknown,  // cannot tell: a client library is missing; Qt is left to try
};

// The display servers Qt would connect to, in the order it tries them: those
// that QT_QPA_PLATFORM names, else Wayland before X11; of them those whose
// display the environment names (WAYLAND_DISPLAY or XDG_SESSION_TYPE
// "wayland", DISPLAY). Empty when the platform needs no display server
// (offscreen, vnc, ...), also as a fallback after xcb or wayland.
QList<DisplayServer> displayServersQtWouldTry();

// The displays as the user knows them, for a message: ":0 (X11)".
QString displayNames(const QList<DisplayServer>& servers);

// One connection to each display in turn, closed again at once; but an X
// display found open stays connected until releaseProbedDisplay(). An X
// server resets when its last client leaves, and a connection asked for
// during the reset fails, which Qt would answer by aborting.
DisplayState probeDisplays(const QList<DisplayServer>& servers);

// Closes the connection probeDisplays() held, once Qt has opened its own.
void releaseProbedDisplay();

// Asks probe every interval until it answers other than Closed or bound has
// passed; its last answer.
DisplayState waitForDisplay(const std::function<DisplayState()>& probe, std::chrono::milliseconds bound,
                            std::chrono::milliseconds interval = std::chrono::milliseconds(250));
