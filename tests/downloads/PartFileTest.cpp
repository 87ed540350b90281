#include "platform/files/PartFile.h"
#include "support/OtherUser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <iterator>
#include <tuple>

namespace {

namespace fs = std::filesystem;

std::shared_ptr<const TargetPath> walked(const QString& path)
{
    return std::make_shared<const TargetPath>(walkTargetPath(path));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Each test in a folder of its own.
class PartFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    // Every file of the folder, hidden ones included.
    QStringList files(const char* folder = ".") const
    {
        return QDir(path(folder)).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    const fs::path root = QFileInfo(dir.path()).filesystemFilePath();
};

TEST_F(PartFileTest, SmallAndLargePiecesKeepTheirOrder)
{
    const QString target = path("ziel.bin");
    QByteArray data(5 * 1024 * 1024, '\0');
    QRandomGenerator generator(17);
    for (char& c : data)
        c = static_cast<char>(generator.generate());

    // Pieces below, at and above the sizes that are gathered, in a mixed order.
    const qsizetype sizes[] = {1, 4096, 200 * 1024, 7, 1024 * 1024 + 3, 128 * 1024 - 1, 128 * 1024, 65536};
    {
        PartFile part(target);
        ASSERT_TRUE(part.isOpen());
        qsizetype offset = 0;
        for (int i = 0; offset < data.size(); ++i) {
            const qsizetype size = std::min(sizes[i % std::size(sizes)], data.size() - offset);
            ASSERT_TRUE(part.append(data.constData() + offset, size));
            offset += size;
        }
        ASSERT_TRUE(part.commit());
    }
    EXPECT_EQ(readAll(target), data);
    EXPECT_EQ(files(), QStringList{QStringLiteral("ziel.bin")});
}

TEST_F(PartFileTest, RestartDropsGatheredAndWrittenBytes)
{
    const QString target = path("ziel.bin");
    PartFile part(target);
    ASSERT_TRUE(part.isOpen());
    const QByteArray large(300 * 1024, 'x');  // written at once
    ASSERT_TRUE(part.append(large.constData(), large.size()));
    ASSERT_TRUE(part.append("abc", 3));  // gathered
    EXPECT_EQ(part.size(), large.size() + 3);
    ASSERT_TRUE(part.restart());
    EXPECT_EQ(part.size(), 0);
    ASSERT_TRUE(part.append("neu", 3));
    ASSERT_TRUE(part.commit());
    EXPECT_EQ(readAll(target), QByteArray("neu"));
}

TEST_F(PartFileTest, WithoutCommitNothingStays)
{
    const QString target = path("ziel.bin");
    {
        PartFile part(target);
        ASSERT_TRUE(part.isOpen());
        ASSERT_TRUE(part.append("abc", 3));
    }
    EXPECT_TRUE(files().isEmpty());
}

// A killed transfer leaves its part file. The next one in that folder removes
// it, but neither one that a running transfer holds nor one just made.
TEST_F(PartFileTest, StalePartFilesGoButNotThoseOfRunningTransfers)
{
    const auto make = [&](const char* name, int ageSeconds) {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Rest");
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
    };
    make(".kavelo-alt.part", 3600);
    make(".kavelo-eben.part", 0);
    make("anders.part", 3600);
    PartFile running(path("laeuft.bin"));
    ASSERT_TRUE(running.isOpen());
    const QStringList afterFirst = files();
    EXPECT_FALSE(afterFirst.contains(QStringLiteral(".kavelo-alt.part")));
    EXPECT_TRUE(afterFirst.contains(QStringLiteral(".kavelo-eben.part")));
    EXPECT_TRUE(afterFirst.contains(QStringLiteral("anders.part")));
    EXPECT_EQ(afterFirst.filter(QStringLiteral(".kavelo-")).size(), 2);  // the young one and the running one

    // The running transfer's file, however old it looks, stays while it runs.
    for (const QString& name : afterFirst.filter(QStringLiteral(".kavelo-"))) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    }
    PartFile next(path("naechste.bin"));
    ASSERT_TRUE(next.isOpen());
    ASSERT_TRUE(running.append("abc", 3));
    EXPECT_TRUE(running.commit());
    EXPECT_EQ(readAll(path("laeuft.bin")), QByteArray("abc"));
}

// A link names the file it points at, through further links: the part file
// sits beside that file and replaces it, and the links stay.
TEST_F(PartFileTest, ALinkedTargetReplacesTheFileItPointsAtAndStays)
{
    fs::create_directories(root / "echt");
    fs::create_directories(root / "links");
    {
        QFile real(path("echt/ziel.bin"));
        ASSERT_TRUE(real.open(QIODevice::WriteOnly));
        real.write("alt");
    }
    fs::create_symlink("../echt/ziel.bin", root / "links/erste");
    fs::create_symlink("erste", root / "links/zweite");
    const QString target = path("links/zweite");
    {
        PartFile part(target);
        ASSERT_TRUE(part.isOpen());
        ASSERT_TRUE(part.append("neu", 3));
        EXPECT_EQ(files("echt").size(), 2);
        ASSERT_TRUE(part.commit());
    }
    EXPECT_EQ(readAll(path("echt/ziel.bin")), QByteArray("neu"));
    EXPECT_EQ(fs::read_symlink(root / "links/zweite"), fs::path("erste"));
    EXPECT_EQ(fs::read_symlink(root / "links/erste"), fs::path("../echt/ziel.bin"));
    EXPECT_EQ(files("echt"), QStringList{QStringLiteral("ziel.bin")});
}

// A link into a missing folder, a circle of links and a link to a folder fail
// and stay as they were.
TEST_F(PartFileTest, ALinkWhoseTargetCannotBeWrittenFailsAndStays)
{
    fs::create_directories(root / "ordner");
    fs::create_symlink(root / "fehlt/ziel.bin", root / "insLeere");
    fs::create_symlink("kreis2", root / "kreis1");
    fs::create_symlink("kreis1", root / "kreis2");
    fs::create_symlink("ordner", root / "zumOrdner");
    for (const char* name : {"insLeere", "kreis1", "zumOrdner"}) {
        const fs::path link = root / name;
        const fs::path before = fs::read_symlink(link);
        {
            PartFile part(path(name));
            EXPECT_FALSE(part.isOpen() && part.append("neu", 3) && part.commit()) << name;
            EXPECT_FALSE(part.errorString().isEmpty()) << name;
        }
        EXPECT_EQ(fs::read_symlink(link), before) << name;
    }
    EXPECT_TRUE(fs::is_empty(root / "ordner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 5);  // the folder and links
}

// What the user set on a file survives its replacement; a new copy takes its
// source's bits, a new download what the umask gives. The part file is the
// runner's alone while it is written. Root gives a replaced file back to its
// owner and group, but never its set-id bits.
TEST_F(PartFileTest, TheReplacedFileKeepsItsOwnerGroupAndMode)
{
    const auto write = [&](const char* name, const char* content, fs::perms mode) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        fs::permissions(root / name, mode);
    };
    const auto mode = [&](const std::string& name) { return fs::status(root / name).permissions() & fs::perms::all; };
    const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    const fs::perms program = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
    write("geheim.txt", "alt", ownerOnly);
    write("quelle.sh", "#!/bin/sh", program);
    {
        PartFile part(path("geheim.txt"));
        ASSERT_TRUE(part.append("neu", 3));
        ASSERT_TRUE(part.commit(fs::perms::all));  // the replaced file's bits win
    }
    EXPECT_EQ(mode("geheim.txt"), ownerOnly);
    EXPECT_EQ(readAll(path("geheim.txt")), QByteArray("neu"));

    ASSERT_TRUE(copyThroughPartFile(*walked(path("quelle.sh")), std::nullopt, walked(path("neu.sh"))));
    EXPECT_EQ(mode("neu.sh"), program);
    ASSERT_TRUE(copyThroughPartFile(*walked(path("quelle.sh")), std::nullopt, walked(path("geheim.txt"))));
    EXPECT_EQ(mode("geheim.txt"), ownerOnly);
    EXPECT_EQ(readAll(path("geheim.txt")), QByteArray("#!/bin/sh"));
    EXPECT_FALSE(copyThroughPartFile(*walked(path("fehlt")), std::nullopt, walked(path("neu.sh"))));
    EXPECT_EQ(files().size(), 3);

    const mode_t umaskBefore = ::umask(027);
    {
        PartFile part(path("neu.bin"));
        ASSERT_EQ(files().filter(QStringLiteral(".part")).size(), 1);
        EXPECT_EQ(mode(files().filter(QStringLiteral(".part"))[0].toStdString()), ownerOnly);
        ASSERT_TRUE(part.commit());
    }
    ::umask(umaskBefore);
    EXPECT_EQ(mode("neu.bin"), ownerOnly | fs::perms::group_read);

    const OtherUser other;
    if (!other.isThere())
        GTEST_SKIP() << kNeedsOtherUser;
    const QByteArray replaced = QFile::encodeName(path("neu.bin"));
    ASSERT_TRUE(other.owns(path("neu.bin")) && ::chmod(replaced, 06750) == 0);
    PartFile part(path("neu.bin"));
    ASSERT_TRUE(part.append("neu", 3) && part.commit());
    struct stat after = {};
    ASSERT_EQ(::stat(replaced.constData(), &after), 0);
    EXPECT_EQ(std::tuple(after.st_uid, after.st_gid, after.st_mode & 07777),
              std::tuple(other.uid(), other.gid(), 0750u));
}

// What a run as root meets among another user's files. A link in a sticky
// folder is followed only when it is root's or, as the kernel has it, the
// folder owner's; but no folder that another user may change is gone through,
// nor a file there replaced that is not root's or that is no regular file.
// Every refusal leaves what it would have reached as it was.
TEST_F(PartFileTest, ARunAsRootWritesNothingAnotherUserCanSteer)
{
    const OtherUser other;
    if (!other.isThere())
        GTEST_SKIP() << kNeedsOtherUser;
    fs::create_directories(root / "geheim");
    const auto folder = [&](const std::string& name, fs::perms mode, bool theirs) {
        fs::create_directories(root / name);
        fs::permissions(root / name, mode);
        return !theirs || other.owns(path(name.c_str()));
    };
    const auto link = [&](const char* to, const std::string& at, bool theirs) {
        fs::create_symlink(to, root / at);
        return !theirs || other.owns(QString::fromStdString((root / at).string()));
    };
    const fs::perms shared = fs::perms::all | fs::perms::sticky_bit;
    const fs::perms open = fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all;
    const fs::perms common = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                             | fs::perms::others_read | fs::perms::others_exec;
    const struct {
        const char* name;
        std::function<bool()> setUp;
        const char* written;  // the target
        const char* refusal;  // in the error, or nothing when the file is written
    } cases[] = {
        {"theirLink", [&] { return folder("a", shared, false) && link("../geheim/datei", "a/l", true); }, "a/l",
         "ihm wird nicht gefolgt"},
        {"theirLinkToAFolder", [&] { return folder("b", shared, false) && link("../geheim", "b/l", true); },
         "b/l/datei", "ihm wird nicht gefolgt"},
        {"ownLink", [&] { return folder("c", shared, false) && link("../geheim/datei", "c/l", false); }, "c/l",
         nullptr},
        {"theirStickyFolder", [&] { return folder("d", shared, true) && link("../geheim/datei", "d/l", true); }, "d/l",
         "andere Benutzer als root"},
        {"openFolder", [&] { return folder("e", open, false) && link("../geheim/datei", "e/l", false); }, "e/l",
         "andere Benutzer als root"},
        {"theirFolderAbove", [&] { return folder("f", common, true) && folder("f/g", common, false); }, "f/g/datei",
         "andere Benutzer als root"},
        {"theirFileInASharedFolder",
         [&] {
             return folder("h", shared, false) && QFile(path("h/datei")).open(QIODevice::WriteOnly)
                    && other.owns(path("h/datei")) && ::chmod(QFile::encodeName(path("h/datei")), 04777) == 0;
         },
         "h/datei", "gehört einem anderen Benutzer"},
        {"aFifo", [&] { return folder("i", common, false) && ::mkfifo(QFile::encodeName(path("i/datei")), 0666) == 0; },
         "i/datei", "keine gewöhnliche Datei"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QFile(path("geheim/datei")).open(QIODevice::WriteOnly)) << c.name;  // empty again
        ASSERT_TRUE(c.setUp()) << c.name;
        const fs::path written = root / c.written;
        const auto before = fs::symlink_status(written);
        PartFile part(path(c.written));
        const bool ok = part.isOpen() && part.append("neu", 3) && part.commit();
        EXPECT_EQ(ok, c.refusal == nullptr) << c.name;
        if (c.refusal) {
            EXPECT_TRUE(part.errorString().contains(QString::fromUtf8(c.refusal)))
                << c.name << " " << part.errorString().toStdString();
            EXPECT_EQ(fs::symlink_status(written).type(), before.type()) << c.name;
            EXPECT_EQ(fs::symlink_status(written).permissions(), before.permissions()) << c.name;
        }
        EXPECT_EQ(readAll(path("geheim/datei")), c.refusal ? QByteArray() : QByteArray("neu")) << c.name;
    }
}

}  // namespace
