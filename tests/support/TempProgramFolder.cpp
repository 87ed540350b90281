#include "support/TempProgramFolder.h"

#include "settings/EinstellRecord.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <gtest/gtest.h>

TempProgramFolder::TempProgramFolder()
{
    EXPECT_TRUE(dir.isValid());
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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray TempProgramFolder::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
