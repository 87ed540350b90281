#pragma once

// "kavelo --export-settings" and "kavelo --import-settings": the settings file
// as text (SettingsText), to and from files and the standard streams. Neither
// needs a window; what goes wrong is told through the message presenter
// (standard error before the application starts). The results are the
// program's exit status: 0 done, 1 a file could not be read or written, 2 a
// line of the text is faulty.

#include "settings/EinstellRecord.h"

#include <QString>
#include <functional>
#include <optional>

// Settings to export or to import onto, and the settings file they are as
// that file stands: none when they are no one file's (the defaults, or a
// preset with the running numbers of the person's own copy).
struct StartingSettings {
    TEinstellRecord record{};
    QString file;
};

// The settings a run with these folders reads (ReadSettingsFile); nothing,
// after its message, when the file it chooses is unusable.
std::optional<StartingSettings> runSettings(const QString& programFolder, const QString& dataFolder);

// The settings the file at path holds, the defaults when there is none;
// nothing, after a message, when it is there but unusable.
std::optional<StartingSettings> fileSettings(const QString& path);

// Writes the text of settings to output, "-" for standard output. A new
// output file is private (0600); it is written whole or not at all.
int exportSettings(const std::optional<StartingSettings>& settings, const QString& output);

// Reads the text of input ("-": standard input) onto the settings start
// gives and writes them into target (writeSettingsFile): a new target is
// private when it holds the person's own settings, else it gets the mode the
// umask gives, as a preset for every account needs it. start runs once the text is in: it may first wait for the
// target's run lock, which its caller holds until the import has returned;
// nothing from it ends the import with 1. A target that is the file the
// settings came from and already holds the result is left as it is. A faulty
// line is named with its number and reason, and nothing changes.
int importSettings(const QString& input, const std::function<std::optional<StartingSettings>()>& start,
                   const QString& target, bool ownSettings);
