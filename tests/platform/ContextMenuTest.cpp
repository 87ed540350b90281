// The page's context menu, opened by a real right click: only editing and the
// window's own navigation buttons, whose entries click those buttons; and no
// way to a view of the page's source.

#include "mainwindow/MB_main.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"
#include "support/LoopbackServer.h"
#include "support/MainWindowRun.h"
#include "support/PageScript.h"
#include "support/TestView.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <array>
#include <memory>

namespace {

constexpr int kTimeout = TestView::kTimeoutMs;

const char* const kPage = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"></head>
<body style="margin:0">
<p id="text" style="height:40px;margin:0">Grüße aus Kavelo</p>
<a id="link" href="/b" target="_blank" style="display:block;height:40px">Link</a>
<input id="field" value="abc" style="display:block;height:40px;width:300px">
<img id="bild" src="/bild.svg" style="display:block;height:40px;width:40px">
</body></html>)html";

const char* const kImage =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40"><rect width="40" height="40" fill="teal"/></svg>)";

const QStringList kReading = {QStringLiteral("Kopieren"), QStringLiteral("Alles markieren")};
const QStringList kEditing = {QStringLiteral("Ausschneiden"), QStringLiteral("Kopieren"), QStringLiteral("Einfügen"),
                              QStringLiteral("Alles markieren")};
const QStringList kNavigation = {QStringLiteral("Zurück"), QStringLiteral("Vor"), QStringLiteral("Neu laden")};

QStringList entries(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

QAction* Entry(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

}  // namespace

class ContextMenuTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void offersEditingAndTheWindowsNavigationOnly();
    void navigationEntriesFollowAndClickTheButtons();
    void editingEntriesActOnThePage();
    void aViewWithoutButtonsOffersEditingOnly();
    void theSourceOfAPageIsNeverShown();
    void theMainWindowsMenuRunsItsOwnReload();

private:
    void loadPage(TestView& on);
    // Right-clicks the element's centre and returns the menu that opens.
    QMenu* openMenu(BrowserView& on, const QString& elementId);
    static QVariant runScript(BrowserView& on, const QString& script)
    {
        return runPageScript(on.page(), script, kTimeout);
    }

    LoopbackServer server;
    std::unique_ptr<TestView> view;
    QPushButton back;
    QPushButton forward;
    QPushButton reload;
};

void ContextMenuTest::initTestCase()
{
    server.http().set_keep_alive_max_count(1);
    server.serveText("/", kPage);
    server.serveText("/b", "<html><body>B</body></html>", "text/html");
    server.serveText("/bild.svg", kImage, "image/svg+xml");
    server.start();
}

void ContextMenuTest::init()
{
    for (QPushButton* button : {&back, &forward, &reload})
        button->setEnabled(true);
    view = std::make_unique<TestView>(server);
    view->setNavigationButtons(&back, &forward, &reload);
    loadPage(*view);
}

void ContextMenuTest::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    view.reset();
}

void ContextMenuTest::loadPage(TestView& on)
{
    on.open();
    QTRY_VERIFY_WITH_TIMEOUT(runScript(on, QStringLiteral("document.getElementById('bild').complete")).toBool(),
                             kTimeout);
}

QMenu* ContextMenuTest::openMenu(BrowserView& on, const QString& elementId)
{
    clickElement(&on, elementId, Qt::RightButton, kTimeout);
    const auto shown = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    return QTest::qWaitFor([&] { return shown() != nullptr; }, kTimeout) ? shown() : nullptr;
}

void ContextMenuTest::offersEditingAndTheWindowsNavigationOnly()
{
    // A link that opens a new window, an image, plain text, a form field: the
    // engine would offer new windows, saving, source and inspection for them.
    for (const auto& [element, expected] : {std::pair{QStringLiteral("text"), kReading + kNavigation},
                                            std::pair{QStringLiteral("link"), kReading + kNavigation},
                                            std::pair{QStringLiteral("bild"), kReading + kNavigation},
                                            std::pair{QStringLiteral("field"), kEditing + kNavigation}}) {
        QMenu* menu = openMenu(*view, element);
        QVERIFY2(menu, qPrintable(element));
        QCOMPARE(entries(menu), expected);
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }
}

// Each entry is enabled as its button is at the moment the menu opens, and
// clicks it; a disabled one clicks nothing.
void ContextMenuTest::navigationEntriesFollowAndClickTheButtons()
{
    QPushButton* const buttons[] = {&back, &forward, &reload};
    QSignalSpy clicks[] = {QSignalSpy(&back, &QPushButton::clicked), QSignalSpy(&forward, &QPushButton::clicked),
                           QSignalSpy(&reload, &QPushButton::clicked)};
    for (const auto& [element, enabled] : {std::pair{QStringLiteral("text"), std::array{false, true, true}},
                                           std::pair{QStringLiteral("field"), std::array{true, false, false}}}) {
        for (int i = 0; i < 3; ++i)
            buttons[i]->setEnabled(enabled[i]);
        QMenu* menu = openMenu(*view, element);
        QVERIFY(menu);
        for (int i = 0; i < 3; ++i) {
            QAction* entry = Entry(menu, kNavigation[i]);
            QCOMPARE(entry->isEnabled(), enabled[i]);
            const qsizetype before = clicks[i].size();
            entry->trigger();
            QCOMPARE(clicks[i].size(), before + (enabled[i] ? 1 : 0));
        }
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }
}

