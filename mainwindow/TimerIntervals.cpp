#include "mainwindow/TimerIntervals.h"

namespace {
std::chrono::milliseconds refreshMinute = std::chrono::minutes(1);
}  // namespace

std::chrono::milliseconds refreshInterval(Word minutes)
{
    return refreshMinute * minutes;
}

void setRefreshMinute(std::chrono::milliseconds length)
{
    refreshMinute = length;
}
