#pragma once

// The names under which downloads that a page starts are saved.

#include <QSet>
#include <QString>

// The longest name of a page download, in bytes of the file system's
// encoding. The browser engine first writes the file under its name and a
// suffix (".download" here, ".crdownload" in other builds) and refuses a
// name whose side file would not fit 255 bytes: room for the longer suffix.
inline constexpr int kMaxFileNameBytes = 255 - 11;

// A name as a page or server suggests it, made fit to save: of a path only
// its last part, direction marks go, control characters and DEL become "_", leading dots go (no
// hidden files), and a name longer than kMaxFileNameBytes is shortened in
// front of its extension. Empty when nothing is left.
QString cleanFileName(const QString& suggested);

// fileName when no file in folder and no name in taken has it, else the first
// free of "name (1).ext", "name (2).ext", ... (a ".tar.*" ending stays whole),
// each shortened like a clean name.
QString freeFileName(const QString& folder, const QString& fileName, const QSet<QString>& taken);
