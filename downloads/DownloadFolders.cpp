#include "downloads/DownloadFolders.h"

#include "platform/host/HostRegistry.h"
#include "platform/host/Messages.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"

#include <QDir>

namespace {

const QString kRegistryReadError =
    QStringLiteral("Fehler beim Lesen der Registry (Lesen: Download-Verzeichnis) des Gastsystems!");

// Beside the host value while it is redirected: the value from before, kept
// in the store itself. A run that never reaches its end (killed, power gone)
// leaves it for the next start to put back, and a second run started
// meanwhile takes it, not the first run's redirect, for the value from before.
const QString kValueBeforeRedirect = QStringLiteral("Kavelo: Download Directory vorher");

// The value from before the redirect goes back byte for byte, then its
// record. Another run that has ended meanwhile has already put it back and
// removed the record: then the value this run took from the record is written
// again, which leaves a value that reads as that text as it is.
void putBack(HostRegistryKey& key, const QString& known)
{
    if (key.hasValue(kValueBeforeRedirect))
        key.writeStored(kDownloadDirectoryValue, key.readStored(kValueBeforeRedirect));
    else
        key.writeString(kDownloadDirectoryValue, known);
    key.removeValue(kValueBeforeRedirect);
}

// The candidate folder, or nothing after its failure message. A folder counts
// as present when it can be made the current directory, and then stays it;
// a missing one is created one level deep.
QString makeSureOf(const Text& field, int number, const QString& programFolder)
{
    QString candidate = downloadFolderPath(field, programFolder);
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
    QString folder = homeResolved(textToString(field));
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
            // Recorded before the value changes, as the store holds it, so that
            // bytes that are no UTF-8 go back unchanged; a record that is
            // there already (an earlier setup of this run, another run, one
            // that never ended) holds the value from before.
            const bool recorded = key.hasValue(kValueBeforeRedirect);
            if (!recorded && state.DownloadDirRedirected)
                key.writeString(kValueBeforeRedirect, state.SavedDownloadDir);
            else if (!recorded)
                key.writeStored(kValueBeforeRedirect, key.readStored(kDownloadDirectoryValue));
            state.SavedDownloadDir = key.readString(kValueBeforeRedirect);
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
    // Switched off (or no usable folder) after a redirect, of this run or of
    // one that never ended: the old value goes back at once.
    if (state.DownloadDirRedirected || key.hasValue(kValueBeforeRedirect))
        putBack(key, state.SavedDownloadDir);
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
    putBack(key, state.SavedDownloadDir);
    state.DownloadDirRedirected = false;
}
