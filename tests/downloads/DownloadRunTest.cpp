#include "downloads/DownloadRun.h"
#include "support/LoopbackServer.h"

#include "downloads/DownloadToFile.h"
#include "downloads/WorkerHandoff.h"
#include "platform/host/Clock.h"
#include "settings/AnsiText.h"
#include "settings/SettingsFile.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "support/FileSizeLimit.h"

namespace {

class DownloadRunTest : public ::testing::Test {
protected:
    DownloadRunTest()
    {
        setClock([] { return QDateTime(QDate(2010, 5, 17), QTime(14, 5)); });
        EinstellDaten.MaxVersions = 99;
        EinstellDaten.DownloadAttempts = 1;
        server.http().Get("/file", [this](const httplib::Request&, httplib::Response& res) {
            ++requests;
            res.set_content(body, "application/octet-stream");
        });
        server.http().Get("/fail", [this](const httplib::Request&, httplib::Response& res) {
            ++requests;
            res.status = 500;
        });
        server.serveBody("/cut", {});
        server.http().Get("/second-time", [this](const httplib::Request&, httplib::Response& res) {
            if (++requests == 1)
                res.status = 503;
            else
                res.set_content("beim zweiten Mal", "text/plain");
        });
        server.start();
    }

    ~DownloadRunTest() override { setClock({}); }

    // Download n fetches route into the program folder's file name.
    void configure(int n, const char* route, const char* fileName, Word mode, Word counter)
    {
        const DownloadFields fields = downloadFieldsOf(n);
        stringToText(EinstellDaten.*fields.url, server.url(QString::fromUtf8(route)));
        stringToText(EinstellDaten.*fields.target, folder.path(QString::fromUtf8(fileName)));
        EinstellDaten.*fields.suffix = mode;
        EinstellDaten.*fields.counter = counter;
    }

