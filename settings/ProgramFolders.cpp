#include "settings/ProgramFolders.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

bool folderIsWritable(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".Kavelo-XXXXXX")));
    return probe.open();
}

ProgramFolders chooseProgramFolders(const QString& executableFolder)
{
    if (folderIsWritable(executableFolder))
        return {executableFolder, executableFolder};
    const QString own = personalProgramFolder();
    // A folder that cannot be created shows later, when start-up cannot enter it.
    QDir().mkpath(own);
    return {QDir::toNativeSeparators(own), executableFolder};
}

QString personalProgramFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kavelo/");
}
