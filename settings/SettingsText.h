#pragma once

// The settings record as text, for presets kept under version control and
// rolled out to many machines: UTF-8, one line "Name=Value" per field of the
// record in its order, named as the fields are. A Word is a decimal number
// 0 … 65535; a Text is its Windows-1252 characters, with the control bytes
// 0 … 31 and 127 as their pictures "␀" … "␟" and "␡" (so that every field
// stays one line); the two stored passwords, which are scrambled bytes rather
// than text, are hexadecimal.

#include "settings/EinstellRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The text of every field of record, each line ending with "\n".
QByteArray settingsText(const TEinstellRecord& record);

// Why a text was refused: the line (counted from 1) and the reason, in German.
struct SettingsTextError {
    int line = 0;
    QString reason;
};

// Applies the lines of text to record. The value is everything after the
// first "=", untrimmed; a line may end with "\r\n", and a UTF-8 byte order
// mark may open the text. Fields the text does not name keep their value, and
// so does a field whose value the text repeats, bytes behind a Text's length
// included: exporting a record and reading the text back onto it gives the
// same bytes. The first faulty line (unknown or repeated name, a number that
// is none or out of range, a text too long or not in Windows-1252, a line
// without "=", bytes that are not UTF-8) leaves record as it was.
std::optional<SettingsTextError> readSettingsText(const QByteArray& text, TEinstellRecord& record);
