#include "dialogs/NumberField.h"

#include <gtest/gtest.h>

TEST(NumberField, WholeNumbersAreStoredAsTheirLowest16Bits)
{
    const struct {
        const char* text;
        Word stored;
    } cases[] = {
        {"0", 0},  {"65535", 65535}, {"65536", 0}, {"70000", 4464},       {"-1", 65535},      {"-65536", 0},
        {"+7", 7}, {"007", 7},       {"-0", 0},    {"2147483647", 65535}, {"-2147483648", 0}, {"-70000", 61072},
    };
    for (const auto& c : cases) {
        const std::optional<Word> value = fieldNumber(QString::fromLatin1(c.text), EmptyField::NotANumber);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_EQ(*value, c.stored) << c.text;
    }
}

TEST(NumberField, AnythingButASignAndDigitsWithin32BitsIsNoNumber)
{
    for (const char* text : {" 5", "5 ", "5a", "-", "+", "--1", "+-1", "0x10", "$10", "1.5", "1,5", "1e3", "2147483648",
                             "-2147483649", "99999999999999999999"})
        EXPECT_FALSE(fieldNumber(QString::fromLatin1(text), EmptyField::Zero).has_value()) << text;
    // Digits of other scripts are no decimal digits here.
    EXPECT_FALSE(fieldNumber(QStringLiteral("١٢"), EmptyField::Zero).has_value());
    // However long, the digits never overflow the conversion.
    EXPECT_FALSE(fieldNumber(QString(5000, QLatin1Char('9')), EmptyField::Zero).has_value());
    EXPECT_EQ(fieldNumber(QString(5000, QLatin1Char('0')) + QStringLiteral("12"), EmptyField::Zero), 12);
}

TEST(NumberField, AnEmptyFieldIsZeroOnlyWhereThatIsAllowed)
{
    EXPECT_EQ(fieldNumber(QString(), EmptyField::Zero), 0);
    EXPECT_FALSE(fieldNumber(QString(), EmptyField::NotANumber).has_value());
    EXPECT_FALSE(fieldNumber(QStringLiteral(" "), EmptyField::Zero).has_value());
}

TEST(NumberField, TheMessageQuotesTheFieldsText)
{
    EXPECT_EQ(notANumberMessage(QStringLiteral("12a")), QStringLiteral("'12a' ist kein gültiger Integerwert"));
    EXPECT_EQ(notANumberMessage(QString()), QStringLiteral("'' ist kein gültiger Integerwert"));
}
