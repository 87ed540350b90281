#include "downloads/DownloadFolders.h"

#include "platform/host/HostRegistry.h"
#include "platform/host/Messages.h"
#include "settings/AnsiText.h"

#include <QDir>

namespace {

const QString kRegistryReadError =
    QStringLiteral("Fehler beim Lesen der Registry (Lesen: Download-Verzeichnis) des Gastsystems!");

// The candidate folder, or nothing after its failure message. A folder counts
// as present when it can be made the current directory, and then stays it;
// a missing one is created one level deep.
QString makeSureOf(const Text& field, int number, const QString& programFolder)
{
    const QString candidate = downloadFolderPath(field, programFolder);
    if (QDir::setCurrent(candidate) || QDir().mkdir(candidate))
        return candidate;
    showMessage(MessageKind::Information,
                QStringLiteral("Problem beim Erstellen des %1. Download-Ordner:\r%2\r"
                               "Prüfen Sie ob der Pfad richtig ist\rund ob Sie Schreibrechte besitzen!")
                    .arg(number)
                    .arg(candidate));
    return {};
}

}  // namespace

QString downloadFolderPath(const Text& field, const QString& programFolder)
{
    const QString folder = textToString(field);
    if (folder.isEmpty())
        return programFolder + QStringLiteral("Downloads") + QDir::separator();
    if (!QDir::isRelativePath(folder))
        return folder;
    const QString resolved = QDir::toNativeSeparators(QDir::cleanPath(programFolder + folder));
    const bool trailing = folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator());
    return trailing ? resolved + QDir::separator() : resolved;
}

void SetupDownloadFolders(DownloadDirState& state, const TEinstellRecord& record, const QString& programFolder)
{
    if (record.RedirectDownloads == 1) {
        state.RedirectFolder = makeSureOf(record.DownloadFolder2, 2, programFolder);
        state.RedirectFolder = makeSureOf(record.DownloadFolder1, 1, programFolder);
        if (!state.RedirectFolder.isEmpty()) {
            HostRegistryKey key;
            if (!key.open(kInternetExplorerKey)) {
                showMessage(MessageKind::Error, kRegistryReadError);
                return;
            }
            // A later setup in the same run keeps the value from before the first redirect.
            if (!state.DownloadDirRedirected)
                state.SavedDownloadDir = key.readString(kDownloadDirectoryValue);
            state.DownloadDirRedirected = true;
            key.writeString(kDownloadDirectoryValue, state.RedirectFolder);
            return;
        }
    }
    HostRegistryKey key;
    if (!key.open(kInternetExplorerKey)) {
        showMessage(MessageKind::Error, kRegistryReadError);
        return;
    }
    // Switched off (or no usable folder) after a redirect: the old value goes back at once.
    if (state.DownloadDirRedirected)
        key.writeString(kDownloadDirectoryValue, state.SavedDownloadDir);
    state.SavedDownloadDir = key.readString(kDownloadDirectoryValue);
    state.DownloadDirRedirected = false;
}

void writeBackDownloadDir(DownloadDirState& state)
{
    if (!state.DownloadDirRedirected)
        return;
    HostRegistryKey key;
    if (!key.open(kInternetExplorerKey)) {
        showMessage(MessageKind::Error, QStringLiteral("Fehler beim Zugriff auf die Registry (Zurücksetzen: "
                                                       "Download-Verzeichnis) des Gastsystems!"));
        return;
    }
    key.writeString(kDownloadDirectoryValue, state.SavedDownloadDir);
    state.DownloadDirRedirected = false;
}
