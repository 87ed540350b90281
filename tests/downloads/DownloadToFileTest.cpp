#include "downloads/CurlLibrary.h"
#include "downloads/DownloadToFile.h"
#include "platform/network/NetworkProxy.h"
#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <atomic>
#include <future>
#include <thread>

#include "support/FileSizeLimit.h"

namespace {

std::shared_ptr<const TargetPath> walked(const QString& path)
{
    return std::make_shared<const TargetPath>(walkTargetPath(path));
}

std::string randomBody(qsizetype size)
{
    std::string body(static_cast<std::size_t>(size), '\0');
    QRandomGenerator generator(4711);
    for (char& c : body)
        c = static_cast<char>(generator.generate());
    return body;
}

class DownloadToFileTest : public ::testing::Test {
protected:
    DownloadToFileTest()
    {
        server.http().Get("/file", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "application/octet-stream");
        });
        server.serveText("/ordner mit ä/datei.txt", "kodiert", "text/plain");
        server.http().Get("/status/(\\d+)", [](const httplib::Request& req, httplib::Response& res) {
            res.status = std::stoi(req.matches[1]);
            res.set_content("Fehlerseite", "text/plain");
        });
        server.http().Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/file"); });
        server.http().Get("/loop", [this](const httplib::Request&, httplib::Response& res) {
            ++loopRequests;  // counted before the answer leaves
            res.set_redirect("/loop");
        });
        server.http().Get("/huge-header", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Fuellung", std::string(200 * 1024, 'x'));
            res.set_content("klein", "text/plain");
        });
        server.http().Get("/many-headers", [](const httplib::Request&, httplib::Response& res) {
            for (int i = 0; i < 4000; ++i)
                res.set_header("X-Zeile-" + std::to_string(i), std::string(100, 'x'));
            res.set_content("klein", "text/plain");
        });
        server.http().Get("/to-file-scheme", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/hostname");
        });
        server.http().Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            // Declares 100000 bytes, sends 40000 and closes the connection.
            res.set_content_provider(100000, "application/octet-stream",
                                     [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         if (offset >= 40000)
                                             return false;
                                         const std::string part(40000, 'x');
                                         return sink.write(part.data(), part.size());
                                     });
        });
        server.http().Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            // The headers go out, then no byte of the body.
            res.set_content_provider(100000, "application/octet-stream",
                                     [this](std::size_t, std::size_t, httplib::DataSink&) {
                                         testEnded.wait_for(std::chrono::seconds(20));
                                         return false;
                                     });
        });
        server.http().Get("/tropfen", [this](const httplib::Request&, httplib::Response& res) {
            // Half a kilobyte a second, in small pieces, as a broken or hostile server sends them.
            res.set_content_provider(
                100000, "application/octet-stream", [this](std::size_t, std::size_t, httplib::DataSink& sink) {
                    return testEnded.wait_for(std::chrono::milliseconds(500)) == std::future_status::timeout
                           && sink.write("x", 1);
                });
        });
        for (const char* route : {"/teile", "/anders", "/teil"})
            server.serveBody(route, {});  // each test sets its body
        server.start();
    }

    ~DownloadToFileTest() override
    {
        endOfTest.set_value();  // lets a held handler end before the server stops
    }

    QString target(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // An address at the server's port that only a proxy reaches.
    QString unresolvable(const QString& path) const
    {
        return QStringLiteral("http://%1:%2%3").arg(unresolvableHost()).arg(server.port()).arg(path);
    }

    QByteArray contents(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void writeFile(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // Every entry of the folder, hidden ones included: no temporary file may stay.
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    std::string body;
    std::atomic<int> loopRequests{0};
    std::promise<void> endOfTest;
    std::shared_future<void> testEnded = endOfTest.get_future().share();
    LoopbackServer server;  // last: stops first, while the members its handlers use still live
};

TEST_F(DownloadToFileTest, WritesTheWholeBodyExactly)
{
    // Empty, tiny, and larger than every buffer on the way.
    for (const qsizetype size : {qsizetype{0}, qsizetype{1}, qsizetype{3 * 1024 * 1024 + 7}}) {
        body = randomBody(size);
        const QString path = target("datei.bin");
        const TransferResult result = transferToFile(server.url(QStringLiteral("/file")), path);
        ASSERT_TRUE(result.ok) << qPrintable(result.error);
        EXPECT_EQ(contents(path), QByteArray::fromStdString(body)) << size;
    }
    EXPECT_EQ(entries(), QStringList{QStringLiteral("datei.bin")});
}

TEST_F(DownloadToFileTest, ReplacesAnExistingFileAndTakesNonAsciiNames)
{
    body = "neuer Inhalt";
    const QString path = target("Übersicht für Jörg ß.txt");
    writeFile(path, "alter, längerer Inhalt");
    EXPECT_TRUE(transferToFile(server.url(QStringLiteral("/file")), path).ok);
    EXPECT_EQ(contents(path), QByteArray("neuer Inhalt"));
    EXPECT_EQ(entries(), QStringList{QString::fromUtf8("Übersicht für Jörg ß.txt")});
}

TEST_F(DownloadToFileTest, FailuresLeaveTheOldFileAndNoTemporaryFile)
{
    const QString path = target("alt.zip");
    writeFile(path, "bisheriger Stand");
    const struct {
        const char* route;
        const char* why;
    } failing[] = {{"/status/404", "HTTP-Fehler 404"},
                   {"/status/500", "HTTP-Fehler 500"},
                   {"/status/304", "HTTP-Fehler 304"},
                   {"/cut", "Übertragung vor dem Ende abgebrochen"},
                   {"/loop", "Zu viele Weiterleitungen"},
                   {"/to-file-scheme", "Adresse mit nicht erlaubtem Protokoll"},
                   {"/huge-header", "Kopfzeilen der Antwort zu groß"},
                   {"/many-headers", "Kopfzeilen der Antwort zu groß"}};
    for (const auto& [route, why] : failing) {
        const TransferResult result = transferToFile(server.url(QString::fromUtf8(route)), path);
        EXPECT_FALSE(result.ok) << route;
        EXPECT_EQ(result.error, QString::fromUtf8(why)) << route;
        EXPECT_EQ(contents(path), QByteArray("bisheriger Stand")) << route;
        EXPECT_EQ(entries(), QStringList{QStringLiteral("alt.zip")}) << route;
    }
    // The first request and ten redirects, no more.
    EXPECT_EQ(loopRequests, 11);
}

TEST_F(DownloadToFileTest, FollowsARedirectAndEncodesBlanksAndUmlautsOfTheAddress)
{
    body = "umgezogen";
    EXPECT_TRUE(transferToFile(server.url(QStringLiteral("/moved")), target("ziel.txt")).ok);
    EXPECT_EQ(contents(target("ziel.txt")), QByteArray("umgezogen"));
    EXPECT_TRUE(transferToFile(server.url(QString::fromUtf8("/ordner mit ä/datei.txt")), target("kodiert.txt")).ok);
    EXPECT_EQ(contents(target("kodiert.txt")), QByteArray("kodiert"));
}

TEST_F(DownloadToFileTest, FailsWithoutAServerOrAFolder)
{
    QString refused;
    {
        // A port that was open a moment ago: answer once, then close.
        LoopbackServer closed;
        closed.serveText("/", "da", "text/plain");
        closed.start();
        ASSERT_TRUE(transferToFile(closed.url(), target("einmal.txt")).ok);
        ASSERT_TRUE(QFile::remove(target("einmal.txt")));
        refused = closed.url();
    }
    EXPECT_EQ(transferToFile(refused, target("nichts.txt")).error, QStringLiteral("Verbindung abgelehnt"));
    EXPECT_EQ(transferToFile(unresolvable(QStringLiteral("/datei")), target("nichts.txt")).error,
              QStringLiteral("Server nicht gefunden"));
    body = "da";
    EXPECT_FALSE(transferToFile(server.url(QStringLiteral("/file")), target("fehlt/nichts.txt")).ok);
    EXPECT_TRUE(entries().isEmpty());
}

// No byte of the body, or two a second: both end after the stall time.
TEST_F(DownloadToFileTest, AStalledOrTricklingTransferFailsAfterTheStallTime)
{
    for (const char* route : {"/stall", "/tropfen"}) {
        const QString path = target("haengt.bin");
        TransferLimits limits;
        limits.stallTimeout = std::chrono::seconds(1);
        QElapsedTimer clock;
        clock.start();
        const TransferResult result = transferToFile(server.url(QLatin1String(route)), path, limits);
        EXPECT_EQ(result.error, QStringLiteral("Zeitüberschreitung")) << route;
        EXPECT_GE(clock.elapsed(), 1000) << route;
        EXPECT_LT(clock.elapsed(), 10000) << route;  // the server would hold out for 20 s
        EXPECT_TRUE(entries().isEmpty()) << route;
    }
}

TEST_F(DownloadToFileTest, CertificatesAreTrustedOnlyFromTheAuthoritiesOfTheSystemAndSslCertFile)
{
    const TestCertificates certificates;
    for (const CertificateCase& c : certificates.cases()) {
        LoopbackServer https(c.files);
        https.serveText("/", "sicher", "text/plain");
        https.start();
        if (c.trusted) {  // by the system's store alone
            EXPECT_EQ(transferToFile(https.url(), target("sicher.txt")).error,
                      QStringLiteral("Server-Zertifikat nicht vertrauenswürdig"));
        }
        qputenv("SSL_CERT_FILE", QFile::encodeName(certificates.authority()));
        const TransferResult result = transferToFile(https.url(), target("sicher.txt"));
        qunsetenv("SSL_CERT_FILE");
        EXPECT_EQ(result.ok, c.trusted) << c.name << ": " << qPrintable(result.error);
        if (!c.trusted) {
            EXPECT_EQ(result.error, QStringLiteral("Server-Zertifikat nicht vertrauenswürdig")) << c.name;
        }
    }
    EXPECT_EQ(contents(target("sicher.txt")), QByteArray("sicher"));
}

TEST_F(DownloadToFileTest, TheProgramsProxyCarriesWhatItShouldAndNothingElse)
{
    LoopbackServer proxy;
    proxy.forwardTo(server);
    proxy.start();
    const auto use = [](std::initializer_list<std::pair<const char*, QString>> values) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : values)
            environment.insert(QString::fromLatin1(name), value);
        setProgramProxy(NetworkProxy::workedOut(environment));
    };
    const auto direct = qScopeGuard([] { setProgramProxy(NetworkProxy()); });
    const QString proxyAddress = QStringLiteral("127.0.0.1:%1").arg(proxy.port());
    body = "über den Proxy";

    // Upper case only: a host that only the proxy reaches.
    use({{"HTTP_PROXY", proxyAddress}});
    TransferResult result = transferToFile(unresolvable(QStringLiteral("/file")), target("a.txt"));
    ASSERT_TRUE(result.ok) << qPrintable(result.error);
    EXPECT_EQ(contents(target("a.txt")), QByteArray("über den Proxy"));
    EXPECT_EQ(proxy.requests(), QStringList{unresolvable(QStringLiteral("/file"))});

    // Loopback goes direct, and so does a host of no_proxy.
    use({{"http_proxy", QStringLiteral("http://") + proxyAddress}, {"no_proxy", QStringLiteral(".kavelo.test")}});
    EXPECT_TRUE(transferToFile(server.url(QStringLiteral("/file")), target("b.txt")).ok);
    result = transferToFile(unresolvable(QStringLiteral("/file")), target("c.txt"));
    EXPECT_EQ(result.error, QStringLiteral("Server nicht gefunden"));
    EXPECT_EQ(proxy.requests().size(), 1);

    // A proxy that is not there says so.
    proxy.stop();
    use({{"http_proxy", proxyAddress}});
    result = transferToFile(unresolvable(QStringLiteral("/file")), target("d.txt"));
    EXPECT_EQ(result.error, QStringLiteral("Verbindung zum Proxy-Server abgelehnt"));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

// Every entry but the target: the temporary file of a transfer.
QStringList partFiles(const QStringList& entries)
{
    return entries.filter(QStringLiteral(".part"));
}

TEST_F(DownloadToFileTest, ABrokenTransferResumesWhereItEndedWithTheValidatorOfTheFirstAnswer)
{
    constexpr std::size_t kSize = 3 * 1024 * 1024;
    constexpr std::size_t kCut = 1024 * 1024;
    const std::string bytes = randomBody(kSize);
    // A strong ETag wins; a weak one cannot guard a range, a Last-Modified a
    // minute or more before the answer's Date then does.
    const struct {
        const char* etag;
        const char* lastModified;
        const char* date;
        const char* ifRange;
    } validators[] = {
        {"\"v1\"", "Mon, 01 Jan 2024 10:00:00 GMT", "", "\"v1\""},
        {"", "Mon, 01 Jan 2024 10:00:00 GMT", "Mon, 01 Jan 2024 10:01:00 GMT", "Mon, 01 Jan 2024 10:00:00 GMT"},
        {"W/\"v1\"", "Tue, 02 Jan 2024 10:00:00 GMT", "Sun, 07 Jan 2024 10:00:00 GMT",
         "Tue, 02 Jan 2024 10:00:00 GMT"}};
    for (const auto& validator : validators) {
        server.serveBody("/teile", {.bytes = bytes,
                                    .etag = validator.etag,
                                    .lastModified = validator.lastModified,
                                    .date = validator.date,
                                    .cutAfter = kCut});
        const QString route = QStringLiteral("/teile");
        const QString path = target("teile.bin");
        writeFile(path, "bisher");
        const std::size_t sentBefore = server.bodyBytesSent();
        const qsizetype rangesBefore = server.rangeRequests().size();
        FileTransfer transfer(server.url(route), walked(path));
        for (std::size_t received = kCut; received < kSize; received += kCut) {
            EXPECT_FALSE(transfer.attempt().ok) << route.toStdString();
            EXPECT_EQ(transfer.progress().received, static_cast<qint64>(received));
            EXPECT_EQ(transfer.progress().total, static_cast<qint64>(kSize));
            EXPECT_EQ(contents(path), QByteArray("bisher"));  // untouched until the end
            EXPECT_EQ(partFiles(entries()).size(), 1);
        }
        const TransferResult result = transfer.attempt();
        ASSERT_TRUE(result.ok) << qPrintable(result.error);
        EXPECT_EQ(contents(path), QByteArray::fromStdString(bytes));
        EXPECT_EQ(entries(), QStringList{QStringLiteral("teile.bin")});
        EXPECT_EQ(server.bodyBytesSent() - sentBefore, kSize);  // no byte twice
        const QString ifRange = QString::fromUtf8(validator.ifRange);
        EXPECT_EQ(server.rangeRequests().mid(rangesBefore),
                  (QStringList{QString(), QStringLiteral("bytes=1048576-|") + ifRange,
                               QStringLiteral("bytes=2097152-|") + ifRange}));
    }
}

TEST_F(DownloadToFileTest, AnyAnswerButAFittingPartStartsTheFileAfresh)
{
    constexpr std::size_t kCut = 100 * 1024;
    const std::string first = randomBody(300 * 1024);
    std::string second = first;
    second.replace(0, 5, "neu!!");
    const ServedBody whole{.bytes = first, .etag = "\"v1\""};
    const ServedBody v1{.etag = "\"v1\""};
    const ServedBody unsettled{.lastModified = "Mon, 01 Jan 2024 10:00:00 GMT",
                               .date = "Mon, 01 Jan 2024 10:00:30 GMT"};
    const QString path = target("anders.bin");

    // Each case breaks off after kCut bytes of the first body, served with
    // the validators of before, then the server answers in its way; the next
    // attempts must deliver exactly what it serves, never a splice of both.
    const struct {
        const char* name;
        ServedBody before;
        ServedBody then;
        std::string expected;
        int attemptsAfter;
        const char* lastRange;
    } cases[] = {
        {"a changed file", v1, {.bytes = second, .etag = "\"v2\""}, second, 1, "bytes=102400-|\"v1\""},
        {"a server without ranges",
         v1,
         {.bytes = first, .etag = "\"v1\"", .ranges = false},
         first,
         1,
         "bytes=102400-|\"v1\""},
        {"a server that ignores If-Range",
         v1,
         {.bytes = second, .etag = "\"v2\"", .honoursIfRange = false},
         second,
         1,
         ""},
        {"a 206 without its validator",
         v1,
         {.bytes = second, .etag = "\"v1\"", .partialValidators = false, .honoursIfRange = false},
         second,
         1,
         ""},
        {"a range that starts elsewhere", v1, {.bytes = first, .etag = "\"v1\"", .rangeFromStart = true}, first, 1, ""},
        {"an error answer", v1, {.bytes = first, .etag = "\"v1\"", .status = 503}, first, 2, ""},
        {"no validator", {}, {.bytes = first}, first, 1, ""},
        {"a weak ETag",
         {.etag = "W/\"v1\""},
         {.bytes = second, .etag = "W/\"v1\"", .honoursIfRange = false},
         second,
         1,
         ""},
        {"a Last-Modified close to its Date",
         unsettled,
         {.bytes = second, .lastModified = unsettled.lastModified, .date = unsettled.date, .honoursIfRange = false},
         second,
         1,
         ""},
    };
    for (const auto& c : cases) {
        ServedBody broken = c.before;
        broken.bytes = first;
        broken.cutAfter = kCut;
        server.serveBody("/anders", broken);
        FileTransfer transfer(server.url(QStringLiteral("/anders")), walked(path));
        ASSERT_FALSE(transfer.attempt().ok) << c.name;
        server.serveBody("/anders", c.then);
        TransferResult result;
        for (int i = 0; i < c.attemptsAfter; ++i) {
            result = transfer.attempt();
            server.serveBody("/anders", c.then.status == 200 ? c.then : whole);
        }
        ASSERT_TRUE(result.ok) << c.name << ": " << qPrintable(result.error);
        EXPECT_EQ(contents(path), QByteArray::fromStdString(c.expected)) << c.name;
        EXPECT_EQ(entries(), QStringList{QStringLiteral("anders.bin")}) << c.name;
        EXPECT_EQ(server.rangeRequests().last(), QString::fromUtf8(c.lastRange)) << c.name;
    }
}

TEST_F(DownloadToFileTest, CancellingEndsTheAttemptAtOnceAndRemovesItsFile)
{
    server.serveBody("/teil", {.bytes = randomBody(200 * 1024), .etag = "\"v1\"", .cutAfter = 100 * 1024});
    const QString path = target("alt.bin");
    writeFile(path, "bisheriger Stand");
    CancelFlag cancel;

    // A stalled server: the flag ends the wait for its data within moments.
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel.set();
    });
    QElapsedTimer clock;
    clock.start();
    const TransferResult stalled = transferToFile(server.url(QStringLiteral("/stall")), path, {}, cancel);
    canceller.join();
    EXPECT_FALSE(stalled.ok);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("alt.bin")});

    // A transfer holding part of a body drops it, and tries no more.
    cancel.clear();
    FileTransfer transfer(server.url(QStringLiteral("/teil")), walked(path), {}, cancel);
    EXPECT_FALSE(transfer.attempt().ok);
    EXPECT_EQ(partFiles(entries()).size(), 1);
    cancel.set();
    const int requests = server.count(QStringLiteral("/teil"));
    EXPECT_EQ(transfer.attempt().error, QStringLiteral("Download abgebrochen"));
    EXPECT_EQ(server.count(QStringLiteral("/teil")), requests);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("alt.bin")});
    EXPECT_EQ(contents(path), QByteArray("bisheriger Stand"));
    EXPECT_EQ(transfer.progress().received, 0);
}

