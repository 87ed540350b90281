#include "platform/files/RootReads.h"
#include "platform/files/RunLock.h"
#include "platform/host/HostRegistry.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"
#include "settings/ProgramFolders.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTransfer.h"
#include "support/RecordText.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <tuple>

#include "support/FileSizeLimit.h"
#include "support/OtherUser.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFile = QStringLiteral("Einstell.DAT");

QByteArray defaultsImage()
{
    const TEinstellRecord saved = EinstellDaten;
    EinstellDaten = TEinstellRecord{};
    SetDefaults(EinstellDaten);
    const QByteArray result = image(EinstellDaten);
    EinstellDaten = saved;
    return result;
}

// A record in the current layout in which every field differs from its default.
TEinstellRecord customRecord()
{
    QByteArray bytes(7990, '\0');
    for (int i = 0; i < 27; ++i) {
        bytes[2 * i] = static_cast<char>(i + 1);
        bytes[2 * i + 1] = 0x03;
    }
    for (int i = 0; i < 31; ++i) {
        Text t{};
        stringToText(t, QStringLiteral("Feld %1 äöü").arg(i));
        std::memcpy(bytes.data() + 54 + 256 * i, &t, sizeof t);
    }
    TEinstellRecord r;
    std::memcpy(&r, bytes.constData(), sizeof r);
    scrambleAdminPassword(r.AdminPasswordStored, "Chefsache");
    scrambleUserPassword(r.UserPasswordStored, "Nutzer1");
    return r;
}

using Old = TEinstellRecordOld;
using R = TEinstellRecord;

// The fields of the older layout beside the current record's of the same name.
#define SAME(field) std::pair(&Old::field, &R::field)
const std::pair<Word Old::*, Word R::*> kOldWords[] = {
    SAME(SilentMode),      SAME(AutoEndSeconds),       SAME(RedirectDownloads),  SAME(MaySearch),
    SAME(MaySurf),         SAME(MayChangeUserOptions), SAME(MayChangeAddresses), SAME(DownloadAttempts),
    SAME(Download1Suffix), SAME(Download2Suffix),      SAME(Download1Counter),   SAME(Download2Counter),
    SAME(MaxVersions),     SAME(RefreshMinutes),       SAME(WindowMode),         SAME(WindowWidth),
    SAME(WindowHeight)};
const std::pair<Text Old::*, Text R::*> kOldTexts[] = {
    SAME(HomePage),       SAME(SearchPage),      SAME(DownloadFolder1), SAME(Download1Name), SAME(Download1Target),
    SAME(Download1Url),   SAME(Download2Name),   SAME(Download2Target), SAME(Download2Url),  SAME(WebAddress1Name),
    SAME(WebAddress1Url), SAME(WebAddress2Name), SAME(WebAddress2Url)};
#undef SAME

// An older file whose fields all differ from each other and from the defaults,
// with 1 in the slot of MayChangeAddresses.
Old customOldRecord()
{
    Old o{};
    for (std::size_t i = 0; i < std::size(kOldWords); ++i)
        o.*kOldWords[i].first = static_cast<Word>(200 + i);
    o.MayChangeAddresses = 1;
    for (std::size_t i = 0; i < std::size(kOldTexts); ++i)
        stringToText(o.*kOldTexts[i].first, QStringLiteral("http://127.0.0.1/alt/%1").arg(i));
    for (Text& t : o.ReservedText)
        setText(t, "reserviert");
    scrambleAdminPassword(o.AdminPasswordStored, "AltChef");
    scrambleUserPassword(o.UserPasswordStored, "AltNutzer");
    return o;
}

}  // namespace

class SettingsFile : public ::testing::Test {
protected:
    TempProgramFolder folder;
    RecordingPresenter boxes;
};

