#include "platform/web/PageRules.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(PageRules, TypedAddressesAreWebAddressesOrThoseOfTheSettings)
{
    const QStringList configured = {QStringLiteral("/srv/kiosk/start.html"), QStringLiteral("https://suche.example/"),
                                    QString(), QStringLiteral(" ")};
    for (const char* allowed : {"http://127.0.0.1/a", "HTTPS://Example.com", "www.example.com", "example.com/pfad", "",
                                " ", "file:///srv/kiosk/start.html", "/srv/kiosk/start.html"})
        EXPECT_TRUE(mayOpenTypedAddress(QString::fromUtf8(allowed), configured)) << allowed;
    for (const char* refused :
         {"file:///etc/passwd", "/etc/passwd", "file:///", "javascript:alert(1)", "data:text/html,<b>x</b>",
          "chrome://settings", "view-source:http://127.0.0.1/", "ftp://127.0.0.1/", "about:blank",
          "file:///srv/kiosk/start.html/../../../etc/passwd", "mailto:a@example.com"})
        EXPECT_FALSE(mayOpenTypedAddress(QString::fromUtf8(refused), configured)) << refused;
    // Without any configured address a blank entry of the list admits nothing.
    EXPECT_FALSE(mayOpenTypedAddress(QStringLiteral("file:///"), {QString(), QStringLiteral(" ")}));
    EXPECT_TRUE(isWebUrl(QUrl(QStringLiteral("https://127.0.0.1/"))));
    EXPECT_FALSE(isWebUrl(QUrl(QStringLiteral("data:,x"))));
    EXPECT_EQ(addressUrl(QString()), QUrl(QStringLiteral("about:blank")));
    EXPECT_TRUE(refusedAddressText(QString(300, u'x'))
                    .contains(QStringLiteral("„%1…%2“").arg(QString(60, u'x'), QString(20, u'x'))));
}

class UploadFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QDir root(dir.path());
        for (const char* folder : {"ablage", "ablage/unter", "programm", "draussen"})
            ASSERT_TRUE(root.mkpath(QString::fromLatin1(folder)));
        for (const char* file : {"ablage/brief.pdf", "ablage/.versteckt", "ablage/unter/tief.txt",
                                 "programm/Einstell.DAT", "draussen/geheim.txt"})
            write(file);
        ASSERT_TRUE(QFile::link(path("draussen/geheim.txt"), path("ablage/verweis.txt")));
        ASSERT_TRUE(QFile::link(path("draussen"), path("ablage/ordnerverweis")));
        folders = uploadFolders({path("ablage/"), path("programm"), path("fehlt"), QString(), path("ablage")},
                                {path("programm/")});
    }
    QString path(const char* name) const { return QDir(dir.path()).filePath(QString::fromUtf8(name)); }
    void write(const char* name) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    QTemporaryDir dir;
    QStringList folders;
};

TEST_F(UploadFiles, OnlyExistingFoldersOnceAndNeverAnExcludedOne)
{
    EXPECT_EQ(folders, QStringList{QFileInfo(path("ablage")).canonicalFilePath()});
}

TEST_F(UploadFiles, OnlyFilesDirectlyInsideWhereverTheyAreNamedFrom)
{
    const QString letter = QFileInfo(path("ablage/brief.pdf")).canonicalFilePath();
    EXPECT_EQ(uploadableFile(path("ablage/brief.pdf"), folders), letter);
    EXPECT_EQ(uploadableFile(QStringLiteral("brief.pdf"), folders), letter);
    EXPECT_EQ(uploadableFile(path("ablage/unter/../brief.pdf"), folders), letter);
    for (const QString& outside :
         {path("draussen/geheim.txt"), path("ablage/../draussen/geheim.txt"), QStringLiteral("../draussen/geheim.txt"),
          path("ablage/verweis.txt"), QStringLiteral("verweis.txt"), path("ablage/ordnerverweis/geheim.txt"),
          path("ablage/unter/tief.txt"), QStringLiteral("unter/tief.txt"), path("programm/Einstell.DAT"),
          path("ablage"), path("ablage/fehlt.txt"), QStringLiteral("/etc/passwd"), QString(), QStringLiteral(" "),
          QStringLiteral(".versteckt"), path("ablage/.versteckt")})
        EXPECT_TRUE(uploadableFile(outside, folders).isEmpty()) << outside.toStdString();
    EXPECT_EQ(uploadableFiles(folders.first(), folders),
              QStringList{QDir(folders.first()).filePath(QStringLiteral("brief.pdf"))});
}

TEST(PageRules, DownloadsLeaveOneGibibyteOrFivePercentFree)
{
    constexpr qint64 kGiB = Q_INT64_C(1) << 30;
    EXPECT_EQ(freeSpaceReserve(100 * kGiB), kGiB);
    EXPECT_EQ(freeSpaceReserve(10 * kGiB), kGiB / 2);
    EXPECT_TRUE(leavesEnoughFreeSpace(3 * kGiB, 100 * kGiB, 2 * kGiB));
    EXPECT_FALSE(leavesEnoughFreeSpace(3 * kGiB, 100 * kGiB, 2 * kGiB + 1));
    EXPECT_TRUE(leavesEnoughFreeSpace(kGiB / 2, 10 * kGiB, 0));  // size unknown: what is left now counts
    EXPECT_FALSE(leavesEnoughFreeSpace(kGiB / 2 - 1, 10 * kGiB, 0));
    EXPECT_TRUE(leavesEnoughFreeSpace(kGiB, 100 * kGiB, -1));
}