    QByteArray contents(const char* fileName) const
    {
        QFile file(folder.path(QString::fromUtf8(fileName)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    bool exists(const char* fileName) const { return QFileInfo::exists(folder.path(QString::fromUtf8(fileName))); }

    // The counter of download n as the settings file holds it; -1 without a file.
    int savedCounter(int n) const
    {
        const QByteArray file = folder.readFile(QStringLiteral("Einstell.DAT"));
        if (file.size() != static_cast<qsizetype>(kRecordSize))
            return -1;
        Word counter = 0;
        std::memcpy(&counter, file.constData() + offsetof(TEinstellRecord, Download1Counter) + 2 * (n - 1),
                    sizeof counter);
        return counter;
    }

    // One run as the main window makes it, with the pauses recorded instead of waited.
    bool run(int n)
    {
        const DownloadPlan plan = planDownload(EinstellDaten, n, currentDateTime(), QDir::currentPath());
        AttemptHooks hooks;
        hooks.pause = [this](int ms) { pauses.push_back(ms); };
        const TransferResult result = runAttempts(plan, hooks);
        const FinishedDownload finished = finishDownload(plan, result, EinstellDaten);
        return result.ok && !finished.copyFailed && (!finished.counterMoved || SaveSettings());
    }

    int argc = 1;
    char name[9] = "download";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};  // the event loop the window's waits keep running
    TempProgramFolder folder;
    RecordingPresenter presenter;
    std::string body = "Inhalt";
    std::atomic<int> requests{0};
    std::vector<int> pauses;
    LoopbackServer server;
};

TEST_F(DownloadRunTest, EachNumberReachesItsOwnFieldsAndARelativeTargetLiesInTheCurrentFolder)
{
    for (int n = 1; n <= 4; ++n) {
        const DownloadFields fields = downloadFieldsOf(n);
        stringToText(EinstellDaten.*fields.url, QStringLiteral("http://host/%1").arg(n));
        stringToText(EinstellDaten.*fields.target, QStringLiteral("Downloads/datei%1.zip").arg(n));
        EinstellDaten.*fields.suffix = SuffixNumber;
        EinstellDaten.*fields.counter = static_cast<Word>(10 * n);
    }
    EXPECT_EQ(textToString(EinstellDaten.Download3Url), QStringLiteral("http://host/3"));
    EXPECT_EQ(EinstellDaten.Download4Counter, 40);
    for (int n = 1; n <= 4; ++n) {
        const DownloadPlan plan = planDownload(EinstellDaten, n, currentDateTime(), QStringLiteral("/aktuell"));
        EXPECT_EQ(plan.urlTail, QStringLiteral("//host/%1").arg(n));
        EXPECT_EQ(plan.downloadPath(), QStringLiteral("/aktuell/Downloads/datei%1%2.zip").arg(n).arg(10 * n));
    }
    stringToText(EinstellDaten.Download1Target, QStringLiteral("/fest/datei.zip"));
    EXPECT_EQ(planDownload(EinstellDaten, 1, currentDateTime(), QStringLiteral("/aktuell")).downloadPath(),
              QStringLiteral("/fest/datei10.zip"));
    stringToText(EinstellDaten.Download1Target, QStringLiteral("~/Downloads/datei.zip"));  // the runner's home
    EXPECT_EQ(planDownload(EinstellDaten, 1, currentDateTime(), QStringLiteral("/aktuell")).downloadPath(),
              QDir::homePath() + QStringLiteral("/Downloads/datei10.zip"));
    EXPECT_THROW(downloadFieldsOf(0), std::out_of_range);
    EXPECT_THROW(downloadFieldsOf(5), std::out_of_range);
}

TEST_F(DownloadRunTest, NumberedDownloadAdvancesTheCounterAndSavesOnlyAfterSuccess)
{
    configure(2, "/fail", "Beispiel.zip", SuffixNumber, 3);
    EXPECT_FALSE(run(2));
    EXPECT_EQ(EinstellDaten.Download2Counter, 3);
    EXPECT_EQ(savedCounter(2), -1);
    EXPECT_FALSE(exists("Beispiel3.zip"));

    configure(2, "/file", "Beispiel.zip", SuffixNumber, 3);
    EXPECT_TRUE(run(2));
    EXPECT_EQ(contents("Beispiel3.zip"), QByteArray("Inhalt"));
    EXPECT_EQ(EinstellDaten.Download2Counter, 4);
    EXPECT_EQ(savedCounter(2), 4);

    // A dated download succeeds without touching the counter or the file.
    QFile::remove(folder.path(QStringLiteral("Einstell.DAT")));
    configure(3, "/file", "Beispiel.zip", SuffixDate, 8);
    EXPECT_TRUE(run(3));
    EXPECT_TRUE(exists("Beispiel2010_05_17.zip"));
    EXPECT_EQ(EinstellDaten.Download3Counter, 8);
    EXPECT_EQ(savedCounter(3), -1);
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(DownloadRunTest, NumbersRunUpToMaxVersionsThenStartAgain)
{
    EinstellDaten.MaxVersions = 2;
    configure(1, "/file", "v.txt", SuffixNumberedCopy, 0);
    std::set<QString> copies;
    for (int i = 0; i < 4; ++i) {
        const DownloadPlan plan = planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath());
        copies.insert(plan.names.copyName);
        EXPECT_TRUE(finishDownload(plan, {true, {}, {}}, EinstellDaten).counterMoved);
    }
    EXPECT_EQ(copies,
              (std::set<QString>{QStringLiteral("v0.txt"), QStringLiteral("v1.txt"), QStringLiteral("v2.txt")}));
    EXPECT_EQ(EinstellDaten.Download1Counter, 1);  // 0 1 2 0, then 1 is next

    EinstellDaten.MaxVersions = 65535;
    EinstellDaten.Download1Counter = 65535;
    EXPECT_TRUE(run(1));
    EXPECT_EQ(EinstellDaten.Download1Counter, 0);
    EXPECT_EQ(savedCounter(1), 0);
}

TEST_F(DownloadRunTest, CopiesFollowTheModeWhetherOrNotTheDownloadSucceeded)
{
    // Mode 4 after a failure: the existing plain file becomes the ".bak".
    folder.writeFile(QStringLiteral("s.zip"), "vorher");
    configure(1, "/fail", "s.zip", SuffixBackupCopy, 0);
    EXPECT_FALSE(run(1));
    EXPECT_EQ(contents("s.zip.bak"), QByteArray("vorher"));

    // Mode 6 after a failure without a stamped file: the plain file stays as it was.
    folder.writeFile(QStringLiteral("d.zip"), "alt");
    configure(1, "/fail", "d.zip", SuffixDateCopy, 0);
    EXPECT_FALSE(run(1));
    EXPECT_EQ(contents("d.zip"), QByteArray("alt"));
    EXPECT_FALSE(exists("d2010_05_17.zip"));

    // Mode 7: the transfer writes the stamped file, the copy refreshes the plain name.
    body = "frisch";
    configure(1, "/file", "d.zip", SuffixDateTimeCopy, 0);
    EXPECT_TRUE(run(1));
    EXPECT_EQ(contents("d2010_05_17_14_05.zip"), QByteArray("frisch"));
    EXPECT_EQ(contents("d.zip"), QByteArray("frisch"));
    // A plain name that cannot be refreshed after a success is the run's failure.
    ASSERT_TRUE(QDir(folder.path(QString())).mkdir(QStringLiteral("o.zip")));
    configure(1, "/file", "o.zip", SuffixDateCopy, 0);
    EXPECT_FALSE(run(1));
    EXPECT_EQ(contents("o2010_05_17.zip"), QByteArray("frisch"));

    // Mode 5: the plain name is downloaded, the numbered copy kept and replaced.
    folder.writeFile(QStringLiteral("n5.zip"), "ältere Kopie");
    configure(1, "/file", "n.zip", SuffixNumberedCopy, 5);
    EXPECT_TRUE(run(1));
    EXPECT_EQ(contents("n.zip"), QByteArray("frisch"));
    EXPECT_EQ(contents("n5.zip"), QByteArray("frisch"));
    EXPECT_EQ(EinstellDaten.Download1Counter, 6);
}

// The file size limit stands in for a full disk: the new copy cannot be
// written whole, so the old one stays as it was.
TEST_F(DownloadRunTest, ACopyThatCannotBeWrittenLeavesTheOldCopyWhole)
{
    folder.writeFile(QStringLiteral("B.zip"), QByteArray(3 * 1024 * 1024, 'n'));
    folder.writeFile(QStringLiteral("B.zip.bak"), "alte Kopie");
    configure(1, "/fail", "B.zip", SuffixBackupCopy, 0);
    {
        const FileSizeLimit full(1024 * 1024);
        ASSERT_TRUE(full.isActive());
        EXPECT_FALSE(run(1));
    }
    EXPECT_EQ(contents("B.zip.bak"), QByteArray("alte Kopie"));
    EXPECT_EQ(QDir(folder.path(QString())).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("B.zip"), QStringLiteral("B.zip.bak")}));
}

TEST_F(DownloadRunTest, AttemptsAreCountedPausedAndShownBusy)
{
    configure(1, "/fail", "x.zip", SuffixNone, 0);
    std::vector<bool> busy;
    AttemptHooks hooks;
    hooks.pause = [this](int ms) { pauses.push_back(ms); };
    hooks.setBusy = [&busy](bool on) { busy.push_back(on); };

    // The caller learns why the last attempt failed.
    EinstellDaten.DownloadAttempts = 0;
    EXPECT_EQ(runAttempts(planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath()), hooks).error,
              QStringLiteral("keine Download-Versuche eingestellt"));
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(busy.empty());
    // A target that names a folder only: nothing to write into.
    EinstellDaten.DownloadAttempts = 3;
    configure(1, "/fail", "", SuffixNone, 0);
    stringToText(EinstellDaten.Download1Target, folder.path(QString()) + QLatin1Char('/'));
    EXPECT_EQ(runAttempts(planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath()), hooks).error,
              QStringLiteral("kein Dateiname im Download-Ziel eingestellt"));
    EXPECT_EQ(requests, 0);

    configure(1, "/fail", "x.zip", SuffixNone, 0);
    EXPECT_EQ(runAttempts(planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath()), hooks).error,
              QStringLiteral("HTTP-Fehler 500"));
    EXPECT_EQ(requests, 3);
    EXPECT_EQ(pauses, (std::vector<int>{5000, 5000}));  // none after the last
    EXPECT_EQ(busy, (std::vector<bool>{true, false, true, false, true, false}));

    // Success ends the attempts.
    requests = 0;
    pauses.clear();
    configure(1, "/second-time", "x.zip", SuffixNone, 0);
    EXPECT_TRUE(runAttempts(planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath()), hooks).ok);
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(pauses, std::vector<int>{5000});
    EXPECT_EQ(contents("x.zip"), QByteArray("beim zweiten Mal"));
}

