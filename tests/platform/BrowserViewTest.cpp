#include "platform/host/HostRegistry.h"
#include "platform/web/BrowserView.h"
#include "platform/web/KaveloPage.h"
#include "support/GuiTestMain.h"
#include "support/HostValue.h"
#include "support/LoopbackServer.h"
#include "support/PageScript.h"
#include "support/TestCertificates.h"
#include "support/TestView.h"
#include "widgets/Clipboard.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

constexpr int kLoadTimeout = TestView::kTimeoutMs;

const char* const kPageA = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"><title>A</title></head><body>
<a id="weiter" href="/b" style="display:block;height:40px">weiter</a>
<a id="sprung" href="#teil" style="display:block;height:40px">Sprung</a>
<a id="neu" href="/c" target="_blank" style="display:block;height:40px">neues Fenster</a>
<form><input id="pflicht" required></form>
<p id="gruss" onclick="getSelection().selectAllChildren(this)">Grüße aus Kavelo</p>
<iframe src="/rahmen"></iframe>
<p id="teil">Teil</p>
</body></html>)html";

std::string page(const char* title)
{
    return std::string(R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>)") + title + "</title></head><body>"
           + title + "</body></html>";
}

// What a view reports, recorded for comparison.
struct Reports {
    QStringList reached;
    QList<QPair<int, int>> progress;
    bool loadEnded() const { return !progress.isEmpty() && progress.last().first == -1; }
};

}  // namespace

class BrowserViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void reportsEveryMainFrameNavigationOnce();
    void backAndForwardStepThroughTheHistory();
    void progressEndsWithMinusOneAndStopBeforeAnswerReportsNothing();
    void aFailedLoadIsReportedOnceAndCoveredUntilANewDocumentComes();
    void homeAndSearchLoadWhatTheStoreHoldsAtTheCall();
    void addressesAreReportedEncoded();
    void newWindowRequestsStayInThisView();
    void historyButtonsAndKeysGoThroughTheWindowsButtons();
    void webContentSpeaksGerman();
    void copySelectionPutsTheSelectedTextOnTheClipboard();
    void pagesTrustWhatTheSystemTrustsAndNothingElse();
    void aFreshPageKeepsTheRulesOfTheOldOne();

private:
    QString url(const char* path) const { return view->address(path); }
    void navigateAndWait(const QString& address);
    void waitUntilReached(const QStringList& expected);
    // The view goes on to one address more, as the last step expects.
    void reachNext(QStringList& expected, const QString& address)
    {
        expected << address;
        waitUntilReached(expected);
    }

    LoopbackServer server;
    std::unique_ptr<TestView> view;
    Reports reports;
    QString acceptLanguage;
};

void BrowserViewTest::initTestCase()
{
    auto& http = server.http();
    // One request per connection: the engine's idle connections would hold up the server's end.
    http.set_keep_alive_max_count(1);
    server.serveText("/a", kPageA);
    server.serveText("/b", page("B"));
    server.serveText("/c", page("C"));
    server.serveText("/rahmen", page("Rahmen"));
    server.serveText("/Seite eins", page("Eins"));
    http.Get("/sprache", [this](const httplib::Request& request, httplib::Response& response) {
        acceptLanguage = QString::fromStdString(request.get_header_value("Accept-Language"));
        response.set_content(page("Sprache"), "text/html; charset=utf-8");
    });
    http.Get("/langsam", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        response.set_content(page("Langsam"), "text/html; charset=utf-8");
    });
    http.Get("/umleitung", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/b"); });
    server.start();
}

void BrowserViewTest::init()
{
    reports = {};
    view = std::make_unique<TestView>(server, QSize(800, 600));
    connect(view.get(), &BrowserView::NavigateComplete2, this,
            [this](const QString& address) { reports.reached.append(address); });
    connect(view.get(), &BrowserView::ProgressChange, this, [this](int progress, int progressMax) {
        reports.progress.append({progress, progressMax});
    });
}

void BrowserViewTest::cleanup()
{
    view.reset();
}

void BrowserViewTest::navigateAndWait(const QString& address)
{
    reports.progress.clear();
    view->Navigate(address);
    QTRY_VERIFY_WITH_TIMEOUT(reports.loadEnded(), kLoadTimeout);
}

// The reports are as expected and the page has finished loading, as a user
// would wait before the next step.
void BrowserViewTest::waitUntilReached(const QStringList& expected)
{
    QTRY_COMPARE_WITH_TIMEOUT(reports.reached, expected, kLoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!view->page()->isLoading(), kLoadTimeout);
}

