// The automatic download of the command-line keywords "1" to "4": two seconds
// after start-up, minimized, then the end of the program.

#include "dialogs/InfoDialog.h"
#include "downloads/DownloadRun.h"
#include "downloads/TargetNaming.h"
#include "mainwindow/MB_main.h"
#include "platform/host/Timer.h"
#include "settings/AnsiText.h"

void TKaveloMainForm::Timer2Timer()
{
    // One message at a time: a tick that finds a message open waits for the next one.
    if (flashMessageOpen())
        return;
    // The downloads and their messages take longer than the interval.
    Timer2->stop();

    bool requested[4] = {AutoDownload1, AutoDownload2, AutoDownload3, AutoDownload4};
    for (int n = 1; n <= 4; ++n) {
        if (!requested[n - 1])
            continue;
        const bool success = RunDownload(n);
        if (ending)
            return;  // a signal ends the program
        if (!isMinimized() && EinstellDaten.SilentMode != 1)
            ShowFlashMessage({QStringLiteral("automatischer Download"),
                              QString(),
                              {urlTail(textToString(EinstellDaten.*downloadFieldsOf(n).url)),
                               success ? QStringLiteral("abgeschlossen!") : QStringLiteral("NICHT durchgeführt!")},
                              FlashDuration::Long});
    }
    if (!isMinimized())
        sleepWithoutEvents(1000);
    EndProgram(runStatus());
}
