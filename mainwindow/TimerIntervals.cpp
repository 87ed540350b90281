#include "mainwindow/TimerIntervals.h"

namespace {
std::chrono::milliseconds refreshMinute = std::chrono::minutes(1);
}  // namespace

std::chrono::milliseconds refreshInterval(Word minutes)
{
    return refreshMinute * minutes;
}

std::chrono::milliseconds quietBeforeReturn()
{
    return refreshMinute / 2;
}

std::chrono::milliseconds unattendedIdleLimit(Word refreshMinutes)
{
    return refreshInterval(refreshMinutes != 0 ? refreshMinutes : Word{1});
}

void setRefreshMinute(std::chrono::milliseconds length)
{
    refreshMinute = length;
}