void BrowserViewTest::reportsEveryMainFrameNavigationOnce()
{
    QStringList expected;

    navigateAndWait(url("/a"));
    expected << url("/a");  // the frame inside is not reported
    QCOMPARE(reports.reached, expected);

    view->click(QStringLiteral("sprung"));
    reachNext(expected, url("/a#teil"));

    view->click(QStringLiteral("weiter"));
    reachNext(expected, url("/b"));

    navigateAndWait(url("/b"));
    expected << url("/b");
    QCOMPARE(reports.reached, expected);

    navigateAndWait(url("/umleitung"));
    expected << url("/b");
    QCOMPARE(reports.reached, expected);

    // A reload stays on the page: its end, where a load reports its address, reports none.
    reports.progress.clear();
    view->Refresh();
    QTRY_VERIFY_WITH_TIMEOUT(reports.loadEnded(), kLoadTimeout);
    QCOMPARE(reports.reached, expected);
    QCOMPARE(view->LocationURL(), url("/b"));
}

void BrowserViewTest::backAndForwardStepThroughTheHistory()
{
    for (const auto& [step, refusal] :
         {std::pair{&BrowserView::GoBack, "Es gibt keine vorherige Seite im Verlauf."},
          std::pair{&BrowserView::GoForward, "Es gibt keine nächste Seite im Verlauf."}}) {
        try {
            (view.get()->*step)();
            QFAIL("a step without history was accepted");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString::fromUtf8(refusal));
        }
    }

    navigateAndWait(url("/a"));
    view->click(QStringLiteral("sprung"));
    QStringList expected = {url("/a"), url("/a#teil")};
    waitUntilReached(expected);
    navigateAndWait(url("/b"));
    expected << url("/b");
    QCOMPARE(reports.reached, expected);

    view->GoBack();  // a new document
    reachNext(expected, url("/a#teil"));
    view->GoBack();  // within the same document
    reachNext(expected, url("/a"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, view->GoBack());

    view->GoForward();
    reachNext(expected, url("/a#teil"));
    view->GoForward();
    reachNext(expected, url("/b"));
    QVERIFY(navigationsBegunBy(view->page(), [this] {
                QVERIFY_THROWS_EXCEPTION(std::runtime_error, view->GoForward());
            }).isEmpty());
    QCOMPARE(reports.reached, expected);
}

void BrowserViewTest::progressEndsWithMinusOneAndStopBeforeAnswerReportsNothing()
{
    navigateAndWait(url("/langsam"));
    QCOMPARE(reports.reached, QStringList{url("/langsam")});
    QVERIFY(reports.progress.size() >= 2);
    for (const auto& [progress, progressMax] : std::as_const(reports.progress)) {
        QCOMPARE(progressMax, 100);
        QVERIFY(progress == -1 || (progress >= 0 && progress <= 100));
    }
    QCOMPARE(reports.progress.first().first, 0);

    // Stopped while the server still thinks: nothing was reached.
    navigateAndWait(url("/b"));
    reports.progress.clear();
    view->Navigate(url("/langsam"));
    QTRY_VERIFY_WITH_TIMEOUT(!reports.progress.isEmpty(), kLoadTimeout);
    const QSignalSpy finished(view.get(), &QWebEngineView::loadFinished);
    view->Stop();
    // The engine itself ends the load as broken off: nothing of it can come any more.
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kLoadTimeout);
    QCOMPARE(finished.first().first(), QVariant(false));
    QVERIFY(reports.loadEnded());
    QCOMPARE(reports.reached, (QStringList{url("/langsam"), url("/b")}));
    QCOMPARE(view->LocationURL(), url("/b"));
}

