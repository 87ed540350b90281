#include "mainwindow/AsciiText.h"

#include <algorithm>

QString asciiUpper(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return result;
}

bool IsInList(const QString& text, const QStringList& list)
{
    const QString wanted = asciiUpper(text);
    return std::any_of(list.cbegin(), list.cend(), [&](const QString& entry) { return asciiUpper(entry) == wanted; });
}
