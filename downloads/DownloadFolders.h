#pragma once

// The two download folders and the host browser's download directory: made
// sure of at start-up and after the settings dialog, redirected to download
// folder 1 while the program runs, and written back at its end.

#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"

#include <QString>

// The folder a download folder field names: an empty field stands for the
// sub-folder "Downloads" of programFolder, a leading "~/" for the running
// user's home, and a relative one lies in programFolder.
QString downloadFolderPath(const Text& field, const QString& programFolder);

// With the option on: tests and creates both folders (one level), reports the
// ones that fail, and points the host value at folder 1, after recording the
// value from before in the store. With the option off only reads the host
// value, and puts back a value redirected earlier (in this run, or in one that
// never reached its end) and removes its record.
// The last folder that already existed becomes the current directory. An
// empty folder field stands for the sub-folder "Downloads" of programFolder,
// and a relative one lies in programFolder.
void SetupDownloadFolders(DownloadDirState& state, const TEinstellRecord& record, const QString& programFolder);

// Puts the host value from before the redirect back, if there was one, and
// removes its record.
void writeBackDownloadDir(DownloadDirState& state);
