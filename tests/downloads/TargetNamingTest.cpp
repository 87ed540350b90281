#include "downloads/TargetNaming.h"

#include <gtest/gtest.h>

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
    const TargetParts parts = SplitTarget(q("D:\\Downloads\\Beispiel.zip"));
    EXPECT_EQ(parts.folder, q("D:\\Downloads\\"));
    for (const ModeCase& c : cases) {
        const TargetNames names = NameTargets(parts, c.mode, 3, k17May2010At1405);
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
        const TargetParts parts = SplitTarget(q(c.target));
        EXPECT_EQ(parts.folder, q(c.folder)) << c.target;
        EXPECT_EQ(parts.name, q(c.name)) << c.target;
        EXPECT_EQ(parts.extension, q(c.extension)) << c.target;
        EXPECT_EQ(parts.position, c.position) << c.target;
    }
}

TEST(TargetNaming, NumberGoesInFrontOfTheFirstOccurrenceOfTheExtension)
{
    const auto numbered = [](const char* target, Word counter) {
        return NameTargets(SplitTarget(q(target)), SuffixNumber, counter, k17May2010At1405).downloadName;
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
    EXPECT_EQ(UrlTail(q("http://host/path/file")), q("//host/path/file"));
    EXPECT_EQ(UrlTail(q("http://host:8080/file.zip")), q("8080/file.zip"));
    EXPECT_EQ(UrlTail(q("host/path/file.zip")), q("host/path/file.zip"));
    EXPECT_EQ(UrlTail(q("C:\\Ablage\\datei.zip")), q("datei.zip"));
    EXPECT_EQ(UrlTail(q("http://host/ende:")), q(""));
}

}  // namespace
