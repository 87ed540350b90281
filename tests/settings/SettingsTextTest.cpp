#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsText.h"
#include "settings/SettingsTransfer.h"
#include "support/RecordText.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>

namespace {

// Every byte at random: words, texts of any length and bytes (controls, the
// codes Windows-1252 leaves free), and what lies behind the texts.
TEinstellRecord randomRecord(quint32 seed)
{
    TEinstellRecord record;
    QRandomGenerator random(seed);
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        bytes[i] = static_cast<unsigned char>(random.bounded(256));
    return record;
}

TEinstellRecord defaults()
{
    TEinstellRecord record{};
    SetDefaults(record);
    return record;
}

}  // namespace

TEST(SettingsText, EveryRecordReadsBackFromItsTextByteForByte)
{
    for (quint32 seed = 1; seed <= 20; ++seed) {
        const TEinstellRecord record = randomRecord(seed);
        const QByteArray text = settingsText(record);
        ASSERT_EQ(text.count('\n'), 58);
        TEinstellRecord same = record;
        ASSERT_FALSE(readSettingsText(text, same)) << seed;
        EXPECT_EQ(image(same), image(record)) << seed;
        TEinstellRecord other{};
        ASSERT_FALSE(readSettingsText(text, other));
        EXPECT_EQ(settingsText(other), text) << seed;
    }
}

TEST(SettingsText, NamedFieldsTakeTheirValueAsWrittenAndTheRestKeepsEveryByte)
{
    const TEinstellRecord before = randomRecord(7);
    TEinstellRecord record = before;
    ASSERT_FALSE(
        readSettingsText("\xEF\xBB\xBFHomePage=http://a/?b=c \r\nMaySurf=0\n"
                         "Download1Name=Größe €\xE2\x90\x89\xE2\x90\xA1\nAdminPasswordStored=00fF41\n"
                         "UserPasswordStored=",
                         record));
    TEinstellRecord expected = before;
    setTextBytes(expected.HomePage, "http://a/?b=c ");
    expected.MaySurf = 0;
    setTextBytes(expected.Download1Name, "Gr\366\337e \200\t\177");
    setTextBytes(expected.AdminPasswordStored, QByteArray("\x00\xFF\x41", 3));
    setTextBytes(expected.UserPasswordStored, {});
    EXPECT_EQ(image(record), image(expected));
}

TEST(SettingsText, AFaultyLineIsNamedAndChangesNothing)
{
    const struct {
        QByteArray text;
        int line;
        const char* reason;
    } cases[] = {
        {"MaySurf=0\nMaySurff=1", 2, "unbekannter Name „MaySurff“"},
        {"MaySurf=65536", 1, "MaySurf: „65536“ ist keine Zahl von 0 bis 65535"},
        {"MaySurf= 1", 1, "keine Zahl"},
        {"MaySurf=-1", 1, "keine Zahl"},
        {"HomePage=" + QByteArray(256, 'a'), 1, "256 Zeichen sind zu lang"},
        {"HomePage=Łódź", 1, "das Zeichen „Ł“ gibt es in Windows-1252 nicht"},
        {"MaySurf=0\n\nMaySurf=1", 2, "kein „=“"},
        {"MaySurf=0\r\nHomePage=\xFF\n", 2, "kein gültiges UTF-8"},
        {"AdminPasswordStored=abc", 1, "keine Folge von Hexadezimalziffern"},
        {"UserPasswordStored=" + QByteArray(512, '0'), 1, "256 Zeichen sind zu lang"},
        {"SilentMode=1\nMaySurf=1\nSilentMode=1", 3, "„SilentMode“ steht schon in Zeile 1"},
    };
    const TEinstellRecord before = defaults();
    for (const auto& c : cases) {
        TEinstellRecord record = before;
        const std::optional<SettingsTextError> error = readSettingsText(c.text, record);
        ASSERT_TRUE(error) << c.text.constData();
        EXPECT_EQ(error->line, c.line) << c.text.constData();
        EXPECT_TRUE(error->reason.contains(QString::fromUtf8(c.reason))) << error->reason.toStdString();
        EXPECT_EQ(image(record), image(before)) << c.text.constData();
    }
}

class SettingsTransfer : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.path(QString::fromUtf8(name)); }
    TempProgramFolder dir;
    RecordingPresenter boxes;
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
};

// A file goes out as text and comes back unchanged, whatever lies behind its
// texts; a file that already holds what the text says is not written, so an
// older or longer file stays as it is too. A changed field changes its bytes
// alone; a faulty line changes nothing.
TEST_F(SettingsTransfer, AFileExportedAndImportedAgainKeepsItsBytes)
{
    const QString file = path("Einstell.DAT");
    const QString text = path("preset.txt");
    const auto fromFile = [&] { return fileSettings(file); };
    TEinstellRecord record = randomRecord(3);
    for (const QByteArray& content : {image(record) + "mehr", image(record).left(6178), image(record)}) {
        dir.writeFile(QStringLiteral("Einstell.DAT"), content);
        QFile::remove(text);
        ASSERT_EQ(exportSettings(fileSettings(file), text), 0);
        EXPECT_EQ(QFile::permissions(text), ownerOnly);
        ASSERT_EQ(importSettings(text, fromFile, file, false), 0);
        EXPECT_EQ(dir.readFile(QStringLiteral("Einstell.DAT")), content);
    }
    record.SilentMode ^= 1;
    dir.writeFile(QStringLiteral("preset.txt"), settingsText(record));
    ASSERT_EQ(importSettings(text, fromFile, file, false), 0);
    EXPECT_EQ(dir.readFile(QStringLiteral("Einstell.DAT")), image(record));

    dir.writeFile(QStringLiteral("preset.txt"), "MaySurf=0\nMaySurf=1\n");
    EXPECT_EQ(importSettings(text, fromFile, file, false), 2);
    EXPECT_EQ(dir.readFile(QStringLiteral("Einstell.DAT")), image(record));
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].text.startsWith(text + QStringLiteral(", Zeile 2: ")));
}

// Without a target the text goes where a run saves, onto what the run reads:
// the preset of the data folder when the program folder has no file yet.
TEST_F(SettingsTransfer, AnImportStartsFromTheSettingsTheRunReads)
{
    TEinstellRecord preset = defaults();
    stringToText(preset.HomePage, QStringLiteral("https://vorgabe.example/"));
    ASSERT_TRUE(QDir().mkdir(path("daten")));
    dir.writeFile(QStringLiteral("daten/Einstell.DAT"), image(preset));
    dir.writeFile(QStringLiteral("preset.txt"), "MaySurf=0\n");
    const QString own = ProgramFolder + QStringLiteral("Einstell.DAT");
    const auto fromRun = [&] { return runSettings(ProgramFolder, path("daten/")); };
    ASSERT_EQ(importSettings(path("preset.txt"), fromRun, own, true), 0);

    preset.MaySurf = 0;
    EXPECT_EQ(dir.readFile(QStringLiteral("Einstell.DAT")), image(preset));
    EXPECT_EQ(QFile::permissions(own), ownerOnly);
    EXPECT_EQ(importSettings(path("fehlt.txt"), fromRun, own, true), 1);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].text.contains(QStringLiteral("fehlt.txt")));
}
