#pragma once

// What a run as root reads: settings that another user could have changed
// would let them choose what root downloads and where it writes. Root reads
// a settings file only when nobody but root may change it, nor any folder on
// its way from "/".

#include <QString>

// Why a run as root must not read the settings file at path, in German with
// the file named: it belongs to another user or may be written by a group
// other than root's or by everybody, or a folder on its way (links followed
// as TargetPath follows them) may be written by another user than root. A
// folder is safe when root owns it and neither a group other than root's
// nor everybody may write it, or when root owns it and it is sticky (/tmp).
// Empty when root may read it, when nothing is there to read, and for every
// run that is not root's.
QString rootReadRefusal(const QString& path);
