#include "downloads/TargetNaming.h"
#include "platform/files/TargetGuard.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

const QDateTime k17May2010At1405(QDate(2010, 5, 17), QTime(14, 5, 41));

struct ModeCase {
    Word mode;
    const char* download;
    const char* copy;
};

TEST(TargetNaming, EightModesNameTheExampleTarget)
{
    const ModeCase cases[] = {
        {0, "Beispiel.zip", ""},
        {1, "Beispiel3.zip", ""},
        {2, "Beispiel2010_05_17.zip", ""},
        {3, "Beispiel2010_05_17_14_05.zip", ""},
        {4, "Beispiel.zip", "Beispiel.zip.bak"},
        {5, "Beispiel.zip", "Beispiel3.zip"},
        {6, "Beispiel2010_05_17.zip", "Beispiel.zip"},
        {7, "Beispiel2010_05_17_14_05.zip", "Beispiel.zip"},
        {8, "Beispiel.zip", ""},  // any other mode acts as "keinen"
        {9, "Beispiel.zip", ""},
        {65535, "Beispiel.zip", ""},
    };
    const TargetParts parts = splitTarget(q("D:\\Downloads\\Beispiel.zip"));
    EXPECT_EQ(parts.folder, q("D:\\Downloads\\"));
    for (const ModeCase& c : cases) {
        const TargetNames names = nameTargets(parts, c.mode, 3, k17May2010At1405);
        EXPECT_EQ(names.downloadName, q(c.download)) << "mode " << c.mode;
        EXPECT_EQ(names.copyName, q(c.copy)) << "mode " << c.mode;
    }
}

TEST(TargetNaming, SplitAtTheLastBackslashColonOrSlash)
{
    struct Split {
        const char* target;
        const char* folder;
        const char* name;
        const char* extension;
        qsizetype position;
    };
    const Split cases[] = {
        {"C:\\Daten\\liste", "C:\\Daten\\", "liste", "", 0},
        {"Downloads\\x.zip", "Downloads\\", "x.zip", ".zip", 2},
        {"/home/ute/dl/a.tar.gz", "/home/ute/dl/", "a.tar.gz", ".gz", 6},
        {"C:/dl\\sub/b.txt", "C:/dl\\sub/", "b.txt", ".txt", 2},
        {"C:liste.txt", "C:", "liste.txt", ".txt", 6},
        {"d.ir\\datei", "d.ir\\", "datei", "", 0},  // a dot in the folder is no extension
        {"a.zip.zip", "", "a.zip.zip", ".zip", 2},
        {"Fotos\\", "Fotos\\", "", "", 0},
        {"", "", "", "", 0},
    };
    for (const Split& c : cases) {
        const TargetParts parts = splitTarget(q(c.target));
        EXPECT_EQ(parts.folder, q(c.folder)) << c.target;
        EXPECT_EQ(parts.name, q(c.name)) << c.target;
        EXPECT_EQ(parts.extension, q(c.extension)) << c.target;
        EXPECT_EQ(parts.position, c.position) << c.target;
    }
}

TEST(TargetNaming, NumberGoesInFrontOfTheFirstOccurrenceOfTheExtension)
{
    const auto numbered = [](const char* target, Word counter) {
        return nameTargets(splitTarget(q(target)), SuffixNumber, counter, k17May2010At1405).downloadName;
    };
    EXPECT_EQ(numbered("C:\\Daten\\liste", 7), q("7liste"));  // no extension: in front
    EXPECT_EQ(numbered("a.zip.zip", 3), q("a3.zip.zip"));
    EXPECT_EQ(numbered("/srv/a.tar.gz", 12), q("a.tar12.gz"));
    EXPECT_EQ(numbered("Bericht.PDF", 65535), q("Bericht65535.PDF"));
    EXPECT_EQ(numbered("Downloads\\x.zip", 0), q("x0.zip"));
    EXPECT_EQ(numbered("Fotos\\", 4), q("4"));
}

TEST(TargetNaming, UrlTailFollowsTheLastBackslashOrColonOnly)
{
    EXPECT_EQ(urlTail(q("http://host/path/file")), q("//host/path/file"));
    EXPECT_EQ(urlTail(q("http://host:8080/file.zip")), q("8080/file.zip"));
    EXPECT_EQ(urlTail(q("host/path/file.zip")), q("host/path/file.zip"));
    EXPECT_EQ(urlTail(q("C:\\Ablage\\datei.zip")), q("datei.zip"));
    EXPECT_EQ(urlTail(q("http://host/ende:")), q(""));
}

// A target that resolves into the program's folder or a folder from which the
// desktop starts programs is protected, however it is written.
TEST(TargetGuard, ProgramFolderAndStartFoldersAreProtectedAfterResolving)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    for (const char* folder : {"prog/Downloads", "home/.config/autostart/tief", "andere"})
        ASSERT_TRUE(dir.mkpath(q(folder)));
    QFile settings(dir.filePath(q("prog/Einstell.DAT")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.close();
    ASSERT_TRUE(QFile::link(dir.filePath(q("prog/Einstell.DAT")), dir.filePath(q("andere/harmlos.zip"))));
    ASSERT_TRUE(QFile::link(dir.filePath(q("prog")), dir.filePath(q("andere/ordner"))));
    // A link to a file that does not exist yet leads there all the same.
    ASSERT_TRUE(
        QFile::link(dir.filePath(q("home/.config/autostart/neu.desktop")), dir.filePath(q("andere/x.desktop"))));

    ProtectedPlaces places;
    places.programFolders = {dir.filePath(q("prog/"))};
    places.startFolders = {dir.filePath(q("home/.config/autostart")), dir.filePath(q("fehlt/systemd/user"))};
    const auto isProtected = [&](const char* path) { return isProtectedTarget(dir.filePath(q(path)), places); };
    EXPECT_TRUE(isProtected("prog/Einstell.DAT"));
    EXPECT_TRUE(isProtected("prog/kavelo"));
    EXPECT_TRUE(isProtected("prog/Downloads/../Einstell.DAT"));
    EXPECT_TRUE(isProtected("andere/harmlos.zip"));  // a link to the settings file
    EXPECT_TRUE(isProtected("andere/ordner/neu.exe"));
    EXPECT_TRUE(isProtected("andere/x.desktop"));
    EXPECT_TRUE(isProtected("home/.config/autostart/tief/start.desktop"));
    EXPECT_TRUE(isProtected("fehlt/systemd/user/x.service"));
    EXPECT_FALSE(isProtected("prog/Downloads/Einstell.DAT"));  // the program's own download folder
    EXPECT_FALSE(isProtected("andere/datei.zip"));
    EXPECT_FALSE(isProtected("home/.config/autostart-alt/x"));

    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(q("home/.config"))));
    EXPECT_TRUE(isProtectedTarget(dir.filePath(q("home/.config/autostart/x.desktop")), protectedPlacesFor({})));
    qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
