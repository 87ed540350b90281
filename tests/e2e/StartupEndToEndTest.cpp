#include "ProgramRun.h"

#include "settings/AnsiText.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <mutex>

namespace {

TEinstellRecord settingsWithHomePage(const QString& home)
{
    TEinstellRecord record = defaultRecord();
    stringToText(record.HomePage, home);
    record.RedirectDownloads = 0;
    return record;
}

}  // namespace

// Without a settings file the program runs on the defaults: it shows the
// welcome page from its resources, asks nothing of the network (every request
// would reach a proxy on 127.0.0.1) and creates no settings file. "--verbose"
// is no keyword of the window's; it brings the engine's report of its start.
TEST(Startup, WithoutASettingsFileTheWelcomePageNeedsNoNetwork)
{
    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
    ProgramRun run;
    for (const char* name : {"http_proxy", "https_proxy"})
        run.setEnv(QString::fromLatin1(name), QStringLiteral("http://127.0.0.1:%1").arg(proxy.serverPort()));
    run.start({QStringLiteral("--verbose")});
    EXPECT_FALSE(proxy.waitForNewConnection(8000));
    EXPECT_EQ(run.proc().state(), QProcess::Running);
    EXPECT_TRUE(run.readSettings().isEmpty());
    run.proc().terminate();
    ASSERT_TRUE(run.waitForExit(30000));
    EXPECT_TRUE(run.standardError().contains(QStringLiteral("qt.webenginecontext:")));
}

// The program asks for its home page and ends by itself after AutoEndSeconds,
// counted from when the window first appears, just before the request.
// Switches of Qt and the web engine on the command line reach neither: the
// platform stays offscreen (xcb would abort without a display) and no
// debugging port opens. Standard error gets no report of the engine's.
TEST(Startup, RequestsTheHomePageEndsByItselfAndPassesNoSwitchesOn)
{
    LoopbackServer server;
    QElapsedTimer sinceRequest;
    server.http().Get("/home", [&](const httplib::Request&, httplib::Response& response) {
        sinceRequest.start();
        response.set_content("<html><body>Startseite</body></html>", "text/html");
    });
    server.start();
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 debuggingPort = probe.serverPort();
    probe.close();

    TEinstellRecord record = settingsWithHomePage(server.url(QStringLiteral("/home")));
    record.AutoEndSeconds = 3;
    ProgramRun run;
    run.writeSettings(record);
    run.start({QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--webEngineArgs"),
               QStringLiteral("--remote-debugging-port=%1").arg(debuggingPort)});

    ASSERT_TRUE(waitUntil([&] { return server.count(QStringLiteral("/home")) == 1 || run.waitForExit(0); }, 60000));
    ASSERT_EQ(server.count(QStringLiteral("/home")), 1);
    QTcpSocket debugging;
    debugging.connectToHost(QHostAddress::LocalHost, debuggingPort);
    EXPECT_FALSE(debugging.waitForConnected(1000));
    ASSERT_TRUE(run.waitForExit(60000));
    EXPECT_EQ(run.proc().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0);
    const QString errors = run.standardError();
    for (const char* engineNote : {"qt.webenginecontext", "No suitable graphics backend"})
        EXPECT_FALSE(errors.contains(QLatin1String(engineNote))) << errors.toStdString();
    EXPECT_GT(sinceRequest.elapsed(), 2500);
    EXPECT_LT(sinceRequest.elapsed(), 7000);
}

// The timed reload of the program as shipped: the home page again after a
// real minute, not sooner.
TEST(Startup, TheTimedReloadComesAfterARealMinute)
{
    LoopbackServer server;
    server.serveText("/home", "<html><body>Startseite</body></html>");
    server.start();
    TEinstellRecord record = settingsWithHomePage(server.url(QStringLiteral("/home")));
    record.RefreshMinutes = 1;
    ProgramRun run;
    run.writeSettings(record);
    run.start();

    ASSERT_TRUE(waitUntil([&] { return server.count(QStringLiteral("/home")) == 1; }, 30000));
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    ASSERT_TRUE(waitUntil([&] { return server.count(QStringLiteral("/home")) == 2; }, 75000));
    // The minute began when the window was made, a moment before the first request.
    EXPECT_GT(sinceFirst.elapsed(), 55000);
    EXPECT_LT(sinceFirst.elapsed(), 62000);
}

// A page's login cookie reaches the next run only in a locked viewer (an info
// screen behind a login); otherwise nothing of a visitor is left on disk, nor
// what earlier versions kept.
TEST(Startup, OnlyALockedViewerKeepsAPagesCookieForTheNextRun)
{
    LoopbackServer server;
    std::mutex seenLock;
    QStringList cookiesSeen;
    server.http().Get("/anmelden", [&](const httplib::Request& request, httplib::Response& response) {
        const std::lock_guard lock(seenLock);
        cookiesSeen.append(QString::fromStdString(request.get_header_value("Cookie")));
        response.set_header("Set-Cookie", "sitzung=42; Max-Age=3600");
        response.set_content("angemeldet", "text/html");
    });
    server.start();
    for (const bool locked : {false, true}) {
        TEinstellRecord record = settingsWithHomePage(server.url(QStringLiteral("/anmelden")));
        record.AutoEndSeconds = 2;
        record.MaySurf = locked ? 0 : 1;
        ProgramRun run;
        run.writeSettings(record);
        const QString earlier = run.home() + QStringLiteral("/data/Kavelo/QtWebEngine/Kavelo");
        ASSERT_TRUE(QDir().mkpath(earlier) && QFile(earlier + QStringLiteral("/Cookies")).open(QIODevice::WriteOnly));
        for (int start = 0; start < 2; ++start) {
            run.start(locked ? QStringList{QStringLiteral("0")} : QStringList{});
            ASSERT_TRUE(run.waitForExit(30000));
        }
        QStringList kept;
        for (QDirIterator it(run.home(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            kept.append(QFileInfo(it.next()).fileName());
        const std::lock_guard lock(seenLock);
        EXPECT_EQ(cookiesSeen, (QStringList{QString(), locked ? QStringLiteral("sitzung=42") : QString()})) << locked;
        EXPECT_EQ(kept.contains(QStringLiteral("Cookies")), locked);
        EXPECT_FALSE(QFile::exists(earlier) || (!locked && kept.contains(QStringLiteral("History"))));
        cookiesSeen.clear();
    }
}
