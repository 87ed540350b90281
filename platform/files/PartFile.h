#pragma once

// The temporary file a transfer or a copy writes into, beside the file it is
// to replace. Writes are gathered into large pieces; the file replaces its
// target only through commit() and is removed in every other case. Nobody but
// the runner can read it while it is written (mode 0600).

#include "platform/files/TargetPath.h"

#include <QFile>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>

// Whether a commit may replace a file of the target's name.
enum class Replace { Existing, Never };

class PartFile {
public:
    // Creates a new, uniquely named file in the folder that the walk to the
    // target reached, locked while this object lives; part files in that
    // folder that no running transfer holds (left by a killed one) are removed
    // first. The file is written where the walk went, whatever has changed on
    // the path since. Check isOpen().
    explicit PartFile(std::shared_ptr<const TargetPath> target);
    // The same after walking target as walkTargetPath walks it: a symbolic link
    // names the file it points at, which is replaced while the link stays.
    explicit PartFile(const QString& target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool isOpen() const { return file.isOpen(); }
    QString errorString() const { return error; }

    bool append(const char* data, qint64 size);
    // Writes what is still gathered, puts it on the disk and renames it over
    // the target's file, unless replacementRefusal() refuses that file. It
    // takes the owner and group (where the runner may give them, as root may)
    // and the mode of the file it replaces, without set-id bits, as cp does;
    // where there is none, newFilePermissions when given, else the mode the
    // umask gives. With Replace::Never a file of that name fails the commit.
    bool commit(std::optional<std::filesystem::perms> newFilePermissions = std::nullopt,
                Replace replace = Replace::Existing);
    // The file committed, to know it again.
    FileIdentity written() const { return identity; }

    // The bytes appended so far, gathered ones included.
    qint64 size() const;
    // Drops everything appended and any error, for a body that starts afresh.
    bool restart();

private:
    bool writeGathered();
    bool writeWhole(const char* data, qint64 size);
    bool takeOverTheReplacedFile(std::optional<std::filesystem::perms> newFilePermissions);
    bool fail(const QString& why);

    std::shared_ptr<const TargetPath> finalFile;  // the file the target names, after its links
    QByteArray partName;                          // the part file's name in finalFile.folder
    QFile file;
    std::unique_ptr<char[]> gathered;
    qint64 gatheredSize = 0;
    bool committed = false;
    FileIdentity identity;
    QString error;
};

// Copies the file at source over target through a part file, so that a copy
// that cannot be written whole leaves the file that was there untouched. The
// source is opened without following a link and only as a regular file: when
// expected is given, it must be that file, and without it, a file that
// replacementRefusal() would let the runner replace. A new target takes the
// permission bits of source. False when anything fails.
bool copyThroughPartFile(const TargetPath& source, const std::optional<FileIdentity>& expected,
                         std::shared_ptr<const TargetPath> target, Replace replace = Replace::Existing);

// Moves a complete file from a folder of the run's own (source, a plain path)
// to the place the walk to its target reached, never over a file there:
// renamed where both lie on one file system, else copied through a part file
// and then removed. Why it failed, in German; empty when it did not.
QString moveIntoPlace(const QString& source, std::shared_ptr<const TargetPath> target);
