#pragma once

// Files that hold what only their owner may read: the settings a person keeps
// in their own folder (with the scrambled passwords) and the host store.

#include <QString>

// Creates path as an empty file that only its owner may read and write
// (0600), unless something of that name exists. A file written later through
// QSaveFile keeps that mode. True when path exists afterwards.
bool ensurePrivateFile(const QString& path);
