#include "dialogs/SettingsFields.h"

#include "settings/AnsiText.h"
#include "support/RecordText.h"

#include <gtest/gtest.h>
#include <QHash>
#include <array>
#include <cstring>
#include <utility>

namespace {

class FakeControls : public SettingsControls {
public:
    QString text(const char* edit) const override { return texts.value(QLatin1String(edit)); }
    void setText(const char* edit, const QString& text) override { texts[QLatin1String(edit)] = text; }
    bool isChecked(const char* box) const override { return checks.value(QLatin1String(box)); }
    void setChecked(const char* box, bool checked) override { checks[QLatin1String(box)] = checked; }
    int itemIndex(const char* group) const override { return items.value(QLatin1String(group), -1); }
    void setItemIndex(const char* group, int index) override { items[QLatin1String(group)] = index; }

    void set(const char* edit, const char* text) { setText(edit, QString::fromUtf8(text)); }

    QHash<QString, QString> texts;
    QHash<QString, bool> checks;
    QHash<QString, int> items;
};

// The text fields with the edits that show them.
const struct {
    const char* edit;
    Text TEinstellRecord::*field;
} kTexts[] = {
    {"Edit6", &TEinstellRecord::HomePage},         {"Edit7", &TEinstellRecord::SearchPage},
    {"Edit19", &TEinstellRecord::DownloadFolder1}, {"Edit23", &TEinstellRecord::DownloadFolder2},
    {"Edit8", &TEinstellRecord::WebAddress1Url},   {"Edit9", &TEinstellRecord::WebAddress1Name},
    {"Edit10", &TEinstellRecord::WebAddress2Url},  {"Edit11", &TEinstellRecord::WebAddress2Name},
    {"Edit12", &TEinstellRecord::Download1Url},    {"Edit13", &TEinstellRecord::Download1Name},
    {"Edit14", &TEinstellRecord::Download1Target}, {"Edit15", &TEinstellRecord::Download2Url},
    {"Edit16", &TEinstellRecord::Download2Name},   {"Edit17", &TEinstellRecord::Download2Target},
    {"Edit24", &TEinstellRecord::Download3Url},    {"Edit25", &TEinstellRecord::Download3Name},
    {"Edit26", &TEinstellRecord::Download3Target}, {"Edit27", &TEinstellRecord::Download4Url},
    {"Edit28", &TEinstellRecord::Download4Name},   {"Edit29", &TEinstellRecord::Download4Target},
};

// A record whose every field differs from what editedControls() holds.
TEinstellRecord recordBefore()
{
    TEinstellRecord record{};
    for (const auto& t : kTexts)
        setText(record.*t.field, "alt");
    record.RefreshMinutes = 5;
    record.MaxVersions = 99;
    record.DownloadAttempts = 3;
    record.Download1Counter = 4;
    record.WindowMode = 0;
    record.WindowWidth = 800;
    record.WindowHeight = 600;
    record.MaySearch = 1;
    record.MaySurf = 1;
    return record;
}

// Every control changed: each edit holds its own name, numbers and choices new values.
FakeControls editedControls()
{
    FakeControls controls;
    for (const auto& t : kTexts)
        controls.set(t.edit, t.edit);
    controls.set("Edit32", "30");
    controls.set("Edit5", "120");
    controls.set("Edit18", "7");
    for (const char* counter : {"Edit20", "Edit21", "Edit33", "Edit34"})
        controls.set(counter, "11");
    controls.set("Edit22", "500");
    controls.set("Edit30", "1024");
    controls.set("Edit31", "768");
    for (const char* box : {"CheckBox1", "CheckBox4", "CheckBox5", "CheckBox6"})
        controls.setChecked(box, true);
    for (const char* group : {"RadioGroup1", "RadioGroup2", "RadioGroup3", "RadioGroup4"})
        controls.setItemIndex(group, 6);
    controls.setItemIndex("RadioGroup5", 2);
    return controls;
}

struct Taken {
    bool pages;
    bool folders;
    bool refresh;
    bool addresses;
    bool administrator;
};

Taken takenOver(const TEinstellRecord& record)
{
    const TEinstellRecord before = recordBefore();
    return {text(record.HomePage) == QStringLiteral("Edit6"), text(record.DownloadFolder1) == QStringLiteral("Edit19"),
            record.RefreshMinutes != before.RefreshMinutes, text(record.Download4Target) == QStringLiteral("Edit29"),
            record.WindowHeight != before.WindowHeight};
}

bool operator==(const Taken& a, const Taken& b)
{
    return a.pages == b.pages && a.folders == b.folders && a.refresh == b.refresh && a.addresses == b.addresses
           && a.administrator == b.administrator;
}

void PrintTo(const Taken& t, std::ostream* os)
{
    *os << "pages " << t.pages << ", folders " << t.folders << ", refresh " << t.refresh << ", addresses "
        << t.addresses << ", administrator " << t.administrator;
}

// Runs the take-over for one role with the two user rights set in the record.
TEinstellRecord TakeOver(LoginRoles roles, Word userOptions, Word addresses,
                         const FakeControls& controls = editedControls())
{
    TEinstellRecord record = recordBefore();
    record.MayChangeUserOptions = userOptions;
    record.MayChangeAddresses = addresses;
    EXPECT_FALSE(controlsToRecord(controls, roles, record).has_value());
    return record;
}

}  // namespace

