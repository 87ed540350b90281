#pragma once

// The current date and time, replaceable in tests.

#include <QDateTime>
#include <functional>

QDateTime currentDateTime();

// Installs a clock for tests; an empty function restores the system clock.
void setClock(std::function<QDateTime()> clock);

// The stamps of the timed reload: the German system's date and time formats.
QString dateStamp(const QDateTime& moment);  // dd.MM.yyyy
QString timeStamp(const QDateTime& moment);  // HH:mm:ss
