#pragma once

// The intervals of the main window's four timers.

#include "settings/EinstellRecord.h"

#include <chrono>

// Timer1 ends the program; without an automatic end it holds a day and rests.
inline constexpr std::chrono::milliseconds kNoAutoEnd = std::chrono::hours(24);
// Timer2 starts the automatic downloads this long after start-up.
inline constexpr std::chrono::milliseconds kAutoDownloadDelay = std::chrono::seconds(2);
// Timer4 writes the countdown to the next timed reload in these steps.
inline constexpr std::chrono::milliseconds kCountdownStep = std::chrono::seconds(10);

// Timer1: the automatic end after seconds; kNoAutoEnd for 0.
constexpr std::chrono::milliseconds autoEndInterval(Word seconds)
{
    return seconds != 0 ? std::chrono::milliseconds(std::chrono::seconds(seconds)) : kNoAutoEnd;
}

// Timer3: the timed reload of the home page every minutes.
std::chrono::milliseconds refreshInterval(Word minutes);

// A kiosk's timed return home waits until nobody has used the program for
// this long, half a minute: it never pulls the page away from a visitor who
// is typing.
std::chrono::milliseconds quietBeforeReturn();

// How long a window of an unattended run (a kiosk, a job with a display)
// waits for an answer: the timed reload's interval, one minute without one.
std::chrono::milliseconds unattendedIdleLimit(Word refreshMinutes);

// The length of the timed reload's minute, one minute unless set. Only the
// end-to-end tests' build of the program (kavelo_e2e_seams) sets it.
void setRefreshMinute(std::chrono::milliseconds length);