void ContextMenuTest::editingEntriesActOnThePage()
{
    // Nothing selected: nothing to copy.
    QMenu* menu = openMenu(*view, QStringLiteral("text"));
    QVERIFY(menu);
    QVERIFY(!Entry(menu, QStringLiteral("Kopieren"))->isEnabled());
    Entry(menu, QStringLiteral("Alles markieren"))->trigger();
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(runScript(*view, QStringLiteral("getSelection().toString()"))
                                 .toString()
                                 .contains(QStringLiteral("Grüße aus Kavelo")),
                             kTimeout);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    QGuiApplication::clipboard()->clear();
    menu = openMenu(*view, QStringLiteral("text"));
    QVERIFY(menu);
    QVERIFY(Entry(menu, QStringLiteral("Kopieren"))->isEnabled());
    Entry(menu, QStringLiteral("Kopieren"))->trigger();
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().contains(QStringLiteral("Grüße aus Kavelo")),
                             kTimeout);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    // Pasted into the form field at the caret that the right click placed.
    QGuiApplication::clipboard()->setText(QStringLiteral("neu"));
    runScript(*view, QStringLiteral("getSelection().removeAllRanges()"));
    menu = openMenu(*view, QStringLiteral("field"));
    QVERIFY(menu);
    QTRY_VERIFY_WITH_TIMEOUT(Entry(menu, QStringLiteral("Einfügen"))->isEnabled(), kTimeout);
    Entry(menu, QStringLiteral("Einfügen"))->trigger();
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(runScript(*view, QStringLiteral("document.getElementById('field').value"))
                                 .toString()
                                 .contains(QStringLiteral("neu")),
                             kTimeout);
}

void ContextMenuTest::aViewWithoutButtonsOffersEditingOnly()
{
    TestView plain(server);
    loadPage(plain);
    QMenu* menu = openMenu(plain, QStringLiteral("text"));
    QVERIFY(menu);
    QCOMPARE(entries(menu), kReading);
    QVERIFY(!menu->actions().last()->isSeparator());
    menu->close();
}

// The engine's own routes to a source view: its page action (which asks for
// a new window), an address typed by the user, a page that navigates, and the
// keys that open source or developer tools in a desktop browser.
void ContextMenuTest::theSourceOfAPageIsNeverShown()
{
    const QString page = server.url();
    const QString source = QStringLiteral("view-source:") + page;
    const int requests = server.count(QStringLiteral("/"));
    const qsizetype windows = QApplication::topLevelWidgets().size();
    QSignalSpy reached(view.get(), &BrowserView::NavigateComplete2);

    QVERIFY(navigationsBegunBy(view->page(), [&] {
                view->triggerPageAction(QWebEnginePage::ViewSource);
                view->Navigate(source);
                view->Navigate(QStringLiteral("VIEW-SOURCE:") + page);
                runScript(*view, QStringLiteral("location.href = '%1'").arg(source));
                QTest::keyClick(view->focusProxy(), Qt::Key_U, Qt::ControlModifier);
                QTest::keyClick(view->focusProxy(), Qt::Key_F12);
                QTest::keyClick(view->focusProxy(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
                QTest::keyClick(view->focusProxy(), Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
            }).isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QCOMPARE(view->LocationURL(), page);
    QVERIFY(reached.isEmpty());
    QCOMPARE(server.count(QStringLiteral("/")), requests);
    QVERIFY(runScript(*view, QStringLiteral("document.getElementById('field') !== null")).toBool());
}

// In viewer mode without the right to surf, back and forward are locked and
// reload goes to the home page: the menu does exactly what the buttons do.
void ContextMenuTest::theMainWindowsMenuRunsItsOwnReload()
{
    view.reset();
    MainWindowRun run;
    run.settings.MaySurf = 0;
    stringToText(run.settings.HomePage, server.url());
    run.start({QStringLiteral("0")});
    auto* browser = run.control<BrowserView>("WebBrowser1");
    QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), server.url(), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(
        runScript(*browser, QStringLiteral("document.readyState")).toString() == QStringLiteral("complete"), kTimeout);
    const int requests = server.count(QStringLiteral("/"));

    QMenu* menu = openMenu(*browser, QStringLiteral("text"));
    QVERIFY(menu);
    QCOMPARE(entries(menu), kReading + kNavigation);
    QVERIFY(!Entry(menu, QStringLiteral("Zurück"))->isEnabled());
    QVERIFY(!Entry(menu, QStringLiteral("Vor"))->isEnabled());
    QVERIFY(Entry(menu, QStringLiteral("Neu laden"))->isEnabled());
    Entry(menu, QStringLiteral("Neu laden"))->trigger();
    menu->close();
    QTRY_COMPARE_WITH_TIMEOUT(server.count(QStringLiteral("/")), requests + 1, kTimeout);
    QVERIFY(run.boxes.messages.isEmpty());
}

KAVELO_GUI_TEST_MAIN(ContextMenuTest)

#include "ContextMenuTest.moc"
