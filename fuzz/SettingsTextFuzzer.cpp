// Feeds arbitrary bytes to the reading of the settings as text: whatever the
// text holds, reading must not crash; a text it refuses leaves the record as
// it was; a text it takes gives a record whose own text reads back the same
// record, byte for byte onto itself and field for field onto any other.

#include "settings/EinstellRecord.h"
#include "settings/SettingsText.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every byte set, those behind the texts' lengths included.
    static const TEinstellRecord start = [] {
        TEinstellRecord record;
        auto* bytes = reinterpret_cast<unsigned char*>(&record);
        for (std::size_t i = 0; i < kRecordSize; ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 1);
        return record;
    }();
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TEinstellRecord record = start;
    if (readSettingsText(text, record)) {
        if (std::memcmp(&record, &start, kRecordSize) != 0)
            std::abort();
        return 0;
    }
    const QByteArray exported = settingsText(record);
    TEinstellRecord again = record;
    if (readSettingsText(exported, again) || std::memcmp(&again, &record, kRecordSize) != 0)
        std::abort();
    TEinstellRecord other{};
    if (readSettingsText(exported, other) || settingsText(other) != exported)
        std::abort();
    return 0;
}
