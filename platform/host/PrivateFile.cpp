#include "platform/host/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ensurePrivateFile(const QString& path)
{
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle >= 0) {
        [[maybe_unused]] const bool set = ::fchmod(handle, 0600) == 0;
        ::close(handle);
    }
    return QFile::exists(path);
}

bool ensurePrivateFolder(const QString& path)
{
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(folder).isDir())
        return true;
    const QString above = QFileInfo(folder).path();
    if (above != folder && !ensurePrivateFolder(above))
        return false;
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) == 0) {
        // The umask may have taken bits away (0200 would leave it read-only): this folder is the one just made.
        const int handle = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (handle >= 0) {
            [[maybe_unused]] const bool set = ::fchmod(handle, 0700) == 0;
            ::close(handle);
        }
    }
    return QFileInfo(folder).isDir();
}