TEST(SettingsTakeOver, TheRoleAndTheRightsDecideWhichStepsRun)
{
    const LoginRoles admin{true, false};
    const LoginRoles user{false, true};
    const LoginRoles nobody{};
    EXPECT_EQ(takenOver(TakeOver(nobody, 1, 1)), (Taken{false, false, false, false, false}));
    EXPECT_EQ(takenOver(TakeOver(user, 0, 0)), (Taken{false, false, true, false, false}));
    EXPECT_EQ(takenOver(TakeOver(user, 1, 0)), (Taken{false, true, true, false, false}));
    EXPECT_EQ(takenOver(TakeOver(user, 0, 1)), (Taken{true, false, true, true, false}));
    EXPECT_EQ(takenOver(TakeOver(user, 1, 1)), (Taken{true, true, true, true, false}));
    EXPECT_EQ(takenOver(TakeOver(admin, 0, 0)), (Taken{true, true, true, true, true}));
    // A right means exactly 1.
    EXPECT_EQ(takenOver(TakeOver(user, 2, 2)), (Taken{false, false, true, false, false}));
}

TEST(SettingsTakeOver, TheAdministratorTakesEveryControlIntoItsField)
{
    const TEinstellRecord r = TakeOver({true, false}, 0, 0);
    for (const auto& t : kTexts)
        EXPECT_EQ(text(r.*t.field), QLatin1String(t.edit)) << t.edit;
    EXPECT_EQ(r.RefreshMinutes, 30);
    EXPECT_EQ(r.AutoEndSeconds, 120);
    EXPECT_EQ(r.DownloadAttempts, 7);
    EXPECT_EQ(r.Download1Counter, 11);
    EXPECT_EQ(r.Download4Counter, 11);
    EXPECT_EQ(r.MaxVersions, 500);
    EXPECT_EQ(r.WindowWidth, 1024);
    EXPECT_EQ(r.WindowHeight, 768);
    EXPECT_EQ(r.WindowMode, 2);
    EXPECT_EQ(r.Download1Suffix, 6);
    EXPECT_EQ(r.Download4Suffix, 6);
    EXPECT_EQ((std::array<Word, 7>{r.SilentMode, r.MaySurf, r.MaySearch, r.MayChangeUserOptions, r.MayChangeAddresses,
                                   r.RedirectDownloads, r.AutoEndSeconds}),
              (std::array<Word, 7>{1, 0, 0, 1, 1, 1, 120}));
}

TEST(SettingsTakeOver, NumbersAreLimitedAfterTheir16BitStorage)
{
    const struct {
        const char* edit;
        const char* text;
        Word TEinstellRecord::*field;
        Word stored;
    } cases[] = {
        {"Edit22", "1", &TEinstellRecord::MaxVersions, 2},
        {"Edit22", "0", &TEinstellRecord::MaxVersions, 2},
        {"Edit22", "65535", &TEinstellRecord::MaxVersions, 60000},
        {"Edit22", "60000", &TEinstellRecord::MaxVersions, 60000},
        {"Edit22", "70000", &TEinstellRecord::MaxVersions, 4464},
        {"Edit22", "-1", &TEinstellRecord::MaxVersions, 60000},
        {"Edit22", "65537", &TEinstellRecord::MaxVersions, 2},
        {"Edit30", "3001", &TEinstellRecord::WindowWidth, 790},
        {"Edit30", "3000", &TEinstellRecord::WindowWidth, 3000},
        {"Edit30", "0", &TEinstellRecord::WindowWidth, 0},
        {"Edit31", "2001", &TEinstellRecord::WindowHeight, 570},
        {"Edit31", "2000", &TEinstellRecord::WindowHeight, 2000},
        {"Edit32", "1000", &TEinstellRecord::RefreshMinutes, 1000},
        {"Edit32", "1001", &TEinstellRecord::RefreshMinutes, 0},
        {"Edit32", "", &TEinstellRecord::RefreshMinutes, 0},
        {"Edit32", "-1", &TEinstellRecord::RefreshMinutes, 0},
        {"Edit5", "", &TEinstellRecord::AutoEndSeconds, 0},
        {"Edit5", "-1", &TEinstellRecord::AutoEndSeconds, 65535},
        {"Edit18", "", &TEinstellRecord::DownloadAttempts, 0},
        {"Edit20", "70000", &TEinstellRecord::Download1Counter, 4464},
    };
    for (const auto& c : cases) {
        FakeControls controls = editedControls();
        controls.set(c.edit, c.text);
        const TEinstellRecord r = TakeOver({true, false}, 0, 0, controls);
        EXPECT_EQ(r.*c.field, c.stored) << c.edit << " \"" << c.text << "\"";
    }
}

