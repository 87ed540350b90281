#include "downloads/PartFile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

// Small pieces, as a slow connection delivers them, are gathered into writes
// of 1 MiB; pieces of 128 KiB and more go to the file as they are, which
// spares copying them on a fast connection.
constexpr qint64 kGatherSize = qint64{1} << 20;
constexpr qint64 kDirectSize = kGatherSize / 8;

QString partFileName(const QString& target)
{
    return QFileInfo(target).absolutePath() + QStringLiteral("/.kavelo-")
           + QString::number(QRandomGenerator::global()->generate64(), 16) + QStringLiteral(".part");
}

}  // namespace

PartFile::PartFile(const QString& target)
    : target(target)
    , file(partFileName(target))
    , gathered(new char[kGatherSize])
{
    // NewOnly never takes over an existing file; the mode gives the usual
    // permissions of a new file. Unbuffered: the pieces are large already.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        fail(file.errorString());
}

PartFile::~PartFile()
{
    if (committed)
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

bool PartFile::commit()
{
    if (!writeGathered())
        return false;
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    std::error_code code;
    std::filesystem::rename(QFileInfo(file.fileName()).filesystemFilePath(), QFileInfo(target).filesystemFilePath(),
                            code);
    if (code)
        return fail(QString::fromLocal8Bit(code.message()));
    committed = true;
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
