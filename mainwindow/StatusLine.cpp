// The status line of the main window: the hint of the control under the
// pointer, the load progress and the page state.

#include "mainwindow/MB_main.h"
#include "mainwindow/StatusTexts.h"
#include "platform/web/BrowserView.h"
#include "settings/AnsiText.h"
#include "widgets/StatusPanel.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QStatusBar>
#include <cstdio>

// Every control's hint reaches the window as a status tip when the pointer
// enters it, and an empty one when it leaves (see event). Why a download
// failed stays while the pointer rests where it was when the download ended:
// leaving the clicked button for the message and coming back when the
// message closes replace it no more than a control without a hint.
void TKaveloMainForm::showhint(const QString& hint)
{
    if (!failureText.isEmpty() && StatusPanel1->text() == failureText
        && (hint.isEmpty() || QApplication::widgetAt(QCursor::pos()) == failureUnder))
        return;
    failureText.clear();
    setPanelText(StatusPanel1, hint);
}

// A screen reader reads a named label by its name alone: the name carries the text.
void TKaveloMainForm::setPanelText(QLabel* panel, const QString& text)
{
    panel->setText(text);
    const QString purpose = panel == StatusPanel0 ? QStringLiteral("Status") : QStringLiteral("Hinweis");
    panel->setAccessibleName(text.isEmpty() ? purpose : purpose + QStringLiteral(": ") + text);
}

// "Download 1: Server nicht gefunden", in panel 1 and, for runs without
// anybody at the window, always on standard error.
void TKaveloMainForm::showDownloadFailure(int n, const QString& why)
{
    failureText = QStringLiteral("Download %1: %2").arg(n).arg(why);
    failureUnder = QApplication::widgetAt(QCursor::pos());
    setPanelText(StatusPanel1, failureText);
    std::fprintf(stderr, "%s\n", failureText.toLocal8Bit().constData());
}

void TKaveloMainForm::showPageText(const QString& text)
{
    pageText = text;
    if (downloadText.isEmpty())
        setPanelText(StatusPanel0, text);
}

void TKaveloMainForm::showDownloadProgress(const QString& text)
{
    downloadText = text;
    setPanelText(StatusPanel0, text.isEmpty() ? pageText : text);
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
    setPanelText(StatusPanel1, viewerPageText(showsHomePage(), textToString(EinstellDaten.HomePage), LastRefreshDate,
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
