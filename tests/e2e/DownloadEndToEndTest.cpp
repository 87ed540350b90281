#include "ProgramRun.h"

#include "platform/host/HostRegistry.h"
#include "settings/AnsiText.h"
#include "support/LoopbackServer.h"
#include "support/OtherUser.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstring>

namespace {

Word wordAt(const QByteArray& file, int offset)
{
    Word value = 0;
    std::memcpy(&value, file.constData() + offset, sizeof value);
    return value;
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(fehlt)");
}

class AutomaticDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.http().Get("/zwei.zip", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("zweiter Inhalt", "application/zip");
        });
        server.http().Get("/vier.txt", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("vierter Inhalt", "text/plain");
        });
        ServedBody slow;
        slow.bytes = std::string(4 << 20, 'x');
        slow.pieceDelay = std::chrono::milliseconds(20);  // 16 KiB every 20 ms: about 5 s in all
        server.serveBody("/langsam.bin", slow);
        server.start();

        record = defaultRecord();
        record.HomePage.length = 0;
        record.DownloadAttempts = 1;
        target = run.home() + QStringLiteral("/ziel");
        QDir().mkdir(target);
        stringToText(record.DownloadFolder1, target);
        stringToText(record.DownloadFolder2, target);
        stringToText(record.Download2Url, server.url(QStringLiteral("/zwei.zip")));
        stringToText(record.Download2Target, target + QStringLiteral("/Archiv.zip"));
        record.Download2Suffix = 1;  // running number
        record.Download2Counter = 7;
        stringToText(record.Download4Url, server.url(QStringLiteral("/vier.txt")));
        stringToText(record.Download4Target, target + QStringLiteral("/Liste.txt"));
        record.Download4Suffix = 4;  // backup copy

        // The host store of the run's home, with a download directory of its own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(run.home() + QStringLiteral("/config")));
        HostRegistryKey key;
        ASSERT_TRUE(key.open(kInternetExplorerKey));
        key.writeString(kDownloadDirectoryValue, QStringLiteral("/vorher/Downloads"));
    }

    LoopbackServer server;
    ProgramRun run;
    TEinstellRecord record{};
    QString target;
};

}  // namespace

// A host value edited by hand with an unquoted comma is the text that stands
// there: the run redirects it and puts it back as it was.
TEST_F(AutomaticDownload, KeywordsTwoAndFourFetchBothFilesAndEndWithSuccess)
{
    QFile store(run.home() + QStringLiteral("/config/Kavelo/host-registry.ini"));
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write("[%5CSoftware%5CMicrosoft%5CInternet%20Explorer]\nDownload%20Directory=/a, b\n");
    store.close();
    run.writeSettings(record);
    run.start({QStringLiteral("4"), QStringLiteral("2")});
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 0);
    // Cron mails what a job prints: a success prints nothing, also as root without XDG_RUNTIME_DIR.
    EXPECT_EQ(run.standardError(), QString());

    EXPECT_EQ(fileContent(target + QStringLiteral("/Archiv7.zip")), QByteArray("zweiter Inhalt"));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Liste.txt")), QByteArray("vierter Inhalt"));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Liste.txt.bak")), QByteArray("vierter Inhalt"));
    EXPECT_EQ(server.requests().filter(QStringLiteral(".")),
              (QStringList{QStringLiteral("/zwei.zip"), QStringLiteral("/vier.txt")}));  // 2 before 4

    const QByteArray saved = run.readSettings();
    ASSERT_EQ(saved.size(), 7990);
    EXPECT_EQ(wordAt(saved, 26), 8);  // Download2Counter
    EXPECT_EQ(wordAt(saved, 30), 0);  // Download4Counter: no running number in that mode
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/a, b"));
}

TEST_F(AutomaticDownload, AFailedDownloadEndsWithStatusOneAndKeepsTheCounter)
{
    stringToText(record.Download2Url, server.url(QStringLiteral("/fehlt.zip")));
    run.writeSettings(record);
    run.start({QStringLiteral("2")});
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.standardError().contains(QStringLiteral("Download 2: HTTP-Fehler 404\n")));
    EXPECT_EQ(wordAt(run.readSettings(), 26), 7);
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/Archiv7.zip")));
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/vorher/Downloads"));
}

