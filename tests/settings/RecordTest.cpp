#include "platform/host/Messages.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/EinstellRecord.h"
#include "settings/Passwords.h"
#include "support/RecordText.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct WordField {
    const char* name;
    Word TEinstellRecord::*member;
    std::size_t offset;
};
struct TextField {
    const char* name;
    Text TEinstellRecord::*member;
    std::size_t offset;
};

#define W(field, offset)                        \
    WordField                                   \
    {                                           \
#field, &TEinstellRecord::field, offset \
    }
#define T(field, offset)                        \
    TextField                                   \
    {                                           \
#field, &TEinstellRecord::field, offset \
    }
const std::vector<WordField> kWords = {W(SilentMode, 0),          W(AutoEndSeconds, 2),    W(RedirectDownloads, 4),
                                       W(MaySearch, 6),           W(MaySurf, 8),           W(MayChangeUserOptions, 10),
                                       W(MayChangeAddresses, 12), W(DownloadAttempts, 14), W(Download1Suffix, 16),
                                       W(Download2Suffix, 18),    W(Download3Suffix, 20),  W(Download4Suffix, 22),
                                       W(Download1Counter, 24),   W(Download2Counter, 26), W(Download3Counter, 28),
                                       W(Download4Counter, 30),   W(MaxVersions, 32),      W(RefreshMinutes, 34),
                                       W(WindowMode, 36),         W(WindowWidth, 38),      W(WindowHeight, 40),
                                       W(Reserved1, 42),          W(Reserved2, 44),        W(Reserved3, 46),
                                       W(Reserved4, 48),          W(Reserved5, 50),        W(Reserved6, 52)};
const std::vector<TextField> kTexts = {
    T(HomePage, 54),          T(SearchPage, 310),           T(DownloadFolder1, 566),    T(Download1Name, 822),
    T(Download1Target, 1078), T(Download1Url, 1334),        T(Download2Name, 1590),     T(Download2Target, 1846),
    T(Download2Url, 2102),    T(DownloadFolder2, 2358),     T(Download3Name, 2614),     T(Download3Target, 2870),
    T(Download3Url, 3126),    T(Download4Name, 3382),       T(Download4Target, 3638),   T(Download4Url, 3894),
    T(WebAddress1Name, 4150), T(WebAddress1Url, 4406),      T(WebAddress2Name, 4662),   T(WebAddress2Url, 4918),
    T(ReservedText1, 5174),   T(ReservedText2, 5430),       T(ReservedText3, 5686),     T(ReservedText4, 5942),
    T(ReservedText5, 6198),   T(ReservedText6, 6454),       T(ReservedText7, 6710),     T(ReservedText8, 6966),
    T(ReservedText9, 7222),   T(AdminPasswordStored, 7478), T(UserPasswordStored, 7734)};
#undef W
#undef T

// The bytes in which two images differ, as [first, last].
std::pair<qsizetype, qsizetype> changedRange(const QByteArray& a, const QByteArray& b)
{
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

}  // namespace

TEST(RecordLayout, EveryWordSitsAtItsOffsetLittleEndianInTwoBytes)
{
    ASSERT_EQ(kWords.size(), 27u);
    for (const WordField& field : kWords) {
        SCOPED_TRACE(field.name);
        TEinstellRecord record{};
        const QByteArray before = image(record);
        record.*field.member = 0xA15B;
        const QByteArray after = image(record);
        EXPECT_EQ(changedRange(before, after),
                  std::make_pair(static_cast<qsizetype>(field.offset), static_cast<qsizetype>(field.offset + 1)));
        EXPECT_EQ(static_cast<unsigned char>(after[field.offset]), 0x5B);
        EXPECT_EQ(static_cast<unsigned char>(after[field.offset + 1]), 0xA1);
    }
}

TEST(RecordLayout, EveryTextIsALengthByteAnd255CharactersAtItsOffset)
{
    ASSERT_EQ(kTexts.size(), 31u);
    for (const TextField& field : kTexts) {
        SCOPED_TRACE(field.name);
        TEinstellRecord record{};
        const QByteArray before = image(record);
        Text& t = record.*field.member;
        t.length = 255;
        std::memset(t.chars, 'x', sizeof t.chars);
        const QByteArray after = image(record);
        EXPECT_EQ(changedRange(before, after),
                  std::make_pair(static_cast<qsizetype>(field.offset), static_cast<qsizetype>(field.offset + 255)));
        EXPECT_EQ(static_cast<unsigned char>(after[field.offset]), 255);
    }
}

