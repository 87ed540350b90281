#pragma once

// Run-time strings shared by the whole program; none of them is stored.

#include <QString>

// The folder the settings file is read from first and saved to, and the
// second folder it is read from, each with a trailing separator: both the
// executable's folder, or the person's own and then the executable's when the
// executable's folder is not writable (chooseProgramFolders).
extern QString ProgramFolder;
extern QString DataFolder;

// The two passwords in plain text, derived from the settings at start-up and
// replaced by a password change; never written to the file.
extern QString AdminPassword;
extern QString UserPassword;

// What was typed into the password prompt at its last confirmation.
extern QString EnteredPassword;

// The host browser's download directory while the program runs: the main
// window keeps it, the download folders' set-up and write-back change it.
struct DownloadDirState {
    QString RedirectFolder;    // the folder written into the host value; empty when none is usable
    QString SavedDownloadDir;  // the host value from before the redirect, as the store's record of it holds it
    bool DownloadDirRedirected = false;
};
