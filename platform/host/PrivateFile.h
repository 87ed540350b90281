#pragma once

// Files that hold what only their owner may read: the settings a person keeps
// in their own folder (with the scrambled passwords) and the host store with
// its folder. What these create gets its mode whatever the umask; what exists
// keeps the mode it has.

#include <QString>

// Creates path as an empty file that only its owner may read and write
// (0600), unless something of that name exists. A file written later through
// QSaveFile keeps that mode. True when path exists afterwards.
bool ensurePrivateFile(const QString& path);

// Creates the folder path, and the missing folders above it, as folders only
// their owner may enter (0700), as the XDG base directory rules ask of a
// configuration folder. True when path is a folder afterwards.
bool ensurePrivateFolder(const QString& path);
