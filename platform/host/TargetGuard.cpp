#include "platform/host/TargetGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The path with every part that exists resolved: links, "." and "..".
QString resolved(const QString& path)
{
    const QFileInfo file(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    if (file.exists())
        return file.canonicalFilePath();
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return file.absoluteFilePath();  // the download fails for the missing folder anyway
    return QDir(folder).filePath(file.fileName());
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

bool isProtectedTarget(const QString& path, const ProtectedPlaces& places)
{
    const QString target = resolved(path);
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
