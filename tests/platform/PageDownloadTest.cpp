// Downloads started from a page, against a loopback site: the question
// before each, one at a time and a few per page load, what ends it unanswered,
// where the file lands, that nothing is overwritten, what the progress window
// does with a completed, a cancelled and a broken-off download, and the
// downloads a page does not get.

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
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <chrono>
#include <functional>
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
    void aPageThatKeepsStartingDownloadsGetsOneQuestionAtATimeAndThreePerLoad();
    void aQuestionOrADownloadEndsWithoutTheVisitor_data();
    void aQuestionOrADownloadEndsWithoutTheVisitor();
    void withoutAHostFolderTheUserDownloadFolderTakesIt();
    void aNamePlantedMeanwhileIsNeitherFollowedNorReplaced();
    void cancelStopsTheDownloadAndLeavesNoFile();
    void aBrokenOffDownloadSaysSoAndLeavesNoFile();
    void noDownloadStartsWhileAButtonDownloadRuns();
    void noDownloadIntoTheProgramsOrAutostartFolders_data();
    void noDownloadIntoTheProgramsOrAutostartFolders();
    void oddNamesAreMadeFitToSave();
    void noDownloadWithoutTheRightToSurfOrWithNoOrWithoutRoom();
    void sizesInKilobytesThenMegabytes();

private:
    // The question box on screen, none without one; question() waits for it.
    QMessageBox* shownQuestion() const
    {
        const auto boxes = view->findChildren<QMessageBox*>(QStringLiteral("DownloadQuestion"));
        const auto shown =
            std::find_if(boxes.cbegin(), boxes.cend(), [](QMessageBox* box) { return box->isVisible(); });
        return shown == boxes.cend() ? nullptr : *shown;
    }
    QMessageBox* question() const
    {
        return QTest::qWaitFor([this] { return shownQuestion() != nullptr; }, kTimeout) ? shownQuestion() : nullptr;
    }
    static void answer(QMessageBox* box, bool yes)
    {
        const QString text = yes ? QStringLiteral("&Ja") : QStringLiteral("&Nein");
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text)
                button->click();
    }
    // Clicks the link and answers the question before the download.
    [[nodiscard]] bool clickAndAnswer(const char* elementId, bool yes = true)
    {
        view->click(QLatin1String(elementId));
        QMessageBox* box = question();
        if (box)
            answer(box, yes);
        return box;
    }
    bool noQuestionShown() const { return !shownQuestion(); }
    // The host's download folder that each test starts with.
    QDir target() const { return QDir(folder->filePath(QStringLiteral("Ziel"))); }
    QList<DownloadProgress*> windows() const
    {
        return view ? view->findChildren<DownloadProgress*>() : QList<DownloadProgress*>();
    }
    static QString text(const QWidget* window, const char* name);
    static QList<DownloadState> cancelled(qsizetype n)
    {
        return QList<DownloadState>(n, QWebEngineDownloadRequest::DownloadCancelled);
    }

    LoopbackServer server;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TestView> view;
    // Every download the engine asked for, in the state the program's handler
    // left it in, and from then on as the engine reports it, also after the view has gone.
    QList<DownloadState> downloads;
    std::unique_ptr<QObject> recorder;
};

void PageDownloadTest::initTestCase()
{
    // What a killed run left: its engine folder with a download in it, unlocked.
    const QString left = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                         + QStringLiteral("/kavelo-downloads-alt/7");
    QVERIFY(QDir().mkpath(left));
    for (const QString& name : {QStringLiteral("/../.lock"), QStringLiteral("/bericht.pdf")})
        QVERIFY(QFile(left + name).open(QIODevice::WriteOnly));

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
    recorder = std::make_unique<QObject>();
    connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, recorder.get(),
            [this](QWebEngineDownloadRequest* download) {
                const qsizetype index = downloads.size();
                downloads.append(download->state());
                connect(download, &QWebEngineDownloadRequest::stateChanged, recorder.get(),
                        [this, index](DownloadState state) { downloads[index] = state; });
            });
    view->kaveloPage()->setSurfingAllowed(true);
    view->open();
}

void PageDownloadTest::cleanup()
{
    endPageDownloads();
    view.reset();
    recorder.reset();
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

    view->click(QStringLiteral("bericht"));
    QMessageBox* box = question();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Bestätigung"));
    QCOMPARE(box->text(), QStringLiteral("Die Seite möchte eine Datei herunterladen:\n\n„bericht.pdf“\n"
                                         "300 KB\n\nSoll die Datei im Download-Ordner gespeichert werden?"));
    answer(box, true);
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    QVERIFY(view->boxes.messages.isEmpty());
    DownloadProgress* window = windows().first();
    QCOMPARE(window->windowTitle(), QStringLiteral("Download"));
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("FileName"))->textFormat(),
             Qt::PlainText);  // a name is no markup
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
    QVERIFY(clickAndAnswer("bericht"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder->filePath(QStringLiteral("Neu/bericht (1).pdf"))), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), DownloadProgress::kCompletedShownMs + kTimeout);
    QFile second(folder->filePath(QStringLiteral("Neu/bericht (1).pdf")));
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), expected);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("alt"));
    QCOMPARE(QDir(folder->filePath(QStringLiteral("Neu"))).entryList(QDir::Files).size(), 2);
}

