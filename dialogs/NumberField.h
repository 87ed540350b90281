#pragma once

// The number fields of the settings dialog. A field holds a whole decimal
// number: an optional sign and at least one digit, nothing else (no blanks, no
// other notation), within the range of a 32-bit integer. Anything else, a
// number too large for that range included, is not a number, as in the
// classic integer conversion whose message the dialog shows. A number is
// stored as its lowest 16 bits: -1 gives 65535, 70000 gives 4464.

#include "settings/EinstellRecord.h"

#include <QString>
#include <optional>

enum class EmptyField { Zero, NotANumber };

// The stored value, or nothing when the text is not a number.
std::optional<Word> fieldNumber(const QString& text, EmptyField empty);

// "'<text>' ist kein gültiger Integerwert"
QString notANumberMessage(const QString& text);
