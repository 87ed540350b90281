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

void TKaveloMainForm::showPageText(const QString& text)
{
    pageText = text;
    if (downloadText.isEmpty())
        StatusPanel0->setText(text);
}

void TKaveloMainForm::showDownloadProgress(const QString& text)
{
    downloadText = text;
    StatusPanel0->setText(text.isEmpty() ? pageText : text);
}

bool TKaveloMainForm::showsHomePage() const
{
    return WebBrowser1->LocationURL() == encodedAddress(textToString(EinstellDaten.HomePage));
}

void TKaveloMainForm::ShowPageState()
{
    if (!ViewerOnly) {
        showPageText(kReadyText);
        statusBar()->setToolTip(kStatusBarHint);
        statusBar()->setStatusTip(kStatusBarHint);
        return;
    }
    StatusPanel1->setText(viewerPageText(showsHomePage(), textToString(EinstellDaten.HomePage), LastRefreshDate,
                                         LastRefreshTime, EinstellDaten.RefreshMinutes));
    statusBar()->setToolTip(pageText);
    statusBar()->setStatusTip(pageText);
}

void TKaveloMainForm::WebBrowser1ProgressChange(int progress, int progressMax)
{
    if (ViewerOnly || progress == -1 || progressMax == 0) {
        ShowPageState();
        return;
    }
    showPageText(progressText(progress, progressMax));
}
