// Feeds arbitrary bytes to the start-up reading of "Einstell.DAT": whatever the
// file holds, reading must not crash and must leave a complete record with
// passwords that can be derived from it.

#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kavelo-fuzz-XXXXXX"));
    ProgramFolder = folder.path() + QLatin1Char('/');
    DataFolder = ProgramFolder;

    QFile file(ProgramFolder + QStringLiteral("Einstell.DAT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    InitSettings();
    if (AdminPassword.size() != EinstellDaten.AdminPasswordStored.length
        || UserPassword.size() != EinstellDaten.UserPasswordStored.length)
        std::abort();
    return 0;
}
