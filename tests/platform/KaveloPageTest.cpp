// What a page may do in the view, against a loopback site: its dialogs, the
// leave-page question, a page that hangs, and the file chooser of an upload
// field, each with and without the right to surf.

#include "platform/host/HostRegistry.h"
#include "platform/web/BrowserView.h"
#include "platform/web/KaveloPage.h"
#include "platform/web/PageDownloads.h"
#include "platform/web/UploadChooser.h"
#include "support/GuiTestMain.h"
#include "support/HostValue.h"
#include "support/LoopbackServer.h"
#include "support/ModalDriver.h"
#include "support/PageScript.h"
#include "support/TestView.h"

#include <QAbstractButton>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

constexpr int kTimeout = TestView::kTimeoutMs;

// A page of the site: body in a document without margins.
std::string document(const std::string& body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body style=\"margin:0\">" + body
           + "</body></html>";
}

void clickButton(QDialog* dialog, const QString& text)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

// Answers every page dialog that comes up with action, and keeps its title and text.
struct DialogAnswerer {
    explicit DialogAnswerer(const std::function<void(QDialog*)>& action)
        : driver(
            [this, action](QDialog* dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("PageDialog"));
                titles << dialog->windowTitle();
                const auto* box = qobject_cast<QMessageBox*>(dialog);
                texts << (box ? box->text() : qobject_cast<QInputDialog*>(dialog)->labelText());
                action(dialog);
            },
            WhenShown<QDialog>::Showings::Every)
    {
    }

    QStringList titles;
    QStringList texts;
    WhenShown<QDialog> driver;
};

}  // namespace

class KaveloPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogsAreGermanAndNeedTheRightToSurf();
    void theProgramsNavigationLeavesWithoutAskingAndClosesADialog();
    void aHungPageIsEndedBeforeTheProgramsNavigation();
    void theFileChooserOffersTheDownloadFoldersOnly();
    void webPagesReachNoneOfTheProgramsPages();

private:
    KaveloPage* page() const { return view->kaveloPage(); }
    QString url(const char* path) const { return view->address(path); }
    void gesture(const char* elementId);

    LoopbackServer server;
    std::unique_ptr<TestView> view;
};

void KaveloPageTest::initTestCase()
{
    server.http().set_keep_alive_max_count(1);
    server.serveText("/b", document("<p>B</p>"));
    server.serveText("/c", document("<p>C</p>"));
    server.serveText("/falle",
                     document("<p id='flaeche' style='height:200px' onclick='window.geklickt = true'>Falle</p>"
                              "<script>addEventListener('beforeunload', e => {"
                              " e.preventDefault(); e.returnValue = 'bleib'; })</script>"));
    server.serveText("/hochladen", document("<input type='file' id='datei' onclick='window.geklickt = true' "
                                            "style='display:block;height:60px;width:300px'>"));
    server.serveText("/eigen", document("<img id='bild' src='qrc:/willkommen/kavelo.svg'>"
                                        "<iframe src='qrc:/willkommen/willkommen.html'></iframe>"));
    server.http().Get("/umleitung", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("qrc:/willkommen/willkommen.html");
    });
    server.http().Get("/pdf", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("chrome-extension://mhjfbmdgcfjbbpaeojofohoefgiehjai/index.html");
    });
    server.start();
}

void KaveloPageTest::init()
{
    view = std::make_unique<TestView>(server);
}

void KaveloPageTest::cleanup()
{
    view.reset();
}

// A click that the page has seen: the engine asks before a page is left only
// when the page has had one. The first click on a fresh view may go unseen.
void KaveloPageTest::gesture(const char* elementId)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        view->click(QLatin1String(elementId));
        if (QTest::qWaitFor([&] { return view->script(QStringLiteral("window.geklickt === true")).toBool(); }, 300))
            return;
    }
    QFAIL("the page does not see the click");
}

