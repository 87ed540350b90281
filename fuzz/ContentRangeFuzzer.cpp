// Feeds arbitrary bytes to the reading of a partial answer's Content-Range: a
// range it accepts must be one a part can be continued with, and its plain
// form must read back the same.

#include "downloads/ContentRange.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray value = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<ContentRange> range = parseContentRange(value);
    if (!range)
        return 0;
    if (range->first < 0 || range->first > range->last || range->total < -1
        || (range->total >= 0 && range->last >= range->total))
        std::abort();
    const QByteArray plain = "bytes " + QByteArray::number(range->first) + '-' + QByteArray::number(range->last) + '/'
                             + (range->total < 0 ? QByteArray("*") : QByteArray::number(range->total));
    const std::optional<ContentRange> again = parseContentRange(plain);
    if (!again || again->first != range->first || again->last != range->last || again->total != range->total)
        std::abort();
    return 0;
}
