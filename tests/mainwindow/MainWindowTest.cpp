// The main window on the offscreen platform: its controls, their places after
// a resize, the settings it applies and the command line.

#include "mainwindow/MB_main.h"
#include "mainwindow/MainControls.h"
#include "platform/host/Timer.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"
#include "support/MainWindowRun.h"
#include "widgets/StatusPanel.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

// Where a control of the table stands after the window grew by growth.
QRect grown(const MainControl& row, QSize growth)
{
    QRect rect = row.rect;
    if (row.anchors & AnchorLayout::Right)
        (row.anchors & AnchorLayout::Left) ? rect.setRight(rect.right() + growth.width())
                                           : rect.translate(growth.width(), 0);
    if (row.anchors & AnchorLayout::Bottom)
        (row.anchors & AnchorLayout::Top) ? rect.setBottom(rect.bottom() + growth.height())
                                          : rect.translate(0, growth.height());
    return rect;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindowRun> run;

    // The control of the table that holds a widget (the page's widget inside
    // the page's frame, the edit field inside the address box).
    static QString controlName(const QWidget* widget)
    {
        for (; widget; widget = widget->parentWidget()) {
            for (const MainControl& row : kMainControls)
                if (widget->objectName() == QLatin1String(row.name))
                    return widget->objectName();
        }
        return QStringLiteral("(keine)");
    }

    // A screen reader's names of the shown controls a person reaches and the status panels.
    void collectNames(QAccessibleInterface* node, QStringList* names) const
    {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            const auto labels = child->relations(QAccessible::Label);
            if (!child->state().invisible && (child->state().focusable || child->role() == QAccessible::StaticText))
                names->append((labels.isEmpty() ? child : labels.first().first)->text(QAccessible::Name));
            if (child->role() != QAccessible::ComboBox && child->object() != run->control("WebBrowser1"))
                collectNames(child, names);
        }
    }

    static QColor background(const TKaveloMainForm& window)
    {
        return window.centralWidget()->palette().color(QPalette::Window);
    }

