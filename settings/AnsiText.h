#pragma once

// Conversion between the record's Windows-1252 texts and QString. Every text
// of the settings holds Windows-1252 bytes on every host, so a settings file
// moves between systems unchanged; conversion happens at the edges.

#include "settings/EinstellRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

inline constexpr int kMaxTextLength = 255;

// The text's characters, as many as its length byte says.
QByteArray textBytes(const Text& text);
QString textToString(const Text& text);

// Store bytes or a string into a text, cut to its first 255 characters; the
// bytes behind it become zero. A character that Windows-1252 cannot hold
// becomes "?".
void setTextBytes(Text& text, const QByteArray& bytes);
void stringToText(Text& text, const QString& value);

// Windows-1252 conversion of whole strings.
QString decodeAnsi(const QByteArray& bytes);
QByteArray encodeAnsi(const QString& value);
// Nothing when some character has no Windows-1252 code.
std::optional<QByteArray> encodeAnsiExact(const QString& value);

// A name or address counts as present when it compares greater than a text
// made of one blank: byte-wise, unsigned, a prefix being the smaller.
bool isPresent(const QByteArray& bytes);
bool isPresent(const Text& text);
bool isPresent(const QString& text);
