#pragma once

// Where a download's target path leads. The path is walked one component at
// a time, as the kernel walks it, and symbolic links are followed only as the
// kernel's protected_symlinks rule would follow them: a link in a sticky
// folder that everybody may write is followed only when it belongs to the
// runner or to the folder's owner. A link whose target does not exist yet
// leads there all the same. The download guard and the file writer share this
// walk, so the place the guard judged is the place that is written; the
// writer works in the folder the walk opened, so nothing can be swapped in
// between.
//
// A run as root goes through no folder that another user may change: a link
// there, or the folder itself, could be re-pointed at root's own files, as
// sshd's StrictModes sees it. Sticky folders that root owns (/tmp) are the
// exception: nobody may touch another's entries there.

#include <sys/types.h>
#include <QByteArray>
#include <QString>

// An open file descriptor, closed with its owner.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int descriptor)
        : fd(descriptor)
    {
    }
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    ~FileHandle();

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }

private:
    int fd = -1;
};

struct TargetPath {
    QString path;       // absolute, its links, "." and ".." resolved as far as the walk came
    QString refusal;    // a link the walk would not follow, in German; empty if none
    QString failure;    // why else the walk stopped (in German); empty if it did not
    FileHandle folder;  // the last folder, opened for paths only, once the walk got there
    QByteArray name;    // the last component inside folder: no link, and it may not exist

    bool reached() const { return refusal.isEmpty() && failure.isEmpty(); }
    QString whyNot() const { return refusal.isEmpty() ? failure : refusal; }
};

TargetPath walkTargetPath(const QString& path);

// Which file an open file is, to know it again by.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};

// Why the entry the walk reached may not be replaced, nor read as a file of
// the runner's: it is something else than a regular file (a link put there
// since the walk, a FIFO, a device), or it lies in a sticky folder that others
// may write and belongs to neither the runner nor the folder's owner, as the
// kernel's protected_regular rule has it for opening. In German; empty when
// there is no entry or it may.
QString replacementRefusal(const TargetPath& place);
