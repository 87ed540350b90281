// Downloads started from a page, against a loopback site: the question
// before each, where the file lands, that nothing is overwritten, what the
// progress window does with a completed, a cancelled and a broken-off
// download, and the downloads a page does not get.

#include "platform/host/HostRegistry.h"
#include "platform/web/BrowserView.h"
#include "platform/web/DownloadProgress.h"
#include "platform/web/KaveloPage.h"
#include "platform/web/PageDownloads.h"
#include "support/GuiTestMain.h"
#include "support/HostValue.h"
#include "support/LoopbackServer.h"
#include "support/TestView.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr int kTimeout = 20000;

using DownloadState = QWebEngineDownloadRequest::DownloadState;

const char* const kPage = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"></head>
<body style="margin:0">
<a id="bericht" href="/bericht" style="display:block;height:40px">Bericht</a>
<a id="gross" href="/gross" style="display:block;height:40px">Große Datei</a>
<a id="kaputt" href="/kaputt" style="display:block;height:40px">Abgerissen</a>
<a id="versteckt" href="/versteckt" style="display:block;height:40px">Versteckt</a>
<a id="lang" href="/lang" style="display:block;height:40px">Lang</a>
<a id="riesig" href="/riesig" style="display:block;height:40px">Riesig</a>
</body></html>)html";

// 300 KB whose bytes tell their position.
std::string reportBytes()
{
    std::string bytes(300 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

void attachment(httplib::Response& response, const char* fileName)
{
    response.set_header("Content-Disposition", std::string("attachment; filename=\"") + fileName + "\"");
}

// A 5 MB file that comes slowly (16 KB every 50 ms) and stops when the client goes.
void serveSlowly(httplib::Response& response, size_t cutAfter)
{
    constexpr size_t kTotal = 5 * 1024 * 1024;
    response.set_content_provider(kTotal, "application/octet-stream",
                                  [cutAfter](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset >= cutAfter)
                                          return false;  // the connection breaks off
                                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                      const std::string chunk(16 * 1024, 'x');
                                      return sink.write(chunk.data(), chunk.size());
                                  });
}

}  // namespace

class PageDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void attachmentLandsInTheHostFolderBesideAnExistingFile();
    void withoutAHostFolderTheUserDownloadFolderTakesIt();
    void cancelStopsTheDownloadAndLeavesNoFile();
    void aBrokenOffDownloadSaysSoAndLeavesNoFile();
    void noDownloadStartsWhileAButtonDownloadRuns();
    void oddNamesAreMadeFitToSave();
    void noDownloadWithoutTheRightToSurfOrWithNoOrWithoutRoom();
    void sizesInKilobytesThenMegabytes();

private:
    // Clicks the link with the question before the download answered Yes.
    void clickAndAgree(const char* elementId)
    {
        view->boxes.answerNext(true);
        view->click(QLatin1String(elementId));
    }
    // The host's download folder that each test starts with.
    QDir target() const { return QDir(folder->filePath(QStringLiteral("Ziel"))); }
    QList<DownloadProgress*> windows() const { return view->findChildren<DownloadProgress*>(); }
    static QString text(const QWidget* window, const char* name);
    static QList<DownloadState> cancelled(qsizetype n)
    {
        return QList<DownloadState>(n, QWebEngineDownloadRequest::DownloadCancelled);
    }

    LoopbackServer server;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TestView> view;
    // Every download the engine asked for, in the state the program's handler
    // left it in, and from then on as the engine reports it.
    QList<DownloadState> downloads;
};

void PageDownloadTest::initTestCase()
{
    auto& http = server.http();
    http.set_keep_alive_max_count(1);
    server.serveText("/", kPage);
    http.Get("/bericht", [](const httplib::Request&, httplib::Response& response) {
        attachment(response, "bericht.pdf");
        response.set_content(reportBytes(), "application/pdf");
    });
    http.Get("/gross", [](const httplib::Request&, httplib::Response& response) {
        attachment(response, "gross.bin");
        serveSlowly(response, std::numeric_limits<size_t>::max());
    });
    http.Get("/versteckt", [](const httplib::Request&, httplib::Response& response) {
        attachment(response, ".bashrc");
        response.set_content("echo", "application/octet-stream");
    });
    http.Get("/lang", [](const httplib::Request&, httplib::Response& response) {
        std::string name;
        for (int i = 0; i < 200; ++i)
            name += "%C3%A4";  // ä
        response.set_header("Content-Disposition", "attachment; filename*=UTF-8''" + name + ".pdf");
        response.set_content(reportBytes(), "application/pdf");
    });
    http.Get("/kaputt", [](const httplib::Request&, httplib::Response& response) {
        attachment(response, "kaputt.bin");
        serveSlowly(response, 64 * 1024);
    });
    // Claims more than any disk of this machine holds.
    http.Get("/riesig", [](const httplib::Request&, httplib::Response& response) {
        attachment(response, "riesig.bin");
        response.set_content_provider(Q_INT64_C(1) << 50, "application/octet-stream",
                                      [](size_t, size_t, httplib::DataSink& sink) {
                                          std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                          return sink.write("x", 1);
                                      });
    });
    server.start();
}

