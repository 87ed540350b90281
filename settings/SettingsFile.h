#pragma once

// Reading and writing "Einstell.DAT", the byte image of the settings record,
// in the current layout (7990 bytes) or the older one (6178 bytes).

#include "settings/EinstellRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Set by InitSettings to "Einstell.DAT".
extern QString SettingsFileName;

// Once at start-up, after ProgramFolder and DataFolder are set: defaults into
// EinstellDaten, their copy in StandardDaten, the file, then the plain-text
// passwords. False when a settings file is there but unusable (see ReadSettingsFile).
bool InitSettings();

// What the bytes of a settings file give. A file too short for either layout
// gives no record.
struct ParsedSettings {
    enum class Layout { Current, Older, TooShort };
    Layout layout = Layout::TooShort;
    TEinstellRecord record{};
};

// The bytes of a settings file as a record: the record's size or more is the
// current layout (its first bytes), less down to the older record's size the
// older layout, taken over into a copy of defaults, whose fields the older
// layout lacks stay.
ParsedSettings parseSettings(const QByteArray& bytes, const TEinstellRecord& defaults);

// Which settings file a run reads. The program folder's (the person's own
// copy) counts, else the data folder's (the administrator's preset); but a
// preset changed after the own copy was last saved counts again, with the
// running numbers of the own copy. The path is empty when neither exists.
struct SettingsSource {
    QString path;
    bool keepsOwnCounters = false;
};
SettingsSource settingsSource(const QString& programFolder, const QString& dataFolder);

// The file settingsSource() names into record, which holds the defaults on
// entry. A file that cannot be opened or is too short, or that is no regular
// file (readSettingsBytes), leaves them, with an error box, and gives false;
// no file at all is no error. A newer preset that
// cannot be read leaves the own copy in force.
bool ReadSettingsFile(const QString& programFolder, const QString& dataFolder, TEinstellRecord& record);

// The first bytes of the settings file at path, at most the record's size.
// Only a regular file is read, never through a symbolic link: a link, a FIFO,
// a device or a folder there gives nothing at once (no FIFO's writer is waited
// for), and refusal, when asked for, says so in German with the file named. A
// file that is missing or cannot be opened gives nothing and no refusal.
std::optional<QByteArray> readSettingsBytes(const QString& path, QString* refusal = nullptr);

// The record the settings file at path holds now, read without a box (the
// older layout over the defaults); nothing when it is missing, cannot be read
// or is too short. refusal as readSettingsBytes gives it.
std::optional<TEinstellRecord> peekSettingsFile(const QString& path, QString* refusal = nullptr);

// A save of record, changed from shown, that found saved in the file: each
// running number record still holds as shown takes saved's value, which a
// download may have advanced meanwhile.
void keepAdvancedCounters(const TEinstellRecord& shown, const TEinstellRecord& saved, TEinstellRecord& record);

// Takes the fields of the older layout into the current record.
void ConvertOldLayout(const TEinstellRecordOld& old, TEinstellRecord& record);

// Writes EinstellDaten into the program folder's settings file, a new one private
// (0600); false when it could not.
bool SaveSettings();

// Writes record into the file at path, which then holds exactly the record's
// bytes. The new content goes to a temporary file first and replaces the old
// file only when complete (writeWholeFile); a file it creates is private
// (0600) with makePrivate, and an existing file keeps its mode. A symbolic
// link at path is not followed: it stays, and the save fails. On failure the
// box names the path, and the result is false.
bool writeSettingsFile(const QString& path, const TEinstellRecord& record, bool makePrivate = false);