// Two jobs of one settings file started 0.7 s apart run one after the other:
// each numbered download arrives under its own number, the counter moves
// twice, and a part file a killed run left goes at once.
TEST_F(AutomaticDownload, TwoJobsOfOneSettingsFileRunOneAfterTheOther)
{
    ServedBody slower;
    slower.bytes = std::string(1 << 20, 'y');
    slower.pieceDelay = std::chrono::milliseconds(20);  // about 1.3 s
    server.serveBody("/etwas-langsam.bin", slower);
    stringToText(record.Download2Url, server.url(QStringLiteral("/etwas-langsam.bin")));
    run.writeSettings(record);
    QFile left(target + QStringLiteral("/.kavelo-0123456789abcdef.part"));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();

    run.start({QStringLiteral("2")});
    ASSERT_TRUE(waitUntil([&] { return server.bodyBytesSent() > 0; }, 10000));  // the first one's transfer runs
    QProcess second;
    second.setProgram(run.proc().program());
    second.setProcessEnvironment(run.proc().processEnvironment());
    second.setArguments({QStringLiteral("2")});
    second.start();
    ASSERT_TRUE(run.waitForExit(60000));
    ASSERT_TRUE(second.waitForFinished(60000));

    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError()).contains(QStringLiteral("wartet auf das Ende")));
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Archiv7.zip"), QStringLiteral("Archiv8.zip")}));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Archiv8.zip")), QByteArray::fromStdString(slower.bytes));
    EXPECT_EQ(wordAt(run.readSettings(), 26), 9);
}

// A settings file that cannot take the next number: the next run would
// overwrite the same numbered file, so the job has failed. Files of the run
// may grow to 4 KiB only, less than a settings file.
TEST_F(AutomaticDownload, ACounterThatCannotBeSavedEndsWithStatusOne)
{
    run.writeSettings(record);
    run.proc().setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    run.start({QStringLiteral("2")});
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.standardError().contains(QStringLiteral("Fehler beim Speichern von:")));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Archiv7.zip")), QByteArray("zweiter Inhalt"));
    EXPECT_EQ(wordAt(run.readSettings(), 26), 7);
}

// Without a display a box nobody can answer would hold the run: it becomes a
// line on standard error, and the run goes on as after OK.
TEST_F(AutomaticDownload, AMissingDownloadFolderIsReportedOnStandardErrorAndTheRunGoesOn)
{
    stringToText(record.DownloadFolder1, QStringLiteral("/gibt/es/nicht"));
    run.writeSettings(record);
    run.start({QStringLiteral("2")});
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.standardError().contains(
        QStringLiteral("Information: Problem beim Erstellen des 1. Download-Ordner: / /gibt/es/nicht / Prüfen Sie ob "
                       "der Pfad richtig ist / und ob Sie Schreibrechte besitzen!\n")));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Archiv7.zip")), QByteArray("zweiter Inhalt"));
}

// A truncated settings file, or none at all, would leave the built-in
// addresses: the job fetches nothing (a proxy that refuses every connection
// stands in for the world) and ends with 1 and a message that says why.
TEST_F(AutomaticDownload, ATruncatedOrMissingSettingsFileFetchesNothing)
{
    for (const qint64 size : {qint64{100}, qint64{0}}) {
        run.writeSettings(record);
        ASSERT_TRUE(size > 0 ? QFile::resize(run.settingsPath(), size) : QFile::remove(run.settingsPath()));
        for (const char* variable : {"http_proxy", "https_proxy", "all_proxy"})
            run.setEnv(QLatin1String(variable), QStringLiteral("http://127.0.0.1:9"));
        run.start({QStringLiteral("2")});
        ASSERT_TRUE(run.waitForExit(60000));
        EXPECT_EQ(run.exitCode(), 1);
        const QString said = run.standardError();
        EXPECT_TRUE(said.contains(
            size > 0 ? QStringLiteral("ist unvollständig (100 Bytes)")
                     : QStringLiteral("Keine Einstellungs-Datei gefunden (gesucht: %1)").arg(run.settingsPath())))
            << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("Download 2:")));
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

// The automatic end comes before the download: the job asked for a file it
// did not get, and says so.
TEST_F(AutomaticDownload, AnEndBeforeTheDownloadRanIsNoSuccess)
{
    record.AutoEndSeconds = 1;
    run.writeSettings(record);
    run.start({QStringLiteral("2"), QStringLiteral("autostop")});
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_EQ(run.standardError(),
              QStringLiteral("Kavelo: Das automatische Ende nach 1 s kam, bevor alle Downloads fertig waren.\n"));
    EXPECT_TRUE(server.requests().filter(QStringLiteral(".zip")).isEmpty());
}

// A service stop ends the program as it ends itself: the host's download
// directory goes back, and the status tells the signal.
TEST_F(AutomaticDownload, SigtermPutsTheHostValueBackAndEndsWith143)
{
    run.writeSettings(record);
    run.start({QStringLiteral("0")});
    waitUntil([&] { return readHostValue(kInternetExplorerKey, kDownloadDirectoryValue) == target; }, 30000);
    ASSERT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), target);
    run.proc().terminate();
    ASSERT_TRUE(run.waitForExit(30000));
    EXPECT_EQ(run.proc().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 143);
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/vorher/Downloads"));
    // The viewer's keeper hears that anyone could unlock it, and root that pages run unguarded.
    const QString warnings = run.standardError();
    EXPECT_TRUE(warnings.contains(QStringLiteral("eingebaute Administrator-Passwort")));
    EXPECT_EQ(warnings.contains(QStringLiteral("ohne die Sandbox der Web-Engine")), ::geteuid() == 0);
}

