// Viewer-only mode and the timed reload of the home page with its countdown.

#include "mainwindow/MB_main.h"
#include "mainwindow/StatusTexts.h"
#include "mainwindow/TimerIntervals.h"
#include "platform/host/Clock.h"
#include "platform/host/Timer.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "widgets/GlyphButton.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>

void TKaveloMainForm::startViewerOnly()
{
    if (EinstellDaten.MaySurf == 0) {
        for (QWidget* control :
             std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn3, BitBtn6, BitBtn7, BitBtn10, BitBtn11, BitBtn15,
                                             BitBtn16, BitBtn12, BitBtn13, ComboBox1})
            control->setEnabled(false);
    }
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
void TKaveloMainForm::Timer3Timer()
{
    WebBrowser1->navigateAsProgram([this] { WebBrowser1->Navigate(textToString(EinstellDaten.HomePage)); }, true);
    stamp();
    ShowPageState();
    WebBrowser1->setFocus();
}

void TKaveloMainForm::Timer4Timer()
{
    const QString home = textToString(EinstellDaten.HomePage);
    const CountdownTick tick = nextCountdown(RefreshElapsedMs, Timer3->interval(), showsHomePage(), home);
    RefreshElapsedMs = tick.elapsedMs;
    showPageText(tick.text);
    statusBar()->setToolTip(tick.text);
    statusBar()->setStatusTip(tick.text);
    StatusPanel1->setText(lastRefreshText(home, LastRefreshDate, LastRefreshTime));
}
