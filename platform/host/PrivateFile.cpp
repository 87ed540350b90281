#include "platform/host/PrivateFile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

bool ensurePrivateFile(const QString& path)
{
#ifdef Q_OS_UNIX
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle >= 0)
        ::close(handle);
#endif
    return QFile::exists(path);
}
