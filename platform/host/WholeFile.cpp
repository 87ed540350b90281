#include "platform/host/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

// A new file beside target, made for this write alone (never an existing one
// or a link), with the name of the target and a random tail.
int createBeside(const QByteArray& target, mode_t mode, QByteArray& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int handle = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (handle >= 0 || errno != EEXIST)
            return handle;
    }
    return -1;
}

bool writeAll(int handle, const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(handle, content.constData() + done, static_cast<size_t>(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool writeWholeFile(const QString& path, const QByteArray& content, std::optional<mode_t> newMode)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool existed = ::lstat(target.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        errno = S_ISLNK(old.st_mode) ? ELOOP : EISDIR;
        return false;
    }
    QByteArray temporary;
    // Created owner-only while it is written; without a mode of its own the umask decides.
    const int handle = createBeside(target, newMode || existed ? 0600 : 0666, temporary);
    if (handle < 0)
        return false;
    // The file stays its owner's; root's new file in a folder another person
    // owns is theirs, as their own run would have made it. Whoever may not
    // give a file away keeps it as their own (the call fails).
    struct stat owner = old;
    bool giveAway = existed;
    if (!existed && ::geteuid() == 0) {
        const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        giveAway = ::stat(folder.constData(), &owner) == 0 && owner.st_uid != 0;
    }
    [[maybe_unused]] const bool given = giveAway && ::fchown(handle, owner.st_uid, owner.st_gid) == 0;
    const bool modeSet =
        existed ? ::fchmod(handle, old.st_mode & 0777) == 0 : !newMode || ::fchmod(handle, *newMode) == 0;
    bool ok = writeAll(handle, content) && modeSet && ::fsync(handle) == 0;
    int error = errno;
    if (::close(handle) != 0 && ok) {
        ok = false;
        error = errno;
    }
    // rename() replaces whatever stands at the target by now, a link included, without following it.
    if (ok && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    if (ok)
        error = errno;
    ::unlink(temporary.constData());
    errno = error;
    return false;
}
