#include "platform/host/PrivateFile.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

bool ensurePrivateFile(const QString& path)
{
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle >= 0)
        ::close(handle);
    return QFile::exists(path);
}
