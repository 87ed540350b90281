#include "settings/SettingsText.h"

#include "settings/AnsiText.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// One field of the record: a Word, or a Text whose bytes are either
// characters or, for the stored passwords, scrambled bytes.
struct Field {
    const char* name;
    Word TEinstellRecord::*word;
    Text TEinstellRecord::*text;
    bool scrambled;
};

#define KAVELO_WORD(field)                              \
    Field                                               \
    {                                                   \
#field, &TEinstellRecord::field, nullptr, false \
    }
#define KAVELO_TEXT(field)                              \
    Field                                               \
    {                                                   \
#field, nullptr, &TEinstellRecord::field, false \
    }
#define KAVELO_BYTES(field)                            \
    Field                                              \
    {                                                  \
#field, nullptr, &TEinstellRecord::field, true \
    }
const std::array kFields = {
    KAVELO_WORD(SilentMode),
    KAVELO_WORD(AutoEndSeconds),
    KAVELO_WORD(RedirectDownloads),
    KAVELO_WORD(MaySearch),
    KAVELO_WORD(MaySurf),
    KAVELO_WORD(MayChangeUserOptions),
    KAVELO_WORD(MayChangeAddresses),
    KAVELO_WORD(DownloadAttempts),
    KAVELO_WORD(Download1Suffix),
    KAVELO_WORD(Download2Suffix),
    KAVELO_WORD(Download3Suffix),
    KAVELO_WORD(Download4Suffix),
    KAVELO_WORD(Download1Counter),
    KAVELO_WORD(Download2Counter),
    KAVELO_WORD(Download3Counter),
    KAVELO_WORD(Download4Counter),
    KAVELO_WORD(MaxVersions),
    KAVELO_WORD(RefreshMinutes),
    KAVELO_WORD(WindowMode),
    KAVELO_WORD(WindowWidth),
    KAVELO_WORD(WindowHeight),
    KAVELO_WORD(Reserved1),
    KAVELO_WORD(Reserved2),
    KAVELO_WORD(Reserved3),
    KAVELO_WORD(Reserved4),
    KAVELO_WORD(Reserved5),
    KAVELO_WORD(Reserved6),
    KAVELO_TEXT(HomePage),
    KAVELO_TEXT(SearchPage),
    KAVELO_TEXT(DownloadFolder1),
    KAVELO_TEXT(Download1Name),
    KAVELO_TEXT(Download1Target),
    KAVELO_TEXT(Download1Url),
    KAVELO_TEXT(Download2Name),
    KAVELO_TEXT(Download2Target),
    KAVELO_TEXT(Download2Url),
    KAVELO_TEXT(DownloadFolder2),
    KAVELO_TEXT(Download3Name),
    KAVELO_TEXT(Download3Target),
    KAVELO_TEXT(Download3Url),
    KAVELO_TEXT(Download4Name),
    KAVELO_TEXT(Download4Target),
    KAVELO_TEXT(Download4Url),
    KAVELO_TEXT(WebAddress1Name),
    KAVELO_TEXT(WebAddress1Url),
    KAVELO_TEXT(WebAddress2Name),
    KAVELO_TEXT(WebAddress2Url),
    KAVELO_TEXT(ReservedText1),
    KAVELO_TEXT(ReservedText2),
    KAVELO_TEXT(ReservedText3),
    KAVELO_TEXT(ReservedText4),
    KAVELO_TEXT(ReservedText5),
    KAVELO_TEXT(ReservedText6),
    KAVELO_TEXT(ReservedText7),
    KAVELO_TEXT(ReservedText8),
    KAVELO_TEXT(ReservedText9),
    KAVELO_BYTES(AdminPasswordStored),
    KAVELO_BYTES(UserPasswordStored),
};
#undef KAVELO_WORD
#undef KAVELO_TEXT
#undef KAVELO_BYTES
static_assert(kFields.size() == 27 + 31, "every field of the record has its line");

// The control bytes show as the pictures of the block "Control Pictures",
// which Windows-1252 lacks, so a picture read back can only mean its byte.
constexpr char16_t kPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kDelete = 0x7F;

QString withPictures(QString characters)
{
    for (QChar& c : characters) {
        if (c.unicode() < 0x20)
            c = QChar(static_cast<char16_t>(kPictures + c.unicode()));
        else if (c.unicode() == kDelete)
            c = QChar(kDeletePicture);
    }
    return characters;
}

QString withoutPictures(QString characters)
{
    for (QChar& c : characters) {
        if (c.unicode() >= kPictures && c.unicode() < kPictures + 0x20)
            c = QChar(static_cast<char16_t>(c.unicode() - kPictures));
        else if (c.unicode() == kDeletePicture)
            c = QChar(kDelete);
    }
    return characters;
}

