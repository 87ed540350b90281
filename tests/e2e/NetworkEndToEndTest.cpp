// The real program in a network as an office meets it: a forwarding proxy
// named by the usual variables and HTTPS with a certificate of a test
// authority given through SSL_CERT_FILE. The address that the proxy rules
// decide on is 0.0.0.0: this machine, but no loopback address.

#include "ProgramRun.h"

#include "downloads/DownloadRun.h"
#include "settings/AnsiText.h"
#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <functional>

namespace {

class Network : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (LoopbackServer* server : {&origin, &https, &selfSigned}) {
            server->http().set_keep_alive_max_count(1);
            server->http().Get(R"(/datei\d\.txt)", [](const httplib::Request& request, httplib::Response& response) {
                response.set_content("Inhalt von " + request.path, "text/plain");
            });
            server->http().Get("/bild.png", [](const httplib::Request&, httplib::Response& response) {
                response.set_content("kein Bild", "image/png");
            });
        }
        origin.http().Get("/start.html", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<!DOCTYPE html><html><body><img src=\"" + outside("/bild.png").toStdString() + "\"></body></html>",
                "text/html");
        });
        for (LoopbackServer* server : {&origin, &https, &selfSigned})
            server->start();
        proxy.forwardTo(origin);
        proxy.start();

        record = defaultRecord();
        record.HomePage.length = 0;
        record.RedirectDownloads = 0;
        record.DownloadAttempts = 1;
        target = run.home() + QStringLiteral("/ziel");
        QDir().mkdir(target);
    }

    // The origin's path at an address that is no loopback address.
    QString outside(const char* path) const
    {
        return QStringLiteral("http://0.0.0.0:%1%2").arg(origin.port()).arg(QString::fromLatin1(path));
    }

    void download(int n, const QString& url)
    {
        stringToText(record.*downloadFieldsOf(n).url, url);
        stringToText(record.*downloadFieldsOf(n).target, target + QStringLiteral("/datei%1.txt").arg(n));
    }

    QByteArray downloaded(int n) const
    {
        QFile file(target + QStringLiteral("/datei%1.txt").arg(n));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(fehlt)");
    }

    void useProxy(const char* variable)
    {
        run.setEnv(QString::fromLatin1(variable), QStringLiteral("http://127.0.0.1:%1").arg(proxy.port()));
    }

    // Shows the home page in the viewer until done() holds, at most 60 s.
    bool viewUntil(const std::function<bool()>& done)
    {
        run.writeSettings(record);
        run.start({QStringLiteral("0")});
        waitUntil([&] { return done() || run.waitForExit(0); }, 60000);
        return done();
    }

    // Runs the downloads given on the command line to the program's end.
    void fetch(const QStringList& downloads)
    {
        run.writeSettings(record);
        run.start(downloads);
        ASSERT_TRUE(run.waitForExit(60000));
    }

    TestCertificates certificates;
    LoopbackServer origin;
    LoopbackServer https{certificates.trusted()};
    LoopbackServer selfSigned{certificates.selfSigned()};
    LoopbackServer proxy;
    ProgramRun run;
    TEinstellRecord record{};
    QString target;
};

}  // namespace

// Upper case alone, as some desktops set it. The page on 127.0.0.1 comes
// direct, its picture from elsewhere through the proxy.
TEST_F(Network, PagesTakeTheProxyOfUpperCaseVariablesButNotForLoopback)
{
    useProxy("HTTP_PROXY");
    stringToText(record.HomePage, origin.url(QStringLiteral("/start.html")));
    ASSERT_TRUE(viewUntil([&] { return proxy.count(outside("/bild.png")) == 1; }));
    EXPECT_EQ(proxy.requests(), QStringList{outside("/bild.png")});
    EXPECT_EQ(origin.count(QStringLiteral("/start.html")), 1);
}

TEST_F(Network, PagesLeaveTheHostsOfNoProxyDirect)
{
    useProxy("http_proxy");
    run.setEnv(QStringLiteral("no_proxy"), QStringLiteral("0.0.0.0"));
    stringToText(record.HomePage, origin.url(QStringLiteral("/start.html")));
    ASSERT_TRUE(viewUntil([&] { return origin.count(QStringLiteral("/bild.png")) == 1; }));
    EXPECT_TRUE(proxy.requests().isEmpty());
}

// The engine does not know the test authority; the system's store, with
// SSL_CERT_FILE, does.
TEST_F(Network, PagesTrustTheAuthoritiesOfTheSystem)
{
    run.setEnv(QStringLiteral("SSL_CERT_FILE"), certificates.authority());
    stringToText(record.HomePage, https.url(QStringLiteral("/bild.png")));
    EXPECT_TRUE(viewUntil([&] { return https.count(QStringLiteral("/bild.png")) == 1; }));
}

// The same answers for the downloads; a failure says why on standard error.
TEST_F(Network, DownloadsTakeTheProxyOfUpperCaseVariablesAndTheAuthoritiesOfTheSystem)
{
    useProxy("HTTP_PROXY");
    run.setEnv(QStringLiteral("SSL_CERT_FILE"), certificates.authority());
    download(1, outside("/datei1.txt"));
    download(2, https.url(QStringLiteral("/datei2.txt")));
    download(3, origin.url(QStringLiteral("/fehlt.txt")));
    download(4, selfSigned.url(QStringLiteral("/datei4.txt")));
    fetch({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    EXPECT_EQ(run.exitCode(), 1);

    EXPECT_EQ(downloaded(1), QByteArray("Inhalt von /datei1.txt"));
    EXPECT_EQ(downloaded(2), QByteArray("Inhalt von /datei2.txt"));
    EXPECT_EQ(proxy.requests(), QStringList{outside("/datei1.txt")});
    const QString errors = run.standardError();
    const QStringList lines = errors.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("Download 3: HTTP-Fehler 404"))) << qPrintable(errors);
    EXPECT_TRUE(lines.contains(QStringLiteral("Download 4: Server-Zertifikat nicht vertrauenswürdig")))
        << qPrintable(errors);
    EXPECT_FALSE(errors.contains(QStringLiteral("Download 1:")));
}

// Lower case, which libcurl alone would also use for loopback.
TEST_F(Network, DownloadsLeaveLoopbackAndTheHostsOfNoProxyDirect)
{
    useProxy("http_proxy");
    run.setEnv(QStringLiteral("no_proxy"), QStringLiteral("0.0.0.0"));
    download(1, origin.url(QStringLiteral("/datei1.txt")));
    download(2, outside("/datei2.txt"));
    fetch({QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(downloaded(1), QByteArray("Inhalt von /datei1.txt"));
    EXPECT_EQ(downloaded(2), QByteArray("Inhalt von /datei2.txt"));
    EXPECT_TRUE(proxy.requests().isEmpty());
}
