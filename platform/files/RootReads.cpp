#include "platform/files/RootReads.h"

#include "platform/files/TargetPath.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether a user other than root may write what entry describes: as its
// owner, through a group other than root's, or as anybody.
bool othersMayWrite(const struct stat& entry)
{
    return entry.st_uid != 0 || (entry.st_mode & S_IWOTH) || ((entry.st_mode & S_IWGRP) && entry.st_gid != 0);
}

}  // namespace

QString rootReadRefusal(const QString& path)
{
    if (::geteuid() != 0)
        return {};
    const auto refused = [&path](const QString& why) {
        return QStringLiteral("Als root liest Kavelo die Einstellungs-Datei %1 nicht: %2")
            .arg(QDir::toNativeSeparators(path), why);
    };
    // The walk of a run as root goes through no folder another user may change.
    const TargetPath walk = walkTargetPath(QFileInfo(path).absoluteFilePath());
    if (!walk.refusal.isEmpty())
        return refused(walk.refusal);
    struct stat file {};
    if (!walk.reached() || ::fstatat(walk.folder.get(), walk.name.constData(), &file, AT_SYMLINK_NOFOLLOW) != 0)
        return {};  // nothing there to read
    return othersMayWrite(file) ? refused(QStringLiteral("Außer root dürfen sie auch andere Benutzer ändern."))
                                : QString();
}
