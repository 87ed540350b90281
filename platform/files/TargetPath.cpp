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

QByteArray linkText(int folder, const QByteArray& name)
{
    QByteArray text(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(folder, name.constData(), text.data(), text.size());
    return length > 0 ? text.left(length) : QByteArray();
}

}  // namespace

TargetPath walkTargetPath(const QString& target, const FolderJudge& judge)
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
    // The folder the walk has just entered, judged; false when the walk stops there.
    QString judged;
    const auto entered = [&] {
        judged = folder.isOpen() && judge ? judge(folder.get(), joined(walked)) : QString();
        return folder.isOpen() && judged.isEmpty();
    };
    if (!entered())
        return stop(errno, judged);

    // The component in front is taken off once the walk has gone past it.
    int links = 0;
    while (!pending.empty()) {
        const QByteArray name = pending.front();
        const bool last = pending.size() == 1;
        if (name == "..") {
            pending.pop_front();
            folder = FileHandle(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!walked.isEmpty())
                walked.removeLast();
            if (!entered())
                return stop(errno, judged);
            continue;
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
                if (!entered())
                    return stop(errno, judged);
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
        if (!entered())
            return stop(errno, judged);
    }
    if (pending.empty())  // the path ends in ".." or names the root: a folder
        return stop(EISDIR);
    result.name = pending.front();
    result.path = joined(walked + QByteArrayList{result.name});
    result.folder = std::move(folder);
    return result;
}
