#include "platform/files/TargetGuard.h"

#include "platform/files/TargetPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Where path leads, as the writer walks it: links followed also where their
// target does not exist yet, "." and ".." resolved.
QString resolved(const QString& path)
{
    return walkTargetPath(path).path;
}

bool isInside(const QString& path, const QString& folder)
{
    const QString root = resolved(folder);
    return path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

}  // namespace

ProtectedPlaces protectedPlacesFor(const QStringList& programFolders)
{
    ProtectedPlaces places;
    places.programFolders = programFolders;
    // A qt.conf beside the executable would decide where the next start looks for its libraries.
    if (QCoreApplication::instance())
        places.programFolders << QCoreApplication::applicationDirPath();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    places.startFolders << config + QStringLiteral("/autostart") << config + QStringLiteral("/systemd/user")
                        << data + QStringLiteral("/systemd/user");
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        if (folder != config)
            places.startFolders << folder + QStringLiteral("/autostart");
    }
    return places;
}

namespace {

// Whether target, a path as the walk resolved it, lies in a protected place.
bool isProtectedPlace(const QString& target, const ProtectedPlaces& places)
{
    const QString folder = QFileInfo(target).absolutePath();
    for (const QString& programFolder : places.programFolders) {
        if (!programFolder.isEmpty() && folder == resolved(programFolder))
            return true;
    }
    for (const QString& startFolder : places.startFolders) {
        if (isInside(target, startFolder))
            return true;
    }
    return false;
}

}  // namespace

bool isProtectedTarget(const QString& path, const ProtectedPlaces& places)
{
    return isProtectedPlace(resolved(path), places);
}

QString targetRefusal(const QString& path, const TargetPath& place, const QStringList& programFolders)
{
    const QString shown = QDir::toNativeSeparators(path);
    QString refusal = place.refusal;
    if (refusal.isEmpty() && place.reached())
        refusal = replacementRefusal(place);
    if (!refusal.isEmpty())
        return QStringLiteral("Das Download-Ziel\r%1\rwird nicht beschrieben:\r%2").arg(shown, refusal);
    if (isProtectedPlace(place.path, protectedPlacesFor(programFolders)))
        return QStringLiteral(
                   "Das Download-Ziel\r%1\rliegt im Programm-Ordner oder in einem Autostart-Ordner\r"
                   "und wird nicht beschrieben!")
            .arg(shown);
    return {};
}