TEST_F(DownloadRunTest, AttemptsContinueWhereTheLastOneBrokeOff)
{
    // Every connection ends after a tenth of the body.
    std::string bytes(1000 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7919 % 251);
    server.serveBody("/cut", {.bytes = bytes, .etag = "\"eins\"", .cutAfter = bytes.size() / 10});
    configure(1, "/cut", "gross.bin", SuffixNone, 0);
    folder.writeFile(QStringLiteral("gross.bin"), "alt");

    EinstellDaten.DownloadAttempts = 9;  // one short: the file stays as it was
    EXPECT_FALSE(run(1));
    EXPECT_EQ(contents("gross.bin"), QByteArray("alt"));
    EXPECT_EQ(QDir(folder.path(QString())).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".part")),
              QStringList());

    EinstellDaten.DownloadAttempts = 20;
    const std::size_t sentBefore = server.bodyBytesSent();
    EXPECT_TRUE(run(1));
    EXPECT_EQ(contents("gross.bin"), QByteArray::fromStdString(bytes));
    EXPECT_EQ(server.bodyBytesSent() - sentBefore, bytes.size());
    EXPECT_EQ(server.count(QStringLiteral("/cut")), 9 + 10);
}

// The places the walks judged are the places written: a link re-pointed in
// the pause after a failed first attempt leads neither the second attempt nor
// the copy elsewhere. The copy is made only from the file the run wrote, not
// from a link or another file put in its place since.
TEST_F(DownloadRunTest, WhatWasJudgedIsWhatIsWrittenAndCopied)
{
    namespace fs = std::filesystem;
    const auto at = [&](const char* file) { return fs::path(folder.path(QString::fromUtf8(file)).toStdString()); };
    fs::create_directories(at("echt"));
    fs::create_directories(at("anders"));
    fs::create_symlink("echt", at("weiter"));
    configure(1, "/second-time", "weiter/v.txt", SuffixBackupCopy, 0);
    EinstellDaten.DownloadAttempts = 2;
    const DownloadPlan plan = planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath());
    AttemptHooks hooks;
    hooks.pause = [&](int) {
        fs::remove(at("weiter"));
        fs::create_symlink("anders", at("weiter"));
    };
    const TransferResult result = runAttempts(plan, hooks);
    finishDownload(plan, result, EinstellDaten);
    const std::string copy = "echt/" + plan.names.copyName.toStdString();
    EXPECT_EQ(contents(copy.c_str()), QByteArray("beim zweiten Mal"));
    EXPECT_TRUE(result.ok && contents("echt/v.txt") == "beim zweiten Mal" && fs::is_empty(at("anders")));

    configure(1, "/file", "echt/v.txt", SuffixBackupCopy, 0);
    for (const char* swapped : {"../anders", "fremd"}) {  // a link, or another file renamed over it
        const DownloadPlan next = planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath());
        const TransferResult done = runAttempts(next, {});
        folder.writeFile(QStringLiteral("echt/fremd"), "fremd");
        fs::remove(at("echt/v.txt"));
        if (std::string(swapped) == "fremd")
            fs::rename(at("echt/fremd"), at("echt/v.txt"));
        else
            fs::create_symlink(swapped, at("echt/v.txt"));
        finishDownload(next, done, EinstellDaten);
        EXPECT_EQ(contents(copy.c_str()), QByteArray("beim zweiten Mal")) << swapped;
        fs::remove(at("echt/v.txt"));
    }
}

