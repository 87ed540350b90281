#include "settings/Defaults.h"

#include "platform/host/Messages.h"
#include "settings/AnsiText.h"
#include "settings/EinstellRecord.h"
#include "settings/Passwords.h"

#include <QDir>

TEinstellRecord EinstellDaten{};
TEinstellRecord StandardDaten{};

namespace {

// The classic paths' shapes, in the running user's home folder.
constexpr const char* kDownloadFolder = "~/Downloads";
constexpr const char* kArchiveTarget = "~/Downloads/Kavelo.zip";
constexpr const char* kOtherProgramTarget = "~/Tabulo.exe";

void set(Text& text, const char* value)
{
    stringToText(text, QString::fromUtf8(value));
}

}  // namespace

void SetDefaults(TEinstellRecord& r)
{
    r.SilentMode = 0;
    r.AutoEndSeconds = 0;
    r.RedirectDownloads = 1;
    r.MaySearch = 1;
    r.MaySurf = 1;
    r.MayChangeUserOptions = 0;
    r.MayChangeAddresses = 0;
    r.DownloadAttempts = 3;
    r.Download1Suffix = r.Download2Suffix = r.Download3Suffix = r.Download4Suffix = 0;
    r.Download1Counter = r.Download2Counter = r.Download3Counter = r.Download4Counter = 0;
    r.MaxVersions = 99;
    r.Reserved1 = r.Reserved2 = r.Reserved3 = r.Reserved4 = r.Reserved5 = r.Reserved6 = 0;

    stringToText(r.HomePage, kWelcomePage);
    set(r.SearchPage, "https://duckduckgo.com/");
    set(r.DownloadFolder1, kDownloadFolder);
    set(r.Download1Name, "Kavelo (aktuell)");
    set(r.Download1Target, kArchiveTarget);
    set(r.Download1Url, "https://www.example.com/kavelo/Kavelo.zip");
    set(r.Download2Name, "Tabulo");
    set(r.Download2Target, kOtherProgramTarget);
    set(r.Download2Url, "https://www.example.com/tabulo/Tabulo.exe");
    set(r.DownloadFolder2, kDownloadFolder);
    r.Download3Name = r.Download1Name;
    r.Download3Target = r.Download1Target;
    r.Download3Url = r.Download1Url;
    r.Download4Name = r.Download2Name;
    r.Download4Target = r.Download2Target;
    r.Download4Url = r.Download2Url;
    set(r.WebAddress1Name, "google");
    set(r.WebAddress1Url, "https://www.google.de/");
    set(r.WebAddress2Name, "wikipedia");
    set(r.WebAddress2Url, "https://de.wikipedia.org/");
    for (Text* reserved : {&r.ReservedText1, &r.ReservedText2, &r.ReservedText3, &r.ReservedText4, &r.ReservedText5,
                           &r.ReservedText6, &r.ReservedText7, &r.ReservedText8, &r.ReservedText9})
        reserved->length = 0;
    storeDefaultPasswords(r);
}

void ResetAllOptions(TEinstellRecord& record)
{
    const Text admin = record.AdminPasswordStored;
    const Text user = record.UserPasswordStored;
    if (confirm(QStringLiteral("Wollen Sie jetzt die Standard-Vorgaben\rwieder herstellen?\r"
                               "(Passwörter bleiben unverändert gültig!)")))
        SetDefaults(record);
    record.AdminPasswordStored = admin;
    record.UserPasswordStored = user;
}

void ResetUserOptions(TEinstellRecord& record, const TEinstellRecord& standard)
{
    if (!confirm(QStringLiteral("Wollen Sie jetzt die Standard-Vorgaben\rfür die Nutzer-Optionen "
                                "wieder herstellen?\r(Das Passwort bleibt unverändert gültig!)")))
        return;
    record.HomePage = standard.HomePage;
    record.SearchPage = standard.SearchPage;
    record.DownloadFolder1 = standard.DownloadFolder1;
}

QString homeResolved(const QString& path)
{
    return path.startsWith(QStringLiteral("~/")) ? QDir::homePath() + path.mid(1) : path;
}
