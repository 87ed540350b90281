// The four download buttons and the download folders, as operations of the
// main window.

#include "dialogs/InfoDialog.h"
#include "downloads/DownloadRun.h"
#include "mainwindow/MB_main.h"

#include <QApplication>
#include <QCursor>

void TKaveloMainForm::BitBtn10Click()
{
    RunDownload(1);
}

void TKaveloMainForm::BitBtn11Click()
{
    RunDownload(2);
}

void TKaveloMainForm::BitBtn15Click()
{
    RunDownload(3);
}

void TKaveloMainForm::BitBtn16Click()
{
    RunDownload(4);
}

bool& TKaveloMainForm::autoDownloadFlag(int n)
{
    switch (n) {
    case 1:
        return AutoDownload1;
    case 2:
        return AutoDownload2;
    case 3:
        return AutoDownload3;
    default:
        return AutoDownload4;
    }
}

bool TKaveloMainForm::RunDownload(int n)
{
    const DownloadPlan plan = PlanDownload(n);
    AttemptHooks hooks;
    hooks.setBusy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    const bool success = RunAttempts(plan, hooks);

    bool& automatic = autoDownloadFlag(n);
    if (automatic) {
        // The automatic download reports for itself.
        automatic = false;
        autoDownloadFailed = autoDownloadFailed || !success;
    } else if (!isMinimized()) {
        const std::int32_t duration = EinstellDaten.SilentMode == 0 ? -1 : 0;
        if (success)
            ShowFlashMessage(QStringLiteral("Download"), QString(), plan.urlTail, QStringLiteral("abgeschlossen!"),
                             QString(), QString(), QString(), duration);
        else
            ShowFlashMessage(QStringLiteral("Problem!!!"), QStringLiteral("Download:"), plan.urlTail,
                             QStringLiteral("NICHT durchgeführt!"), QString(), QString(), QString(), duration);
    }
    FinishDownload(plan, success);
    return success;
}

void TKaveloMainForm::SetupDownloadFolders()
{
    ::SetupDownloadFolders(DownloadDirs);
}
