#include "platform/web/PageFileNames.h"
#include "platform/web/PageRules.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

qsizetype bytes(const QString& name)
{
    return QFile::encodeName(name).size();
}

TEST(PageFileNames, ControlCharactersBecomeUnderscoresAndLeadingDotsGo)
{
    EXPECT_EQ(cleanFileName(QStringLiteral("bericht.pdf")), QStringLiteral("bericht.pdf"));
    EXPECT_EQ(cleanFileName(QStringLiteral(".bashrc")), QStringLiteral("bashrc"));
    EXPECT_EQ(cleanFileName(QStringLiteral("...profil.txt")), QStringLiteral("profil.txt"));
    EXPECT_EQ(cleanFileName(QStringLiteral("..")), QString());
    EXPECT_EQ(cleanFileName(QStringLiteral("a\tb\nc\x7f"
                                           "d\u0085e\x01.txt")),
              QStringLiteral("a_b_c_d_e_.txt"));
    EXPECT_EQ(cleanFileName(QStringLiteral("\x1b.versteckt")), QStringLiteral("_.versteckt"));
    EXPECT_EQ(cleanFileName(QStringLiteral("Größe € 😀.zip")), QStringLiteral("Größe € 😀.zip"));
    // Marks that turn the writing direction go: the name reads as it is.
    EXPECT_EQ(cleanFileName(QStringLiteral("rechnung\u202Efdp\u2066\u200F\u061C.exe")),
              QStringLiteral("rechnungfdp.exe"));
}

// A name shown in a box: without direction marks, and cut in its middle.
TEST(PageFileNames, AShownNameKeepsItsEndAndReadsAsItIs)
{
    EXPECT_EQ(quotedPageText(QStringLiteral("a\u202Ebc.exe")), QStringLiteral("„abc.exe“"));
    const QString shown = quotedPageText(QString(100, QLatin1Char('x')) + QStringLiteral("-Rechnung.pdf.exe"));
    EXPECT_EQ(shown, QStringLiteral("„") + QString(60, QLatin1Char('x')) + QStringLiteral("…xxx-Rechnung.pdf.exe“"));
}

TEST(PageFileNames, LongNamesAreShortenedToFitKeepingTheirExtension)
{
    // Two bytes per "ä", four per emoji: the cut falls between whole characters.
    const QString umlauts = QString(200, QChar(0xE4)) + QStringLiteral(".pdf");
    const QString cut = cleanFileName(umlauts);
    EXPECT_EQ(cut, QString(120, QChar(0xE4)) + QStringLiteral(".pdf"));
    EXPECT_EQ(bytes(cut), 244);

    QString emoji;
    for (int i = 0; i < 70; ++i)
        emoji += QString::fromUcs4(U"\U0001F600");
    const QString shortened = cleanFileName(emoji + QStringLiteral(".tar.gz"));
    EXPECT_TRUE(shortened.endsWith(QStringLiteral(".tar.gz")));
    EXPECT_EQ(bytes(shortened), 59 * 4 + 7);

    // An "extension" that leaves no room is no extension: the name is cut at its end.
    const QString noRoom = QStringLiteral("a.") + QString(300, QLatin1Char('x'));
    EXPECT_EQ(cleanFileName(noRoom), noRoom.left(244));
    EXPECT_EQ(cleanFileName(QString(244, QLatin1Char('y'))), QString(244, QLatin1Char('y')));
}

TEST(PageFileNames, FreeNamesKeepTheExtensionAndFit)
{
    QTemporaryDir temp;
    const QDir dir(temp.path());
    const QString longest = QString(240, QLatin1Char('n')) + QStringLiteral(".txt");
    for (const QString& name : {QStringLiteral("a.txt"), QStringLiteral("a (1).txt"), QStringLiteral("paket.tar.gz"),
                                QStringLiteral("liesmich"), QStringLiteral(".profil"), longest}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(name);
    }
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("neu.txt"), {}), QStringLiteral("neu.txt"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("a.txt"), {}), QStringLiteral("a (2).txt"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("a.txt"), {dir.filePath(QStringLiteral("a (2).txt"))}),
              QStringLiteral("a (3).txt"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("neu.txt"), {dir.filePath(QStringLiteral("neu.txt"))}),
              QStringLiteral("neu (1).txt"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("paket.tar.gz"), {}), QStringLiteral("paket (1).tar.gz"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral("liesmich"), {}), QStringLiteral("liesmich (1)"));
    EXPECT_EQ(freeFileName(dir.path(), QStringLiteral(".profil"), {}), QStringLiteral(".profil (1)"));
    EXPECT_EQ(freeFileName(dir.path(), longest, {}), QString(236, QLatin1Char('n')) + QStringLiteral(" (1).txt"));
}

}  // namespace