TEST_F(SettingsFile, WithoutAFileTheDefaultsHoldAndNothingIsCreated)
{
    InitSettings();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(image(EinstellDaten), defaultsImage());
    EXPECT_EQ(image(StandardDaten), defaultsImage());
    EXPECT_EQ(EinstellDaten.RefreshMinutes, 0);
    EXPECT_EQ(EinstellDaten.WindowMode, 0);
    EXPECT_EQ(AdminPassword, QStringLiteral("Kavelo-Chef"));
    EXPECT_EQ(UserPassword, QStringLiteral("nutzer"));
    EXPECT_FALSE(QFileInfo::exists(folder.path(kFile)));
}

TEST_F(SettingsFile, A7990ByteFileIsReadWholeAndGivesThePasswords)
{
    const TEinstellRecord stored = customRecord();
    folder.writeFile(kFile, image(stored));
    InitSettings();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(image(EinstellDaten), image(stored));
    EXPECT_EQ(image(StandardDaten), defaultsImage());
    EXPECT_EQ(AdminPassword, QStringLiteral("Chefsache"));
    EXPECT_EQ(UserPassword, QStringLiteral("Nutzer1"));
}

TEST_F(SettingsFile, FilesOf6178To7989BytesAreConvertedFromTheOlderLayout)
{
    for (int size : {6178, 7000, 7989}) {
        SCOPED_TRACE(size);
        QByteArray bytes = image(customOldRecord());
        bytes.append(QByteArray(size - bytes.size(), '\x77'));
        folder.writeFile(kFile, bytes);
        EinstellDaten = TEinstellRecord{};
        InitSettings();
        EXPECT_TRUE(boxes.messages.isEmpty());

        const Old old = customOldRecord();
        const TEinstellRecord& r = EinstellDaten;
        for (const auto& [oldField, field] : kOldWords)  // MayChangeAddresses is never taken from the older file
            EXPECT_EQ(r.*field, field == &R::MayChangeAddresses ? 0 : old.*oldField);
        for (const auto& [oldField, field] : kOldTexts)
            EXPECT_EQ(text(r.*field), text(old.*oldField));
        EXPECT_EQ(AdminPassword, QStringLiteral("AltChef"));
        EXPECT_EQ(UserPassword, QStringLiteral("AltNutzer"));

        // What the older layout lacks keeps its default.
        for (const Word R::*field :
             {&R::Download3Suffix, &R::Download4Suffix, &R::Download3Counter, &R::Download4Counter, &R::Reserved1})
            EXPECT_EQ(r.*field, 0);
        EXPECT_EQ(r.ReservedText1.length, 0);
        for (const Text R::*field : {&R::DownloadFolder2, &R::Download3Name, &R::Download3Target, &R::Download3Url,
                                     &R::Download4Name, &R::Download4Target, &R::Download4Url})
            EXPECT_EQ(text(r.*field), text(StandardDaten.*field));
    }
}

TEST_F(SettingsFile, TheDataFolderIsReadWhenTheProgramFolderHasNoFile)
{
    TempProgramFolder data;  // resets the folders: point them apart again
    DataFolder = ProgramFolder;
    ProgramFolder = QFileInfo(folder.path(kFile)).path() + QLatin1Char('/');
    const TEinstellRecord stored = customRecord();
    data.writeFile(kFile, image(stored));
    InitSettings();
    EXPECT_EQ(image(EinstellDaten), image(stored));
}

// An administrator's preset changed after a person saved a copy of their own
// counts again, with the person's running numbers; a copy saved later counts.
TEST_F(SettingsFile, APresetChangedAfterThePersonsOwnCopyCountsWithTheOwnRunningNumbers)
{
    TempProgramFolder data;
    DataFolder = ProgramFolder;
    ProgramFolder = QFileInfo(folder.path(kFile)).path() + QLatin1Char('/');
    TEinstellRecord own{};
    SetDefaults(own);
    own.Download1Counter = 41;
    folder.writeFile(kFile, image(own));
    const TEinstellRecord preset = customRecord();
    data.writeFile(kFile, image(preset));
    const QDateTime saved = QDateTime::currentDateTime().addDays(-1);
    for (const auto& [path, changed] :
         {std::pair(folder.path(kFile), saved), std::pair(data.path(kFile), saved.addSecs(60))}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(changed, QFileDevice::FileModificationTime));
    }
    InitSettings();
    TEinstellRecord expected = preset;
    expected.Download1Counter = 41;
    expected.Download2Counter = expected.Download3Counter = expected.Download4Counter = 0;
    EXPECT_EQ(image(EinstellDaten), image(expected));

    stringToText(EinstellDaten.HomePage, QStringLiteral("http://127.0.0.1/eigene"));
    stringToText(expected.HomePage, QStringLiteral("http://127.0.0.1/eigene"));
    ASSERT_TRUE(SaveSettings());  // the person's copy is now the newer one
    InitSettings();
    EXPECT_EQ(image(EinstellDaten), image(expected));
    EXPECT_TRUE(boxes.messages.isEmpty());
}