// The engine's error page stays in the history and the reports as it is; the
// program's German text covers it, over the whole view, until a new document
// comes. A load that brings none (stopped) leaves it shown.
void BrowserViewTest::aFailedLoadIsReportedOnceAndCoveredUntilANewDocumentComes()
{
    // A port that was free a moment ago and that nobody listens on now.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    const QString gone = QStringLiteral("http://127.0.0.1:%1/weg").arg(port);
    probe.close();
    navigateAndWait(url("/b"));
    navigateAndWait(gone);
    navigateAndWait(gone);
    const QStringList expected = {url("/b"), gone, gone};
    QCOMPARE(reports.reached, expected);
    QCOMPARE(view->LocationURL(), gone);
    QCOMPARE(view->historyIndex(), 1);

    auto* cover = view->findChild<QWidget*>(QStringLiteral("LoadFailureCover"));
    const auto text = [cover](const char* label) { return cover->findChild<QLabel*>(QLatin1String(label))->text(); };
    QVERIFY(cover->isVisible());
    QCOMPARE(text("LoadFailureReason"), QStringLiteral("Grund: Verbindung abgelehnt"));
    QCOMPARE(text("LoadFailureAddress"), QStringLiteral("Adresse: ") + gone);
    view->resize(300, 200);
    QTRY_COMPARE(cover->geometry(), view->rect());
    QVERIFY(text("LoadFailureAddress").contains(QStringLiteral("…")));  // cut to the width

    reports.progress.clear();
    view->Navigate(url("/langsam"));
    QTRY_VERIFY(!cover->isVisible());
    view->Stop();
    QTRY_VERIFY_WITH_TIMEOUT(reports.loadEnded(), kLoadTimeout);
    QVERIFY(cover->isVisible());

    // "aktualisieren" loads the address again in its entry, as a reload.
    LoopbackServer back;
    back.serveText("/weg", page("Wieder da"));
    back.start(port);
    cover->findChild<QPushButton*>(QStringLiteral("LoadFailureRetry"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Wieder da"), kLoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!view->page()->isLoading(), kLoadTimeout);
    QVERIFY(!cover->isVisible());
    QCOMPARE(reports.reached, expected);
    QCOMPARE(view->historyIndex(), 1);
}

void BrowserViewTest::homeAndSearchLoadWhatTheStoreHoldsAtTheCall()
{
    setHostValue(kInternetExplorerMainKey, kStartPageValue, url("/b"));
    setHostValue(kInternetExplorerMainKey, kSearchPageValue, url("/a"));
    view->GoHome();
    QStringList expected = {url("/b")};
    waitUntilReached(expected);

    setHostValue(kInternetExplorerMainKey, kStartPageValue, url("/c"));
    view->GoHome();
    reachNext(expected, url("/c"));

    view->GoSearch();
    reachNext(expected, url("/a"));

    setHostValue(kInternetExplorerMainKey, kStartPageValue, QString());
    view->GoHome();
    reachNext(expected, QStringLiteral("about:blank"));
    QCOMPARE(view->LocationURL(), QStringLiteral("about:blank"));
}

// Addresses as typed in the settings (blanks, umlauts, an international host)
// compare with the shown one in its encoded form.
void BrowserViewTest::addressesAreReportedEncoded()
{
    const QString encoded = url("/Seite%20eins?q=%C3%BC");
    navigateAndWait(url("/Seite eins?q=ü"));
    QCOMPARE(reports.reached, QStringList{encoded});
    QCOMPARE(view->LocationURL(), encoded);
    QCOMPARE(encodedAddress(url("/Seite eins?q=ü")), encoded);
    QCOMPARE(encodedAddress(encoded), encoded);
    QCOMPARE(encodedAddress(QStringLiteral("http://bücher.example/")), QStringLiteral("http://xn--bcher-kva.example/"));
}

void BrowserViewTest::newWindowRequestsStayInThisView()
{
    navigateAndWait(url("/a"));
    view->click(QStringLiteral("neu"));
    QStringList expected = {url("/a"), url("/c")};
    waitUntilReached(expected);
    QCOMPARE(view->LocationURL(), url("/c"));

    view->GoBack();  // the view kept its history
    reachNext(expected, url("/a"));

    view->script(QStringLiteral("window.open('/b')"));
    reachNext(expected, url("/b"));

    // Other schemes stay shut, with one box for the page.
    const RecordingPresenter& boxes = view->boxes;
    QVERIFY(navigationsBegunBy(view->page(), [this] {
                view->script(QStringLiteral("window.open('data:text/html,Hallo'); window.open('file:///etc/passwd')"));
            }).isEmpty());
    QCOMPARE(reports.reached, expected);
    QCOMPARE(boxes.messages.size(), 1);
    QCOMPARE(boxes.messages[0].kind, MessageKind::Warning);
    QCOMPARE(boxes.messages[0].text, QStringLiteral("Die Adresse „data:text/html,Hallo“ kann nicht geöffnet "
                                                    "werden.\nErlaubt sind nur Web-Adressen (http:// und https://)."));
}

// The mouse's back and forward buttons and the history keys click the
// window's buttons (which keep the count), and do nothing when these are off.
void BrowserViewTest::historyButtonsAndKeysGoThroughTheWindowsButtons()
{
    QPushButton back;
    QPushButton forward;
    int backClicks = 0;
    int forwardClicks = 0;
    connect(&back, &QPushButton::clicked, this, [&] { ++backClicks; });
    connect(&forward, &QPushButton::clicked, this, [&] { ++forwardClicks; });
    view->setNavigationButtons(&back, &forward, nullptr);
    navigateAndWait(url("/a"));
    view->click(QStringLiteral("weiter"));
    waitUntilReached({url("/a"), url("/b")});

    QWidget* input = view->focusProxy();
    QTest::mouseClick(input, Qt::BackButton, {}, QPoint(100, 100));
    QTest::mouseClick(input, Qt::ForwardButton, {}, QPoint(100, 100));
    QTest::keyClick(input, Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(input, Qt::Key_Back);
    QTest::keyClick(input, Qt::Key_Forward);
    QTest::keyClick(input, Qt::Key_Backspace);  // editing, on every platform
    QTRY_COMPARE(backClicks, 3);
    QTRY_COMPARE(forwardClicks, 2);

    back.setEnabled(false);
    QVERIFY(navigationsBegunBy(view->page(), [input] {
                QTest::mouseClick(input, Qt::BackButton, {}, QPoint(100, 100));
                QTest::keyClick(input, Qt::Key_Left, Qt::AltModifier);
            }).isEmpty());
    QCOMPARE(backClicks, 3);
    QCOMPARE(view->LocationURL(), url("/b"));
}

// Error pages, form messages and the languages asked for are German, while
// the program's own numbers keep the system's locale.
void BrowserViewTest::webContentSpeaksGerman()
{
    navigateAndWait(url("/sprache"));
    QCOMPARE(acceptLanguage, QStringLiteral("de-DE,de;q=0.9"));
    navigateAndWait(url("/a"));
    QCOMPARE(view->script(QStringLiteral("document.getElementById('pflicht').validationMessage")).toString(),
             QStringLiteral("Fülle dieses Feld aus."));
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString gone = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
    probe.close();
    navigateAndWait(gone);
    QTRY_VERIFY_WITH_TIMEOUT(
        view->script(QStringLiteral("document.body.innerText")).toString().contains(QStringLiteral("nicht erreichbar")),
        kLoadTimeout);
    QCOMPARE(QLocale(), QLocale::system());
}

void BrowserViewTest::copySelectionPutsTheSelectedTextOnTheClipboard()
{
    navigateAndWait(url("/a"));
    setClipboardText(QStringLiteral("vorher"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
    view->click(QStringLiteral("gruss"));  // selects the paragraph, with the page focused as after a user's selection
    QTRY_COMPARE_WITH_TIMEOUT(view->script(QStringLiteral("getSelection().toString()")).toString(),
                              QStringLiteral("Grüße aus Kavelo"), kLoadTimeout);
    view->copySelection();
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QStringLiteral("Grüße aus Kavelo"), kLoadTimeout);
}

// The engine's own store does not know the test authority, which stands in
// for a company's authority in the system's store; SSL_CERT_FILE adds it.
void BrowserViewTest::pagesTrustWhatTheSystemTrustsAndNothingElse()
{
    const TestCertificates certificates;
    qputenv("SSL_CERT_FILE", QFile::encodeName(certificates.authority()));
    for (const CertificateCase& c : certificates.cases()) {
        LoopbackServer https(c.files);
        https.http().set_keep_alive_max_count(1);
        https.serveText("/", page("Sicher"));
        https.start();
        bool loaded = false;
        const QMetaObject::Connection finished =
            connect(view.get(), &QWebEngineView::loadFinished, this, [&loaded](bool ok) { loaded = ok; });
        navigateAndWait(https.url());
        disconnect(finished);
        QVERIFY2(loaded == c.trusted, c.name);
        QVERIFY2(https.count(QStringLiteral("/")) == (c.trusted ? 1 : 0), c.name);  // refused before any request
        if (c.trusted)
            QCOMPARE(view->title(), QStringLiteral("Sicher"));
        else
            QCOMPARE(view->findChild<QLabel*>(QStringLiteral("LoadFailureReason"))->text(),
                     QStringLiteral("Grund: Server-Zertifikat nicht vertrauenswürdig"));
    }
    qunsetenv("SSL_CERT_FILE");
}

// A fresh page on a fresh profile keeps what the window told the old one.
void BrowserViewTest::aFreshPageKeepsTheRulesOfTheOldOne()
{
    view->kaveloPage()->setSurfingAllowed(true);
    view->startAfresh(true);
    QCOMPARE(view->page()->profile()->storageName(), QStringLiteral("Kiosk"));
    QVERIFY(view->kaveloPage()->surfingAllowed());
}

KAVELO_GUI_TEST_MAIN(BrowserViewTest)

#include "BrowserViewTest.moc"