void PageDownloadTest::init()
{
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    // The host's download folder, one level that does not exist yet.
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, folder->filePath(QStringLiteral("Ziel")));
    view = std::make_unique<TestView>(server);
    downloads.clear();
    connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, view.get(),
            [this](QWebEngineDownloadRequest* download) {
                const qsizetype index = downloads.size();
                downloads.append(download->state());
                connect(download, &QWebEngineDownloadRequest::stateChanged, view.get(),
                        [this, index](DownloadState state) { downloads[index] = state; });
            });
    view->kaveloPage()->setSurfingAllowed(true);
    view->open();
}

void PageDownloadTest::cleanup()
{
    for (DownloadProgress* window : windows())
        window->close();
    view.reset();
    folder.reset();
}

QString PageDownloadTest::text(const QWidget* window, const char* name)
{
    const auto* label = window->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QString();
}

void PageDownloadTest::attachmentLandsInTheHostFolderBesideAnExistingFile()
{
    const QSignalSpy reached(view.get(), &BrowserView::NavigateComplete2);
    const QByteArray expected = QByteArray::fromStdString(reportBytes());

    clickAndAgree("bericht");
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    QCOMPARE(view->boxes.messages.size(), 1);
    QCOMPARE(view->boxes.messages[0].kind, MessageKind::Confirmation);
    QCOMPARE(view->boxes.messages[0].text,
             QStringLiteral("Die Seite möchte eine Datei herunterladen:\n\nbericht.pdf\n"
                            "300 KB\n\nSoll die Datei im Download-Ordner gespeichert werden?"));
    DownloadProgress* window = windows().first();
    QCOMPARE(window->windowTitle(), QStringLiteral("Download"));
    QTRY_COMPARE_WITH_TIMEOUT(text(window, "State"), QStringLiteral("Download abgeschlossen"), kTimeout);
    QCOMPARE(text(window, "Size"), QStringLiteral("300 KB von 300 KB"));
    QFile file(target().filePath(QStringLiteral("bericht.pdf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    // The window goes by itself, and the page stays where it was.
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), DownloadProgress::kCompletedShownMs + kTimeout);
    QCOMPARE(view->LocationURL(), server.url());
    QVERIFY(reached.isEmpty());

    // The folder as the host store holds it at the moment of the next download.
    QVERIFY(QDir().mkpath(folder->filePath(QStringLiteral("Neu"))));
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, folder->filePath(QStringLiteral("Neu")));
    QFile old(folder->filePath(QStringLiteral("Neu/bericht.pdf")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("alt");
    old.close();
    clickAndAgree("bericht");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder->filePath(QStringLiteral("Neu/bericht (1).pdf"))), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), DownloadProgress::kCompletedShownMs + kTimeout);
    QFile second(folder->filePath(QStringLiteral("Neu/bericht (1).pdf")));
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), expected);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("alt"));
    QCOMPARE(QDir(folder->filePath(QStringLiteral("Neu"))).entryList(QDir::Files).size(), 2);
}

void PageDownloadTest::withoutAHostFolderTheUserDownloadFolderTakesIt()
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(folder->path()));
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, QString());
    clickAndAgree("bericht");
    QTRY_VERIFY_WITH_TIMEOUT(
        windows().size() == 1 && text(windows().first(), "State") == QStringLiteral("Download abgeschlossen"),
        kTimeout);
    qputenv("HOME", home);
    QCOMPARE(QFileInfo(folder->filePath(QStringLiteral("Downloads/bericht.pdf"))).size(), 300 * 1024);
}

void PageDownloadTest::cancelStopsTheDownloadAndLeavesNoFile()
{
    clickAndAgree("gross");
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    DownloadProgress* window = windows().first();
    QTRY_VERIFY_WITH_TIMEOUT(
        text(window, "Size").endsWith(QStringLiteral(" von ") + downloadSizeText(5 << 20, QLocale())), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!text(window, "Size").startsWith(QStringLiteral("0 KB")), kTimeout);
    // One page download at a time: a second one meanwhile is refused without a question.
    clickAndAgree("bericht");
    QTRY_COMPARE_WITH_TIMEOUT(downloads.size(), 2, kTimeout);
    QCOMPARE(downloads[1], QWebEngineDownloadRequest::DownloadCancelled);
    QCOMPARE(windows().size(), 1);
    QCOMPARE(view->boxes.messages.size(), 1);

    auto* cancel = window->findChild<QPushButton*>();
    QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files).isEmpty(), kTimeout);

    // Closing the window by its frame cancels as well.
    clickAndAgree("gross");
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    windows().first()->close();
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), kTimeout);
    // Both transfers end (the whole file would take 16 s) as cancelled, which
    // the engine never starts again (a broken-off one it would).
    QTRY_COMPARE_WITH_TIMEOUT(server.count(QStringLiteral("/gross")), 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(3), kTimeout);
    view->boxes.answers.clear();
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files).isEmpty(), kTimeout);
}

