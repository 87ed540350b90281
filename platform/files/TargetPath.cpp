#include "platform/files/TargetPath.h"

#include "platform/files/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <deque>

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd(std::exchange(other.fd, -1))
{
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        FileHandle old(std::move(*this));
        fd = std::exchange(other.fd, -1);
    }
    return *this;
}

FileHandle::~FileHandle()
{
    if (fd >= 0)
        ::close(fd);
}

namespace {

// As many links as the kernel follows in one walk before it gives up.
constexpr int kMaxLinks = 40;

// The non-empty components of path, "." left out.
std::deque<QByteArray> componentsOf(const QByteArray& path)
{
    std::deque<QByteArray> components;
    for (const QByteArray& part : path.split('/')) {
        if (!part.isEmpty() && part != ".")
            components.push_back(part);
    }
    return components;
}

QString joined(const QByteArrayList& components)
{
    return QFile::decodeName(QByteArray("/") + components.join('/'));
}

// The kernel's protected_symlinks rule: in a sticky folder that everybody may
// write, a link is followed only when it belongs to the runner or to the
// folder's owner, so that nobody can plant a link there for another user's run.
bool mayFollow(int folder, const struct stat& link)
{
    struct stat owner = {};
    if (::fstat(folder, &owner) != 0)
        return false;
    const bool shared = (owner.st_mode & S_ISVTX) && (owner.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == owner.st_uid;
}

// Whether another user than root may change what the folder holds: its owner
// when that is not root, and a group or everybody with write access, unless
// the folder is sticky.
bool othersMayChange(const struct stat& folder)
{
    if (folder.st_uid != 0)
        return true;
    const bool shared = ((folder.st_mode & S_IWGRP) && folder.st_gid != 0) || (folder.st_mode & S_IWOTH);
    return shared && !(folder.st_mode & S_ISVTX);
}

QString changeableFolderText(const QString& folder)
{
    return QStringLiteral("Den Ordner %1 dürfen auch andere Benutzer als root ändern.")
        .arg(QDir::toNativeSeparators(folder));
}

// For a run as root, the first folder from the one open in folder up to the
// root that another user may change, named by walked (the open folder's path
// from the root); empty when there is none.
QString changeableFolderAbove(int folder, QByteArrayList walked)
{
    FileHandle current(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    for (;;) {
        struct stat status = {};
        if (!current.isOpen() || ::fstat(current.get(), &status) != 0)
            return changeableFolderText(joined(walked));  // what cannot be looked at is not trusted
        if (othersMayChange(status))
            return changeableFolderText(joined(walked));
        if (walked.isEmpty())
            return {};
        walked.removeLast();
        current = FileHandle(::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
}

QByteArray linkText(int folder, const QByteArray& name)
{
    QByteArray text(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(folder, name.constData(), text.data(), text.size());
    return length > 0 ? text.left(length) : QByteArray();
}

}  // namespace

TargetPath walkTargetPath(const QString& target)
{
    TargetPath result;
    const QByteArray path = QFile::encodeName(target);
    std::deque<QByteArray> pending = componentsOf(path);
    QByteArrayList walked;  // the folders entered, from the root
    if (!path.startsWith('/'))
        walked = QFile::encodeName(QDir::currentPath()).split('/').mid(1);
    FileHandle folder(::open(path.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    const auto stop = [&](int error, const QString& refusal = {}) {
        for (const QByteArray& rest : pending)
            walked.append(rest);
        result.path = joined(walked);
        result.refusal = refusal;
        if (refusal.isEmpty())
            result.failure = systemErrorText(error);
        return std::move(result);
    };
    if (!folder.isOpen())
        return stop(errno);

    // The component in front is taken off once the walk has gone past it.
    const bool asRoot = ::geteuid() == 0;
    int links = 0;
    while (!pending.empty()) {
        const QByteArray name = pending.front();
        const bool last = pending.size() == 1;
        if (name == "..") {
            pending.pop_front();
            folder = FileHandle(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!walked.isEmpty())
                walked.removeLast();
            if (!folder.isOpen())
                return stop(errno);
            continue;
        }
        if (asRoot) {
            struct stat status = {};
            if (::fstat(folder.get(), &status) != 0 || othersMayChange(status))
                return stop(EACCES, changeableFolderText(joined(walked)));
        }
        struct stat entry = {};
        if (::fstatat(folder.get(), name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT && last)
                break;  // a new file in an existing folder
            return stop(errno);
        }
        if (S_ISLNK(entry.st_mode)) {
            const QString link = joined(walked + QByteArrayList{name});
            if (++links > kMaxLinks)
                return stop(ELOOP, QStringLiteral("Zu viele symbolische Links hintereinander: %1").arg(link));
            if (!mayFollow(folder.get(), entry))
                return stop(EACCES, QStringLiteral("Der symbolische Link %1 gehört einem anderen Benutzer und liegt "
                                                   "in einem Ordner, in den alle schreiben dürfen: ihm wird nicht "
                                                   "gefolgt.")
                                        .arg(link));
            const QByteArray text = linkText(folder.get(), name);
            if (text.isEmpty())
                return stop(errno);
            pending.pop_front();
            const std::deque<QByteArray> linkTarget = componentsOf(text);
            pending.insert(pending.begin(), linkTarget.begin(), linkTarget.end());
            if (text.startsWith('/')) {
                folder = FileHandle(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
                walked.clear();
            }
            continue;
        }
        if (last)
            break;
        FileHandle next(::openat(folder.get(), name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.isOpen())
            return stop(errno);
        pending.pop_front();
        folder = std::move(next);
        walked.append(name);
    }
    if (pending.empty())  // the path ends in ".." or names the root: a folder
        return stop(EISDIR);
    // A relative path starts in a folder whose own folders the walk has not looked at.
    if (const QString above = asRoot ? changeableFolderAbove(folder.get(), walked) : QString(); !above.isEmpty())
        return stop(EACCES, above);
    result.name = pending.front();
    result.path = joined(walked + QByteArrayList{result.name});
    result.folder = std::move(folder);
    return result;
}

QString replacementRefusal(const TargetPath& place)
{
    struct stat entry = {};
    if (::fstatat(place.folder.get(), place.name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    if (!S_ISREG(entry.st_mode))
        return QStringLiteral("%1 ist keine gewöhnliche Datei.").arg(QDir::toNativeSeparators(place.path));
    struct stat folder = {};
    if (::fstat(place.folder.get(), &folder) != 0)
        return systemErrorText();
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & (S_IWGRP | S_IWOTH));
    if (shared && entry.st_uid != ::geteuid() && entry.st_uid != folder.st_uid)
        return QStringLiteral(
                   "%1 gehört einem anderen Benutzer und liegt in einem Ordner, in den auch andere "
                   "schreiben dürfen: sie wird nicht ersetzt.")
            .arg(QDir::toNativeSeparators(place.path));
    return {};
}
