#pragma once

// Which folders the program keeps its settings file in. An installed program's
// folder is not writable by the people who run it: then, as Windows does for
// programs under "Program Files", each person gets a folder of their own.

#include <QString>

struct ProgramFolders {
    QString program;  // ProgramFolder: read first, every save goes here
    QString data;     // DataFolder: read second
};

// Where the package installs the program, with a trailing separator.
QString packageFolder();

// The installed program (executableFolder is installFolder, as the file
// system tells, never by a probe file) keeps its files in the person's own
// "$XDG_DATA_HOME/Kavelo/" (created when needed, its owner's alone) and reads
// "/etc/kavelo/" second, where a settings file that an administrator puts
// presets everybody's; it never writes beside itself, root included.
// Elsewhere both are the executable's folder when a file can be created in it
// (a build folder), else the person's own folder and, second, the executable's.
// executableFolder ends with a separator, and so do both results.
ProgramFolders chooseProgramFolders(const QString& executableFolder, const QString& installFolder = packageFolder());

// A person's own program folder, "$XDG_DATA_HOME/Kavelo/".
QString personalProgramFolder();

// A real probe: creates and removes a file in folder. Unlike the permission
// bits, it also tells the truth for root, read-only mounts and immutable folders.
bool folderIsWritable(const QString& folder);