// Every 100 ms the page follows its link to a file: one question at a time,
// the requests meanwhile refused, three questions until a new page load, each
// way of answering leaving the folder as it says.
void PageDownloadTest::aPageThatKeepsStartingDownloadsGetsOneQuestionAtATimeAndThreePerLoad()
{
    const QString spam = QStringLiteral(
        "setInterval(() => Object.assign(document.createElement('a'), "
        "{href: '/bericht', download: ''}).click(), 100)");
    view->script(spam);
    const std::function<void(QMessageBox*)> answers[] = {
        [](QMessageBox* box) { answer(box, false); },
        [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); },
        [](QMessageBox* box) { answer(box, true); },
    };
    for (const auto& answerBox : answers) {
        QMessageBox* box = question();
        QVERIFY(box);
        const qsizetype asked = downloads.size();
        QTRY_VERIFY_WITH_TIMEOUT(downloads.size() >= asked + 3, kTimeout);
        QCOMPARE(downloads.mid(asked), cancelled(downloads.size() - asked));
        answerBox(box);
        QTRY_VERIFY_WITH_TIMEOUT(noQuestionShown(), kTimeout);
    }
    QTRY_COMPARE_WITH_TIMEOUT(target().entryList(QDir::Files), QStringList{QStringLiteral("bericht.pdf")}, kTimeout);
    const qsizetype asked = downloads.size();
    QTRY_VERIFY_WITH_TIMEOUT(downloads.size() >= asked + 5, kTimeout);
    QCOMPARE(downloads.mid(asked), cancelled(downloads.size() - asked));
    QVERIFY(noQuestionShown());
}

void PageDownloadTest::aQuestionOrADownloadEndsWithoutTheVisitor_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<std::function<void(PageDownloadTest*)>>("end");
    const std::function<void(PageDownloadTest*)> programEnd = [](PageDownloadTest*) { endPageDownloads(); };
    QTest::newRow("neue Seite") << false << std::function([](PageDownloadTest* test) { test->view->open(); });
    QTest::newRow("Seite geht") << false << std::function([](PageDownloadTest* test) { test->view.reset(); });
    QTest::newRow("Frage, Ende") << false << programEnd;
    QTest::newRow("Download, Ende") << true << programEnd;
}

void PageDownloadTest::aQuestionOrADownloadEndsWithoutTheVisitor()
{
    QFETCH(bool, running);
    QFETCH(std::function<void(PageDownloadTest*)>, end);
    view->click(QStringLiteral("gross"));
    QMessageBox* box = question();
    QVERIFY(box);
    if (running) {
        answer(box, true);
        QTRY_VERIFY_WITH_TIMEOUT(
            windows().size() == 1 && !text(windows().first(), "Size").startsWith(QStringLiteral("0 KB")), kTimeout);
    }
    end(this);
    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(1), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty() && (!view || noQuestionShown()), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files | QDir::Hidden).isEmpty(), kTimeout);
}

void PageDownloadTest::withoutAHostFolderTheUserDownloadFolderTakesIt()
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(folder->path()));
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, QString());
    QVERIFY(clickAndAnswer("bericht"));
    QTRY_VERIFY_WITH_TIMEOUT(
        windows().size() == 1 && text(windows().first(), "State") == QStringLiteral("Download abgeschlossen"),
        kTimeout);
    qputenv("HOME", home);
    QCOMPARE(QFileInfo(folder->filePath(QStringLiteral("Downloads/bericht.pdf"))).size(), 300 * 1024);
}

