// The status line of the main window: the hint of the control under the
// pointer, the load progress and the page state.

#include "mainwindow/MB_main.h"
#include "mainwindow/StatusTexts.h"
#include "platform/BrowserView.h"
#include "settings/AnsiText.h"

#include <QLabel>
#include <QStatusBar>

// Every control's hint reaches the window as a status tip when the pointer
// enters it, and an empty one when it leaves (see event).
void TKaveloMainForm::showhint(const QString& hint)
{
    StatusPanel1->setText(hint);
}

bool TKaveloMainForm::showsHomePage() const
{
    return WebBrowser1->LocationURL() == EncodedAddress(TextToString(EinstellDaten.HomePage));
}

void TKaveloMainForm::ShowPageState()
{
    if (!ViewerOnly) {
        StatusPanel0->setText(kReadyText);
        statusBar()->setToolTip(kStatusBarHint);
        statusBar()->setStatusTip(kStatusBarHint);
        return;
    }
    StatusPanel1->setText(ViewerPageText(showsHomePage(), TextToString(EinstellDaten.HomePage), LastRefreshDate,
                                         LastRefreshTime, EinstellDaten.RefreshMinutes));
    statusBar()->setToolTip(StatusPanel0->text());
    statusBar()->setStatusTip(StatusPanel0->text());
}

void TKaveloMainForm::WebBrowser1ProgressChange(int progress, int progressMax)
{
    if (ViewerOnly || progress == -1 || progressMax == 0) {
        ShowPageState();
        return;
    }
    StatusPanel0->setText(ProgressText(progress, progressMax));
}
