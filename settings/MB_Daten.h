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