TEST_F(SettingsFile, AFileThatCannotBeOpenedKeepsTheDefaultsAndSkipsTheDataFolder)
{
    TempProgramFolder data;
    DataFolder = ProgramFolder;
    ProgramFolder = QFileInfo(folder.path(kFile)).path() + QLatin1Char('/');
    data.writeFile(kFile, image(customRecord()));
    ASSERT_TRUE(QDir().mkdir(folder.path(kFile)));  // exists, but no file can be opened there

    InitSettings();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.messages[0].text.section(QLatin1Char('\n'), 0, 1),
              QStringLiteral("Die Einstellungs-Datei\nkonnte nicht geöffnet werden!"));
    EXPECT_EQ(image(EinstellDaten), defaultsImage());
}

TEST_F(SettingsFile, AnUnopenableFileInTheDataFolderHasItsOwnMessage)
{
    TempProgramFolder data;
    DataFolder = ProgramFolder;
    ProgramFolder = QFileInfo(folder.path(kFile)).path() + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkdir(data.path(kFile)));
    InitSettings();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(
        boxes.messages[0].text.section(QLatin1Char('\n'), 0, 1),
        QStringLiteral("Eine Einstellungs-Datei\naus dem festgelegten Daten-Ordnerkonnte nicht geöffnet werden!"));
    EXPECT_EQ(image(EinstellDaten), defaultsImage());
}

// A FIFO named Einstell.DAT held a job in open() beyond SIGTERM: every reader
// refuses it at once, by name. The alarm ends a case that would wait after all.
TEST_F(SettingsFile, AFifoIsRefusedAtOnceByName)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.path(kFile)).constData(), 0600), 0);
    ::alarm(5);
    QString refusal;
    EXPECT_FALSE(peekSettingsFile(folder.path(kFile), &refusal) || InitSettings() || fileSettings(folder.path(kFile)));
    ::alarm(0);
    EXPECT_TRUE(refusal.contains(folder.path(kFile) + QStringLiteral(" ist keine gewöhnliche Datei")));
    ASSERT_EQ(boxes.messages.size(), 2);
    EXPECT_TRUE(boxes.messages[0].text.contains(refusal) && boxes.messages[1].text.contains(refusal));
}

TEST_F(SettingsFile, EveryTooShortFileIsReportedAndLeavesDefaultsAndTheFileAlone)
{
    const QByteArray full = image(customOldRecord());
    for (int size = 0; size < 6178; ++size) {
        const QByteArray bytes = full.left(size);
        folder.writeFile(kFile, bytes);
        boxes.messages.clear();
        EinstellDaten = TEinstellRecord{};
        InitSettings();
        ASSERT_EQ(boxes.messages.size(), 1) << size;
        ASSERT_EQ(image(EinstellDaten), defaultsImage()) << size;
        ASSERT_EQ(AdminPassword, QStringLiteral("Kavelo-Chef")) << size;
        ASSERT_EQ(folder.readFile(kFile), bytes) << size;
    }
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(boxes.messages[0].text.contains(QDir::toNativeSeparators(folder.path(kFile))));
    EXPECT_TRUE(boxes.messages[0].text.contains(QStringLiteral("6177 Bytes")));
}