TEST(RecordLayout, FieldsFollowEachOtherWithoutGapsUpTo7990Bytes)
{
    std::size_t next = 0;
    for (const WordField& field : kWords) {
        EXPECT_EQ(field.offset, next) << field.name;
        next = field.offset + 2;
    }
    for (const TextField& field : kTexts) {
        EXPECT_EQ(field.offset, next) << field.name;
        next = field.offset + 256;
    }
    EXPECT_EQ(next, 7990u);
    EXPECT_EQ(sizeof(TEinstellRecord), 7990u);
}

class Defaults : public ::testing::Test {
protected:
    TempProgramFolder folder;
};

TEST_F(Defaults, SetDefaultsGivesTheBuiltInValues)
{
    SetDefaults(EinstellDaten);
    const TEinstellRecord& r = EinstellDaten;
    EXPECT_EQ(r.SilentMode, 0);
    EXPECT_EQ(r.AutoEndSeconds, 0);
    EXPECT_EQ(r.RedirectDownloads, 1);
    EXPECT_EQ(r.MaySearch, 1);
    EXPECT_EQ(r.MaySurf, 1);
    EXPECT_EQ(r.MayChangeUserOptions, 0);
    EXPECT_EQ(r.MayChangeAddresses, 0);
    EXPECT_EQ(r.DownloadAttempts, 3);
    EXPECT_EQ(r.MaxVersions, 99);
    for (Word w : {r.Download1Suffix, r.Download2Suffix, r.Download3Suffix, r.Download4Suffix, r.Download1Counter,
                   r.Download2Counter, r.Download3Counter, r.Download4Counter})
        EXPECT_EQ(w, 0);
    EXPECT_EQ(text(r.Download1Name), QStringLiteral("Kavelo (aktuell)"));
    EXPECT_EQ(text(r.WebAddress1Name), QStringLiteral("google"));
    EXPECT_EQ(text(r.WebAddress2Name), QStringLiteral("wikipedia"));
    EXPECT_EQ(text(r.HomePage), kWelcomePage);
    for (const Text* url : {&r.SearchPage, &r.Download1Url, &r.Download2Url, &r.WebAddress1Url, &r.WebAddress2Url})
        EXPECT_TRUE(text(*url).startsWith(QStringLiteral("https://"))) << text(*url).toStdString();
    // Downloads 3 and 4 repeat 1 and 2.
    EXPECT_EQ(text(r.Download3Name), text(r.Download1Name));
    EXPECT_EQ(text(r.Download3Target), text(r.Download1Target));
    EXPECT_EQ(text(r.Download3Url), text(r.Download1Url));
    EXPECT_EQ(text(r.Download4Name), text(r.Download2Name));
    EXPECT_EQ(text(r.Download4Target), text(r.Download2Target));
    EXPECT_EQ(text(r.Download4Url), text(r.Download2Url));
    EXPECT_EQ(unscrambleAdminPassword(r.AdminPasswordStored).size(), 11);
    EXPECT_EQ(unscrambleUserPassword(r.UserPasswordStored).size(), 6);
}

// Saved as "~/…", the defaults of one person's settings name every other's own folders.
TEST_F(Defaults, WindowsPathsTakeTheSameShapesInTheRunningUsersHome)
{
    SetDefaults(EinstellDaten);
    EXPECT_EQ(text(EinstellDaten.DownloadFolder1), QStringLiteral("~/Downloads"));
    EXPECT_EQ(text(EinstellDaten.DownloadFolder2), QStringLiteral("~/Downloads"));
    EXPECT_EQ(text(EinstellDaten.Download1Target), QStringLiteral("~/Downloads/Kavelo.zip"));
    EXPECT_EQ(text(EinstellDaten.Download2Target), QStringLiteral("~/Tabulo.exe"));

    const QString home = QDir::homePath();
    const std::pair<const char*, QString> paths[] = {{"~/Downloads", home + QStringLiteral("/Downloads")},
                                                     {"/srv/~/Ablage", QStringLiteral("/srv/~/Ablage")},
                                                     {"~anna/Ablage", QStringLiteral("~anna/Ablage")}};
    for (const auto& [saved, used] : paths)
        EXPECT_EQ(homeResolved(QString::fromUtf8(saved)), used) << saved;
}

TEST_F(Defaults, SetDefaultsLeavesRefreshAndWindowFieldsAndClearsTheReserved)
{
    std::memset(&EinstellDaten, 0x5A, sizeof EinstellDaten);
    EinstellDaten.RefreshMinutes = 7;
    EinstellDaten.WindowMode = 1;
    EinstellDaten.WindowWidth = 800;
    EinstellDaten.WindowHeight = 600;
    SetDefaults(EinstellDaten);
    EXPECT_EQ(EinstellDaten.RefreshMinutes, 7);
    EXPECT_EQ(EinstellDaten.WindowMode, 1);
    EXPECT_EQ(EinstellDaten.WindowWidth, 800);
    EXPECT_EQ(EinstellDaten.WindowHeight, 600);
    for (Word w : {EinstellDaten.Reserved1, EinstellDaten.Reserved2, EinstellDaten.Reserved3, EinstellDaten.Reserved4,
                   EinstellDaten.Reserved5, EinstellDaten.Reserved6})
        EXPECT_EQ(w, 0);
    for (const Text* t : {&EinstellDaten.ReservedText1, &EinstellDaten.ReservedText5, &EinstellDaten.ReservedText9})
        EXPECT_EQ(t->length, 0);
}

