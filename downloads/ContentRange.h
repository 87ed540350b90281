#pragma once

// The Content-Range header of a partial answer.

#include <QByteArray>
#include <QtGlobal>
#include <optional>

struct ContentRange {
    qint64 first = 0;
    qint64 last = 0;
    qint64 total = -1;  // "*": unknown
};

// "bytes <first>-<last>/<total>" or "bytes <first>-<last>/*", the unit in any
// case: each number plain digits that fit, first <= last, and last below a
// known total. nullopt for anything else, such as "bytes */<total>", which
// answers a range that cannot be served.
std::optional<ContentRange> parseContentRange(const QByteArray& value);
