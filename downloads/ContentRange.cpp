#include "downloads/ContentRange.h"

#include <algorithm>

namespace {

// A number of the header: one or more digits and nothing else (no sign, no
// blank), within qint64.
std::optional<qint64> position(const QByteArray& digits)
{
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace

std::optional<ContentRange> parseContentRange(const QByteArray& value)
{
    const QByteArray unit = "bytes ";
    if (!value.toLower().startsWith(unit))
        return std::nullopt;
    const QByteArray range = value.mid(unit.size()).trimmed();
    const qsizetype dash = range.indexOf('-');
    const qsizetype slash = range.indexOf('/');
    if (dash < 0 || slash < dash)
        return std::nullopt;
    const std::optional<qint64> first = position(range.left(dash));
    const std::optional<qint64> last = position(range.mid(dash + 1, slash - dash - 1));
    const QByteArray totalText = range.mid(slash + 1);
    const std::optional<qint64> total = totalText == "*" ? std::optional<qint64>(-1) : position(totalText);
    if (!first || !last || !total || *first > *last || (*total >= 0 && *last >= *total))
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}
