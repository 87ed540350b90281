#include "settings/SettingsFile.h"

#include "platform/host/Messages.h"
#include "platform/host/WholeFile.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "settings/Passwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString SettingsFileName;

namespace {

const QString kFileName = QStringLiteral("Einstell.DAT");

// The running numbers of the four downloads.
constexpr Word TEinstellRecord::*kCounters[] = {&TEinstellRecord::Download1Counter, &TEinstellRecord::Download2Counter,
                                                &TEinstellRecord::Download3Counter, &TEinstellRecord::Download4Counter};

const QString kOpenError = QStringLiteral("Die Einstellungs-Datei\rkonnte nicht geöffnet werden!");
const QString kDataFolderOpenError =
    QStringLiteral("Eine Einstellungs-Datei\raus dem festgelegten Daten-Ordnerkonnte nicht geöffnet werden!");

// What stands at a path instead of a regular file, for the refusal.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("ein Ordner");
    if (S_ISFIFO(mode))
        return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("ein Gerät");
    return QStringLiteral("ein Socket");
}

// Reads one existing file into record. A file that cannot be opened, or that
// is too short for either layout, leaves the record as it is.
bool readExisting(const QString& path, const QString& openErrorText, TEinstellRecord& record)
{
    QString refusal;
    const std::optional<QByteArray> read = readSettingsBytes(path, &refusal);
    if (!read) {
        showMessage(MessageKind::Error,
                    refusal.isEmpty() ? openErrorText : openErrorText + QLatin1Char('\r') + refusal);
        return false;
    }
    // A file of the record's size or longer holds the current layout in its first bytes.
    const QByteArray& content = *read;
    const ParsedSettings parsed = parseSettings(content, record);
    if (parsed.layout == ParsedSettings::Layout::TooShort) {
        showMessage(MessageKind::Error, QStringLiteral("Die Einstellungs-Datei\r%1\rist unvollständig (%2 Bytes) und "
                                                       "wird nicht verwendet!\rEs gelten die Standard-Einstellungen.")
                                            .arg(QDir::toNativeSeparators(path))
                                            .arg(content.size()));
        return false;
    }
    record = parsed.record;
    return true;
}

}  // namespace

bool InitSettings()
{
    SetDefaults(EinstellDaten);
    StandardDaten = EinstellDaten;
    SettingsFileName = kFileName;
    const bool read = ReadSettingsFile(ProgramFolder, DataFolder, EinstellDaten);
    derivePlainPasswords(EinstellDaten);
    return read;
}

ParsedSettings parseSettings(const QByteArray& bytes, const TEinstellRecord& defaults)
{
    ParsedSettings parsed;
    if (bytes.size() >= static_cast<qsizetype>(kRecordSize)) {
        parsed.layout = ParsedSettings::Layout::Current;
        std::memcpy(&parsed.record, bytes.constData(), kRecordSize);
    } else if (bytes.size() >= static_cast<qsizetype>(kOldRecordSize)) {
        parsed.layout = ParsedSettings::Layout::Older;
        TEinstellRecordOld old;
        std::memcpy(&old, bytes.constData(), kOldRecordSize);
        parsed.record = defaults;
        ConvertOldLayout(old, parsed.record);
    }
    return parsed;
}

SettingsSource settingsSource(const QString& programFolder, const QString& dataFolder)
{
    const QFileInfo own(programFolder + kFileName);
    const QFileInfo preset(dataFolder + kFileName);
    if (!preset.exists() || (own.exists() && own == preset))
        return {own.exists() ? own.filePath() : QString(), false};
    if (!own.exists())
        return {preset.filePath(), false};
    // Changed after the person's own copy was saved: the preset counts again.
    const bool presetNewer = preset.lastModified() > own.lastModified();
    return {presetNewer ? preset.filePath() : own.filePath(), presetNewer};
}

bool ReadSettingsFile(const QString& programFolder, const QString& dataFolder, TEinstellRecord& record)
{
    const SettingsSource source = settingsSource(programFolder, dataFolder);
    if (source.path.isEmpty())
        return true;
    if (source.keepsOwnCounters) {
        // A preset that cannot be read leaves the person's own copy in force.
        const std::optional<TEinstellRecord> preset = peekSettingsFile(source.path);
        if (!preset)
            return readExisting(programFolder + kFileName, kOpenError, record);
        const std::optional<TEinstellRecord> own = peekSettingsFile(programFolder + kFileName);
        record = *preset;
        for (Word TEinstellRecord::*counter : kCounters)
            record.*counter = (own ? *own : *preset).*counter;
        return true;
    }
    const bool fromProgramFolder = QFileInfo(source.path) == QFileInfo(programFolder + kFileName);
    return readExisting(source.path, fromProgramFolder ? kOpenError : kDataFolderOpenError, record);
}

