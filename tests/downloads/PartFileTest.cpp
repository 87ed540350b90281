#include "downloads/PartFile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(PartFile, SmallAndLargePiecesKeepTheirOrder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ziel.bin"));
    QByteArray data(5 * 1024 * 1024, '\0');
    QRandomGenerator generator(17);
    for (char& c : data)
        c = static_cast<char>(generator.generate());

    // Pieces below, at and above the sizes that are gathered, in a mixed order.
    const qsizetype sizes[] = {1, 4096, 200 * 1024, 7, 1024 * 1024 + 3, 128 * 1024 - 1, 128 * 1024, 65536};
    {
        PartFile part(target);
        ASSERT_TRUE(part.isOpen());
        qsizetype offset = 0;
        for (int i = 0; offset < data.size(); ++i) {
            const qsizetype size = std::min(sizes[i % std::size(sizes)], data.size() - offset);
            ASSERT_TRUE(part.append(data.constData() + offset, size));
            offset += size;
        }
        ASSERT_TRUE(part.commit());
    }
    EXPECT_EQ(readAll(target), data);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("ziel.bin")});
}

TEST(PartFile, RestartDropsGatheredAndWrittenBytes)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ziel.bin"));
    PartFile part(target);
    ASSERT_TRUE(part.isOpen());
    const QByteArray large(300 * 1024, 'x');  // written at once
    ASSERT_TRUE(part.append(large.constData(), large.size()));
    ASSERT_TRUE(part.append("abc", 3));  // gathered
    EXPECT_EQ(part.size(), large.size() + 3);
    ASSERT_TRUE(part.restart());
    EXPECT_EQ(part.size(), 0);
    ASSERT_TRUE(part.append("neu", 3));
    ASSERT_TRUE(part.commit());
    EXPECT_EQ(readAll(target), QByteArray("neu"));
}

TEST(PartFile, WithoutCommitNothingStays)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ziel.bin"));
    {
        PartFile part(target);
        ASSERT_TRUE(part.isOpen());
        ASSERT_TRUE(part.append("abc", 3));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
