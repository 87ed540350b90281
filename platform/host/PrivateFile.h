#pragma once

// Files and folders that only their owner may read: the settings a person
// keeps in their own folder (with the scrambled passwords), the host store and
// the folders that hold them. Their modes are set explicitly, whatever the
// umask: the umask is the process's, and other threads run.

#include <QString>

// Creates path as an empty file that only its owner may read and write
// (0600), unless something of that name exists. A file written later through
// QSaveFile keeps that mode. True when path exists afterwards.
bool ensurePrivateFile(const QString& path);

// Creates the folder path and each missing folder above it, every one of
// them only its owner's to enter (0700); a folder that exists keeps its mode.
// True when path is a folder afterwards.
bool ensurePrivateFolder(const QString& path);
