#pragma once

// The settings record in the tests: its bytes as the file holds them, and
// its texts as strings.

#include "settings/AnsiText.h"
#include "settings/EinstellRecord.h"

#include <QByteArray>

template <typename Record>
QByteArray image(const Record& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

inline QString text(const Text& t)
{
    return textToString(t);
}

inline void setText(Text& t, const char* value)
{
    stringToText(t, QString::fromUtf8(value));
}