private slots:
    void init() { run = std::make_unique<MainWindowRun>(); }
    void cleanup() { run.reset(); }

    // Every control stands where the table puts it, inside the area, sharing
    // at most a border line with another; every button is enabled with its
    // hint, and its caption fits beside or under its picture.
    void controlsStandApartAndCaptionsFit()
    {
        auto* window = &run->start();
        QCOMPARE(window->objectName(), QStringLiteral("KaveloMainForm"));
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Kavelo - der MiniBrowser  V.1.3.  ")));
        QCOMPARE(window->size(), QSize(774, 532));
        QCOMPARE(window->centralWidget()->size(), kDesignArea);
        for (const MainControl& row : kMainControls) {
            QCOMPARE(run->control(row.name)->geometry(), row.rect);
            QVERIFY2(QRect(QPoint(), kDesignArea).contains(row.rect), row.name);
            for (const MainControl& other : kMainControls) {
                const QRect shared = row.rect & other.rect;
                QVERIFY2(&other == &row || shared.width() <= 1 || shared.height() <= 1, other.name);
            }
            if (!row.glyph)
                continue;
            auto* button = run->control<QPushButton>(row.name);
            QCOMPARE(button->toolTip(), QString::fromUtf8(row.hint));
            QCOMPARE(button->statusTip(), button->toolTip());
            QVERIFY2(button->isEnabled(), row.name);
            const int needed = button->fontMetrics().horizontalAdvance(button->text());
            const int room = row.rect.height() > 40 ? row.rect.width() - 2 : row.rect.width() - 24;
            QVERIFY2(needed <= room, row.name);
        }
        QCOMPARE(run->control<QPushButton>("BitBtn10")->text(),
                 QStringLiteral("Kavelo (aktuell)"));  // the settings' caption
        QCOMPARE(run->control("WebBrowser1")->geometry(), QRect(4, 4, 757, 421));
        QCOMPARE(run->control("StatusPanel0")->geometry(), QRect(0, 0, 350, 18));
        QCOMPARE(run->control("StatusPanel1")->geometry(), QRect(350, 0, 400, 18));
        QCOMPARE(window->statusBar()->height(), 18);
        QCOMPARE(window->statusBar()->objectName(), QStringLiteral("StatusBar1"));
    }

    // The default home page is the welcome page in the program's resources; the
    // view reports it in the form the settings hold, so the status line knows it.
    void theDefaultHomePageIsTheWelcomePage()
    {
        stringToText(run->settings.HomePage, kWelcomePage);
        run->start({QStringLiteral("0")});
        auto* view = run->control<BrowserView>("WebBrowser1");
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Willkommen bei Kavelo"), 20000);
        QCOMPARE(view->LocationURL(), kWelcomePage);
        const QString refreshed = QStringLiteral("Seite \"%1\" zuletzt am ").arg(kWelcomePage);
        const auto* panel = run->control<StatusPanel>("StatusPanel1");
        QTRY_VERIFY(panel->text().startsWith(refreshed));
        // Too long for the panel: it shows whole words and "…".
        const QString shown = panel->shownText();
        QVERIFY2(shown.endsWith(QStringLiteral(" …")) && panel->text().startsWith(shown.chopped(2) + QLatin1Char(' ')),
                 qPrintable(shown));
    }

    void anchoredControlsFollowAResizeAndTheSizeHasAMinimum()
    {
        auto* window = &run->start();
        window->resize(874, 632);
        QCoreApplication::processEvents();
        for (const MainControl& row : kMainControls)
            QCOMPARE(run->control(row.name)->geometry(), grown(row, {100, 100}));

        window->resize(500, 300);
        QCoreApplication::processEvents();
        QCOMPARE(window->size(), QSize(774, 532));

        // A window manager that ignores the minimum (a tiling one) makes it
        // smaller all the same: the controls keep their designed places.
        window->windowHandle()->resize(600, 400);
        QTRY_COMPARE(window->size(), QSize(600, 400));
        for (const MainControl& row : kMainControls)
            QCOMPARE(run->control(row.name)->geometry(), row.rect);
    }

    // Tab walks the controls in the table's order, the page in its frame, and
    // round to the first again.
    void tabWalksTheControlsInTheirOrder()
    {
        stringToText(run->settings.HomePage, QStringLiteral("about:blank"));
        auto* window = &run->start();
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* view = run->control("WebBrowser1");
        QTRY_VERIFY_WITH_TIMEOUT(view->focusProxy(), 10000);
        QCoreApplication::processEvents();
        QStringList order;
        for (const MainControl& row : kMainControls)
            order << QLatin1String(row.name);
        order << order.first();
        run->control(kMainControls[0].name)->setFocus();
        QStringList walked;
        for (int step = 0; step < order.size(); ++step) {
            QWidget* focused = QApplication::focusWidget();
            walked.append(controlName(focused));
            QTest::keyClick(focused, Qt::Key_Tab);
            // The page hands the focus on once it has no element left to focus.
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != focused, 5000);
        }
        QCOMPARE(walked, order);
        run->control("BitBtn8")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTRY_COMPARE(controlName(QApplication::focusWidget()), QStringLiteral("Panel1"));
    }

    // Three buttons get one caption from the settings, then another.
    void aScreenReaderTellsEveryControlApart()
    {
        auto* window = &run->start();
        run->control<QComboBox>("ComboBox1")
            ->setEditText(QStringLiteral("http://127.0.0.1/"));  // a box's name is its text
        for (const QString& caption : {QStringLiteral("Tabulo"), QStringLiteral("A&B")}) {
            for (Text* name :
                 {&EinstellDaten.Download1Name, &EinstellDaten.Download2Name, &EinstellDaten.WebAddress1Name})
                stringToText(*name, caption);
            window->ApplySettings();
            QStringList names;
            collectNames(QAccessible::queryAccessibleInterface(window), &names);
            QCOMPARE(names.size(), 20);  // 16 buttons, the address box, the page, two status panels
            QVERIFY2(!names.contains(QString()) && names.removeDuplicates() == 0, qPrintable(names.join(u'|')));
            QVERIFY(names.contains(QStringLiteral("Adresse"))
                    && names.contains(QStringLiteral("Download 2: ") + caption));
        }
    }

    void applySettingsColoursAndEnablesByTheRights()
    {
        auto* window = &run->start();
        QCOMPARE(background(*window), QColor(166, 202, 240));
        QVERIFY(run->control("ComboBox1")->isEnabled());
        for (Word maySurf : {0, 2}) {
            EinstellDaten.MaySurf = maySurf;
            EinstellDaten.MaySearch = 0;
            window->ApplySettings();
            QCOMPARE(background(*window), QColor(192, 220, 192));
            QVERIFY(!run->control("ComboBox1")->isEnabled());
            QVERIFY(!run->control("BitBtn6")->isEnabled());
        }
        EinstellDaten.MaySurf = 1;
        EinstellDaten.MaySearch = 1;
        window->ApplySettings();
        QCOMPARE(background(*window), QColor(166, 202, 240));
        QVERIFY(run->control("BitBtn6")->isEnabled());
    }

    void captionsFallBackWhenTheNameIsBlank()
    {
        auto* window = &run->start();
        // What counts as a name is the settings texts' rule; here only that the window follows it.
        const std::pair<QByteArray, QString> cases[] = {{QByteArray(), QStringLiteral("Download3")},
                                                        {QByteArray(" "), QStringLiteral("Download3")},
                                                        {QByteArray("Gr\xFC\xDF"), QStringLiteral("Grüß")}};
        for (const auto& [name, caption] : cases) {
            setTextBytes(EinstellDaten.Download3Name, name);
            EinstellDaten.WebAddress2Name.length = 0;
            window->ApplySettings();
            QCOMPARE(run->control<QPushButton>("BitBtn15")->text(), caption);
            QCOMPARE(run->control<QPushButton>("BitBtn13")->text(), QStringLiteral("Web-Adresse2"));
        }
    }

    void autostopSetsTheEndTimer()
    {
        run->settings.AutoEndSeconds = 0;
        run->start({QStringLiteral("AutoStop")}, false);
        auto* timer1 = run->control<Timer>("Timer1");
        QVERIFY(timer1->isRunning());
        QCOMPARE(timer1->interval(), 86400000u);

        run->settings.AutoEndSeconds = 30;
        run->start({QStringLiteral("autostop")}, false);
        QCOMPARE(run->control<Timer>("Timer1")->interval(), 30000u);

        run->start({QStringLiteral("-autostop")}, false);
        QVERIFY(!run->control<Timer>("Timer1")->isRunning());
    }

    void withoutArgumentsOnlyTheSettingsStartTimers()
    {
        run->settings.AutoEndSeconds = 0;
        run->settings.RefreshMinutes = 0;
        run->start();
        for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
            QVERIFY2(!run->control<Timer>(name)->isRunning(), name);

        run->settings.AutoEndSeconds = 7;
        run->settings.RefreshMinutes = 3;
        run->start();
        QVERIFY(run->control<Timer>("Timer1")->isRunning());
        QCOMPARE(run->control<Timer>("Timer1")->interval(), 7000u);
        QCOMPARE(run->control<Timer>("Timer3")->interval(), 180000u);
        QVERIFY(run->control<Timer>("Timer3")->isRunning());
        QVERIFY(run->control<Timer>("Timer4")->isRunning());
        QVERIFY(!run->control<Timer>("Timer2")->isRunning());
    }

    void windowModes()
    {
        run->settings.WindowMode = 1;
        run->settings.WindowWidth = 791;
        run->settings.WindowHeight = 0;
        auto* window = &run->start({}, false);
        QCOMPARE(window->size(), QSize(775, 532));

        run->settings.WindowMode = 2;
        window = &run->start({}, false);
        QVERIFY(window->windowState() & Qt::WindowMaximized);

        window = &run->start({QStringLiteral("3")}, false);
        QVERIFY(window->windowState() & Qt::WindowMinimized);
        QVERIFY(run->control<Timer>("Timer2")->isRunning());

        window = &run->start({QStringLiteral(" 1"), QStringLiteral("01"), QStringLiteral("5")}, false);
        QVERIFY(!(window->windowState() & Qt::WindowMinimized));
        QVERIFY(!run->control<Timer>("Timer2")->isRunning());
    }

    // Also on a screen of 1024 x 600 pixels at the scale 1.5 (main_window_test_small_screen).
    void theWindowFitsTheScreenAndEveryButtonScrollsIntoView()
    {
        auto* window = &run->start();
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        auto* scroller = run->control<QScrollArea>("ClientScroller");
        for (const MainControl& row : kMainControls) {
            QWidget* control = run->control(row.name);
            scroller->ensureWidgetVisible(control, 0, 0);
            const QRect shown(control->mapTo(scroller->viewport(), QPoint()), control->size());
            QVERIFY2(!row.glyph || scroller->viewport()->rect().contains(shown), row.name);
        }
    }

    void hintsReachPanelOneAndLeavingClearsIt()
    {
        auto* window = &run->start();
        auto* panel1 = run->control<QLabel>("StatusPanel1");
        auto* back = run->control<QPushButton>("BitBtn1");
        QStatusTipEvent enter(back->statusTip());
        QCoreApplication::sendEvent(back, &enter);
        QCOMPARE(panel1->text(), QStringLiteral("Surf-Tour einen Schritt (eine Seite) zurück gehen"));
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(run->control("WebBrowser1"), &leave);
        QCOMPARE(panel1->text(), QString());
        QStatusTipEvent bar(window->statusBar()->statusTip());
        QCoreApplication::sendEvent(window->statusBar(), &bar);
        QCOMPARE(panel1->text(), QStringLiteral("Statuszeile enthält verschiedene Lade-Informationen, "
                                                "Hilfe-Stellungen und Status-Anzeigen"));
        QCOMPARE(run->control<QLabel>("StatusPanel0")->text(), QStringLiteral("fertig und bereit!"));
    }

    void viewerOnlyLocksSurfingWithoutTheRight_data()
    {
        QTest::addColumn<int>("maySurf");
        QTest::addColumn<int>("maySearch");
        QTest::newRow("no surfing, no search") << 0 << 0;
        QTest::newRow("no surfing, search") << 0 << 1;
        QTest::newRow("surfing") << 1 << 0;
    }

    void viewerOnlyLocksSurfingWithoutTheRight()
    {
        QFETCH(int, maySurf);
        QFETCH(int, maySearch);
        run->settings.MaySurf = static_cast<Word>(maySurf);
        run->settings.MaySearch = static_cast<Word>(maySearch);
        auto* window = &run->start({QStringLiteral("0"), QStringLiteral("autostop")});
        const bool locked = maySurf == 0;
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn7", "BitBtn10", "BitBtn11", "BitBtn12",
                                 "BitBtn13", "BitBtn15", "BitBtn16", "ComboBox1"})
            QVERIFY2(run->control(name)->isEnabled() == !locked, name);
        for (const char* name : {"BitBtn4", "BitBtn5", "BitBtn8", "BitBtn9", "BitBtn14"})
            QVERIFY2(run->control(name)->isEnabled(), name);
        QCOMPARE(run->control("BitBtn6")->isEnabled(), maySearch == 1);
        QCOMPARE(background(*window), locked ? QColor(192, 220, 192) : QColor(166, 202, 240));
        QVERIFY(run->control<Timer>("Timer1")->isRunning());
    }
};

KAVELO_GUI_TEST_MAIN(MainWindowTest)

#include "MainWindowTest.moc"
