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

#include <QByteArray>
#include <QString>
#include <functional>

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

// judge, when given, sees each folder the walk enters (the first one too),
// opened for paths only and named as the walk came there; a text it returns
// stops the walk with that refusal.
using FolderJudge = std::function<QString(int folder, const QString& path)>;

TargetPath walkTargetPath(const QString& path, const FolderJudge& judge = {});