class Resets : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaults(EinstellDaten);
        StandardDaten = EinstellDaten;
        // A run with its own settings and passwords.
        EinstellDaten.Download1Counter = 17;
        EinstellDaten.Download4Counter = 4;
        EinstellDaten.MaxVersions = 500;
        EinstellDaten.MaySearch = 0;
        EinstellDaten.MaySurf = 0;
        EinstellDaten.MayChangeUserOptions = 1;
        EinstellDaten.MayChangeAddresses = 1;
        EinstellDaten.RefreshMinutes = 5;
        EinstellDaten.WindowMode = 1;
        EinstellDaten.WindowWidth = 1024;
        EinstellDaten.WindowHeight = 768;
        stringToText(EinstellDaten.HomePage, QStringLiteral("http://127.0.0.1/home"));
        stringToText(EinstellDaten.SearchPage, QStringLiteral("http://127.0.0.1/suche"));
        stringToText(EinstellDaten.DownloadFolder1, QStringLiteral("/srv/eins"));
        stringToText(EinstellDaten.DownloadFolder2, QStringLiteral("/srv/zwei"));
        scrambleAdminPassword(EinstellDaten.AdminPasswordStored, "geheim!");
        scrambleUserPassword(EinstellDaten.UserPasswordStored, "offen");
        before = EinstellDaten;
    }
    TempProgramFolder folder;
    RecordingPresenter boxes;
    TEinstellRecord before{};
};

TEST_F(Resets, AllOptionsOnYesRestoresDefaultsButKeepsPasswordsAndWindow)
{
    boxes.answerNext(true);
    ResetAllOptions(EinstellDaten);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(boxes.messages[0].title, QStringLiteral("Bestätigung"));
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Wollen Sie jetzt die Standard-Vorgaben\nwieder "
                                                     "herstellen?\n(Passwörter bleiben unverändert gültig!)"));
    EXPECT_EQ(EinstellDaten.Download1Counter, 0);
    EXPECT_EQ(EinstellDaten.Download4Counter, 0);
    EXPECT_EQ(EinstellDaten.MaxVersions, 99);
    EXPECT_EQ(EinstellDaten.MaySearch, 1);
    EXPECT_EQ(EinstellDaten.MaySurf, 1);
    EXPECT_EQ(EinstellDaten.MayChangeUserOptions, 0);
    EXPECT_EQ(EinstellDaten.MayChangeAddresses, 0);
    EXPECT_EQ(EinstellDaten.RefreshMinutes, 5);
    EXPECT_EQ(EinstellDaten.WindowMode, 1);
    EXPECT_EQ(EinstellDaten.WindowWidth, 1024);
    EXPECT_EQ(EinstellDaten.WindowHeight, 768);
    EXPECT_EQ(unscrambleAdminPassword(EinstellDaten.AdminPasswordStored), QByteArray("geheim!"));
    EXPECT_EQ(unscrambleUserPassword(EinstellDaten.UserPasswordStored), QByteArray("offen"));
}

TEST_F(Resets, NoChangesNothing)
{
    ResetAllOptions(EinstellDaten);
    ResetUserOptions(EinstellDaten, StandardDaten);
    EXPECT_EQ(boxes.messages.size(), 2);
    EXPECT_EQ(image(EinstellDaten), image(before));
}

TEST_F(Resets, UserOptionsOnYesRestoreOnlyHomeSearchAndFolderOne)
{
    boxes.answerNext(true);
    ResetUserOptions(EinstellDaten, StandardDaten);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].text,
              QStringLiteral("Wollen Sie jetzt die Standard-Vorgaben\nfür die Nutzer-Optionen wieder "
                             "herstellen?\n(Das Passwort bleibt unverändert gültig!)"));
    TEinstellRecord expected = before;
    expected.HomePage = StandardDaten.HomePage;
    expected.SearchPage = StandardDaten.SearchPage;
    expected.DownloadFolder1 = StandardDaten.DownloadFolder1;
    EXPECT_EQ(image(EinstellDaten), image(expected));
    EXPECT_EQ(text(EinstellDaten.DownloadFolder2), QStringLiteral("/srv/zwei"));
}