// The engine starts a broken-off download again a few times before it gives
// up; all of it stays with one window and one file name.
void PageDownloadTest::aBrokenOffDownloadSaysSoAndLeavesNoFile()
{
    clickAndAgree("kaputt");
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    DownloadProgress* window = windows().first();
    QTRY_VERIFY_WITH_TIMEOUT(text(window, "State").startsWith(QStringLiteral("Download abgebrochen: ")), kTimeout);
    QVERIFY(server.count(QStringLiteral("/kaputt")) > 1);
    QCOMPARE(windows().size(), 1);
    QCOMPARE(text(window, "State"), QStringLiteral("Download abgebrochen: Fehler des Servers"));
    QCOMPARE(text(window, "FileName"), QStringLiteral("Datei: kaputt.bin"));
    auto* button = window->findChild<QPushButton*>();
    QCOMPARE(button->text(), QStringLiteral("Schließen"));
    QVERIFY(!QFileInfo::exists(target().filePath(QStringLiteral("kaputt.bin"))));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files).isEmpty(), kTimeout);
}

void PageDownloadTest::noDownloadWithoutTheRightToSurfOrWithNoOrWithoutRoom()
{
    view->kaveloPage()->setSurfingAllowed(false);
    clickAndAgree("bericht");
    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(1), kTimeout);
    QVERIFY(view->boxes.messages.isEmpty());
    view->boxes.answers.clear();

    view->kaveloPage()->setSurfingAllowed(true);
    view->click(QStringLiteral("bericht"));  // answered No
    QTRY_COMPARE_WITH_TIMEOUT(view->boxes.messages.size(), 1, kTimeout);
    QCOMPARE(view->boxes.messages[0].kind, MessageKind::Confirmation);

    clickAndAgree("riesig");
    QTRY_COMPARE_WITH_TIMEOUT(view->boxes.messages.size(), 2, kTimeout);
    QCOMPARE(view->boxes.messages[1].kind, MessageKind::Error);
    QVERIFY2(view->boxes.messages[1].text.startsWith(QStringLiteral("Für den Download von \"riesig.bin\" (")),
             qPrintable(view->boxes.messages[1].text));
    QVERIFY(
        view->boxes.messages[1].text.contains(QStringLiteral("ist nicht genug Speicherplatz frei.\n"
                                                             "Auf dem Laufwerk müssen mindestens ")));

    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(3), kTimeout);
    QVERIFY(windows().isEmpty());
    QCOMPARE(view->boxes.messages.size(), 2);
    QVERIFY(target().entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void PageDownloadTest::noDownloadStartsWhileAButtonDownloadRuns()
{
    setButtonDownloadRunning(true);
    // The page itself follows the link: a click would be dropped while the window waits.
    view->page()->runJavaScript(QStringLiteral("document.getElementById('bericht').click()"));
    const bool requestSeen = QTest::qWaitFor([this] { return !downloads.isEmpty(); }, kTimeout);
    setButtonDownloadRunning(false);
    QVERIFY(requestSeen);
    QCOMPARE(downloads, cancelled(1));
    QVERIFY(windows().isEmpty());
    QVERIFY(target().entryList(QDir::Files).isEmpty());
}

// A hidden name and one of 400 bytes: saved visible, and shortened to fit.
void PageDownloadTest::oddNamesAreMadeFitToSave()
{
    clickAndAgree("versteckt");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target().filePath(QStringLiteral("bashrc"))), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), DownloadProgress::kCompletedShownMs + kTimeout);

    clickAndAgree("lang");
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(text(windows().first(), "State"), QStringLiteral("Download abgeschlossen"), kTimeout);
    QCOMPARE(QFileInfo(target().filePath(QString(120, QChar(0xE4)) + QStringLiteral(".pdf"))).size(), 300 * 1024);
    QCOMPARE(target().entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void PageDownloadTest::sizesInKilobytesThenMegabytes()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(downloadSizeText(0, german), QStringLiteral("0 KB"));
    QCOMPARE(downloadSizeText(1, german), QStringLiteral("1 KB"));
    QCOMPARE(downloadSizeText(1023 * 1024, german), QStringLiteral("1023 KB"));
    QCOMPARE(downloadSizeText(1024 * 1024, german), QStringLiteral("1,0 MB"));
    QCOMPARE(downloadSizeText(1536 * 1024, german), QStringLiteral("1,5 MB"));
    QCOMPARE(downloadSizeText(Q_INT64_C(3000) * 1024 * 1024, german), QStringLiteral("3.000,0 MB"));
}

KAVELO_GUI_TEST_MAIN(PageDownloadTest)

#include "PageDownloadTest.moc"