// All or nothing: what "Abbrechen" leaves after a refused "Beenden" must be
// what the window still shows, and no later save may write half of it.
TEST(SettingsTakeOver, ANonNumberLeavesTheWholeRecordUnchanged)
{
    for (const auto& [edit, text] : {std::pair{"Edit20", ""}, std::pair{"Edit31", "6OO"}}) {
        FakeControls controls = editedControls();
        controls.set(edit, text);
        TEinstellRecord record = recordBefore();
        EXPECT_EQ(controlsToRecord(controls, {true, false}, record), QString::fromUtf8(text));
        const TEinstellRecord before = recordBefore();
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << edit;
    }

    // A field whose step does not run is not looked at.
    FakeControls controls = editedControls();
    controls.set("Edit22", "x");
    TEinstellRecord record = recordBefore();
    EXPECT_FALSE(controlsToRecord(controls, {false, true}, record).has_value());
}

TEST(SettingsTakeOver, TextsAreCutTo255CharactersAndUnchosenGroupsKeepTheirField)
{
    FakeControls controls = editedControls();
    controls.setText("Edit6", QString(300, QLatin1Char('a')));
    controls.setText("Edit7", QString(255, QLatin1Char('b')));
    controls.setItemIndex("RadioGroup2", -1);
    TEinstellRecord record = recordBefore();
    record.Download2Suffix = 9;
    ASSERT_FALSE(controlsToRecord(controls, {true, false}, record).has_value());
    EXPECT_EQ(text(record.HomePage), QString(255, QLatin1Char('a')));
    EXPECT_EQ(text(record.SearchPage), QString(255, QLatin1Char('b')));
    EXPECT_EQ(record.Download2Suffix, 9);
    EXPECT_EQ(record.Download1Suffix, 6);
}

TEST(SettingsShow, EveryFieldGoesIntoItsControl)
{
    TEinstellRecord record = recordBefore();
    for (const auto& t : kTexts)
        setText(record.*t.field, t.edit);
    record.Download3Counter = 65535;
    record.WindowWidth = 3000;
    record.SilentMode = 2;  // only 1 ticks the box
    record.MaySearch = 1;
    record.Download3Suffix = 7;
    record.WindowMode = 9;  // outside the choices

    FakeControls controls;
    recordToControls(record, controls);
    EXPECT_EQ(controls.texts.value(QStringLiteral("Edit33")), QStringLiteral("65535"));
    EXPECT_EQ(controls.texts.value(QStringLiteral("Edit30")), QStringLiteral("3000"));
    EXPECT_EQ(controls.texts.value(QStringLiteral("Edit32")), QStringLiteral("5"));
    EXPECT_FALSE(controls.checks.value(QStringLiteral("CheckBox1")));
    EXPECT_TRUE(controls.checks.value(QStringLiteral("CheckBox3")));
    EXPECT_EQ(controls.items.value(QStringLiteral("RadioGroup3")), 7);
    EXPECT_EQ(controls.items.value(QStringLiteral("RadioGroup5")), 9);
    // The password fields are not the record's.
    for (const char* password : {"Edit1", "Edit2", "Edit3", "Edit4"})
        EXPECT_FALSE(controls.texts.contains(QLatin1String(password))) << password;
    EXPECT_EQ(controls.texts.size(), 30);
    EXPECT_EQ(controls.checks.size(), 6);
    EXPECT_EQ(controls.items.size(), 5);
}

TEST(SettingsFinish, SavesForTheAdministratorAndAUserWithEitherRight)
{
    TEinstellRecord record{};
    EXPECT_TRUE(finishTakesOver({true, false}, record));
    EXPECT_FALSE(finishTakesOver({false, true}, record));
    record.MayChangeUserOptions = 1;
    EXPECT_TRUE(finishTakesOver({false, true}, record));
    EXPECT_FALSE(finishTakesOver({false, false}, record));
    record.MayChangeUserOptions = 0;
    record.MayChangeAddresses = 1;
    EXPECT_TRUE(finishTakesOver({false, true}, record));
    EXPECT_FALSE(finishTakesOver({false, false}, record));
}
