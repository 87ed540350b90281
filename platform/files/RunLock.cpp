#include "platform/files/RunLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

constexpr std::chrono::milliseconds kRetry{200};

// The process's one lock: its file and how many holders it has.
std::mutex guard;
int lockFile = -1;
int holders = 0;
std::atomic<bool> held{false};

// Root's lock file in a folder another person owns (an import into their
// settings) is theirs, as their own run would have made it: their runs could
// not open root's and would go unguarded. Only a file that no other name
// leads to is given away.
void giveToFolderOwner(int handle, const QString& path)
{
    struct stat file {};
    struct stat folder {};
    if (handle < 0 || ::geteuid() != 0 || ::fstat(handle, &file) != 0 || !S_ISREG(file.st_mode) || file.st_uid != 0
        || file.st_nlink != 1 || ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0
        || folder.st_uid == 0)
        return;
    [[maybe_unused]] const bool given = ::fchown(handle, folder.st_uid, folder.st_gid) == 0;
}

// The lock file, made when missing, never through a planted link. Only its
// owner may open it (0600 whatever the umask), so nobody else can hold it to
// stop a job; one that was there keeps its mode. A link there, or anything
// but a regular file, would lock nothing that another run locks: it gives no
// handle but refusal, and a FIFO does not hold the run in open().
int openLockFile(const QString& path, QString& refusal)
{
    const QByteArray name = QFile::encodeName(path);
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int handle = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | kFlags, 0600);
    if (handle >= 0) {
        [[maybe_unused]] const bool set = ::fchmod(handle, 0600) == 0;
    } else if (errno == EEXIST) {
        handle = ::open(name.constData(), O_RDWR | kFlags);
    }
    if (handle < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        handle = ::open(name.constData(), O_RDONLY | kFlags);
    const QString shown = QDir::toNativeSeparators(path);
    struct stat file {};
    if (handle < 0 && errno == ELOOP) {
        refusal = QStringLiteral("Die Sperrdatei %1 ist ein symbolischer Verweis, dem Kavelo nicht folgt.").arg(shown);
    } else if (handle >= 0 && (::fstat(handle, &file) != 0 || !S_ISREG(file.st_mode))) {
        ::close(handle);
        handle = -1;
        refusal = QStringLiteral("Die Sperrdatei %1 ist keine gewöhnliche Datei.").arg(shown);
    }
    giveToFolderOwner(handle, path);
    return handle;
}

}  // namespace

RunLock::RunLock(const QString& folder, std::chrono::milliseconds bound, const std::function<bool()>& giveUp)
{
    {
        const std::lock_guard lock(guard);
        if (holders > 0) {
            ++holders;
            result = State::Held;
            return;
        }
    }
    const int handle = openLockFile(fileIn(folder), why);
    if (handle < 0) {
        result = why.isEmpty() ? State::Unavailable : State::Refused;
        return;
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
            const std::lock_guard lock(guard);
            lockFile = handle;
            holders = 1;
            held = true;
            result = State::Held;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;  // a file system without locks
        if (clock.elapsed() >= bound.count() || (giveUp && giveUp())) {
            ::close(handle);
            result = State::Busy;
            return;
        }
        QThread::msleep(static_cast<unsigned long>(kRetry.count()));
    }
    ::close(handle);
}

RunLock::~RunLock()
{
    if (result != State::Held)
        return;
    const std::lock_guard lock(guard);
    if (--holders == 0) {
        held = false;
        ::close(lockFile);  // ends the lock
        lockFile = -1;
    }
}

bool RunLock::heldByThisProcess()
{
    return held;
}

QString RunLock::fileIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Einstell.DAT.lock"));
}
