// Feeds arbitrary bytes to the reading of "Einstell.DAT": whatever the file
// holds, reading must not crash and must give a complete record with
// passwords that can be derived from it.

#include "settings/Defaults.h"
#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "settings/SettingsFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TEinstellRecord defaults = [] {
        TEinstellRecord record{};
        SetDefaults(record);
        return record;
    }();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParsedSettings parsed = parseSettings(bytes, defaults);
    const TEinstellRecord& record = parsed.layout == ParsedSettings::Layout::TooShort ? defaults : parsed.record;
    derivePlainPasswords(record);
    if (AdminPassword.size() != record.AdminPasswordStored.length
        || UserPassword.size() != record.UserPasswordStored.length)
        std::abort();
    return 0;
}