TEST_F(SettingsFile, SavingCreatesAMissingFileInTheProgramFolderOnly)
{
    TempProgramFolder data;
    DataFolder = ProgramFolder;
    ProgramFolder = QFileInfo(folder.path(kFile)).path() + QLatin1Char('/');
    InitSettings();
    EinstellDaten.Download2Counter = 42;
    SaveSettings();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(folder.readFile(kFile), image(EinstellDaten));
    EXPECT_FALSE(QFileInfo::exists(data.path(kFile)));
    EXPECT_EQ(QDir(ProgramFolder).entryList(QDir::Files), QStringList{kFile});
}

TEST_F(SettingsFile, SavingOverAnOlderFileGivesTheCurrentLayout)
{
    folder.writeFile(kFile, image(customOldRecord()));
    InitSettings();
    EinstellDaten.MayChangeAddresses = 1;
    EinstellDaten.Download3Counter = 9;
    SaveSettings();
    ASSERT_EQ(folder.readFile(kFile).size(), 7990);

    EinstellDaten = TEinstellRecord{};
    InitSettings();
    EXPECT_EQ(EinstellDaten.MayChangeAddresses, 1);
    EXPECT_EQ(EinstellDaten.Download3Counter, 9);
    EXPECT_EQ(text(EinstellDaten.HomePage), text(customOldRecord().HomePage));
}

// A longer file (left by an earlier save over a longer file) holds the
// current layout; the next save leaves exactly the record.
TEST_F(SettingsFile, ALongerFileIsReadAsTheCurrentLayoutAndSavedToTheRecordsSize)
{
    const TEinstellRecord stored = customRecord();
    folder.writeFile(kFile, image(stored) + QByteArray(10, '\x77'));
    InitSettings();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(image(EinstellDaten), image(stored));
    EXPECT_EQ(AdminPassword, QStringLiteral("Chefsache"));

    EinstellDaten.SilentMode = 1;
    const QByteArray saved = image(EinstellDaten);
    SaveSettings();
    EXPECT_EQ(folder.readFile(kFile), saved);

    EinstellDaten = TEinstellRecord{};
    InitSettings();
    EXPECT_EQ(image(EinstellDaten), saved);
    EXPECT_EQ(AdminPassword, QStringLiteral("Chefsache"));
    EXPECT_EQ(UserPassword, QStringLiteral("Nutzer1"));
}

TEST_F(SettingsFile, UmlautsSurviveASaveAndAReadByteForByte)
{
    InitSettings();
    const QString name = QStringLiteral("Größe & Übersicht – 5 €");
    stringToText(EinstellDaten.Download1Name, name);
    const QByteArray before = image(EinstellDaten);
    SaveSettings();
    EinstellDaten = TEinstellRecord{};
    InitSettings();
    EXPECT_EQ(image(EinstellDaten), before);
    EXPECT_EQ(text(EinstellDaten.Download1Name), name);
    EXPECT_EQ(static_cast<unsigned char>(folder.readFile(kFile)[822 + 1 + 2]), 0xF6);  // ö
}

TEST_F(SettingsFile, ANewFileThatCannotBeCreatedIsReported)
{
    ProgramFolder = folder.path(QStringLiteral("fehlt/"));
    InitSettings();
    SaveSettings();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes.messages[0].title, QStringLiteral("Kavelo"));
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Fehler beim Erzeugen einer neuen Einstellungs-Datei!"));
}

TEST_F(SettingsFile, AnExistingPathThatCannotBeReplacedIsReported)
{
    ASSERT_TRUE(QDir().mkdir(folder.path(kFile)));
    SaveSettings();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Fehler beim Speichern von: \n") + ProgramFolder + kFile);
    EXPECT_TRUE(QFileInfo(folder.path(kFile)).isDir());
}

