#include "settings/AnsiText.h"

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

// The 256 characters of Windows-1252 in byte order, taken once from the
// toolkit's codec (ICU), and the reverse table for encoding.
struct AnsiTables {
    std::array<char32_t, 256> toUnicode{};
    QHash<char32_t, char> fromUnicode;

    AnsiTables()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        QStringDecoder decoder("windows-1252");
        const QList<uint> codes = QString(decoder.decode(all)).toUcs4();
        Q_ASSERT(codes.size() == 256);
        for (int i = 0; i < 256; ++i) {
            toUnicode[static_cast<std::size_t>(i)] = codes[i];
            fromUnicode.insert(codes[i], static_cast<char>(i));
        }
    }
};

const AnsiTables& tables()
{
    static const AnsiTables instance;
    return instance;
}

}  // namespace

QString decodeAnsi(const QByteArray& bytes)
{
    const auto& map = tables().toUnicode;
    QString result;
    result.reserve(bytes.size());
    for (char c : bytes) {
        const char32_t code = map[static_cast<unsigned char>(c)];
        result += QChar(static_cast<char16_t>(code));  // all of Windows-1252 lies in the BMP
    }
    return result;
}

static QByteArray encode(const QString& value, bool* exact)
{
    const auto& map = tables().fromUnicode;
    QByteArray result;
    result.reserve(value.size());
    for (char32_t code : value.toUcs4()) {
        const auto found = map.constFind(code);
        if (found != map.constEnd()) {
            result += *found;
        } else {
            result += '?';
            *exact = false;
        }
    }
    return result;
}

QByteArray encodeAnsi(const QString& value)
{
    bool exact = true;
    return encode(value, &exact);
}

std::optional<QByteArray> encodeAnsiExact(const QString& value)
{
    bool exact = true;
    QByteArray bytes = encode(value, &exact);
    if (!exact)
        return std::nullopt;
    return bytes;
}

QByteArray textBytes(const Text& text)
{
    return QByteArray(text.chars, text.length);
}

QString textToString(const Text& text)
{
    return decodeAnsi(textBytes(text));
}

void setTextBytes(Text& text, const QByteArray& bytes)
{
    const auto length = std::min<qsizetype>(bytes.size(), kMaxTextLength);
    text.length = static_cast<std::uint8_t>(length);
    // The unused bytes are cleared: what a longer text held there (an old
    // password) must not stay behind in the file.
    const auto end = std::copy_n(bytes.constData(), length, text.chars);
    std::fill(end, std::end(text.chars), '\0');
}

void stringToText(Text& text, const QString& value)
{
    setTextBytes(text, encodeAnsi(value));
}

bool isPresent(const QByteArray& bytes)
{
    // Greater than " ": a first byte above the blank, or a blank followed by more.
    if (bytes.isEmpty())
        return false;
    const auto first = static_cast<unsigned char>(bytes[0]);
    return first > ' ' || (first == ' ' && bytes.size() > 1);
}

bool isPresent(const Text& text)
{
    return isPresent(textBytes(text));
}

bool isPresent(const QString& text)
{
    return !text.isEmpty() && (text[0] > QLatin1Char(' ') || (text[0] == QLatin1Char(' ') && text.size() > 1));
}
