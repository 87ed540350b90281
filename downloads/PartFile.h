#pragma once

// The temporary file a transfer writes into, beside its target. Writes are
// gathered into large pieces; the file replaces the target only through
// commit() and is removed in every other case.

#include <QFile>
#include <QString>
#include <memory>

class PartFile {
public:
    // Creates a new, uniquely named file in the folder of target; check isOpen().
    explicit PartFile(const QString& target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool isOpen() const { return file.isOpen(); }
    QString errorString() const { return error; }

    bool append(const char* data, qint64 size);
    // Writes what is still gathered, closes the file and renames it over the
    // target, replacing a file of that name.
    bool commit();

    // The bytes appended so far, gathered ones included.
    qint64 size() const;
    // Drops everything appended and any error, for a body that starts afresh.
    bool restart();

private:
    bool writeGathered();
    bool fail(const QString& why);

    QString target;
    QFile file;
    std::unique_ptr<char[]> gathered;
    qint64 gatheredSize = 0;
    bool committed = false;
    QString error;
};
