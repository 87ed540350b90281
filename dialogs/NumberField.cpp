#include "dialogs/NumberField.h"

#include <cstdint>

namespace {
constexpr std::int64_t kIntMin = -2147483648LL;
constexpr std::int64_t kIntMax = 2147483647LL;
}  // namespace

std::optional<Word> fieldNumber(const QString& text, EmptyField empty)
{
    if (text.isEmpty())
        return empty == EmptyField::Zero ? std::optional<Word>(0) : std::nullopt;

    qsizetype pos = 0;
    const bool negative = text[0] == QLatin1Char('-');
    if (negative || text[0] == QLatin1Char('+'))
        ++pos;
    if (pos == text.size())
        return std::nullopt;

    // Stops as soon as the magnitude leaves the 32-bit range, so that no
    // length of digits can overflow the sum.
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > -kIntMin)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < kIntMin || value > kIntMax)
        return std::nullopt;
    return static_cast<Word>(static_cast<std::uint64_t>(value) & 0xFFFFu);
}

QString notANumberMessage(const QString& text)
{
    return QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text);
}
