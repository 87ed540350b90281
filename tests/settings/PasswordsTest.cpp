#include "settings/AnsiText.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "settings/SettingsFile.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {
const QString kAdminError = QStringLiteral(
    "Passwort und Wiederholung\nmüssen exakt übereinstimmen\nund mind. 4 Zeichen lang sein!\n\n"
    "Zum Festlegen des Administrator-\nPasswortes bitte wiederholen!");
const QString kUserError = QStringLiteral(
    "Passwort und Wiederholung\nmüssen exakt übereinstimmen\nund mind. 4 Zeichen lang sein!\n\n"
    "Zum Festlegen des Nutzer-\nPasswortes bitte wiederholen!");
}  // namespace

TEST(PasswordScrambling, AbcIsStoredAsHjlAndFgh)
{
    Text admin{};
    Text user{};
    scrambleAdminPassword(admin, "abc");
    scrambleUserPassword(user, "abc");
    EXPECT_EQ(textBytes(admin), QByteArray("hjl"));
    EXPECT_EQ(textBytes(user), QByteArray("fgh"));
    EXPECT_EQ(unscrambleAdminPassword(admin), QByteArray("abc"));
    EXPECT_EQ(unscrambleUserPassword(user), QByteArray("abc"));
}

TEST(PasswordScrambling, CodesAbove255WrapAroundAndBack)
{
    QByteArray high;
    for (int code = 245; code < 256; ++code)
        high.append(static_cast<char>(code));
    Text admin{};
    Text user{};
    scrambleAdminPassword(admin, high);
    scrambleUserPassword(user, high);
    EXPECT_EQ(static_cast<unsigned char>(admin.chars[0]), (245 + 1 + 6) % 256);
    EXPECT_EQ(static_cast<unsigned char>(admin.chars[10]), (255 + 11 + 6) % 256);
    EXPECT_EQ(static_cast<unsigned char>(user.chars[10]), 4);
    EXPECT_EQ(unscrambleAdminPassword(admin), high);
    EXPECT_EQ(unscrambleUserPassword(user), high);
}

TEST(PasswordScrambling, TheLengthByteDecidesHowManyCharactersCount)
{
    TempProgramFolder folder;
    scrambleAdminPassword(EinstellDaten.AdminPasswordStored, "langes-passwort");
    EinstellDaten.AdminPasswordStored.length = 4;
    EinstellDaten.UserPasswordStored.length = 0;
    EinstellDaten.UserPasswordStored.chars[0] = 'x';
    derivePlainPasswords(EinstellDaten);
    EXPECT_EQ(AdminPassword, QStringLiteral("lang"));
    EXPECT_TRUE(UserPassword.isEmpty());
}

class PasswordChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        AdminPassword = QStringLiteral("altes-admin");
        UserPassword = QStringLiteral("alt-nutzer");
    }
    TempProgramFolder folder;
    RecordingPresenter boxes;
};

TEST_F(PasswordChange, FourMatchingCharactersAreAcceptedAndTheFieldsRefilled)
{
    PasswordFields fields{QStringLiteral("Ab1!"), QStringLiteral("Ab1!")};
    changeAdminPassword(fields, true, EinstellDaten);
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(AdminPassword, QStringLiteral("Ab1!"));
    EXPECT_EQ(unscrambleAdminPassword(EinstellDaten.AdminPasswordStored), QByteArray("Ab1!"));
    EXPECT_EQ(fields.password, QStringLiteral("123456789012345"));
    EXPECT_EQ(fields.repeat, QStringLiteral("9876543210"));

    // Pressing again without retyping compares the two different fillers.
    changeAdminPassword(fields, true, EinstellDaten);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.messages[0].text, kAdminError);
    EXPECT_EQ(AdminPassword, QStringLiteral("Ab1!"));
}

