#include "platform/web/PageRules.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

QUrl addressUrl(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    return url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url;
}

bool isWebUrl(const QUrl& url)
{
    return url.isValid() && (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"));
}

QString withoutDirectionMarks(const QString& text)
{
    QString plain = text;
    plain.removeIf([](QChar c) {
        const char16_t code = c.unicode();
        return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E)
               || (code >= 0x2066 && code <= 0x2069);
    });
    return plain;
}

QString quotedPageText(const QString& text)
{
    constexpr qsizetype kShownLength = 80;  // so that a page cannot fill the box
    constexpr qsizetype kEndShown = 20;
    const QString plain = withoutDirectionMarks(text);
    if (plain.size() <= kShownLength)
        return QStringLiteral("„%1“").arg(plain);
    return QStringLiteral("„%1…%2“").arg(plain.left(kShownLength - kEndShown), plain.right(kEndShown));
}

QString refusedAddressText(const QString& address)
{
    return QStringLiteral(
               "Die Adresse %1 kann nicht geöffnet werden.\r"
               "Erlaubt sind nur Web-Adressen (http:// und https://).")
        .arg(quotedPageText(address));
}

bool mayOpenTypedAddress(const QString& typed, const QStringList& configured)
{
    const QUrl url = QUrl::fromUserInput(typed);
    if (url.isEmpty() || isWebUrl(url))
        return true;
    return std::any_of(configured.cbegin(), configured.cend(), [&](const QString& address) {
        return !address.trimmed().isEmpty()
               && QUrl::fromUserInput(address).matches(url, QUrl::StripTrailingSlash | QUrl::NormalizePathSegments);
    });
}

QStringList uploadFolders(const QStringList& candidates, const QStringList& excluded)
{
    QStringList shut;
    for (const QString& folder : excluded) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty())
            shut.append(canonical);
    }
    QStringList folders;
    for (const QString& folder : candidates) {
        const QFileInfo info(folder);
        const QString canonical = info.canonicalFilePath();
        if (!folder.trimmed().isEmpty() && info.isDir() && !canonical.isEmpty() && !shut.contains(canonical)
            && !folders.contains(canonical))
            folders.append(canonical);
    }
    return folders;
}

QString uploadableFile(const QString& text, const QStringList& folders)
{
    if (text.trimmed().isEmpty())
        return {};
    const auto accepted = [&](const QString& path) {
        const QFileInfo file(path);
        const QFileInfo canonical(file.canonicalFilePath());
        const bool inside = canonical.exists() && folders.contains(canonical.path());
        // Hidden files stay hidden, also when a page's visitor types their name.
        const bool hidden =
            file.fileName().startsWith(QLatin1Char('.')) || canonical.fileName().startsWith(QLatin1Char('.'));
        return inside && !hidden && canonical.isFile() && file.isReadable() ? canonical.filePath() : QString();
    };
    if (QDir::isAbsolutePath(text))
        return accepted(text);
    for (const QString& folder : folders) {
        if (QString found = accepted(QDir(folder).filePath(text)); !found.isEmpty())
            return found;
    }
    return {};
}

QStringList uploadableFiles(const QString& folder, const QStringList& folders)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (const QString file = uploadableFile(dir.filePath(name), folders); !file.isEmpty())
            files.append(dir.filePath(name));
    }
    return files;
}

qint64 freeSpaceReserve(qint64 diskBytes)
{
    constexpr qint64 kGiB = Q_INT64_C(1) << 30;
    return std::min(kGiB, diskBytes / 20);
}

bool leavesEnoughFreeSpace(qint64 availableBytes, qint64 diskBytes, qint64 stillToCome)
{
    return availableBytes - std::max<qint64>(stillToCome, 0) >= freeSpaceReserve(diskBytes);
}
