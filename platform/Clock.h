#pragma once

// The current date and time, replaceable in tests.

#include <QDateTime>
#include <functional>

QDateTime CurrentDateTime();

// Installs a clock for tests; an empty function restores the system clock.
void SetClock(std::function<QDateTime()> clock);

// The stamps of the timed reload: the German system's date and time formats.
QString DateStamp(const QDateTime& moment);  // dd.MM.yyyy
QString TimeStamp(const QDateTime& moment);  // HH:mm:ss