// A write that fails halfway (the file size limit stands in for a full disk)
// must leave the old file exactly as it was and no temporary file behind.
TEST_F(SettingsFile, AWriteThatFailsHalfwayLeavesTheOldFileIntact)
{
    const QByteArray original = image(customRecord());
    folder.writeFile(kFile, original);
    InitSettings();
    EinstellDaten.Download1Counter = 1;

    {
        const FileSizeLimit full(4096);
        ASSERT_TRUE(full.isActive());
        SaveSettings();
    }

    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Fehler beim Speichern von: \n") + ProgramFolder + kFile);
    EXPECT_EQ(folder.readFile(kFile), original);
    EXPECT_EQ(QDir(ProgramFolder).entryList(QDir::Files | QDir::Hidden), QStringList{kFile});
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenLeavesTheOldFileIntact)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    const QByteArray original = image(customRecord());
    folder.writeFile(kFile, original);
    InitSettings();
    QFile::setPermissions(ProgramFolder, QFile::ReadOwner | QFile::ExeOwner);
    SaveSettings();
    QFile::setPermissions(ProgramFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(folder.readFile(kFile), original);
}

// A link planted where the settings file goes (by whoever may write that
// folder) leads no save, not even root's, to the file it names, nor to a new
// file where a dangling one points.
TEST_F(SettingsFile, ALinkAtThePathIsNeitherFollowedNorReplaced)
{
    folder.writeFile(QStringLiteral("fremd"), "fremd");
    for (const char* pointsTo : {"fremd", "neu"}) {
        QFile::remove(folder.path(kFile));
        ASSERT_TRUE(QFile::link(QString::fromUtf8(pointsTo), folder.path(kFile)));
        EXPECT_FALSE(writeSettingsFile(folder.path(kFile), customRecord(), true));
        EXPECT_TRUE(QFileInfo(folder.path(kFile)).isSymLink());
    }
    EXPECT_EQ(folder.readFile(QStringLiteral("fremd")), "fremd");
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("neu"))));
    ASSERT_EQ(boxes.messages.size(), 2);
    EXPECT_TRUE(boxes.messages[1].text.contains(QStringLiteral("symbolischer Verweis")));
}

// Root saving into a folder another person owns (an import into their
// settings) leaves the file theirs to read: a new one and a replaced one.
TEST_F(SettingsFile, RootWritesAnotherPersonsSettingsAsTheirs)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root gives files away";
    ASSERT_EQ(::chown(QFile::encodeName(ProgramFolder).constData(), 65534, 65534), 0);
    for (int save = 0; save < 2; ++save) {
        ASSERT_TRUE(writeSettingsFile(folder.path(kFile), customRecord(), true));
        EXPECT_EQ(QFileInfo(folder.path(kFile)).ownerId(), 65534u);
    }
}

// A run as root reads no settings another user may change: theirs, or one
// their group or everybody may write, or one in a folder of theirs; root's
// sticky folder (/tmp) is safe. Each case: what goes to the other's group (to
// them or to root), what gets which mode, and what the refusal says.
TEST_F(SettingsFile, RootRefusesSettingsAnotherUserMayChange)
{
    const OtherUser other;
    if (!other.isThere())
        GTEST_SKIP() << kNeedsOtherUser;
    const std::tuple<const char*, bool, const char*, mode_t, const char*> cases[] = {
        {"", false, "", 0, nullptr},
        {"a/Einstell.DAT", true, "", 0, "Außer root"},
        {"a/Einstell.DAT", false, "a/Einstell.DAT", 0620, "Außer root"},
        {"", false, "a/Einstell.DAT", 0602, "Außer root"},
        {"", false, ".", 01777, nullptr},
        {".", true, "", 0, "Den Ordner"}};
    int n = 0;
    for (const auto& [given, toThem, chmodded, mode, said] : cases) {
        const QString dir = folder.path(QString::number(n++));
        const auto at = [&dir](const char* name) { return QFile::encodeName(dir + u'/' + QString::fromUtf8(name)); };
        const QString file = QFile::decodeName(at("a/Einstell.DAT"));
        ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/a")) && QFile(file).open(QIODevice::WriteOnly));
        ASSERT_TRUE((!*given || ::chown(at(given).constData(), toThem ? other.uid() : 0, other.gid()) == 0)
                    && (!*chmodded || ::chmod(at(chmodded).constData(), mode) == 0));
        const QString why = rootReadRefusal(file);
        EXPECT_TRUE(said ? why.contains(file + QStringLiteral(" nicht: ") + QString::fromUtf8(said)) : why.isEmpty())
            << n << why.toStdString();
    }
}