TEST_F(DownloadToFileTest, AWriteErrorFailsAndLeavesTheOldFile)
{
    body = randomBody(3 * 1024 * 1024);
    const QString path = target("voll.bin");
    writeFile(path, "bisher");

    // Files may grow to 1 MiB only: the disk is "full" in the middle of the body.
    TransferResult result;
    {
        const FileSizeLimit full(1024 * 1024);
        ASSERT_TRUE(full.isActive());
        result = transferToFile(server.url(QStringLiteral("/file")), path);
    }

    EXPECT_EQ(result.error, QStringLiteral("Datei zu groß für den Datenträger"));
    EXPECT_EQ(contents(path), QByteArray("bisher"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("voll.bin")});
}

// libcurl comes at the first transfer, once per process; a library that is
// missing or lacks a function is named in the reason.
TEST(CurlLibraryTest, LoadsOnceAndSaysWhatIsMissing)
{
    const CurlLibrary& curl = loadCurl();
    ASSERT_TRUE(curl.loaded()) << curl.error.toStdString();
    EXPECT_EQ(&loadCurl(), &curl);
    EXPECT_EQ(libcurl().easy_init, curl.functions.easy_init);
    EXPECT_NE(curl.functions.slist_free_all, nullptr);

    const CurlLibrary absent = loadCurlFrom(QStringLiteral("libkavelo-ohne-curl.so.4"));
    EXPECT_FALSE(absent.loaded());
    EXPECT_EQ(absent.functions.easy_init, nullptr);
    EXPECT_TRUE(absent.error.startsWith(QStringLiteral("Die Download-Bibliothek libcurl fehlt")))
        << absent.error.toStdString();
    EXPECT_TRUE(absent.error.contains(QStringLiteral("libkavelo-ohne-curl.so.4"))) << absent.error.toStdString();

    const CurlLibrary other = loadCurlFrom(QStringLiteral("libz.so.1"));  // zlib: no curl_global_init
    EXPECT_FALSE(other.loaded());
    EXPECT_EQ(other.functions.global_init, nullptr);
    EXPECT_TRUE(other.error.contains(QStringLiteral("ihr fehlt die Funktion curl_global_init")))
        << other.error.toStdString();
}

}  // namespace