void KaveloPageTest::dialogsAreGermanAndNeedTheRightToSurf()
{
    DialogAnswerer answerer([](QDialog* dialog) {
        if (auto* input = qobject_cast<QInputDialog*>(dialog))
            input->setTextValue(QStringLiteral("Kavelo"));
        clickButton(dialog, QStringLiteral("OK"));
    });
    view->open("/b");
    QVariantList answers;
    for (const bool surfing : {false, true}) {  // nor while the window waits for a download button
        page()->setSurfingAllowed(surfing);
        setButtonDownloadRunning(surfing);
        answers = view->script(QStringLiteral("alert('a'); [confirm('b'), prompt('c', 'd')]")).toList();
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers[0], QVariant(false));
        QVERIFY(answers[1].isNull());
    }
    setButtonDownloadRunning(false);
    QVERIFY(answerer.titles.isEmpty());

    answers =
        view->script(QStringLiteral("alert('<b>Hallo</b>'); [confirm('Weiter?'), prompt('Name?', 'x')]")).toList();
    QCOMPARE(answers, (QVariantList{true, QStringLiteral("Kavelo")}));
    QCOMPARE(answerer.titles, (QStringList{QStringLiteral("Meldung der Webseite"), QStringLiteral("Frage der Webseite"),
                                           QStringLiteral("Eingabe für die Webseite")}));
    const QString origin = url("");
    QCOMPARE(answerer.texts[0], QStringLiteral("Die Seite %1 meldet:\n\n<b>Hallo</b>").arg(origin));
    QCOMPARE(answerer.texts[2], QStringLiteral("Die Seite %1 meldet:\n\nName?").arg(origin));

    // A page that asks again and again gets three boxes, then no more.
    view->open("/c");
    view->script(QStringLiteral("for (let i = 0; i < 10; ++i) alert(i)"));
    QCOMPARE(answerer.titles.size(), 6);
}

void KaveloPageTest::theProgramsNavigationLeavesWithoutAskingAndClosesADialog()
{
    page()->setSurfingAllowed(true);
    {
        const QString answer = QStringLiteral("Bleiben");
        DialogAnswerer answerer([&](QDialog* dialog) { clickButton(dialog, answer); });
        view->open("/falle");
        gesture("flaeche");
        // The page's own navigation asks; "Bleiben": it never begins.
        QVERIFY(navigationsBegunBy(view->page(), [&] {
                    view->script(QStringLiteral("location.href = '/b'"));
                    QTRY_COMPARE_WITH_TIMEOUT(answerer.titles, QStringList{QStringLiteral("Seite verlassen?")},
                                              kTimeout);
                }).isEmpty());
        // A page that keeps asking is left after its third question.
        view->script(QStringLiteral("setInterval(() => location.href = '/b', 100)"));
        QTRY_COMPARE_WITH_TIMEOUT(view->LocationURL(), url("/b"), kTimeout);
        QCOMPARE(answerer.titles.size(), 3);

        // The program's own navigation (the address box, a button) leaves without asking.
        view->open("/falle");
        gesture("flaeche");
        view->Navigate(url("/c"));
        QTRY_COMPARE_WITH_TIMEOUT(view->LocationURL(), url("/c"), kTimeout);
        QCOMPARE(answerer.titles.size(), 3);
    }

    // A dialog on screen when the program navigates is closed, and the page's
    // further dialogs are answered unseen.
    DialogAnswerer navigating([this](QDialog*) { view->navigateAsProgram([this] { view->Navigate(url("/b")); }); });
    view->page()->runJavaScript(QStringLiteral("for (let i = 0; i < 5; ++i) alert(i)"));
    QTRY_COMPARE_WITH_TIMEOUT(view->LocationURL(), url("/b"), kTimeout);
    QCOMPARE(navigating.titles, QStringList{QStringLiteral("Meldung der Webseite")});
}

void KaveloPageTest::aHungPageIsEndedBeforeTheProgramsNavigation()
{
    const QSignalSpy gone(view.get(), &BrowserView::rendererGone);
    view->open("/b");
    const qint64 renderer = view->page()->renderProcessPid();
    QVERIFY(renderer > 0);
    view->page()->runJavaScript(QStringLiteral("for (;;) {}"));  // the probe comes after it
    QElapsedTimer waited;
    waited.start();
    view->navigateAsProgram([this] { view->Navigate(url("/c")); }, true);
    QTRY_COMPARE_WITH_TIMEOUT(view->LocationURL(), url("/c"), kTimeout);
    QVERIFY(waited.elapsed() >= BrowserView::kProbeTimeoutMs * 9 / 10);  // a timer may fire a little early
    QVERIFY(view->page()->renderProcessPid() != renderer);
    QVERIFY(gone.isEmpty());

    // A page that answers is left at once.
    QTRY_VERIFY_WITH_TIMEOUT(!view->page()->isLoading(), kTimeout);
    waited.restart();
    view->navigateAsProgram([this] { view->Navigate(url("/b")); }, true);
    QTRY_COMPARE_WITH_TIMEOUT(view->LocationURL(), url("/b"), kTimeout);
    QVERIFY(waited.elapsed() < BrowserView::kProbeTimeoutMs);
}

