#include "mainwindow/AsciiText.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/WindowGeometry.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

using K = Keyword;

static QList<Keyword> parse(std::initializer_list<const char*> words)
{
    QStringList arguments;
    for (const char* word : words)
        arguments.append(QString::fromUtf8(word));
    return parseCommandLine(arguments);
}

TEST(CommandLine, EachKeywordMatchesItself)
{
    EXPECT_EQ(parse({"autostop", "1", "2", "3", "4", "0"}),
              (QList<K>{K::Autostop, K::Download1, K::Download2, K::Download3, K::Download4, K::ViewerOnly}));
    EXPECT_TRUE(parse({}).isEmpty());
}

TEST(CommandLine, AutostopIgnoresTheCaseOfAsciiLettersOnly)
{
    EXPECT_EQ(parse({"AUTOSTOP", "AutoStop", "autoSTOP"}), (QList<K>{K::Autostop, K::Autostop, K::Autostop}));
    // Unicode case folding would take the long s and the dotless i for s and i.
    EXPECT_TRUE(parse({"auto\u017Ftop", "AUTOSTOP\u0131"}).isEmpty());
}

TEST(CommandLine, NearMissesMatchNothing)
{
    EXPECT_TRUE(parse({"-autostop", "/autostop", "autostop ", " 1", "1 ", "01", "5", "10", "", "null"}).isEmpty());
}

TEST(CommandLine, KeywordsCombineAndRepeatInArgumentOrder)
{
    EXPECT_EQ(parse({"3", "x", "1", "3", "0", "autostop"}),
              (QList<K>{K::Download3, K::Download1, K::Download3, K::ViewerOnly, K::Autostop}));
}

TEST(CommandLine, HelpAndVersionAreAskedForByTheirExactSwitchOnly)
{
    const auto text = [](std::initializer_list<const char*> words) {
        QStringList arguments;
        for (const char* word : words)
            arguments.append(QString::fromUtf8(word));
        return informationText(arguments);
    };
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Kavelo \\d+\\.\\d+\n$"))
                    .match(text({"1", "--version", "--help"}))
                    .hasMatch());
    const QString help = text({"0", "--help", "--version"});
    for (const char* part : {"Aufruf: kavelo", "autostop", "Rückgabewert", "128+n"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(part))) << part;
    EXPECT_TRUE(text({"-help", "--HELP", "help", "-v", "--version=1", "1"}).isEmpty());
    EXPECT_TRUE(parse({"--help", "--version"}).isEmpty());  // no keyword either
}

TEST(AsciiText, OnlyAsciiLettersIgnoreCase)
{
    EXPECT_EQ(asciiUpper(QStringLiteral("http://www.Müller.de/ä?q=z")), QStringLiteral("HTTP://WWW.MüLLER.DE/ä?Q=Z"));
    const QStringList list = {QStringLiteral("http://127.0.0.1/Seite"), QStringLiteral("http://127.0.0.1/ä")};
    EXPECT_TRUE(IsInList(QStringLiteral("HTTP://127.0.0.1/seite"), list));
    EXPECT_FALSE(IsInList(QStringLiteral("http://127.0.0.1/Seite/"), list));  // a trailing slash is new
    EXPECT_FALSE(IsInList(QStringLiteral("http://127.0.0.1/Ä"), list));       // not an ASCII letter
    EXPECT_FALSE(IsInList(QStringLiteral("x"), {}));
}

TEST(WindowGeometry, FixedModeUsesStoredSidesOnlyAboveTheDesignAndBoundsThem)
{
    EXPECT_EQ(fixedModeOuterSize(0, 0), QSize(790, 570));
    EXPECT_EQ(fixedModeOuterSize(790, 570), QSize(790, 570));
    EXPECT_EQ(fixedModeOuterSize(791, 571), QSize(791, 571));
    EXPECT_EQ(fixedModeOuterSize(3000, 100), QSize(3000, 570));
    EXPECT_EQ(fixedModeOuterSize(3001, 2000), QSize(790, 2000));
    EXPECT_EQ(fixedModeOuterSize(65535, 65535), QSize(790, 570));  // a hostile file would grow the window without end
    EXPECT_EQ(clientSizeForOuter(QSize(790, 570)), QSize(774, 532));
}

TEST(WindowGeometry, CentredAtItsOwnSizeWithTheTopLeftOnTheScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(centredPosition(screen, QSize(790, 570)), QPoint(245, 227));
    EXPECT_EQ(centredPosition(screen, QSize(1000, 700)), QPoint(140, 162));
    // An area below a panel, and a window wider and taller than it.
    EXPECT_EQ(centredPosition(QRect(0, 30, 853, 503), QSize(790, 570)), QPoint(31, 30));
    EXPECT_EQ(centredPosition(QRect(100, 0, 800, 600), QSize(1000, 700)), QPoint(100, 0));
}
