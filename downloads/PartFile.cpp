#include "downloads/PartFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Small pieces, as a slow connection delivers them, are gathered into writes
// of 1 MiB; pieces of 128 KiB and more go to the file as they are, which
// spares copying them on a fast connection.
constexpr qint64 kGatherSize = qint64{1} << 20;
constexpr qint64 kDirectSize = kGatherSize / 8;

// As many links as the system itself follows before it gives up.
constexpr int kMaxLinks = 40;

// The file that path names once its symbolic links are followed; a path that
// does not exist names itself, so a link to a missing file names that file.
// Empty with code set when a link cannot be read or the links run in a circle.
fs::path followLinks(fs::path path, std::error_code& code)
{
    for (int links = 0; links <= kMaxLinks; ++links) {
        const fs::file_status status = fs::symlink_status(path, code);
        if (status.type() == fs::file_type::not_found) {
            code.clear();
            return path;
        }
        if (code)
            return {};
        if (!fs::is_symlink(status))
            return path;
        const fs::path next = fs::read_symlink(path, code);
        if (code)
            return {};
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    code = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

fs::path partFileBeside(const fs::path& finalFile)
{
    const QString name = QStringLiteral(".kavelo-") + QString::number(QRandomGenerator::global()->generate64(), 16)
                         + QStringLiteral(".part");
    return finalFile.parent_path() / QFileInfo(name).filesystemFilePath();
}

#ifdef Q_OS_UNIX
// A part file is locked while its transfer runs; the lock is taken right
// after the file is made, so only one older than this can be unlocked and in use.
constexpr qint64 kYoungestStaleSeconds = 10;

// Removes the part files in folder that a killed transfer left behind: those
// that no running transfer holds locked.
void removeStalePartFiles(const fs::path& folder)
{
    const QDir dir(folder);
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo& entry : dir.entryInfoList({QStringLiteral(".kavelo-*.part")},
                                                    QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::System)) {
        if (entry.lastModified().secsTo(now) < kYoungestStaleSeconds)
            continue;
        const QByteArray path = QFile::encodeName(entry.filePath());
        const int handle = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (handle < 0)
            continue;
        struct stat opened = {};
        struct stat named = {};
        // Unlocked, and still the file of that name: nobody writes it.
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0 && ::fstat(handle, &opened) == 0
            && ::lstat(path.constData(), &named) == 0 && opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            ::unlink(path.constData());
        ::close(handle);
    }
}

// Puts the folder's entries on the disk, a rename among them. The file is in
// place whether or not this succeeds; it only decides what a crash leaves.
void syncFolder(const fs::path& folder)
{
    const fs::path path = folder.empty() ? fs::path(".") : folder;
    const int handle = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}
#endif

QString messageOf(const std::error_code& code)
{
    return QString::fromLocal8Bit(code.message());
}

}  // namespace

PartFile::PartFile(const QString& target)
    : gathered(new char[kGatherSize])
{
    std::error_code code;
    finalFile = followLinks(QFileInfo(target).filesystemFilePath(), code);
    if (code) {
        fail(messageOf(code));
        return;
    }
#ifdef Q_OS_UNIX
    removeStalePartFiles(finalFile.parent_path());
#endif
    file.setFileName(partFileBeside(finalFile));
    // NewOnly never takes over an existing file; the mode gives the usual
    // permissions of a new file. Unbuffered: the pieces are large already.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        fail(file.errorString());
        return;
    }
#ifdef Q_OS_UNIX
    // Held until the file is closed: it tells other transfers that this one lives.
    ::flock(file.handle(), LOCK_EX | LOCK_NB);
#endif
}

PartFile::~PartFile()
{
    if (committed || file.fileName().isEmpty())
        return;
    file.close();
    file.remove();
}

bool PartFile::append(const char* data, qint64 size)
{
    if (size >= kDirectSize)
        return writeGathered() && (file.write(data, size) == size || fail(file.errorString()));
    if (gatheredSize + size > kGatherSize && !writeGathered())
        return false;
    std::memcpy(gathered.get() + gatheredSize, data, static_cast<std::size_t>(size));
    gatheredSize += size;
    return true;
}

bool PartFile::writeGathered()
{
    const qint64 size = std::exchange(gatheredSize, 0);
    return size == 0 || file.write(gathered.get(), size) == size || fail(file.errorString());
}

bool PartFile::commit(std::optional<fs::perms> newFilePermissions)
{
    if (!writeGathered())
        return false;
#ifdef Q_OS_UNIX
    // On the disk before the rename: after a crash the target is the old file or the whole new one.
    if (::fdatasync(file.handle()) != 0)
        return fail(messageOf(std::error_code(errno, std::generic_category())));
#endif
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());

    const fs::path part = QFileInfo(file.fileName()).filesystemFilePath();
    std::error_code code;
    const fs::file_status replaced = fs::status(finalFile, code);
    const std::optional<fs::perms> wanted =
        fs::exists(replaced) ? std::optional(replaced.permissions()) : newFilePermissions;
    // Only the permission bits; the mode is set only where it differs, so a
    // file system without modes (where it cannot change) does not fail here.
    if (wanted && (fs::status(part, code).permissions() & fs::perms::all) != (*wanted & fs::perms::all)) {
        fs::permissions(part, *wanted & fs::perms::all, code);
        if (code)
            return fail(messageOf(code));
    }
    fs::rename(part, finalFile, code);
    if (code)
        return fail(messageOf(code));
    committed = true;
#ifdef Q_OS_UNIX
    syncFolder(finalFile.parent_path());
#endif
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

bool copyThroughPartFile(const QString& source, const QString& target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    PartFile part(target);
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
    std::error_code code;
    const fs::file_status sourceStatus = fs::status(QFileInfo(source).filesystemFilePath(), code);
    return part.commit(code ? std::nullopt : std::optional(sourceStatus.permissions()));
}
