#include "platform/host/IniStore.h"

#include "platform/host/PrivateFile.h"

#include <QFile>
#include <QList>
#include <QLockFile>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <utility>

namespace {

// How long a change waits for another program's change of the same file.
constexpr int kLockWaitMs = 5000;

// One line of the file as it stands between two "\n" (a "\r" before one
// belongs to the line break). QSettings carries a quote left open, and a
// backslash at a line's end, on into the next line; here they end with their
// line, so that a line the store cannot make sense of never takes the lines
// after it along, and a line added behind it stays a line of its own.
struct IniLine {
    qsizetype begin = 0;
    qsizetype start = 0;    // the first non-blank character
    qsizetype end = 0;      // at a comment (";" outside quotes) or the line break
    qsizetype next = 0;     // past the line break
    qsizetype equals = -1;  // the first "=" outside quotes
};

// A section's header (no name) or one of its values.
struct IniItem {
    IniLine line;
    QString section;
    std::optional<QString> name;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexValue(char c)
{
    const int lower = c | 0x20;
    if (c >= '0' && c <= '9')
        return c - '0';
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The lines that hold something: no blank lines, no comment lines.
QList<IniLine> iniLines(const QByteArray& data)
{
    QList<IniLine> lines;
    for (qsizetype begin = data.startsWith("\xef\xbb\xbf") ? 3 : 0; begin < data.size();) {
        const qsizetype lineBreak = data.indexOf('\n', begin);
        qsizetype stop = lineBreak < 0 ? data.size() : lineBreak;
        if (stop > begin && data[stop - 1] == '\r')
            --stop;
        IniLine line{begin, begin, stop, lineBreak < 0 ? data.size() : lineBreak + 1, -1};
        begin = line.next;
        while (line.start < stop && isBlank(data[line.start]))
            ++line.start;
        bool quoted = false;
        for (qsizetype i = line.start; i < stop; ++i) {
            const char c = data[i];
            if (c == '\\') {
                ++i;  // the escaped character
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == '=' && !quoted && line.equals < 0) {
                line.equals = i;
            } else if (c == ';' && !quoted) {
                line.end = i;
                break;
            }
        }
        if (line.end > line.start)
            lines.append(line);
    }
    return lines;
}

// A backslash stands for "/", "%XX" and "%UXXXX" for the character of that code.
QString unescapedKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        if (decoded[i] == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (decoded[i] == u'%' && i + 1 < decoded.size()) {
            const bool wide = decoded[i + 1] == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            bool ok = false;
            const ushort code = first + digits <= decoded.size()
                                    ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                    : ushort(0);
            if (ok) {
                result += QChar(code);
                i = first + digits;
                continue;
            }
        }
        result += decoded[i++];
    }
    return result;
}

QByteArray escapedKey(const QString& key)
{
    QByteArray result;
    for (const QChar c : key) {
        const char16_t code = c.unicode();
        if ((code < 0x80 && c.isLetterOrNumber()) || code == u'_' || code == u'-' || code == u'.')
            result += char(code);
        else if (code <= 0xFF)
            result += '%' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0');
        else
            result += "%U" + QByteArray::number(code, 16).toUpper().rightJustified(4, '0');
    }
    return result;
}

QList<IniItem> iniItems(const QByteArray& data)
{
    QList<IniItem> items;
    QString section;
    for (const IniLine& line : iniLines(data)) {
        const QByteArrayView text = QByteArrayView(data).sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            section = unescapedKey(text.first(close < 0 ? text.size() : close).sliced(1).trimmed());
            items.append({line, section, std::nullopt});
        } else if (line.equals >= 0) {
            items.append({line, section, unescapedKey(text.first(line.equals - line.start).trimmed())});
        }
    }
    return items;
}

// The text after "=" as QSettings reads it: blanks around it dropped unless
// quoted, escapes resolved; nothing for a list (an unquoted comma).
std::optional<QString> unescapedText(QByteArrayView raw)
{
    static const QByteArrayView namedEscapes("a\ab\bf\fn\nr\rt\tv\v\"\"\?\?''\\\\");
    QString text;
    bool quoted = false;
    bool anyQuote = false;
    qsizetype keepUpTo = 0;  // blanks that escapes produced are no padding
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && isBlank(raw[i]))
            ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c == '\\') {
            const char escaped = i < raw.size() ? raw[i++] : '\0';  // none after a last backslash
            // Any other escaped character is dropped, as QSettings does.
            const qsizetype named = namedEscapes.indexOf(escaped);
            if (named >= 0 && named % 2 == 0) {
                text += QLatin1Char(namedEscapes[named + 1]);
            } else if ((escaped == 'x' && i < raw.size() && hexValue(raw[i]) >= 0)
                       || (escaped >= '0' && escaped <= '7')) {
                const int base = escaped == 'x' ? 16 : 8;
                char16_t code = escaped == 'x' ? 0 : char16_t(escaped - '0');
                for (int digit; i < raw.size() && (digit = hexValue(raw[i])) >= 0 && digit < base; ++i)
                    code = char16_t(code * base + digit);
                text += QChar(code);
            }
            keepUpTo = text.size();
        } else if (c == '"') {
            anyQuote = true;
            quoted = !quoted;
            if (!quoted)
                skipBlanks();
        } else if (c == ',' && !quoted) {
            return std::nullopt;
        } else {
            qsizetype end = i;
            while (end < raw.size() && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',')
                ++end;
            text += QString::fromUtf8(raw.sliced(i - 1, end - i + 1));
            i = end;
        }
    }
    while (!anyQuote && text.size() > keepUpTo && (text.endsWith(u' ') || text.endsWith(u'\t')))
        text.chop(1);
    return text;
}

