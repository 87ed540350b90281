// Feeds arbitrary names, as a page or a server may suggest them, to the
// naming of page downloads: what comes out is one plain, visible file name
// that fits the file system, and a name already taken gives another.
// The first byte chooses how the rest is read: as UTF-8, or as UTF-16, which
// can hold lone surrogates.

#include "platform/web/PageFileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

QString nameFrom(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    if (data[0] % 2 == 0)
        return QString::fromUtf8(bytes + 1, static_cast<qsizetype>(size - 1));
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), bytes + 1, units.size() * sizeof(char16_t));
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

void expectPlainName(const QString& name)
{
    const bool hasControl =
        std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || hasControl || QFileInfo(name).fileName() != name
        || QFile::encodeName(name).size() > kMaxFileNameBytes)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString name = cleanFileName(nameFrom(data, size));
    if (name.isEmpty())
        return 0;
    expectPlainName(name);
    // A folder that does not exist, so that only the taken names count.
    static const QString folder = QStringLiteral("/nonexistent/kavelo-fuzz");
    const QString other = freeFileName(folder, name, {QDir(folder).filePath(name)});
    expectPlainName(other);
    if (other == name)
        std::abort();
    return 0;
}
