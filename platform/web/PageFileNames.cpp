#include "platform/web/PageFileNames.h"

#include "platform/web/PageRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct NameParts {
    QString stem;
    QString extension;  // from its dot, empty when there is none
};

// A name that starts with its only dot has no extension; ".tar.gz" and the
// like stay whole.
NameParts split(const QString& name)
{
    qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        dot = name.size();
    else if (dot > 4 && QStringView(name).left(dot).endsWith(u".tar", Qt::CaseInsensitive))
        dot -= 4;
    return {name.left(dot), name.mid(dot)};
}

qsizetype encodedSize(const QString& name)
{
    return QFile::encodeName(name).size();
}

bool startsWithPair(const QString& text)
{
    return text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
}

// stem + insert + extension, the stem shortened by whole characters until the
// name fits. An extension too long to leave room for the stem's first
// character is cut with it: a name never comes to start with its dot.
QString fitted(QString stem, const QString& insert, QString extension)
{
    const qsizetype firstCharacter = encodedSize(stem.left(startsWithPair(stem) ? 2 : 1));
    if (encodedSize(insert + extension) + firstCharacter > kMaxFileNameBytes) {
        stem += extension;
        extension.clear();
    }
    stem.truncate(kMaxFileNameBytes);  // no character takes less than a byte
    while (!stem.isEmpty() && encodedSize(stem + insert + extension) > kMaxFileNameBytes)
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() && stem[stem.size() - 2].isHighSurrogate() ? 2 : 1);
    return stem + insert + extension;
}

}  // namespace

QString cleanFileName(const QString& suggested)
{
    QString name = withoutDirectionMarks(QFileInfo(suggested).fileName());
    for (QChar& c : name)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    qsizetype dots = 0;
    while (dots < name.size() && name[dots] == QLatin1Char('.'))
        ++dots;
    name.remove(0, dots);
    if (encodedSize(name) <= kMaxFileNameBytes)
        return name;
    const NameParts parts = split(name);
    return fitted(parts.stem, QString(), parts.extension);
}

QString freeFileName(const QString& folder, const QString& fileName, const QSet<QString>& taken)
{
    const QDir dir(folder);
    const auto isFree = [&](const QString& name) {
        return !taken.contains(dir.filePath(name)) && !QFileInfo::exists(dir.filePath(name));
    };
    if (isFree(fileName))
        return fileName;

    const NameParts parts = split(fileName);
    // Each existing entry blocks at most one candidate, so one of these is free.
    const qsizetype candidates =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System).size() + taken.size() + 1;
    for (qsizetype n = 1;; ++n) {
        QString name = fitted(parts.stem, QStringLiteral(" (%1)").arg(n), parts.extension);
        if (isFree(name) || n >= candidates)
            return name;
    }
}
