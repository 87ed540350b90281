// Viewer-only mode and the timed reload of the home page with its countdown.

#include "mainwindow/MB_main.h"
#include "mainwindow/StatusTexts.h"
#include "mainwindow/TimerIntervals.h"
#include "platform/host/Clock.h"
#include "platform/host/Messages.h"
#include "platform/host/Timer.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "widgets/Clipboard.h"
#include "widgets/GlyphButton.h"
#include "widgets/IdleWatch.h"
#include "widgets/StatusPanel.h"
#include "widgets/VisitorInput.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <cstdio>

void TKaveloMainForm::startViewerOnly()
{
    clearClipboard();
    watchVisitorInput();
    if (EinstellDaten.MaySurf == 0) {
        for (QWidget* control :
             std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn3, BitBtn6, BitBtn7, BitBtn10, BitBtn11, BitBtn15,
                                             BitBtn16, BitBtn12, BitBtn13, ComboBox1})
            control->setEnabled(false);
        // An info screen behind a login keeps it across restarts; nobody surfs there.
        WebBrowser1->startAfresh(true);
    }
    // A kiosk that anyone could unlock: the one who set it up hears of it.
    if (AdminPassword == kBuiltInAdminPassword)
        std::fputs(
            "Warnung: Es gilt noch das eingebaute Administrator-Passwort, das jeder nachlesen kann. "
            "Bitte ändern Sie es in den Einstellungen.\n",
            stderr);
    stamp();
    if (EinstellDaten.RefreshMinutes != 0) {
        Timer3->start(refreshInterval(EinstellDaten.RefreshMinutes));
        Timer4->start();
    }
    ShowPageState();
}

void TKaveloMainForm::stamp()
{
    const QDateTime now = currentDateTime();
    LastRefreshTime = timeStamp(now);
    LastRefreshDate = dateStamp(now);
}

// The home page comes back also from a page that hangs or will not be left.
// A viewer whose visitors surf starts afresh for the next one: nothing of the
// last visitor stays, neither what the pages stored nor the addresses.
void TKaveloMainForm::Timer3Timer()
{
    // Not while a visitor types or clicks: the return waits for a quiet spell,
    // then the clock starts a full interval again.
    if (ViewerOnly && sinceVisitorInput() < quietBeforeReturn()) {
        returnWaits = true;
        Timer3->start(quietBeforeReturn() - sinceVisitorInput());
        Timer4Timer();
        return;
    }
    if (std::exchange(returnWaits, false)) {
        Timer3->start(refreshInterval(EinstellDaten.RefreshMinutes));
        RefreshElapsedMs = 0;
    }
    const QString home = textToString(EinstellDaten.HomePage);
    // What the last visitor copied or left open goes.
    if (ViewerOnly) {
        clearClipboard();
        endVisitorWindows();
    }
    if (ViewerOnly && EinstellDaten.MaySurf != 0) {
        WebBrowser1->startAfresh(false, showingErrorsIn([this, home] {
                                     ComboBox1->clear();
                                     HistoryPosition = 0;
                                     HistoryFarthest = 0;
                                     shownHistoryEntry = -1;
                                     WebBrowser1->Navigate(home);
                                 }));
    } else {
        WebBrowser1->navigateAsProgram([this, home] { WebBrowser1->Navigate(home); }, true);
    }
    stamp();
    ShowPageState();
    WebBrowser1->setFocus();
}

void TKaveloMainForm::Timer4Timer()
{
    // A kiosk nobody has used for the idle limit closes what was left open,
    // also the menus and the colour chooser that no idle watch of their own ends.
    if (ViewerOnly && sinceVisitorInput() >= unattendedIdleLimit(EinstellDaten.RefreshMinutes))
        endVisitorWindows();
    const QString home = textToString(EinstellDaten.HomePage);
    const CountdownTick tick = nextCountdown(RefreshElapsedMs, Timer3->interval(), showsHomePage(), home);
    RefreshElapsedMs = tick.elapsedMs;
    const QString text = returnWaits ? returnWaitsText() : tick.text;
    showPageText(text);
    statusBar()->setToolTip(text);
    statusBar()->setStatusTip(text);
    setPanelText(StatusPanel1, lastRefreshText(home, LastRefreshDate, LastRefreshTime));
}
