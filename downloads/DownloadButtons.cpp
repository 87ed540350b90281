// The four download buttons, the download folders and the break-off of a
// transfer, as operations of the main window.

#include "dialogs/InfoDialog.h"
#include "downloads/CancelFlag.h"
#include "downloads/CurlLibrary.h"
#include "downloads/DownloadFolders.h"
#include "downloads/DownloadRun.h"
#include "downloads/DownloadWait.h"
#include "downloads/WorkerHandoff.h"
#include "mainwindow/MB_main.h"
#include "mainwindow/StatusTexts.h"
#include "platform/files/RunLock.h"
#include "platform/host/Clock.h"
#include "platform/host/Messages.h"
#include "platform/host/Timer.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QScopeGuard>
#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

// A target in the program's folder or in a folder from which the desktop starts
// programs, or one reached through a link or folder another user may have
// planted or may change, is refused before anything is fetched.
bool refuseProtectedTarget(const DownloadPlan& plan)
{
    const QString refusal = downloadRefusal(plan, {ProgramFolder, DataFolder});
    if (!refusal.isEmpty())
        showMessage(MessageKind::Error, refusal);
    return !refusal.isEmpty();
}

// One attempt on a worker thread, while the window waits; showProgress runs
// on this thread a few times a second, and what it throws breaks the transfer
// off. ok only on complete success.
TransferResult DownloadToFile(FileTransfer& transfer, CancelFlag& breakOff,
                              const std::function<void(const TransferProgress&)>& showProgress)
{
    TransferResult result;
    runOnWorker([&transfer, &result] { result = transfer.attempt(); },
                [&transfer, &showProgress] { showProgress(transfer.progress()); }, breakOff);
    return result;
}

}  // namespace

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
    // A running number is read, used and advanced under the run lock, from the
    // file: a job may have used numbers since the window read its settings.
    const DownloadFields fields = downloadFieldsOf(n);
    std::optional<RunLock> counterLock;
    if (isNumberedMode(EinstellDaten.*fields.suffix)) {
        counterLock.emplace(ProgramFolder, std::chrono::milliseconds(0));
        if (counterLock->state() == RunLock::State::Refused) {
            showMessage(MessageKind::Error,
                        counterLock->refusal() + QStringLiteral("\rDer Download wird nicht gestartet."));
            return false;
        }
        if (!counterLock->mayGoOn()) {
            showMessage(MessageKind::Information,
                        QStringLiteral("Ein anderer Download mit denselben Einstellungen läuft gerade.\r"
                                       "Bitte versuchen Sie es gleich noch einmal."));
            return false;
        }
        if (const std::optional<TEinstellRecord> saved = peekSettingsFile(ProgramFolder + SettingsFileName))
            EinstellDaten.*fields.counter = (*saved).*fields.counter;
    }
    const DownloadPlan plan = planDownload(EinstellDaten, n, currentDateTime(), QDir::currentPath());
    if (refuseProtectedTarget(plan)) {
        bool& automatic = autoDownloadFlag(n);
        autoDownloadFailed = autoDownloadFailed || automatic;
        automatic = false;
        return false;
    }
    TransferResult result;
    bool stopped = false;  // a person broke the download off
    // libcurl is loaded by the first download; without it no attempt can succeed.
    if (const CurlLibrary& curl = loadCurl(); !curl.loaded()) {
        showMessage(MessageKind::Error, curl.error);
        result.error = curl.error;
    } else {
        // The window stays alive but takes no input, and its timers wait for the end.
        const QString title = windowTitle();
        downloadRunning = true;
        const auto restore = qScopeGuard([this, &title] {
            downloadRunning = false;
            showDownloadProgress({});
            setWindowTitle(title);
        });
        // This download's own flag, which the program's end sets too, and a
        // person with Escape or the stop button.
        CancelFlag breakOff(&downloadCancel());
        const DownloadWait wait(stopButton(), [&breakOff, &stopped] {
            stopped = true;
            breakOff.set();
        });
        // The program's timed end alone comes on time, and breaks the download off.
        const HeldTimers held{Timer2, Timer3, Timer4};
        AttemptHooks hooks;
        hooks.cancel = &breakOff;
        const auto showProgress = [this, n](const TransferProgress& progress) {
            const QString text = downloadProgressText(n, progress.received, progress.total);
            showDownloadProgress(text);
            // Unattended the window is minimised: the task bar shows its title.
            if (autoDownloadFlag(n))
                setWindowTitle(text);
        };
        hooks.transfer = [&breakOff, &showProgress](FileTransfer& transfer) {
            return DownloadToFile(transfer, breakOff, showProgress);
        };
        hooks.pause = [&breakOff](int ms) { waitUnlessCancelled(ms, breakOff); };
        hooks.setBusy = [](bool busy) {
            if (busy)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        };
        result = runAttempts(plan, hooks);
    }
    if (ending)
        return false;  // the program is broken off: no message, copy or save follows
    const bool success = result.ok;
    if (!success)
        showDownloadFailure(n, result.error);

    // The automatic download reports for itself.
    const bool wasAutomatic = std::exchange(autoDownloadFlag(n), false);
    if (!wasAutomatic && !isMinimized()) {
        FlashMessage message;
        if (success) {
            message.caption = QStringLiteral("Download");
            message.lines = {plan.urlTail, QStringLiteral("abgeschlossen!")};
        } else {
            message.caption = QStringLiteral("Problem!!!");
            message.headline = QStringLiteral("Download:");
            message.lines = {plan.urlTail,
                             stopped ? QStringLiteral("abgebrochen!") : QStringLiteral("NICHT durchgeführt!")};
        }
        message.duration = EinstellDaten.SilentMode == 0 ? FlashDuration::Standard : FlashDuration::Long;
        ShowFlashMessage(message);
    }
    // A job that leaves the plain name old, or whose next run would write the
    // same numbered file again, has not done its work.
    bool complete = success;
    const FinishedDownload finished = finishDownload(plan, result, EinstellDaten);
    if (finished.copyFailed) {
        complete = false;
        const QString line = QStringLiteral("Kavelo: Die Kopie %1 konnte nicht geschrieben werden.\n")
                                 .arg(QDir::toNativeSeparators(plan.folder + plan.names.copyName));
        std::fputs(line.toLocal8Bit().constData(), stderr);
    }
    if (finished.counterMoved && !SaveSettings())
        complete = false;
    if (wasAutomatic)
        autoDownloadFailed = autoDownloadFailed || !complete;
    return complete;
}

void TKaveloMainForm::breakOff(int exitCode)
{
    ending = true;
    downloadCancel().set();  // a running transfer ends at once, its temporary file removed
    EndProgram(exitCode);
}

void TKaveloMainForm::SetupDownloadFolders()
{
    ::SetupDownloadFolders(DownloadDirs, EinstellDaten, ProgramFolder);
}

void TKaveloMainForm::writeBackDownloadDir()
{
    ::writeBackDownloadDir(DownloadDirs);
}

QStringList TKaveloMainForm::downloadFolders() const
{
    return {downloadFolderPath(EinstellDaten.DownloadFolder1, ProgramFolder),
            downloadFolderPath(EinstellDaten.DownloadFolder2, ProgramFolder)};
}