std::optional<QByteArray> readSettingsBytes(const QString& path, QString* refusal)
{
    const QString shown = QDir::toNativeSeparators(path);
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) {
        if (errno == ELOOP && refusal)
            *refusal = QStringLiteral("Die Einstellungs-Datei %1 ist ein symbolischer Verweis, dem Kavelo nicht folgt.")
                           .arg(shown);
        return std::nullopt;
    }
    const auto closing = qScopeGuard([handle] { ::close(handle); });
    struct stat file {};
    if (::fstat(handle, &file) != 0)
        return std::nullopt;
    if (!S_ISREG(file.st_mode)) {
        if (refusal)
            *refusal = QStringLiteral(
                           "Die Einstellungs-Datei %1 ist keine gewöhnliche Datei, sondern %2; Kavelo "
                           "liest sie nicht.")
                           .arg(shown, kindOf(file.st_mode));
        return std::nullopt;
    }
    QByteArray content(static_cast<qsizetype>(kRecordSize), '\0');
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t got = ::read(handle, content.data() + done, static_cast<size_t>(content.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        done += got;
    }
    content.truncate(done);
    return content;
}

std::optional<TEinstellRecord> peekSettingsFile(const QString& path, QString* refusal)
{
    const std::optional<QByteArray> content = readSettingsBytes(path, refusal);
    if (!content)
        return std::nullopt;
    TEinstellRecord defaults;
    SetDefaults(defaults);
    const ParsedSettings parsed = parseSettings(*content, defaults);
    if (parsed.layout == ParsedSettings::Layout::TooShort)
        return std::nullopt;
    return parsed.record;
}

void keepAdvancedCounters(const TEinstellRecord& shown, const TEinstellRecord& saved, TEinstellRecord& record)
{
    for (Word TEinstellRecord::*counter : kCounters) {
        if (record.*counter == shown.*counter)
            record.*counter = saved.*counter;
    }
}

void ConvertOldLayout(const TEinstellRecordOld& old, TEinstellRecord& record)
{
    record.SilentMode = old.SilentMode;
    record.AutoEndSeconds = old.AutoEndSeconds;
    record.RedirectDownloads = old.RedirectDownloads;
    record.MaySearch = old.MaySearch;
    record.MaySurf = old.MaySurf;
    record.MayChangeUserOptions = old.MayChangeUserOptions;
    record.DownloadAttempts = old.DownloadAttempts;
    record.Download1Suffix = old.Download1Suffix;
    record.Download2Suffix = old.Download2Suffix;
    record.Download1Counter = old.Download1Counter;
    record.Download2Counter = old.Download2Counter;
    record.MaxVersions = old.MaxVersions;
    record.RefreshMinutes = old.RefreshMinutes;
    record.WindowMode = old.WindowMode;
    record.WindowWidth = old.WindowWidth;
    record.WindowHeight = old.WindowHeight;
    record.HomePage = old.HomePage;
    record.SearchPage = old.SearchPage;
    record.DownloadFolder1 = old.DownloadFolder1;
    record.Download1Name = old.Download1Name;
    record.Download1Target = old.Download1Target;
    record.Download1Url = old.Download1Url;
    record.Download2Name = old.Download2Name;
    record.Download2Target = old.Download2Target;
    record.Download2Url = old.Download2Url;
    record.WebAddress1Name = old.WebAddress1Name;
    record.WebAddress1Url = old.WebAddress1Url;
    record.WebAddress2Name = old.WebAddress2Name;
    record.WebAddress2Url = old.WebAddress2Url;
    record.AdminPasswordStored = old.AdminPasswordStored;
    record.UserPasswordStored = old.UserPasswordStored;
}

// The program's own settings hold the scrambled passwords: a new file is its owner's alone to read.
bool SaveSettings()
{
    return writeSettingsFile(ProgramFolder + SettingsFileName, EinstellDaten, true);
}

bool writeSettingsFile(const QString& path, const TEinstellRecord& record, bool makePrivate)
{
    const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    const QByteArray content(reinterpret_cast<const char*>(&record), kRecordSize);
    if (writeWholeFile(path, content, makePrivate ? std::optional<mode_t>(0600) : std::nullopt))
        return true;
    if (existed) {
        const bool link = errno == ELOOP;
        showMessage(MessageKind::Plain,
                    QStringLiteral("Fehler beim Speichern von: \r") + path
                        + (link ? QStringLiteral("\r(ein symbolischer Verweis, dem Kavelo nicht folgt)") : QString()));
        return false;
    }
    showMessage(MessageKind::Plain, QStringLiteral("Fehler beim Erzeugen einer neuen Einstellungs-Datei!"));
    return false;
}
