#include "mainwindow/MB_main.h"

#include "dialogs/about.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/MainControls.h"
#include "mainwindow/TimerIntervals.h"
#include "mainwindow/WindowGeometry.h"
#include "platform/host/Clock.h"
#include "platform/host/Messages.h"
#include "platform/host/Timer.h"
#include "platform/web/BrowserView.h"
#include "platform/web/KaveloPage.h"
#include "resources/Glyphs.h"
#include "settings/AnsiText.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"
#include "widgets/AnchorLayout.h"
#include "widgets/FocusRing.h"
#include "widgets/GlyphButton.h"
#include "widgets/IdleWatch.h"
#include "widgets/ProgramFont.h"
#include "widgets/StatusPanel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>
#include <cstdio>
#include <tuple>

namespace {

const QColor kSkyBlue(166, 202, 240);
const QColor kMoneyGreen(192, 220, 192);

constexpr int kStatusBarHeight = 18;

const QString kAddressDescription =
    QStringLiteral("Web-Adresse eingeben und mit Enter aufrufen; die Liste enthält die besuchten Adressen");
const QString kPageDescription = QStringLiteral("die angezeigte Web-Seite");

// A control's spoken name with its caption.
QString spokenName(const QWidget& control, const QString& caption)
{
    for (const MainControl& row : kMainControls)
        if (control.objectName() == QLatin1String(row.name))
            return QString::fromUtf8(row.spoken).replace(QStringLiteral("%1"), caption);
    return caption;
}

}  // namespace

TKaveloMainForm::TKaveloMainForm(const QString& programFolder, const QStringList& arguments, const QString& dataFolder)
{
    setObjectName(QStringLiteral("KaveloMainForm"));
    setWindowTitle(QStringLiteral("Kavelo - der MiniBrowser  V.1.3.") + QString(20, QLatin1Char(' '))
                   + QStringLiteral("© Kavelo-Soft"));
    setWindowIcon(glyph(QStringLiteral("app")));
    setFont(programFont());
    createControls();
    createTimers();
    createShortcuts();
    resize(kDesignClientSize);
    FormCreate(programFolder, dataFolder.isEmpty() ? programFolder : dataFolder, arguments);
}

// The idle limit of the dialogs and boxes belongs to this window's run.
TKaveloMainForm::~TKaveloMainForm()
{
    setIdleLimit(std::chrono::milliseconds::zero());
}

void TKaveloMainForm::setDialogs(const KaveloDialogs& created)
{
    dialogs = created;
}

