#pragma once

// Reading and writing "Einstell.DAT", the byte image of the settings record,
// in the current layout (7990 bytes) or the older one (6178 bytes).

#include "settings/EinstellRecord.h"

#include <QString>

// Set by InitSettings to "Einstell.DAT".
extern QString SettingsFileName;

// Once at start-up, after ProgramFolder and DataFolder are set: defaults,
// their copy in StandardDaten, the file, then the plain-text passwords.
void InitSettings();

// The file from the program folder, else from the data folder, into EinstellDaten.
void ReadSettingsFile();

// Takes the fields of the older layout into the current record.
void ConvertOldLayout(const TEinstellRecordOld& old, TEinstellRecord& record);

// Writes EinstellDaten into the program folder's settings file. The new
// content goes to a temporary file first and replaces the old file only when
// complete; bytes that an older, longer file held beyond the record are kept.
void SaveSettings();