QByteArray valueOf(const Field& field, const TEinstellRecord& record)
{
    if (field.word)
        return QByteArray::number(record.*field.word);
    const QByteArray bytes = textBytes(record.*field.text);
    return field.scrambled ? bytes.toHex() : withPictures(decodeAnsi(bytes)).toUtf8();
}

// A value as a message quotes it: cut where it would fill the line.
QString quoted(const QString& value)
{
    constexpr qsizetype kShown = 40;
    return QStringLiteral("„%1“").arg(value.size() > kShown ? value.left(kShown) + QStringLiteral("…") : value);
}

std::optional<Word> numberOf(const QString& value)
{
    if (value.isEmpty())
        return std::nullopt;
    unsigned number = 0;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
        if (number > 0xFFFF)
            return std::nullopt;
    }
    return static_cast<Word>(number);
}

bool isHex(const QString& value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
               || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    });
}

// The bytes a Text's value stands for, or the reason it stands for none.
std::optional<QByteArray> textValue(const Field& field, const QString& value, QString& reason)
{
    if (field.scrambled) {
        if (value.size() % 2 != 0 || !isHex(value)) {
            reason = QStringLiteral("%1 ist keine Folge von Hexadezimalziffern (zwei je Byte)").arg(quoted(value));
            return std::nullopt;
        }
        return QByteArray::fromHex(value.toLatin1());
    }
    const QString characters = withoutPictures(value);
    std::optional<QByteArray> bytes = encodeAnsiExact(characters);
    if (!bytes) {
        for (const char32_t code : characters.toUcs4()) {
            const QString one = QString::fromUcs4(&code, 1);
            if (!encodeAnsiExact(one)) {
                reason = QStringLiteral("das Zeichen %1 gibt es in Windows-1252 nicht").arg(quoted(one));
                break;
            }
        }
    }
    return bytes;
}

// Sets field of record to value; the reason when value does not fit the field.
std::optional<QString> apply(const Field& field, const QString& value, TEinstellRecord& record)
{
    if (field.word) {
        const std::optional<Word> number = numberOf(value);
        if (!number)
            return QStringLiteral("%1 ist keine Zahl von 0 bis 65535").arg(quoted(value));
        record.*field.word = *number;
        return std::nullopt;
    }
    QString reason;
    const std::optional<QByteArray> bytes = textValue(field, value, reason);
    if (!bytes)
        return reason;
    if (bytes->size() > kMaxTextLength)
        return QStringLiteral("%1 Zeichen sind zu lang für das Feld, es fasst höchstens %2")
            .arg(bytes->size())
            .arg(kMaxTextLength);
    // An unchanged text keeps its record bytes, also those behind its length.
    if (*bytes != textBytes(record.*field.text))
        setTextBytes(record.*field.text, *bytes);
    return std::nullopt;
}

const Field* fieldNamed(const QString& name)
{
    const auto found = std::find_if(kFields.begin(), kFields.end(),
                                    [&](const Field& field) { return name == QLatin1StringView(field.name); });
    return found == kFields.end() ? nullptr : &*found;
}

std::optional<QString> utf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString result = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return result;
}

}  // namespace

QByteArray settingsText(const TEinstellRecord& record)
{
    QByteArray text;
    for (const Field& field : kFields)
        text += QByteArray(field.name) + '=' + valueOf(field, record) + '\n';
    return text;
}

std::optional<SettingsTextError> readSettingsText(const QByteArray& text, TEinstellRecord& record)
{
    QByteArrayView rest(text);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    TEinstellRecord result = record;
    std::array<int, kFields.size()> namedIn{};  // the line that named each field, 0 for none yet
    for (int number = 1; !rest.isEmpty(); ++number) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);

        const std::optional<QString> decoded = utf8(line);
        if (!decoded)
            return SettingsTextError{number, QStringLiteral("die Zeile ist kein gültiges UTF-8")};
        const qsizetype equals = decoded->indexOf(QLatin1Char('='));
        if (equals < 0)
            return SettingsTextError{number, QStringLiteral("die Zeile hat kein „=“ (Name=Wert)")};
        const QString name = decoded->left(equals);
        const Field* field = fieldNamed(name);
        if (!field)
            return SettingsTextError{number, QStringLiteral("unbekannter Name %1").arg(quoted(name))};
        int& earlier = namedIn[static_cast<std::size_t>(field - kFields.data())];
        if (earlier != 0)
            return SettingsTextError{number,
                                     QStringLiteral("%1 steht schon in Zeile %2").arg(quoted(name)).arg(earlier)};
        earlier = number;
        if (std::optional<QString> reason = apply(*field, decoded->mid(equals + 1), result))
            return SettingsTextError{number, QStringLiteral("%1: %2").arg(name, *reason)};
    }
    record = result;
    return std::nullopt;
}
