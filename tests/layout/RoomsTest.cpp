// The product's files include only what the README's table of folders allows:
// files of their own folder and of the folders in its row.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
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

// Folder (or top-level file) -> the folders it may include, from the rows of
// the table whose last column is "may include".
QHash<QString, QStringList> allowedIncludes()
{
    QHash<QString, QStringList> allowed;
    bool inTable = false;
    const QRegularExpression quoted(QStringLiteral("`([^`]+)`"));
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
        QStringList& list = allowed[room.captured(1)];
        for (auto it = quoted.globalMatch(cells.value(cells.size() - 2)); it.hasNext();)
            list.append(it.next().captured(1));
    }
    return allowed;
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

TEST(Rooms, EveryIncludeIsOneTheReadmeAllows)
{
    const QHash<QString, QStringList> allowed = allowedIncludes();
    ASSERT_GE(allowed.size(), 10) << "the README's table of folders was not found";
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
        ASSERT_TRUE(allowed.contains(room)) << file.toStdString() << ": its folder has no row in the README's table";
        for (auto match = include.globalMatch(readText(it.filePath())); match.hasNext();) {
            const QString included = match.next().captured(1);
            const QString target = roomOf(included);
            if (!included.contains(QLatin1Char('/')) || target == room)
                continue;  // a Qt header, a generated file or the folder's own
            EXPECT_TRUE(allowed[room].contains(target)) << file.toStdString() << " includes " << included.toStdString()
                                                        << ", which " << room.toStdString() << " may not";
        }
    }
    EXPECT_GT(files, 50);
}