// Under umask 000 too, what Kavelo makes for itself is its owner's alone: the
// settings file, its lock, both stores' folders and those above them.
TEST_F(SettingsFile, WhatKaveloMakesForItselfIsPrivateUnderAnyUmask)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.path(QStringLiteral("daten/neu"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path(QStringLiteral("konfig"))));
    const mode_t before = ::umask(0);
    chooseProgramFolders(QStringLiteral("/proc/"));
    HostRegistryKey store;
    const bool made = store.open(kInternetExplorerMainKey) && SaveSettings();
    const RunLock lock(ProgramFolder, std::chrono::milliseconds(0));
    ::umask(before);
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(made && lock.state() == RunLock::State::Held);
    for (const char* name : {"Einstell.DAT", "Einstell.DAT.lock", "konfig/Kavelo/host-registry.ini", "daten",
                             "daten/neu", "daten/neu/Kavelo", "konfig", "konfig/Kavelo"}) {
        const QFileInfo info(folder.path(QString::fromUtf8(name)));
        EXPECT_EQ(info.permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                          | (info.isDir() ? QFile::ExeOwner | QFile::ExeUser : QFile::Permissions()))
            << name;
    }
}

// The installed program's folder, writable here as it is for root, is known
// by the file system, not by a probe that would write into it; /proc takes no
// new file, not even from root: an honest read-only folder.
TEST(ProgramFolders, TheInstalledOrAReadOnlyFolderSendsTheWritesToThePersonsOwnFolder)
{
    QTemporaryDir home;
    QTemporaryDir installed;
    const QString dataHome = home.path() + QStringLiteral("/nicht/da");  // two missing levels
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    const QString linked = home.path() + QStringLiteral("/verweis/");
    ASSERT_TRUE(QFile::link(installed.path(), home.path() + QStringLiteral("/verweis")));
    const ProgramFolders fromPackage = chooseProgramFolders(linked, installed.path() + QLatin1Char('/'));
    const ProgramFolders readOnly = chooseProgramFolders(QStringLiteral("/proc/"));
    qunsetenv("XDG_DATA_HOME");

    EXPECT_EQ(fromPackage.program, dataHome + QStringLiteral("/Kavelo/"));
    EXPECT_EQ(fromPackage.data, QStringLiteral("/etc/kavelo/"));  // not the package's own folder
    EXPECT_TRUE(QDir(installed.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(readOnly.program, fromPackage.program);
    EXPECT_EQ(readOnly.data, QStringLiteral("/proc/"));  // its preset lies beside the program
    EXPECT_TRUE(folderIsWritable(fromPackage.program));

    // The person's own settings are theirs alone to read; a file that was there keeps its mode.
    const QString own = fromPackage.program + QStringLiteral("Einstell.DAT");
    const QString shared = home.path() + QStringLiteral("/Einstell.DAT");
    QFile(shared).open(QIODevice::WriteOnly);
    QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    for (const QString& path : {own, shared})
        writeSettingsFile(path, TEinstellRecord{}, true);
    EXPECT_EQ(QFile::permissions(own), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_TRUE(QFile::permissions(shared) & QFile::ReadOther);
}

TEST(ProgramFolders, AWritableExecutableFolderHoldsBothAndKeepsNoTrace)
{
    QTemporaryDir executable;
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const QString folder = QDir::toNativeSeparators(executable.path() + QLatin1Char('/'));
    const ProgramFolders folders = chooseProgramFolders(folder);
    qunsetenv("XDG_DATA_HOME");

    EXPECT_EQ(folders.program, folder);
    EXPECT_EQ(folders.data, folder);
    EXPECT_TRUE(QDir(executable.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}