GlyphButton* TKaveloMainForm::createButton(const MainControl& control)
{
    const bool tall = control.rect.height() > 40;
    auto* button = new GlyphButton(QString::fromUtf8(control.caption), glyph(QString::fromLatin1(control.glyph)),
                                   tall ? GlyphButton::Layout::ImageAbove : GlyphButton::Layout::ImageLeft);
    button->setObjectName(QLatin1String(control.name));
    const QString hint = QString::fromUtf8(control.hint);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

void TKaveloMainForm::createControls()
{
    // On a screen smaller than the design the window is smaller too: the
    // controls keep their size and place and the area scrolls. From the design
    // size up the area fills the window and the anchors follow its growth.
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("ClientArea"));
    area->setAutoFillBackground(true);
    auto* layout = new AnchorLayout(area, kDesignArea);
    clientScroller = new QScrollArea(this);
    clientScroller->setObjectName(QStringLiteral("ClientScroller"));
    clientScroller->setFrameShape(QFrame::NoFrame);
    clientScroller->setWidgetResizable(true);
    clientScroller->setFocusPolicy(Qt::NoFocus);  // the tab chain holds the controls only
    clientScroller->setWidget(area);
    setCentralWidget(clientScroller);
    setMinimumSize(kDesignClientSize);

    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr);  // completion would change the case of a typed path
    ComboBox1->setFont(programFont(13));

    Panel1 = new QFrame;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // A raised outer and a lowered inner bevel of 2 pixels each.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setMidLineWidth(0);
    auto* inner = new QVBoxLayout(Panel1);
    inner->setContentsMargins(0, 0, 0, 0);
    WebBrowser1 = new BrowserView(Panel1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    // The page's widget takes the focus; the view holds its place in the tab chain.
    WebBrowser1->setFocusPolicy(Qt::StrongFocus);
    inner->addWidget(WebBrowser1);

    // A control joins the tab chain as it joins the area: in the table's order.
    for (const MainControl& row : kMainControls) {
        QWidget* widget = row.glyph                                            ? createButton(row)
                          : QLatin1String(row.name) == ComboBox1->objectName() ? static_cast<QWidget*>(ComboBox1)
                                                                               : Panel1;
        layout->add(widget, row.rect, row.anchors);
        // The page's frame lends its name to the page; the captions from the settings come with ApplySettings.
        QWidget* spoken = widget == Panel1 ? WebBrowser1 : widget;
        spoken->setAccessibleName(spokenName(*widget, QString::fromUtf8(row.caption)));
        spoken->setAccessibleDescription(QString::fromUtf8(row.hint));
    }
    // Linux's screen readers name an editable box by its label, else by its text.
    auto* addressLabel = new QLabel(ComboBox1->accessibleName(), area);
    addressLabel->setObjectName(QStringLiteral("AddressLabel"));
    addressLabel->setBuddy(ComboBox1);
    addressLabel->hide();
    ComboBox1->lineEdit()->setAccessibleName(ComboBox1->accessibleName());
    ComboBox1->setAccessibleDescription(kAddressDescription);
    WebBrowser1->setAccessibleDescription(kPageDescription);
    new FocusRing(area);
    const std::pair<GlyphButton**, void (TKaveloMainForm::*)()> buttons[] = {
        {&BitBtn1, &TKaveloMainForm::BitBtn1Click},   {&BitBtn2, &TKaveloMainForm::BitBtn2Click},
        {&BitBtn3, &TKaveloMainForm::BitBtn3Click},   {&BitBtn4, &TKaveloMainForm::BitBtn4Click},
        {&BitBtn5, &TKaveloMainForm::BitBtn5Click},   {&BitBtn6, &TKaveloMainForm::BitBtn6Click},
        {&BitBtn7, &TKaveloMainForm::BitBtn7Click},   {&BitBtn8, &TKaveloMainForm::BitBtn8Click},
        {&BitBtn9, &TKaveloMainForm::BitBtn9Click},   {&BitBtn10, &TKaveloMainForm::BitBtn10Click},
        {&BitBtn11, &TKaveloMainForm::BitBtn11Click}, {&BitBtn12, &TKaveloMainForm::BitBtn12Click},
        {&BitBtn13, &TKaveloMainForm::BitBtn13Click}, {&BitBtn14, &TKaveloMainForm::BitBtn14Click},
        {&BitBtn15, &TKaveloMainForm::BitBtn15Click}, {&BitBtn16, &TKaveloMainForm::BitBtn16Click}};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        const auto [button, handler] = buttons[i];
        *button = findChild<GlyphButton*>(QStringLiteral("BitBtn%1").arg(i + 1));
        // Every handler shows its own errors in the error box: none crosses Qt's dispatch.
        connect(*button, &QPushButton::clicked, this, showingErrorsIn(this, handler));
    }
    BitBtn7->setSpacing(8);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusBarHeight);
    // The panels start at the bar's left edge, side by side; the bar's own
    // layout would indent them and put a gap between them.
    StatusPanel0 = new StatusPanel(bar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setGeometry(0, 0, 350, kStatusBarHeight);
    StatusPanel1 = new StatusPanel(bar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setGeometry(350, 0, 400, kStatusBarHeight);
    for (QLabel* panel : {StatusPanel0, StatusPanel1})
        setPanelText(panel, {});
    StatusPanel0->setAccessibleDescription(QStringLiteral("Zustand der Seite oder Fortschritt des Downloads"));
    StatusPanel1->setAccessibleDescription(
        QStringLiteral("Hinweis zum Bedienelement unter dem Mauszeiger oder Ergebnis des Downloads"));

    connect(ComboBox1, &QComboBox::activated, this, showingErrorsIn(this, &TKaveloMainForm::ComboBox1Change));
    // Keys reach the box itself when it has the focus, and its edit field when
    // sent there directly: Enter is caught on both.
    ComboBox1->installEventFilter(this);
    ComboBox1->lineEdit()->installEventFilter(this);
    WebBrowser1->installEventFilter(this);  // a page's widget made anew, see placeViewInTabOrder
    // The view's signals come from inside the engine's: their error boxes come later.
    connect(WebBrowser1, &BrowserView::NavigateComplete2, this,
            showingErrorsLaterIn(this, &TKaveloMainForm::WebBrowser1NavigateComplete2));
    connect(WebBrowser1, &BrowserView::ProgressChange, this,
            showingErrorsLaterIn(this, &TKaveloMainForm::WebBrowser1ProgressChange));
    connect(WebBrowser1, &BrowserView::rendererGone, this,
            showingErrorsLaterIn(this, &TKaveloMainForm::WebBrowser1RendererGone));
    WebBrowser1->setNavigationButtons(BitBtn1, BitBtn2, BitBtn4);
}

// The page is shown by a widget that the view creates when it is set up, in its
// place in the tab chain, and anew after a renderer was lost; that one would
// join the end of the chain, but belongs between the copy-address button and
// the settings button.
void TKaveloMainForm::placeViewInTabOrder()
{
    if (WebBrowser1->focusProxy()) {
        setTabOrder(BitBtn7, WebBrowser1);
        setTabOrder(WebBrowser1, BitBtn8);
    }
}

void TKaveloMainForm::createTimers()
{
    Timer1 = new Timer(1000, false, this);
    Timer2 = new Timer(static_cast<std::uint32_t>(kAutoDownloadDelay.count()), false, this);
    Timer3 = new Timer(1000, true, this);
    Timer4 = new Timer(static_cast<std::uint32_t>(kCountdownStep.count()), true, this);
    const std::tuple<Timer*, const char*, void (TKaveloMainForm::*)()> timers[] = {
        {Timer1, "Timer1", &TKaveloMainForm::Timer1Timer},
        {Timer2, "Timer2", &TKaveloMainForm::Timer2Timer},
        {Timer3, "Timer3", &TKaveloMainForm::Timer3Timer},
        {Timer4, "Timer4", &TKaveloMainForm::Timer4Timer}};
    for (const auto& [timer, name, handler] : timers) {
        timer->setObjectName(QLatin1String(name));
        connect(timer, &Timer::timeout, this, showingErrorsIn(this, handler));
    }
}

void TKaveloMainForm::FormCreate(const QString& programFolder, const QString& dataFolder, const QStringList& arguments)
{
    BackStepPending = false;
    ViewerOnly = false;
    DownloadDirs = DownloadDirState{};
    LastRefreshDate.clear();
    LastRefreshTime.clear();

    ProgramFolder = programFolder;
    DataFolder = dataFolder;
    if (!QDir::setCurrent(ProgramFolder))
        showMessage(MessageKind::Information,
                    QStringLiteral("Problem beim Zugriff auf das Programmverzeichnis:\r") + ProgramFolder
                        + QStringLiteral("\rEventuell können bestimmte Dateien nicht gefunden werden!"));

    AdminLoggedIn = false;
    AutoDownload1 = AutoDownload2 = AutoDownload3 = AutoDownload4 = false;
    for (Timer* timer : {Timer1, Timer2, Timer3, Timer4})
        timer->stop();
    RefreshElapsedMs = 0;
    HistoryPosition = 0;
    HistoryFarthest = 0;

    // Before the event loop runs nothing would catch what these throw: each
    // shows its error here, and the start goes on.
    settingsUnusable = true;  // also when reading them throws
    showingErrors([this] { settingsUnusable = !InitSettings(); });
    showingErrors([this] { SetupDownloadFolders(); });
    forgetEarlierVisitors();

    if (EinstellDaten.WindowMode == 1)
        resize(clientSizeForOuter(fixedModeOuterSize(EinstellDaten.WindowWidth, EinstellDaten.WindowHeight)));
    // Never larger than the screen leaves room for, also in the fixed mode: the
    // area scrolls instead. Placed before a window state is set: that creates
    // the native window, after which a position no longer counts the frame.
    if (const QScreen* screen = this->screen()) {
        const QSize room = clientSizeForOuter(screen->availableGeometry().size());
        setMinimumSize(minimumSize().boundedTo(room));
        resize(size().boundedTo(room));
        move(centredPosition(screen->availableGeometry(), size() + kFrameExtra));
    }
    if (EinstellDaten.WindowMode == 2)
        setWindowState(Qt::WindowMaximized);

    readCommandLine(arguments);
}

void TKaveloMainForm::readCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty()) {
        for (Timer* timer : {Timer1, Timer2, Timer3})
            timer->stop();
        return;
    }
    for (Keyword keyword : parseCommandLine(arguments)) {
        switch (keyword) {
        case Keyword::Autostop:
            Timer1->start(autoEndInterval(EinstellDaten.AutoEndSeconds));
            break;
        case Keyword::Download1:
        case Keyword::Download2:
        case Keyword::Download3:
        case Keyword::Download4:
            // Without its settings a job would fetch the built-in addresses:
            // it fetches nothing, and its end says it failed.
            if (settingsUnusable)
                autoDownloadFailed = true;
            else
                (keyword == Keyword::Download1   ? AutoDownload1
                 : keyword == Keyword::Download2 ? AutoDownload2
                 : keyword == Keyword::Download3 ? AutoDownload3
                                                 : AutoDownload4) = true;
            Timer2->start();
            setWindowState(Qt::WindowMinimized);
            break;
        case Keyword::ViewerOnly:
            ViewerOnly = true;
            startViewerOnly();
            break;
        }
    }
}