// Nothing of a longer old password stays behind the length byte in the file.
TEST_F(PasswordChange, AShorterPasswordLeavesNothingOfTheOldOneInTheFile)
{
    const QString longer = QStringLiteral("Ein-langes-Geheimnis");
    for (const QString& password : {longer, QStringLiteral("kurz")}) {
        PasswordFields admin{password, password};
        PasswordFields user{password, password};
        changeAdminPassword(admin, true, EinstellDaten);
        changeUserPassword(user, true, false, EinstellDaten);
    }
    SaveSettings();
    const QByteArray file = folder.readFile(QStringLiteral("Einstell.DAT"));
    ASSERT_EQ(file.size(), 7990);
    for (const int offset : {7478, 7734}) {
        EXPECT_EQ(file[offset], 4);
        EXPECT_EQ(file.mid(offset + 5, 251), QByteArray(251, '\0')) << offset;
    }
}

TEST_F(PasswordChange, ShortMismatchedAndUnstorablePasswordsAreRefused)
{
    const QList<PasswordFields> refused = {
        {QStringLiteral("abc"), QStringLiteral("abc")},
        {QStringLiteral("abcd"), QStringLiteral("abce")},
        {QStringLiteral("Geheim"), QStringLiteral("geheim")},
        {QString(256, QLatin1Char('x')), QString(256, QLatin1Char('x'))},
        {QStringLiteral("Łódź-1"), QStringLiteral("Łódź-1")},
    };
    for (PasswordFields fields : refused) {
        PasswordFields userFields = fields;
        changeAdminPassword(fields, true, EinstellDaten);
        changeUserPassword(userFields, true, false, EinstellDaten);
        EXPECT_EQ(fields.password, kPasswordFiller);
        EXPECT_EQ(userFields.repeat, kRepeatFiller);
    }
    ASSERT_EQ(boxes.messages.size(), 2 * refused.size());
    EXPECT_EQ(boxes.messages[0].text, kAdminError);
    EXPECT_EQ(boxes.messages[1].text, kUserError);
    EXPECT_EQ(AdminPassword, QStringLiteral("altes-admin"));
    EXPECT_EQ(UserPassword, QStringLiteral("alt-nutzer"));
}

TEST_F(PasswordChange, ThePasswordOf255CharactersAndWindows1252SignsIsStoredWhole)
{
    const QString longest = QString(254, QLatin1Char('x')) + QStringLiteral("€");
    PasswordFields fields{longest, longest};
    changeUserPassword(fields, true, false, EinstellDaten);
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(UserPassword, longest);
    EXPECT_EQ(EinstellDaten.UserPasswordStored.length, 255);
    derivePlainPasswords(EinstellDaten);
    EXPECT_EQ(UserPassword, longest);
}

TEST_F(PasswordChange, WithoutTheRoleNothingChangesAndNothingIsShown)
{
    PasswordFields admin{QStringLiteral("neues"), QStringLiteral("neues")};
    changeAdminPassword(admin, false, EinstellDaten);
    PasswordFields user{QStringLiteral("neues"), QStringLiteral("neues")};
    changeUserPassword(user, false, true, EinstellDaten);  // user without the right
    PasswordFields nobody{QStringLiteral("neues"), QStringLiteral("neues")};
    EinstellDaten.MayChangeUserOptions = 1;
    changeUserPassword(nobody, false, false, EinstellDaten);
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(AdminPassword, QStringLiteral("altes-admin"));
    EXPECT_EQ(UserPassword, QStringLiteral("alt-nutzer"));
    EXPECT_EQ(admin.password, kPasswordFiller);
    EXPECT_EQ(user.password, kPasswordFiller);
    EXPECT_EQ(nobody.password, kPasswordFiller);
}

TEST_F(PasswordChange, AUserWithTheRightChangesTheUserPassword)
{
    EinstellDaten.MayChangeUserOptions = 1;
    PasswordFields fields{QStringLiteral("Nutzer-neu"), QStringLiteral("Nutzer-neu")};
    changeUserPassword(fields, false, true, EinstellDaten);
    EXPECT_EQ(UserPassword, QStringLiteral("Nutzer-neu"));
    EXPECT_EQ(unscrambleUserPassword(EinstellDaten.UserPasswordStored), QByteArray("Nutzer-neu"));
    EXPECT_EQ(AdminPassword, QStringLiteral("altes-admin"));
}
