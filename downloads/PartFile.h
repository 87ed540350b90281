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

class PartFile {
public:
    // Creates a new, uniquely named file beside the file that target names,
    // locked while this object lives; part files in that folder that no
    // running transfer holds (left by a killed one) are removed first. The
    // target is walked as walkTargetPath walks it: a symbolic link names the
    // file it points at, which is replaced while the link stays, unless the
    // link is one the kernel's protected_symlinks rule would not follow.
    // Check isOpen().
    explicit PartFile(const QString& target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool isOpen() const { return file.isOpen(); }
    QString errorString() const { return error; }

    bool append(const char* data, qint64 size);
    // Writes what is still gathered, puts it on the disk and renames it over
    // the target's file. It takes the owner and group (where the runner may
    // give them, as root may) and the mode of the file it replaces; where there
    // is none, newFilePermissions when given, else the mode the umask gives.
    bool commit(std::optional<std::filesystem::perms> newFilePermissions = std::nullopt);

    // The bytes appended so far, gathered ones included.
    qint64 size() const;
    // Drops everything appended and any error, for a body that starts afresh.
    bool restart();

private:
    bool writeGathered();
    bool writeWhole(const char* data, qint64 size);
    bool takeOverTheReplacedFile(std::optional<std::filesystem::perms> newFilePermissions);
    bool fail(const QString& why);

    TargetPath finalFile;  // the file the target names, after its links
    QByteArray partName;   // the part file's name in finalFile.folder
    QFile file;
    std::unique_ptr<char[]> gathered;
    qint64 gatheredSize = 0;
    bool committed = false;
    QString error;
};

// Copies source over target through a part file, so that a copy that cannot
// be written whole leaves the file that was there untouched. source is walked
// as a target is, and opened without following a last link. A new target
// takes the permission bits of source. False when anything fails.
bool copyThroughPartFile(const QString& source, const QString& target);
