#pragma once

// Run-time strings shared by the whole program; none of them is stored.

#include <QString>

// Folder of the executable with a trailing separator, and the second folder
// in which the settings file is looked for (the same folder at start-up).
extern QString ProgramFolder;
extern QString DataFolder;

// The two passwords in plain text, derived from the settings at start-up and
// replaced by a password change; never written to the file.
extern QString AdminPassword;
extern QString UserPassword;

// What was typed into the password prompt at its last confirmation.
extern QString EnteredPassword;
