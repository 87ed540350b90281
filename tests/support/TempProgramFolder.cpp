#include "support/TempProgramFolder.h"

#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QtGlobal>

TempProgramFolder::TempProgramFolder()
{
    if (!dir.isValid())
        qFatal("no temporary folder");
    ProgramFolder = dir.path() + QLatin1Char('/');
    DataFolder = ProgramFolder;
    SettingsFileName = QStringLiteral("Einstell.DAT");
    EinstellDaten = TEinstellRecord{};
    StandardDaten = TEinstellRecord{};
}

TempProgramFolder::~TempProgramFolder()
{
    ProgramFolder.clear();
    DataFolder.clear();
}

QString TempProgramFolder::path(const QString& name) const
{
    return dir.filePath(name);
}

void TempProgramFolder::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path(name)));
}

void TempProgramFolder::writeSettings(const TEinstellRecord& record) const
{
    writeFile(QStringLiteral("Einstell.DAT"), QByteArray(reinterpret_cast<const char*>(&record), sizeof record));
}

QByteArray TempProgramFolder::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
