#include "settings/ProgramFolders.h"

#include "platform/host/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <sys/stat.h>

namespace {

// Whether both name the same folder, also through links or bind mounts.
bool sameFolder(const QString& one, const QString& other)
{
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(one).constData(), &first) == 0
           && ::stat(QFile::encodeName(other).constData(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

}  // namespace

QString packageFolder()
{
    return QStringLiteral(KAVELO_INSTALL_FOLDER "/");
}

bool folderIsWritable(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".Kavelo-XXXXXX")));
    return probe.open();
}

ProgramFolders chooseProgramFolders(const QString& executableFolder, const QString& installFolder)
{
    // Asked before any probe: root could write into the installed folder.
    const bool installed = sameFolder(executableFolder, installFolder);
    if (!installed && folderIsWritable(executableFolder))
        return {executableFolder, executableFolder};
    const QString own = personalProgramFolder();
    // A folder that cannot be created shows later, when start-up cannot enter it.
    ensurePrivateFolder(own);
    // The installed program reads the system's configuration, which the package
    // manager leaves to the administrator, rather than its own folder; any
    // other folder that cannot be written holds its preset beside the program.
    return {QDir::toNativeSeparators(own), installed ? QStringLiteral("/etc/kavelo/") : executableFolder};
}

QString personalProgramFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kavelo/");
}
