#include "platform/host/PrivateFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

bool ensurePrivateFile(const QString& path)
{
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle >= 0) {
        // The umask may have taken bits off the mode open() was given.
        const bool modeSet = ::fchmod(handle, 0600) == 0;
        ::close(handle);
        if (!modeSet)
            return false;
    }
    return QFile::exists(path);
}

bool ensurePrivateFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    bool made = ::mkdir(name.constData(), 0700) == 0;
    if (!made && errno == ENOENT) {
        const QString parent = QFileInfo(path).path();
        made = parent != path && ensurePrivateFolder(parent) && ::mkdir(name.constData(), 0700) == 0;
    }
    // As with open(), the umask may have taken bits off.
    if (made)
        return ::chmod(name.constData(), 0700) == 0;
    return QFileInfo(path).isDir();
}