// QSettings' text reading ("@@" for a leading "@", "@String(...)"), or the
// text in the file for what QSettings reads as a list or a typed value.
QString valueText(QByteArrayView raw)
{
    static const QStringList typed{QStringLiteral("@ByteArray("), QStringLiteral("@Variant("),
                                   QStringLiteral("@DateTime("),  QStringLiteral("@Rect("),
                                   QStringLiteral("@Size("),      QStringLiteral("@Point("),
                                   QStringLiteral("@Invalid(")};
    const std::optional<QString> text = unescapedText(raw);
    if (text && text->startsWith(QStringLiteral("@String(")) && text->endsWith(u')'))
        return text->sliced(8).chopped(1);
    if (text && text->startsWith(QStringLiteral("@@")))
        return text->sliced(1);
    const bool isTyped =
        text && text->endsWith(u')')
        && std::any_of(typed.cbegin(), typed.cend(), [&](const QString& p) { return text->startsWith(p); });
    return text && !isTyped ? *text : QString::fromUtf8(raw).trimmed();
}

// What QSettings writes for a text, and reads back as the same text.
QByteArray escapedText(const QString& value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QString result;
    bool afterHex = false;  // a hex digit right after "\x.." would lengthen that escape
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (afterHex && code < 0x80 && hexValue(char(code)) >= 0) {
            result += QStringLiteral("\\x") + QString::number(code, 16);
            continue;
        }
        afterHex = false;
        if (code == u'\\' || code == u'"') {
            result += u'\\';
            result += c;
        } else if (code == u'\n' || code == u'\r' || code == u'\t') {
            result += u'\\';
            result += QLatin1Char(code == u'\n' ? 'n' : code == u'\r' ? 'r' : 't');
        } else if (code < 0x20) {
            result += QStringLiteral("\\x") + QString::number(code, 16);
            afterHex = true;
        } else {
            result += c;
        }
    }
    const bool quote = text.contains(u';') || text.contains(u',') || text.contains(u'=') || result.startsWith(u' ')
                       || result.endsWith(u' ');
    return (quote ? u'"' + result + u'"' : result).toUtf8();
}

// What stands after the "=" of a value's line, up to a comment or the line's end.
QByteArrayView rawValue(const QByteArray& data, const IniLine& line)
{
    return QByteArrayView(data).sliced(line.equals + 1, line.end - line.equals - 1);
}

