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
    // The system's configuration, which the package manager leaves to the
    // administrator, rather than the executable's folder, which it owns.
    return {QDir::toNativeSeparators(own), QStringLiteral("/etc/kavelo/")};
}

QString personalProgramFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kavelo/");
}