// The engine writes into a folder of the run's own; the complete file goes to
// its name only if nothing has taken that name meanwhile, not even a link to
// another file. Nothing of the download is left behind, nor of a killed run's.
void PageDownloadTest::aNamePlantedMeanwhileIsNeitherFollowedNorReplaced()
{
    view->click(QStringLiteral("bericht"));
    QMessageBox* box = question();
    QVERIFY(box);
    QFile secret(folder->filePath(QStringLiteral("geheim")));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("geheim") == 6 && secret.flush());
    QVERIFY(QFile::link(secret.fileName(), target().filePath(QStringLiteral("bericht.pdf"))));
    answer(box, true);
    QTRY_COMPARE_WITH_TIMEOUT(view->boxes.messages.size(), 1, kTimeout);
    QVERIFY(view->boxes.messages[0].text.contains(QStringLiteral("konnte nicht gespeichert werden")));
    QCOMPARE(text(windows().first(), "State"), QStringLiteral("Die Datei wurde nicht gespeichert."));
    QCOMPARE(QFileInfo(secret).size(), 6);
    QStringList left;
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    for (QDirIterator dirs(caches, {QStringLiteral("kavelo-downloads-*")}, QDir::Dirs); dirs.hasNext();)
        for (QDirIterator files(dirs.next(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             files.hasNext();)
            left << QFileInfo(files.next()).fileName();
    QCOMPARE(left, QStringList{QStringLiteral(".lock")});
}

void PageDownloadTest::cancelStopsTheDownloadAndLeavesNoFile()
{
    const int requests = server.count(QStringLiteral("/gross"));
    QVERIFY(clickAndAnswer("gross"));
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    DownloadProgress* window = windows().first();
    QTRY_VERIFY_WITH_TIMEOUT(
        text(window, "Size").endsWith(QStringLiteral(" von ") + downloadSizeText(5 << 20, QLocale())), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!text(window, "Size").startsWith(QStringLiteral("0 KB")), kTimeout);
    // One page download at a time: a second one meanwhile is refused without a question.
    view->click(QStringLiteral("bericht"));
    QTRY_COMPARE_WITH_TIMEOUT(downloads.size(), 2, kTimeout);
    QCOMPARE(downloads[1], QWebEngineDownloadRequest::DownloadCancelled);
    QCOMPARE(windows().size(), 1);
    QVERIFY(noQuestionShown());

    auto* cancel = window->findChild<QPushButton*>();
    QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files).isEmpty(), kTimeout);

    // Closing the window by its frame cancels as well.
    QVERIFY(clickAndAnswer("gross"));
    QTRY_COMPARE_WITH_TIMEOUT(windows().size(), 1, kTimeout);
    windows().first()->close();
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), kTimeout);
    // Both transfers end (the whole file would take 16 s) as cancelled, which
    // the engine never starts again (a broken-off one it would).
    QTRY_COMPARE_WITH_TIMEOUT(server.count(QStringLiteral("/gross")), requests + 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(3), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files).isEmpty(), kTimeout);
}

// The engine starts a broken-off download again a few times before it gives
// up; all of it stays with one window and one file name.
void PageDownloadTest::aBrokenOffDownloadSaysSoAndLeavesNoFile()
{
    QVERIFY(clickAndAnswer("kaputt"));
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
    view->click(QStringLiteral("bericht"));
    QTRY_COMPARE_WITH_TIMEOUT(downloads, cancelled(1), kTimeout);
    QVERIFY(noQuestionShown());

    // A file this small arrives while the question is open; "Nein" takes it away again.
    view->kaveloPage()->setSurfingAllowed(true);
    view->click(QStringLiteral("bericht"));
    QMessageBox* box = question();
    QVERIFY(box);
    QTRY_COMPARE_WITH_TIMEOUT(downloads[1], QWebEngineDownloadRequest::DownloadCompleted, kTimeout);
    answer(box, false);
    QVERIFY(target().entryList(QDir::Files | QDir::Hidden).isEmpty());

    view->click(QStringLiteral("riesig"));
    QTRY_COMPARE_WITH_TIMEOUT(view->boxes.messages.size(), 1, kTimeout);
    QCOMPARE(view->boxes.messages[0].kind, MessageKind::Error);
    QVERIFY2(view->boxes.messages[0].text.startsWith(QStringLiteral("Für den Download von „riesig.bin“ (")),
             qPrintable(view->boxes.messages[0].text));
    QVERIFY(
        view->boxes.messages[0].text.contains(QStringLiteral("ist nicht genug Speicherplatz frei.\n"
                                                             "Auf dem Laufwerk müssen mindestens ")));

    QTRY_COMPARE_WITH_TIMEOUT(downloads[2], QWebEngineDownloadRequest::DownloadCancelled, kTimeout);
    QVERIFY(windows().isEmpty() && noQuestionShown());
    QCOMPARE(view->boxes.messages.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(target().entryList(QDir::Files | QDir::Hidden).isEmpty(), kTimeout);
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

// The download buttons' guard: the executable's folder and the autostart folder.
void PageDownloadTest::noDownloadIntoTheProgramsOrAutostartFolders_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("Programmdatei") << QCoreApplication::applicationDirPath();
    QTest::newRow("Autostart") << qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart");
}

void PageDownloadTest::noDownloadIntoTheProgramsOrAutostartFolders()
{
    QFETCH(QString, place);
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, place);
    view->click(QStringLiteral("bericht"));
    QTRY_COMPARE_WITH_TIMEOUT(view->boxes.messages.size(), 1, kTimeout);
    QCOMPARE(view->boxes.messages[0].text,
             QStringLiteral("Das Download-Ziel\n%1/bericht.pdf\nliegt im Programm-Ordner oder in einem "
                            "Autostart-Ordner\nund wird nicht beschrieben!")
                 .arg(place));
    QCOMPARE(downloads, cancelled(1));
    QVERIFY(noQuestionShown());
    QVERIFY(!QFileInfo::exists(place + QStringLiteral("/bericht.pdf")));
}

// A hidden name and one of 400 bytes: saved visible, and shortened to fit.
void PageDownloadTest::oddNamesAreMadeFitToSave()
{
    QVERIFY(clickAndAnswer("versteckt"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target().filePath(QStringLiteral("bashrc"))), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(windows().isEmpty(), DownloadProgress::kCompletedShownMs + kTimeout);

    QVERIFY(clickAndAnswer("lang"));
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
