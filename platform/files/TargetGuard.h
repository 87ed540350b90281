#pragma once

// Places a download never writes to: the program's own folders (the files
// directly in the executable's folder and in the settings file's) and the
// folders from which the desktop starts programs by itself. Otherwise a user
// who may change the downloads, or a page, could fetch a settings file of
// their own, or a program that starts with the next login.

#include <QString>
#include <QStringList>

struct TargetPath;

struct ProtectedPlaces {
    QStringList programFolders;  // the files directly inside are protected
    QStringList startFolders;    // everything below is protected
};

// The program folders given and the executable's folder, and the user's
// autostart and systemd user folders (from XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_CONFIG_DIRS, with their defaults).
ProtectedPlaces protectedPlacesFor(const QStringList& programFolders);

// True when the file at path, with its relative parts and symbolic links
// resolved as the writer follows them (also a link to a file that does not
// exist yet), lies in a protected place.
bool isProtectedTarget(const QString& path, const ProtectedPlaces& places);

// Why a download may not write the file that the walk to shown reached (place),
// as its error box says it: a link or folder on the way that the walk does
// not go through, a file there that is not to be replaced
// (replacementRefusal), or a protected place (protectedPlacesFor(programFolders)).
// Empty when it may. For the download buttons and for the downloads pages
// start; the writer then writes into that same place.
QString targetRefusal(const QString& shown, const TargetPath& place, const QStringList& programFolders);