void KaveloPageTest::theFileChooserOffersTheDownloadFoldersOnly()
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (const char* name : {"host/a.txt", "eigene/b.txt", "programm/Einstell.DAT", "draussen/c.txt"}) {
        QVERIFY(root.mkpath(QFileInfo(root.filePath(QString::fromLatin1(name))).path()));
        QFile file(root.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    setHostValue(kInternetExplorerKey, kDownloadDirectoryValue, root.filePath(QStringLiteral("host")));
    page()->setUploadFolders({root.filePath(QStringLiteral("eigene")), root.filePath(QStringLiteral("programm"))},
                             {root.filePath(QStringLiteral("programm"))});
    int shown = 0;
    QStringList listed;
    bool refusedTypedPath = false;
    const auto choose = [&](UploadChooser* chooser) {
        ++shown;
        auto* files = chooser->findChild<QTreeWidget*>(QStringLiteral("Files"));
        for (int i = 0; i < files->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* folder = files->topLevelItem(i);
            for (int j = 0; j < folder->childCount(); ++j)
                listed << QFileInfo(folder->text(0)).fileName() + QLatin1Char('/') + folder->child(j)->text(0);
        }
        chooser->findChild<QLineEdit*>(QStringLiteral("FileName"))->setText(QStringLiteral("../draussen/c.txt"));
        clickButton(chooser, QStringLiteral("Öffnen"));
        refusedTypedPath = chooser->isVisible() && view->boxes.messages.size() == 1;
        files->setCurrentItem(files->topLevelItem(1)->child(0));
        clickButton(chooser, QStringLiteral("Öffnen"));
    };
    const WhenShown<UploadChooser> driver(choose, WhenShown<UploadChooser>::Showings::Every);
    view->open("/hochladen");
    // The field asks for the chooser as it takes the click, before the page answers a script.
    gesture("datei");
    view->script(QStringLiteral("window.geklickt = false"));
    QCOMPARE(shown, 0);

    page()->setSurfingAllowed(true);
    gesture("datei");
    QTRY_COMPARE_WITH_TIMEOUT(
        view->script(QStringLiteral("[...document.getElementById('datei').files].map(f => f.name)")).toStringList(),
        QStringList{QStringLiteral("b.txt")}, kTimeout);
    QCOMPARE(shown, 1);
    QCOMPARE(listed, (QStringList{QStringLiteral("host/a.txt"), QStringLiteral("eigene/b.txt")}));
    QVERIFY(refusedTypedPath);
    QCOMPARE(view->boxes.messages[0].kind, MessageKind::Warning);
    QCOMPARE(view->boxes.messages[0].text,
             QStringLiteral("„../draussen/c.txt“ ist keine Datei in einem der Download-Ordner."
                            "\nHochgeladen werden können nur Dateien aus diesen Ordnern."));
}

// Neither a picture, a frame, a script's navigation nor a redirect brings a web
// page to the program's own pages, nor to the engine's PDF viewer; the program
// itself still gets to its own.
void KaveloPageTest::webPagesReachNoneOfTheProgramsPages()
{
    view->open("/eigen");
    QCOMPARE(view->script(QStringLiteral("[document.getElementById('bild').naturalWidth, frames[0].location.href]")),
             QVariant(QVariantList{0, QStringLiteral("about:blank")}));
    view->script(QStringLiteral("location.href = 'qrc:/willkommen/willkommen.html'"));
    view->open("/umleitung");
    view->open("/pdf");
    view->script(QStringLiteral("0"));  // any navigation the page began is decided by now
    QCOMPARE(view->url().scheme(), QStringLiteral("http"));
    view->Navigate(QStringLiteral("qrc:/willkommen/willkommen.html"));
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Willkommen bei Kavelo"), TestView::kTimeoutMs);
}

KAVELO_GUI_TEST_MAIN(KaveloPageTest)

#include "KaveloPageTest.moc"
