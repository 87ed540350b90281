#include "downloads/TargetNaming.h"

#include <algorithm>

namespace {

qsizetype lastSeparator(const QString& text, bool slashToo)
{
    qsizetype last = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char(':')));
    if (slashToo)
        last = std::max(last, text.lastIndexOf(QLatin1Char('/')));
    return last;
}

}  // namespace

TargetParts splitTarget(const QString& target)
{
    TargetParts parts;
    const qsizetype cut = lastSeparator(target, true) + 1;
    parts.folder = target.left(cut);
    parts.name = target.mid(cut);
    const qsizetype dot = parts.name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        parts.extension = parts.name.mid(dot);
        parts.position = parts.name.indexOf(parts.extension) + 1;
    }
    return parts;
}

QString insertAt(const QString& name, qsizetype position, const QString& text)
{
    const qsizetype index = std::clamp<qsizetype>(position - 1, 0, name.size());
    return QString(name).insert(index, text);
}

QString fileDateStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyy_MM_dd"));
}

QString fileTimeStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("HH_mm"));
}

TargetNames nameTargets(const TargetParts& parts, Word suffixMode, Word counter, const QDateTime& stamp)
{
    const auto inserted = [&parts](const QString& text) { return insertAt(parts.name, parts.position, text); };
    const QString number = QString::number(counter);
    const QString date = fileDateStamp(stamp);
    const QString dateTime = date + QLatin1Char('_') + fileTimeStamp(stamp);

    switch (suffixMode) {
    case SuffixNumber:
        return {inserted(number), {}};
    case SuffixDate:
        return {inserted(date), {}};
    case SuffixDateTime:
        return {inserted(dateTime), {}};
    case SuffixBackupCopy:
        return {parts.name, parts.name + QStringLiteral(".bak")};
    case SuffixNumberedCopy:
        return {parts.name, inserted(number)};
    case SuffixDateCopy:
        return {inserted(date), parts.name};
    case SuffixDateTimeCopy:
        return {inserted(dateTime), parts.name};
    default:
        return {parts.name, {}};
    }
}

QString urlTail(const QString& url)
{
    return url.mid(lastSeparator(url, false) + 1);
}
