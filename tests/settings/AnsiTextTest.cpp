#include "settings/AnsiText.h"

#include <gtest/gtest.h>

TEST(AnsiText, GermanTextsAndTheEuroSignRoundTripAsWindows1252Bytes)
{
    const QString text = QStringLiteral("Grüße aus Köln: Äpfel für 5 € – „gut“");
    Text stored{};
    stringToText(stored, text);
    const QByteArray bytes = textBytes(stored);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0xFC);  // ü
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0xDF);  // ß
    EXPECT_EQ(static_cast<unsigned char>(bytes[text.indexOf(QChar(0x20AC))]), 0x80);
    EXPECT_EQ(textToString(stored), text);
}

TEST(AnsiText, EveryByteDecodesToADistinctCharacterAndBack)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    const QString decoded = decodeAnsi(all);
    ASSERT_EQ(decoded.size(), 256);
    EXPECT_EQ(encodeAnsiExact(decoded), all);
}

TEST(AnsiText, CharactersWithoutCodeBecomeQuestionMarks)
{
    const QString text = QStringLiteral("a\u0141b\u4E00c") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("d");
    EXPECT_EQ(encodeAnsi(text), QByteArray("a?b?c?d"));
    EXPECT_FALSE(encodeAnsiExact(text).has_value());
}

TEST(AnsiText, StoringCutsAfter255Characters)
{
    Text stored{};
    stringToText(stored, QString(255, QLatin1Char('x')));
    EXPECT_EQ(stored.length, 255);
    stringToText(stored, QString(254, QLatin1Char('y')) + QStringLiteral("äöü"));
    EXPECT_EQ(stored.length, 255);
    EXPECT_EQ(textToString(stored), QString(254, QLatin1Char('y')) + QStringLiteral("ä"));
    stringToText(stored, QString());
    EXPECT_EQ(stored.length, 0);
}

TEST(AnsiText, PresenceComparesAgainstOneBlank)
{
    EXPECT_FALSE(isPresent(QByteArray()));
    EXPECT_FALSE(isPresent(QByteArray(" ")));
    EXPECT_FALSE(isPresent(QByteArray("\tabc")));
    EXPECT_FALSE(
        isPresent(QByteArray("\x01"
                             "abc")));
    EXPECT_TRUE(isPresent(QByteArray("  ")));
    EXPECT_TRUE(isPresent(QByteArray(" x")));
    EXPECT_TRUE(isPresent(QByteArray("!")));
    EXPECT_TRUE(isPresent(QByteArray("\xE4")));  // bytes compare unsigned
}