// The file with stored standing after the "=" of the value's line (a new line
// when there is none), or without that value when nothing is to be stored.
// Blanks around the old value stay when keepBlanks is set; otherwise stored
// takes all that stood after the "=", up to a comment or the line's end.
QByteArray withValue(QByteArray data, const QString& section, const QString& name,
                     const std::optional<QByteArray>& stored, bool keepBlanks)
{
    const QList<IniItem> items = iniItems(data);
    if (!stored) {
        // Every line of that name goes, or an earlier one would count again.
        for (auto item = items.crbegin(); item != items.crend(); ++item) {
            if (item->section == section && item->name == name)
                data.remove(item->line.begin, item->line.next - item->line.begin);
        }
        return data;
    }
    const IniItem* current = nullptr;  // the last line of that name counts
    const IniItem* sectionEnd = nullptr;
    for (const IniItem& item : items) {
        if (item.section != section)
            continue;
        sectionEnd = &item;
        if (item.name == name)
            current = &item;
    }
    if (current) {
        // A line that reads as that text already stays as it is, however it spells it.
        if (valueText(rawValue(data, current->line)) == valueText(*stored))
            return data;
        qsizetype from = current->line.equals + 1;
        qsizetype to = current->line.end;
        while (keepBlanks && from < to && isBlank(data[from]))
            ++from;
        while (keepBlanks && to > from && isBlank(data[to - 1]))
            --to;
        return data.replace(from, to - from, *stored);
    }
    // New lines end as the file's first line does.
    const qsizetype firstBreak = data.indexOf('\n');
    const QByteArray lineBreak = firstBreak > 0 && data[firstBreak - 1] == '\r' ? "\r\n" : "\n";
    const QByteArray entry = escapedKey(name) + '=' + *stored + lineBreak;
    const bool unended = !data.isEmpty() && !data.endsWith('\n');  // a last line without its line break
    if (sectionEnd) {
        const qsizetype at = sectionEnd->line.next;
        return data.insert(at, at == data.size() && unended ? lineBreak + entry : entry);
    }
    if (!data.isEmpty())
        data += unended ? lineBreak + lineBreak : lineBreak;
    return data + '[' + escapedKey(section) + ']' + lineBreak + entry;
}

}  // namespace

IniStore::IniStore(QString storeFile)
    : fileName(std::move(storeFile))
{
}

std::optional<QString> IniStore::value(const QString& section, const QString& name) const
{
    const std::optional<QByteArray> stored = storedValue(section, name);
    return stored ? std::optional(valueText(*stored)) : std::nullopt;
}

std::optional<QByteArray> IniStore::storedValue(const QString& section, const QString& name) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    std::optional<QByteArray> found;
    for (const IniItem& item : iniItems(data)) {
        if (item.section == section && item.name == name)
            found = rawValue(data, item.line).toByteArray();
    }
    return found;
}

bool IniStore::setValue(const QString& section, const QString& name, const QString& value)
{
    return change(section, name, escapedText(value), true);
}

bool IniStore::setStoredValue(const QString& section, const QString& name, const QByteArray& stored)
{
    return change(section, name, stored, false);
}

bool IniStore::removeValue(const QString& section, const QString& name)
{
    return change(section, name, std::nullopt, false);
}

bool IniStore::change(const QString& section, const QString& name, const std::optional<QByteArray>& stored,
                      bool keepBlanks)
{
    // The lock QSettings takes as well: a change by another run (or an older
    // version) waits, and each change starts from the file as it is now.
    QLockFile lock(fileName + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return false;
    // QLockFile makes its file with the mode the umask gives; held, the file is this run's to narrow.
    QFile::setPermissions(fileName + QStringLiteral(".lock"), QFile::ReadOwner | QFile::WriteOwner);
    // A missing file is created owner-only first; QSaveFile keeps the mode of the file it replaces.
    QFile file(fileName);
    if (!ensurePrivateFile(fileName) || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray before = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    const QByteArray after = withValue(before, section, name, stored, keepBlanks);
    if (after == before)
        return true;
    // Unbuffered, so that a short write shows in the count and the old file stays.
    QSaveFile out(fileName);
    return out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && out.write(after) == after.size() && out.commit();
}