// Set during the first pause (runAttempts' own or the window's, which keeps
// the events coming), this download's flag or the program's ends the pause
// early and lets no further attempt begin; a flag set before lets none begin.
TEST_F(DownloadRunTest, TheCancelFlagEndsTheAttemptsAndThePause)
{
    configure(1, "/fail", "x.zip", SuffixNone, 0);
    EinstellDaten.DownloadAttempts = 5;
    const DownloadPlan plan = planDownload(EinstellDaten, 1, currentDateTime(), QDir::currentPath());
    for (const bool windows : {false, true}) {
        for (const bool programs : {false, true}) {
            requests = 0;
            CancelFlag program;
            CancelFlag own(&program);
            AttemptHooks hooks;
            hooks.cancel = &own;
            if (windows)
                hooks.pause = [&own](int ms) { waitUnlessCancelled(ms, own); };
            std::thread canceller([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                (programs ? program : own).set();
            });
            QElapsedTimer clock;
            clock.start();
            EXPECT_EQ(runAttempts(plan, hooks).error, QStringLiteral("HTTP-Fehler 500"));
            canceller.join();
            EXPECT_GE(clock.elapsed(), 250);
            EXPECT_LT(clock.elapsed(), 1500);
            EXPECT_EQ(runAttempts(plan, hooks).error, QStringLiteral("Download abgebrochen"));
            EXPECT_EQ(requests, 1);
        }
    }
}

// Work on a worker thread while this thread's events are delivered (the work
// waits for one): what the work throws comes out, and so does what the tick
// throws, once it has broken the stalled work off.
TEST_F(DownloadRunTest, TheWorkersErrorsComeOutAndAFailingTickBreaksTheWorkOff)
{
    const char* const thrownBy[] = {"", "Arbeit", "Anzeige"};  // nothing, the work, the tick's second call
    for (const int failing : {0, 1, 2}) {
        CancelFlag breakOff;
        std::atomic<bool> eventSeen{false};
        const QObject context;
        QTimer::singleShot(100, &context, [&eventSeen] { eventSeen = true; });
        int ticks = 0;
        std::string thrown;
        QElapsedTimer clock;
        clock.start();
        const auto work = [&] {
            if (failing == 1)
                throw std::runtime_error(thrownBy[1]);
            for (int i = 0; i < 1000 && !(failing == 2 ? breakOff.isSet() : eventSeen.load()); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));  // ten seconds at most
        };
        const auto tick = [&] {
            if (++ticks == 2 && failing == 2)
                throw std::runtime_error(thrownBy[2]);
        };
        try {
            runOnWorker(work, tick, breakOff);
        } catch (const std::runtime_error& error) {
            thrown = error.what();
        }
        EXPECT_EQ(thrown, thrownBy[failing]);
        EXPECT_EQ(breakOff.isSet(), failing == 2) << failing;
        EXPECT_LT(clock.elapsed(), 3000) << failing;
    }
}

}  // namespace
