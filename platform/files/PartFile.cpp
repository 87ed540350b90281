#include "platform/files/PartFile.h"

#include "platform/files/RunLock.h"
#include "platform/files/SystemError.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>

namespace fs = std::filesystem;

namespace {

// Small pieces, as a slow connection delivers them, are gathered into writes
// of 1 MiB; pieces of 128 KiB and more go to the file as they are, which
// spares copying them on a fast connection.
constexpr qint64 kGatherSize = qint64{1} << 20;
constexpr qint64 kDirectSize = kGatherSize / 8;

QByteArray newPartName()
{
    return ".kavelo-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".part";
}

// A part file is locked while its transfer runs; the lock is taken right
// after the file is made, so only one older than this can be unlocked and in
// use. A run that holds the run lock knows that no other run of its settings
// writes: every unlocked part file is left over.
constexpr qint64 kYoungestStaleSeconds = 10;

// Removes the part files in folder that a killed transfer left behind: those
// that no running transfer holds locked.
void removeStalePartFiles(int folder)
{
    const qint64 youngestStale = RunLock::heldByThisProcess() ? 0 : kYoungestStaleSeconds;
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(".kavelo-") || !name.endsWith(".part"))
            continue;
        const FileHandle handle(::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened = {};
        struct stat named = {};
        // An old regular file, unlocked, and still the file of that name: nobody writes it.
        if (handle.isOpen() && ::fstat(handle.get(), &opened) == 0 && S_ISREG(opened.st_mode)
            && now - opened.st_mtime >= youngestStale && ::flock(handle.get(), LOCK_EX | LOCK_NB) == 0
            && ::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && opened.st_ino == named.st_ino
            && opened.st_dev == named.st_dev)
            ::unlinkat(folder, name.constData(), 0);
    }
    ::closedir(entries);
}

// The mode bits a new file gets from the umask, as "curl -o" would give them.
// Read from the kernel's report: setting the umask to read it would race with
// the other threads of the program.
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return 0666 & ~static_cast<mode_t>(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 0644;
}

// Puts the folder's entries on the disk, a rename among them. The file is in
// place whether or not this succeeds; it only decides what a crash leaves.
void syncFolder(int folder)
{
    const FileHandle handle(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.isOpen())
        ::fsync(handle.get());
}

}  // namespace

PartFile::PartFile(const QString& target)
    : PartFile(std::make_shared<const TargetPath>(walkTargetPath(target)))
{
}