bool TKaveloMainForm::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        showhint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// The first showing runs the start-up's last step before the native window is
// made: the home page's request then starts while the window system sets the
// window up.
void TKaveloMainForm::setVisible(bool visible)
{
    if (visible && !shownOnce) {
        shownOnce = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
}

void TKaveloMainForm::FormShow()
{
    ApplySettings();
    UpdateHistoryCounter();
    const QString home = textToString(EinstellDaten.HomePage);
    if (!home.isEmpty()) {
        ComboBox1->setEditText(home);
        WebBrowser1->Navigate(ComboBox1->currentText());
        stamp();
    }
    if (ComboBox1->isEnabled()) {
        ComboBox1->setFocus();
        ComboBox1->lineEdit()->selectAll();  // typing replaces the address, as in any address box
    } else {
        BitBtn5->setFocus();
    }
    ShowPageState();
}

void TKaveloMainForm::ApplySettings()
{
    const bool maySurf = EinstellDaten.MaySurf == 1;
    QPalette palette = centralWidget()->palette();
    palette.setColor(QPalette::Window, maySurf ? kSkyBlue : kMoneyGreen);
    centralWidget()->setPalette(palette);
    ComboBox1->setEnabled(maySurf);
    BitBtn6->setEnabled(EinstellDaten.MaySearch == 1);
    // What a page may do: the viewer's visitor never surfs.
    KaveloPage* page = WebBrowser1->kaveloPage();
    page->setSurfingAllowed(maySurf && !ViewerOnly);
    page->setUploadFolders(downloadFolders(), {ProgramFolder, DataFolder});

    const std::pair<GlyphButton*, const Text*> captions[] = {
        {BitBtn10, &EinstellDaten.Download1Name},   {BitBtn11, &EinstellDaten.Download2Name},
        {BitBtn15, &EinstellDaten.Download3Name},   {BitBtn16, &EinstellDaten.Download4Name},
        {BitBtn12, &EinstellDaten.WebAddress1Name}, {BitBtn13, &EinstellDaten.WebAddress2Name}};
    const QString fallbacks[] = {QStringLiteral("Download1"),    QStringLiteral("Download2"),
                                 QStringLiteral("Download3"),    QStringLiteral("Download4"),
                                 QStringLiteral("Web-Adresse1"), QStringLiteral("Web-Adresse2")};
    for (std::size_t i = 0; i < std::size(captions); ++i) {
        const auto [button, name] = captions[i];
        const QString caption = isPresent(*name) ? textToString(*name) : fallbacks[i];
        // Shown as written: an "&" makes no mnemonic, so Alt with a letter
        // stays the window's own key (Alt+D is the address box).
        button->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
        button->setAccessibleName(spokenName(*button, caption));
    }

    if (!Timer1->isRunning()) {
        if (EinstellDaten.AutoEndSeconds != 0)
            Timer1->start(autoEndInterval(EinstellDaten.AutoEndSeconds));
        else
            Timer1->setInterval(kNoAutoEnd);
    }
    if (EinstellDaten.RefreshMinutes != 0) {
        Timer3->start(refreshInterval(EinstellDaten.RefreshMinutes));
        if (!Timer4->isRunning())
            Timer4->start();
    }
    // A kiosk's and a job's dialogs and boxes wait no longer than a timed
    // reload for an answer, or a minute without one.
    if (ViewerOnly || AutoDownload1 || AutoDownload2 || AutoDownload3 || AutoDownload4)
        setIdleLimit(unattendedIdleLimit(EinstellDaten.RefreshMinutes));
}

void TKaveloMainForm::UpdateHistoryCounter()
{
    if (HistoryPosition > HistoryFarthest)
        HistoryFarthest = HistoryPosition;
}

QWidget* TKaveloMainForm::stopButton() const
{
    return BitBtn3;
}

void TKaveloMainForm::Timer1Timer()
{
    // The end comes on time, also in the middle of a download, which it breaks
    // off; a job whose downloads it cuts short says so.
    if (downloadRunning || runStatus() != 0) {
        const QString line =
            QStringLiteral("Kavelo: Das automatische Ende nach %1 s kam, bevor alle Downloads fertig waren.\n")
                .arg(Timer1->interval() / 1000);
        std::fputs(line.toLocal8Bit().constData(), stderr);
    }
    if (downloadRunning)
        breakOff(1);
    else
        EndProgram(runStatus());
}

void TKaveloMainForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void TKaveloMainForm::FormClose()
{
    showingErrors([this] { writeBackDownloadDir(); });
}

void TKaveloMainForm::EndProgram(int exitCode)
{
    showingErrors([this] { writeBackDownloadDir(); });
    QCoreApplication::exit(exitCode);
}

void TKaveloMainForm::endBySignal(int signal)
{
    breakOff(128 + signal);
}

int TKaveloMainForm::runStatus() const
{
    const bool pending = AutoDownload1 || AutoDownload2 || AutoDownload3 || AutoDownload4;
    return pending || autoDownloadFailed ? 1 : 0;
}

void TKaveloMainForm::BitBtn9Click()
{
    execWatched(*dialogs.about);
}
