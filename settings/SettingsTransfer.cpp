#include "settings/SettingsTransfer.h"

#include "platform/host/Messages.h"
#include "platform/host/WholeFile.h"
#include "settings/Defaults.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// A text of all fields takes at most some 25 KB; anything far longer is no settings text.
constexpr qint64 kMaxInput = 1 << 20;

const QString kStandardStream = QStringLiteral("-");

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

std::optional<QByteArray> readInput(const QString& input)
{
    QFile file(input);
    const bool open = input == kStandardStream ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    QByteArray content;
    // A pipe gives its bytes piece by piece, until its end.
    while (open && content.size() <= kMaxInput) {
        const QByteArray piece = file.read(kMaxInput + 1 - content.size());
        if (piece.isEmpty())
            break;
        content += piece;
    }
    const QString name = input == kStandardStream ? QStringLiteral("Die Standardeingabe") : shown(input);
    if (!open || file.error() != QFileDevice::NoError) {
        showMessage(MessageKind::Error, QStringLiteral("%1 kann nicht gelesen werden.").arg(name));
        return std::nullopt;
    }
    if (content.size() > kMaxInput) {
        showMessage(MessageKind::Error, QStringLiteral("%1 ist zu groß für einen Text der Einstellungen "
                                                       "(mehr als %2 Bytes).")
                                            .arg(name)
                                            .arg(kMaxInput));
        return std::nullopt;
    }
    return content;
}

bool writeOutput(const QString& output, const QByteArray& text)
{
    if (output == kStandardStream) {
        const auto size = static_cast<std::size_t>(text.size());
        if (std::fwrite(text.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0)
            return true;
        showMessage(MessageKind::Error, QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
        return false;
    }
    if (writeWholeFile(output, text, 0600))
        return true;
    const QString why =
        errno == ELOOP ? QStringLiteral(" Dort steht ein symbolischer Verweis, dem Kavelo nicht folgt.") : QString();
    showMessage(MessageKind::Error,
                QStringLiteral("Die Datei %1 kann nicht geschrieben werden.%2").arg(shown(output), why));
    return false;
}

}  // namespace

std::optional<StartingSettings> runSettings(const QString& programFolder, const QString& dataFolder)
{
    StartingSettings settings;
    SetDefaults(settings.record);
    if (!ReadSettingsFile(programFolder, dataFolder, settings.record))
        return std::nullopt;
    if (const SettingsSource source = settingsSource(programFolder, dataFolder); !source.keepsOwnCounters)
        settings.file = source.path;
    return settings;
}

std::optional<StartingSettings> fileSettings(const QString& path)
{
    StartingSettings settings;
    SetDefaults(settings.record);
    if (!QFileInfo::exists(path))
        return settings;
    settings.file = path;
    QString refusal;
    const std::optional<QByteArray> content = readSettingsBytes(path, &refusal);
    if (!content) {
        showMessage(MessageKind::Error,
                    refusal.isEmpty()
                        ? QStringLiteral("Die Einstellungs-Datei %1 kann nicht gelesen werden.").arg(shown(path))
                        : refusal);
        return std::nullopt;
    }
    const ParsedSettings parsed = parseSettings(*content, settings.record);
    if (parsed.layout == ParsedSettings::Layout::TooShort) {
        showMessage(MessageKind::Error, QStringLiteral("Die Einstellungs-Datei %1 ist unvollständig (%2 Bytes).")
                                            .arg(shown(path))
                                            .arg(content->size()));
        return std::nullopt;
    }
    settings.record = parsed.record;
    return settings;
}

int exportSettings(const std::optional<StartingSettings>& settings, const QString& output)
{
    return settings && writeOutput(output, settingsText(settings->record)) ? 0 : 1;
}

int importSettings(const QString& input, const std::function<std::optional<StartingSettings>()>& start,
                   const QString& target, bool ownSettings)
{
    const std::optional<QByteArray> text = readInput(input);
    if (!text)
        return 1;
    std::optional<StartingSettings> settings = start();
    if (!settings)
        return 1;
    const TEinstellRecord before = settings->record;
    if (const std::optional<SettingsTextError> error = readSettingsText(*text, settings->record)) {
        showMessage(MessageKind::Error,
                    QStringLiteral("%1, Zeile %2: %3.\rEs wurde nichts geändert.")
                        .arg(input == kStandardStream ? QStringLiteral("Standardeingabe") : shown(input))
                        .arg(error->line)
                        .arg(error->reason));
        return 2;
    }
    if (settings->file == target && std::memcmp(&before, &settings->record, kRecordSize) == 0)
        return 0;
    return writeSettingsFile(target, settings->record, ownSettings) ? 0 : 1;
}
