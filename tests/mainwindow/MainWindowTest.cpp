// The main window on the offscreen platform: its controls, their places after
// a resize, the settings it applies and the command line.

#include "mainwindow/MB_main.h"
#include "platform/Timer.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/GuiTestMain.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QtTest>
#include <memory>

namespace {

struct ControlRow {
    const char* name;
    QRect rect;
    const char* caption;
    const char* hint;
};

const QString kDownloadHint = QStringLiteral("programminterner Download");

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempProgramFolder> folder;
    std::unique_ptr<RecordingPresenter> boxes;
    TEinstellRecord settings{};
    QString programFolder;

    // A window started on settings (no home page, so nothing is loaded).
    std::unique_ptr<TKaveloMainForm> start(const QStringList& arguments = {}, bool show = true)
    {
        folder->writeSettings(settings);
        auto window = std::make_unique<TKaveloMainForm>(programFolder, arguments);
        if (show) {
            window->show();
            QCoreApplication::processEvents();
        }
        return window;
    }

    template <typename T = QWidget>
    static T* control(const TKaveloMainForm& window, const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    static QColor background(const TKaveloMainForm& window)
    {
        return window.centralWidget()->palette().color(QPalette::Window);
    }

private slots:
    void init()
    {
        folder = std::make_unique<TempProgramFolder>();
        boxes = std::make_unique<RecordingPresenter>();
        programFolder = ProgramFolder;
        SetDefaults(EinstellDaten);
        settings = EinstellDaten;
        settings.HomePage.length = 0;
        settings.RedirectDownloads = 0;
    }

    void cleanup()
    {
        boxes.reset();
        folder.reset();
    }

    void controlsHaveTheirPlacesCaptionsAndHints()
    {
        const ControlRow rows[] = {
            {"BitBtn1", {4, 4, 41, 51}, "zurück", "Surf-Tour einen Schritt (eine Seite) zurück gehen"},
            {"BitBtn2", {44, 4, 41, 51}, "vor", "wieder eine Seite in Richtung der letzten Surf-Tour vorwärts gehen"},
            {"BitBtn3", {88, 30, 93, 25}, "abbrechen", "Laden der Seite abbrechen"},
            {"BitBtn4",
             {88, 4, 93, 25},
             "aktualisieren",
             "Laden der Seite nochmals auslösen (bei Stau des Seitenaufbaus)"},
            {"BitBtn5",
             {184, 4, 81, 25},
             "Startseite",
             "programminterne Start-Seite (\"home\") aufrufen (alternativ: Startseite des Gatssystems) "},
            {"BitBtn6",
             {184, 30, 81, 25},
             "suchen",
             "programminterne Suchseite aufrufen (alternativ: Sucheseite des Gastsystems)"},
            {"BitBtn7",
             {4, 56, 81, 25},
             "Adresse:",
             "bei Anklicken wird die aktuelle Web-Adresse (URL) in die Zwischenablage kopiert"},
            {"BitBtn8", {672, 30, 97, 25}, "Einstellungen", "Programmeinstellungen vornehmen"},
            {"BitBtn9", {744, 56, 25, 25}, "", "Informationen zum Programm"},
            {"BitBtn10", {408, 4, 129, 25}, "Kavelo (aktuell)", "programminterner Download"},
            {"BitBtn11", {408, 30, 129, 25}, "Tabulo", "programminterner Download"},
            {"BitBtn12",
             {268, 4, 137, 25},
             "google",
             "programminterne Web-Adresse (Favorit / Bookmark / Link) ansteuern"},
            {"BitBtn13",
             {268, 30, 137, 25},
             "wikipedia",
             "programminterne Web-Adresse (Favorit / Bookmark / Link) ansteuern"},
            {"BitBtn14",
             {616, 56, 121, 25},
             "Adresse kopieren",
             "kopiert den markierten Teil aus der Web-Seite in die Windows-Zwischenablage"},
            {"BitBtn15", {540, 4, 129, 25}, "Kavelo (aktuell)", "programminterner Download"},
            {"BitBtn16", {540, 30, 129, 25}, "Tabulo", "programminterner Download"},
        };
        auto window = start();
        QCOMPARE(window->objectName(), QStringLiteral("KaveloMainForm"));
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Kavelo - der MiniBrowser  V.1.3.  ")));
        QCOMPARE(window->size(), QSize(774, 532));
        for (const ControlRow& row : rows) {
            auto* button = control<QPushButton>(*window, row.name);
            QCOMPARE(button->geometry(), row.rect);
            QCOMPARE(button->text(), QString::fromUtf8(row.caption));
            QCOMPARE(button->toolTip(), QString::fromUtf8(row.hint));
            QVERIFY2(button->isEnabled(), row.name);
            const int needed = button->fontMetrics().horizontalAdvance(button->text());
            const int room = row.rect.height() > 40 ? row.rect.width() - 2 : row.rect.width() - 24;
            QVERIFY2(needed <= room, row.name);
        }
        QCOMPARE(control(*window, "ComboBox1")->geometry(), QRect(84, 56, 533, 24));
        QCOMPARE(control(*window, "Panel1")->geometry(), QRect(4, 82, 765, 429));
        QCOMPARE(control(*window, "WebBrowser1")->geometry(), QRect(4, 4, 757, 421));
        QCOMPARE(control(*window, "StatusPanel0")->width(), 350);
        QCOMPARE(control(*window, "StatusPanel1")->width(), 400);
        QCOMPARE(window->statusBar()->height(), 18);
        QCOMPARE(window->statusBar()->objectName(), QStringLiteral("StatusBar1"));
    }

    void anchoredControlsFollowAResizeAndTheSizeHasAMinimum()
    {
        auto window = start();
        window->resize(874, 632);
        QCoreApplication::processEvents();
        QCOMPARE(control(*window, "ComboBox1")->geometry(), QRect(84, 56, 633, 24));
        QCOMPARE(control(*window, "Panel1")->geometry(), QRect(4, 82, 865, 529));
        QCOMPARE(control(*window, "BitBtn8")->geometry(), QRect(772, 30, 97, 25));
        QCOMPARE(control(*window, "BitBtn9")->geometry(), QRect(844, 56, 25, 25));
        QCOMPARE(control(*window, "BitBtn14")->geometry(), QRect(716, 56, 121, 25));
        QCOMPARE(control(*window, "BitBtn16")->geometry(), QRect(540, 30, 129, 25));
        QCOMPARE(control(*window, "BitBtn1")->geometry(), QRect(4, 4, 41, 51));

        window->resize(500, 300);
        QCoreApplication::processEvents();
        QCOMPARE(window->size(), QSize(774, 532));
    }

    void applySettingsColoursAndEnablesByTheRights()
    {
        auto window = start();
        QCOMPARE(background(*window), QColor(166, 202, 240));
        QVERIFY(control(*window, "ComboBox1")->isEnabled());
        for (Word maySurf : {0, 2}) {
            EinstellDaten.MaySurf = maySurf;
            EinstellDaten.MaySearch = 0;
            window->ApplySettings();
            QCOMPARE(background(*window), QColor(192, 220, 192));
            QVERIFY(!control(*window, "ComboBox1")->isEnabled());
            QVERIFY(!control(*window, "BitBtn6")->isEnabled());
        }
        EinstellDaten.MaySurf = 1;
        EinstellDaten.MaySearch = 1;
        window->ApplySettings();
        QCOMPARE(background(*window), QColor(166, 202, 240));
        QVERIFY(control(*window, "BitBtn6")->isEnabled());
    }

    void captionsFallBackWhenTheNameIsBlank()
    {
        auto window = start();
        const std::pair<QByteArray, QString> cases[] = {
            {QByteArray(), QStringLiteral("Download3")},
            {QByteArray(" "), QStringLiteral("Download3")},
            {QByteArray("\x01Name"), QStringLiteral("Download3")},
            {QByteArray(" x"), QStringLiteral(" x")},
            {QByteArray("Gr\xFC\xDF"
                        "e"),
             QStringLiteral("Grüße")},
        };
        for (const auto& [name, caption] : cases) {
            SetTextBytes(EinstellDaten.Download3Name, name);
            EinstellDaten.WebAddress2Name.length = 0;
            window->ApplySettings();
            QCOMPARE(control<QPushButton>(*window, "BitBtn15")->text(), caption);
            QCOMPARE(control<QPushButton>(*window, "BitBtn13")->text(), QStringLiteral("Web-Adresse2"));
        }
    }

    void autostopSetsTheEndTimer()
    {
        settings.AutoEndSeconds = 0;
        auto window = start({QStringLiteral("AutoStop")}, false);
        auto* timer1 = control<Timer>(*window, "Timer1");
        QVERIFY(timer1->isRunning());
        QCOMPARE(timer1->interval(), 86400000u);

        settings.AutoEndSeconds = 30;
        window = start({QStringLiteral("autostop")}, false);
        QCOMPARE(control<Timer>(*window, "Timer1")->interval(), 30000u);

        window = start({QStringLiteral("-autostop")}, false);
        QVERIFY(!control<Timer>(*window, "Timer1")->isRunning());
    }

    void withoutArgumentsOnlyTheSettingsStartTimers()
    {
        settings.AutoEndSeconds = 0;
        settings.RefreshMinutes = 0;
        auto window = start();
        for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
            QVERIFY2(!control<Timer>(*window, name)->isRunning(), name);

        settings.AutoEndSeconds = 7;
        settings.RefreshMinutes = 3;
        window = start();
        QVERIFY(control<Timer>(*window, "Timer1")->isRunning());
        QCOMPARE(control<Timer>(*window, "Timer1")->interval(), 7000u);
        QCOMPARE(control<Timer>(*window, "Timer3")->interval(), 180000u);
        QVERIFY(control<Timer>(*window, "Timer3")->isRunning());
        QVERIFY(control<Timer>(*window, "Timer4")->isRunning());
        QVERIFY(!control<Timer>(*window, "Timer2")->isRunning());
    }

    void windowModes()
    {
        settings.WindowMode = 1;
        settings.WindowWidth = 791;
        settings.WindowHeight = 0;
        auto window = start({}, false);
        QCOMPARE(window->size(), QSize(775, 532));

        settings.WindowMode = 2;
        window = start({}, false);
        QVERIFY(window->windowState() & Qt::WindowMaximized);

        window = start({QStringLiteral("3")}, false);
        QVERIFY(window->windowState() & Qt::WindowMinimized);
        QVERIFY(control<Timer>(*window, "Timer2")->isRunning());

        window = start({QStringLiteral(" 1"), QStringLiteral("01"), QStringLiteral("5")}, false);
        QVERIFY(!(window->windowState() & Qt::WindowMinimized));
        QVERIFY(!control<Timer>(*window, "Timer2")->isRunning());
    }

    void hintsReachPanelOneAndLeavingClearsIt()
    {
        auto window = start();
        auto* panel1 = control<QLabel>(*window, "StatusPanel1");
        auto* back = control<QPushButton>(*window, "BitBtn1");
        QStatusTipEvent enter(back->statusTip());
        QCoreApplication::sendEvent(back, &enter);
        QCOMPARE(panel1->text(), QStringLiteral("Surf-Tour einen Schritt (eine Seite) zurück gehen"));
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(control(*window, "WebBrowser1"), &leave);
        QCOMPARE(panel1->text(), QString());
        QStatusTipEvent bar(window->statusBar()->statusTip());
        QCoreApplication::sendEvent(window->statusBar(), &bar);
        QCOMPARE(panel1->text(), QStringLiteral("Statuszeile enthält verschiedene Lade-Informationen, "
                                                "Hilfe-Stellungen und Status-Anzeigen"));
        QCOMPARE(control<QLabel>(*window, "StatusPanel0")->text(), QStringLiteral("fertig und bereit!"));
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
        settings.MaySurf = static_cast<Word>(maySurf);
        settings.MaySearch = static_cast<Word>(maySearch);
        auto window = start({QStringLiteral("0"), QStringLiteral("autostop")});
        const bool locked = maySurf == 0;
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn7", "BitBtn10", "BitBtn11", "BitBtn12",
                                 "BitBtn13", "BitBtn15", "BitBtn16", "ComboBox1"})
            QVERIFY2(control(*window, name)->isEnabled() == !locked, name);
        for (const char* name : {"BitBtn4", "BitBtn5", "BitBtn8", "BitBtn9", "BitBtn14"})
            QVERIFY2(control(*window, name)->isEnabled(), name);
        QCOMPARE(control(*window, "BitBtn6")->isEnabled(), maySearch == 1);
        QCOMPARE(background(*window), locked ? QColor(192, 220, 192) : QColor(166, 202, 240));
        QVERIFY(control<Timer>(*window, "Timer1")->isRunning());
    }
};

KAVELO_GUI_TEST_MAIN(MainWindowTest)

#include "MainWindowTest.moc"