PartFile::PartFile(std::shared_ptr<const TargetPath> target)
    : finalFile(std::move(target))
    , gathered(new char[kGatherSize])
{
    if (!finalFile->reached()) {
        fail(finalFile->whyNot());
        return;
    }
    const int folder = finalFile->folder.get();
    struct stat existing = {};
    if (::fstatat(folder, finalFile->name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISDIR(existing.st_mode)) {
        fail(systemErrorText(EISDIR));
        return;
    }
    removeStalePartFiles(folder);
    // A new file of the program's own, never one planted under that name;
    // unbuffered, since the pieces are large already.
    int handle = -1;
    for (int tries = 0; handle < 0 && tries < 3; ++tries) {
        partName = newPartName();
        handle = ::openat(folder, partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (handle < 0 || !file.open(handle, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        fail(handle < 0 ? systemErrorText() : file.errorString());
        if (handle >= 0)
            ::close(handle);
        partName.clear();
        return;
    }
    // Held until the file is closed: it tells other transfers that this one lives.
    ::flock(file.handle(), LOCK_EX | LOCK_NB);
}

PartFile::~PartFile()
{
    if (committed || partName.isEmpty())
        return;
    file.close();
    ::unlinkat(finalFile->folder.get(), partName.constData(), 0);
}

bool PartFile::append(const char* data, qint64 size)
{
    if (size >= kDirectSize)
        return writeGathered() && writeWhole(data, size);
    if (gatheredSize + size > kGatherSize && !writeGathered())
        return false;
    std::memcpy(gathered.get() + gatheredSize, data, static_cast<std::size_t>(size));
    gatheredSize += size;
    return true;
}

bool PartFile::writeGathered()
{
    const qint64 size = std::exchange(gatheredSize, 0);
    return size == 0 || writeWhole(gathered.get(), size);
}

// A write that stops short (the disk filled up after part of the piece)
// leaves QFile without an error of its own: the reason is the system's.
bool PartFile::writeWhole(const char* data, qint64 size)
{
    errno = 0;
    if (file.write(data, size) == size)
        return true;
    return fail(errno != 0 ? systemErrorText() : file.errorString());
}

bool PartFile::commit(std::optional<fs::perms> newFilePermissions, Replace replace)
{
    if (const QString refusal = replacementRefusal(*finalFile); !refusal.isEmpty())
        return fail(refusal);
    if (!writeGathered() || !takeOverTheReplacedFile(newFilePermissions))
        return false;
    // On the disk before the rename: after a crash the target is the old file or the whole new one.
    struct stat status = {};
    if (::fdatasync(file.handle()) != 0 || ::fstat(file.handle(), &status) != 0)
        return fail(systemErrorText());
    file.close();
    const int folder = finalFile->folder.get();
    const unsigned flags = replace == Replace::Never ? RENAME_NOREPLACE : 0;
    if (::renameat2(folder, partName.constData(), folder, finalFile->name.constData(), flags) != 0)
        return fail(systemErrorText());
    committed = true;
    identity = {status.st_dev, status.st_ino};
    syncFolder(folder);
    return true;
}

// The part file takes the owner, group and mode of the file it replaces, the
// mode last; set-id bits are never passed on: a link to a set-user-ID
// program must not make the download one.
bool PartFile::takeOverTheReplacedFile(std::optional<fs::perms> newFilePermissions)
{
    const int handle = file.handle();
    struct stat replaced = {};
    mode_t mode = newFilePermissions ? static_cast<mode_t>(*newFilePermissions & fs::perms::all) : newFileMode();
    if (::fstatat(finalFile->folder.get(), finalFile->name.constData(), &replaced, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(replaced.st_mode)) {
        mode = replaced.st_mode & 07777 & ~(S_ISUID | S_ISGID);
        // Only root may give a file away: any other runner keeps the file its own, and says nothing.
        if ((replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid())
            && ::fchown(handle, replaced.st_uid, replaced.st_gid) != 0 && errno != EPERM)
            return fail(systemErrorText());
    }
    // Only where it differs: a file system without modes, where it cannot change, does not fail here.
    struct stat part = {};
    if (::fstat(handle, &part) == 0 && (part.st_mode & 07777) != mode && ::fchmod(handle, mode) != 0)
        return fail(systemErrorText());
    return true;
}

bool PartFile::fail(const QString& why)
{
    if (error.isEmpty())
        error = why;
    return false;
}

qint64 PartFile::size() const
{
    return file.pos() + gatheredSize;
}

bool PartFile::restart()
{
    gatheredSize = 0;
    error.clear();
    return (file.resize(0) && file.seek(0)) || fail(file.errorString());
}

bool copyThroughPartFile(const TargetPath& source, const std::optional<FileIdentity>& expected,
                         std::shared_ptr<const TargetPath> target, Replace replace)
{
    if (!source.reached() || (!expected && !replacementRefusal(source).isEmpty()))
        return false;
    // Without blocking: a FIFO put there would hold the open.
    const int handle =
        ::openat(source.folder.get(), source.name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    QFile input;
    if (handle < 0 || !input.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (handle >= 0)
            ::close(handle);
        return false;
    }
    struct stat status = {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)
        || (expected && !(*expected == FileIdentity{status.st_dev, status.st_ino})))
        return false;
    const auto sourcePermissions = static_cast<fs::perms>(status.st_mode & 0777);
    PartFile part(std::move(target));
    if (!part.isOpen())
        return false;
    const std::unique_ptr<char[]> piece(new char[kGatherSize]);
    for (;;) {
        const qint64 read = input.read(piece.get(), kGatherSize);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        if (!part.append(piece.get(), read))
            return false;
    }
    return part.commit(sourcePermissions, replace);
}

QString moveIntoPlace(const QString& source, std::shared_ptr<const TargetPath> target)
{
    if (!target->reached())
        return target->whyNot();
    if (QString refusal = replacementRefusal(*target); !refusal.isEmpty())
        return refusal;
    const QByteArray from = QFile::encodeName(source);
    if (::renameat2(AT_FDCWD, from.constData(), target->folder.get(), target->name.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EXDEV)
        return systemErrorText();
    const TargetPath walked = walkTargetPath(source);
    if (!copyThroughPartFile(walked, std::nullopt, std::move(target), Replace::Never))
        return QStringLiteral("Die Datei konnte nicht dorthin kopiert werden.");
    ::unlink(from.constData());
    return {};
}