// A service stop or the timed end during a slow transfer: the transfer is
// broken off, the file that was there stays as it was, no temporary file
// remains, and the host value goes back.
TEST_F(AutomaticDownload, AnEndDuringATransferLeavesTheOldFileAndNoTemporaryOne)
{
    stringToText(record.Download2Url, server.url(QStringLiteral("/langsam.bin")));
    record.Download2Suffix = 0;
    const struct {
        const char* how;
        QStringList arguments;
        int status;
    } ends[] = {{"SIGTERM", {QStringLiteral("2")}, 143},
                {"autostop", {QStringLiteral("2"), QStringLiteral("autostop")}, 1}};
    for (const auto& end : ends) {
        QFile old(target + QStringLiteral("/Archiv.zip"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("alter Inhalt");
        old.close();
        record.AutoEndSeconds = end.status == 1 ? 3 : 0;  // the transfer starts after 2 s and takes 5 s
        run.writeSettings(record);
        const std::size_t sentBefore = server.bodyBytesSent();
        run.start(end.arguments);
        waitUntil([&] { return server.bodyBytesSent() - sentBefore >= (256u << 10); }, 30000);
        ASSERT_GE(server.bodyBytesSent() - sentBefore, 256u << 10) << end.how;
        if (end.status == 143)
            run.proc().terminate();
        ASSERT_TRUE(run.waitForExit(30000)) << end.how;
        EXPECT_EQ(run.exitCode(), end.status) << end.how;
        EXPECT_LT(server.bodyBytesSent() - sentBefore, 4u << 20) << end.how;
        EXPECT_EQ(fileContent(target + QStringLiteral("/Archiv.zip")), QByteArray("alter Inhalt")) << end.how;
        EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Archiv.zip")})
            << end.how;
        EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/vorher/Downloads"))
            << end.how;
    }
}

// A root job: a link another user planted in a shared folder is not followed,
// and a run without HOME and without a window leaves no web profile, nor
// anything at "/".
TEST_F(AutomaticDownload, ARootJobWritesNowhereItMustNot)
{
    const OtherUser other;
    if (!other.isThere())
        GTEST_SKIP() << kNeedsOtherUser;
    const QString shared = run.home() + QStringLiteral("/geteilt");
    const QString secret = run.home() + QStringLiteral("/geheim");
    QFile file(secret);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("geheim") > 0 && file.flush() && QDir().mkdir(shared));
    ASSERT_TRUE(::chmod(QFile::encodeName(shared).constData(), 01777) == 0
                && QFile::link(secret, shared + QStringLiteral("/Archiv.zip")));
    ASSERT_TRUE(other.owns(shared + QStringLiteral("/Archiv.zip")));
    stringToText(record.Download2Target, shared + QStringLiteral("/Archiv.zip"));
    record.Download2Suffix = 0;
    const QStringList atTheRoot = QDir(QStringLiteral("/")).entryList(QDir::AllEntries | QDir::Hidden);
    run.setEnv(QStringLiteral("HOME"), QString());
    run.writeSettings(record);
    run.start({QStringLiteral("2"), QStringLiteral("4")});
    ASSERT_TRUE(run.waitForExit(60000));

    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.standardError().contains(QStringLiteral("ihm wird nicht gefolgt")));
    EXPECT_EQ(fileContent(secret), QByteArray("geheim"));
    EXPECT_EQ(fileContent(target + QStringLiteral("/Liste.txt")), QByteArray("vierter Inhalt"));
    EXPECT_FALSE(QFile::exists(run.home() + QStringLiteral("/data/Kavelo/QtWebEngine")));
    EXPECT_FALSE(QFile::exists(run.home() + QStringLiteral("/cache/Kavelo")));
    EXPECT_EQ(QDir(QStringLiteral("/")).entryList(QDir::AllEntries | QDir::Hidden), atTheRoot);
}

// Root's job reads no settings in a folder another user may change: it ends
// at once with 1 and a line naming the file, and fetches nothing.
TEST_F(AutomaticDownload, ARootJobRefusesSettingsAnotherUserMayChange)
{
    const OtherUser other;
    if (!other.isThere())
        GTEST_SKIP() << kNeedsOtherUser;
    run.writeSettings(record);
    ASSERT_TRUE(other.owns(QFileInfo(run.settingsPath()).path()));
    run.start({QStringLiteral("4")});
    ASSERT_TRUE(run.waitForExit(15000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.standardError().contains(run.settingsPath() + QStringLiteral(" nicht: Den Ordner")));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/Liste.txt")));
}
