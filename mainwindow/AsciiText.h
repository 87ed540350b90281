#pragma once

// Comparisons that ignore the case of the ASCII letters a to z only, as the
// address list and the command line do; every other character compares as it is.

#include <QString>
#include <QStringList>

QString asciiUpper(const QString& text);

// True when some entry equals text apart from the case of ASCII letters.
bool IsInList(const QString& text, const QStringList& list);
