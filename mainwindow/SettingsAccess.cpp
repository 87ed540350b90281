// The settings button: the password prompt decides the role for this visit,
// the settings dialog follows in any case, and the window takes over changed
// settings when the role entitles to it. The four timers rest meanwhile.

#include "dialogs/EinstellDialog.h"
#include "dialogs/passwort.h"
#include "mainwindow/MB_main.h"
#include "platform/host/Messages.h"
#include "platform/host/Timer.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "widgets/IdleWatch.h"

// A visit that a kiosk's visitor walked away from ends with the timers running
// again and the home page reloaded, as if the timed reload had come.
void TKaveloMainForm::BitBtn8Click()
{
    if (!visitSettings())
        Timer3Timer();
}

bool TKaveloMainForm::visitSettings()
{
    AdminLoggedIn = false;
    UserLoggedIn = false;
    const PausedTimers paused{Timer1, Timer2, Timer3, Timer4};
    const AbandonedWindows abandoned;

    if (execWatched(*dialogs.password) == 1) {
        if (EnteredPassword == AdminPassword)
            AdminLoggedIn = true;
        else if (EnteredPassword == UserPassword)
            UserLoggedIn = true;
    }
    if (AdminLoggedIn && AdminPassword == kBuiltInAdminPassword && !builtInPasswordNoted) {
        builtInPasswordNoted = true;
        showMessage(MessageKind::Information,
                    QStringLiteral("Es gilt noch das eingebaute Administrator-Passwort, das jeder nachlesen kann.\r"
                                   "Bitte ändern Sie es gleich: Registerkarte „Administrator-Optionen“,\r"
                                   "Gruppe „Administrator-Passwort“, dann „Passwort ändern“ und „Beenden“."));
    }
    if (abandoned.any())
        return false;  // nobody is there to see the settings
    dialogs.einstell->setRoles(AdminLoggedIn, UserLoggedIn);
    const bool entitled = AdminLoggedIn || (UserLoggedIn && !ViewerOnly);
    if (execWatched(*dialogs.einstell) == 1 && entitled) {
        ApplySettings();
        SetupDownloadFolders();
    }
    return !abandoned.any();
}
