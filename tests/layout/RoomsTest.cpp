// The product's files are where the README's table of folders says, and include
// only what it allows: files of their own folder and of the folders in its row.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

const QString kRoot = QStringLiteral(KAVELO_SOURCE_DIR "/");

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A row of the table: the units its folder holds and the folders they may include.
struct Room {
    QStringList units;
    QStringList mayInclude;
};

// Folder (or top-level file) -> its row of the table whose last column is "may include".
QHash<QString, Room> readmeRooms()
{
    QHash<QString, Room> rooms;
    bool inTable = false;
    const QRegularExpression quoted(QStringLiteral("`([^`]+)`"));
    const auto names = [&](const QString& cell) {
        QStringList found;
        for (auto it = quoted.globalMatch(cell); it.hasNext();)
            found.append(it.next().captured(1));
        return found;
    };
    for (const QString& line : readText(kRoot + QStringLiteral("README.md")).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("| folder |")) && line.contains(QStringLiteral("may include")))
            inTable = true;
        else if (inTable && !line.startsWith(QLatin1Char('|')))
            break;
        if (!inTable)
            continue;
        const QStringList cells = line.split(QLatin1Char('|'));
        const auto room = quoted.match(cells.value(1));
        if (cells.size() < 6 || !room.hasMatch())
            continue;
        Room& row = rooms[room.captured(1)];
        for (qsizetype i = 2; i < cells.size() - 2; ++i)
            row.units += names(cells[i]);
        row.mayInclude += names(cells[cells.size() - 2]);
    }
    return rooms;
}

// The row a product file belongs to: its folder, a room of platform/, or the file itself at the top.
QString roomOf(const QString& file)
{
    const QStringList parts = file.split(QLatin1Char('/'));
    if (parts.size() == 1)
        return file;
    if (parts[0] == QStringLiteral("platform") && parts.size() > 2)
        return parts[0] + QLatin1Char('/') + parts[1] + QLatin1Char('/');
    return parts[0] + QLatin1Char('/');
}

}  // namespace

// Every product file is named in its folder's row, and includes only what that row allows.
TEST(Rooms, EveryFileAndIncludeIsOneTheReadmeAllows)
{
    const QHash<QString, Room> rooms = readmeRooms();
    ASSERT_GE(rooms.size(), 10) << "the README's table of folders was not found";
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    int files = 0;
    for (QDirIterator it(kRoot, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString file = it.next().mid(kRoot.size());
        const QString room = roomOf(file);
        if (file.startsWith(QStringLiteral("build")) || file.startsWith(QStringLiteral("tests/"))
            || file.startsWith(QStringLiteral("bench/")) || file.startsWith(QStringLiteral("fuzz/")))
            continue;
        ++files;
        ASSERT_TRUE(rooms.contains(room)) << file.toStdString() << ": its folder has no row in the README's table";
        const QString unit = QFileInfo(file).completeBaseName();
        EXPECT_TRUE(room == file || rooms[room].units.contains(unit))
            << file.toStdString() << ": the README's row of " << room.toStdString() << " does not name it";
        for (auto match = include.globalMatch(readText(it.filePath())); match.hasNext();) {
            const QString included = match.next().captured(1);
            const QString target = roomOf(included);
            if (!included.contains(QLatin1Char('/')) || target == room)
                continue;  // a Qt header, a generated file or the folder's own
            EXPECT_TRUE(rooms[room].mayInclude.contains(target))
                << file.toStdString() << " includes " << included.toStdString() << ", which " << room.toStdString()
                << " may not";
        }
    }
    EXPECT_GT(files, 50);
}
