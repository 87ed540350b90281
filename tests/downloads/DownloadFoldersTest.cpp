#include "downloads/DownloadFolders.h"
#include "platform/host/HostRegistry.h"
#include "settings/AnsiText.h"
#include "settings/MB_Daten.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

QString hostValue()
{
    return readHostValue(kInternetExplorerKey, kDownloadDirectoryValue);
}

bool hasRecord()
{
    HostRegistryKey key;
    return key.open(kInternetExplorerKey) && key.hasValue(QStringLiteral("Kavelo: Download Directory vorher"));
}

void setHostValue(const QString& value)
{
    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerKey));
    key.writeString(kDownloadDirectoryValue, value);
}

}  // namespace

class DownloadFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        previousDir = QDir::currentPath();
        QDir::setCurrent(ProgramFolder);
        EinstellDaten.RedirectDownloads = 1;
        setHostValue(QStringLiteral("/home/jemand/Downloads"));
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    QString inFolder(const QString& name) const { return folder.path(name); }

    QTemporaryDir config;
    TempProgramFolder folder;
    RecordingPresenter boxes;
    DownloadDirState state;
    QString previousDir;
};

TEST_F(DownloadFolders, OptionOffOnlyReadsTheHostValue)
{
    EinstellDaten.RedirectDownloads = 0;
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("fehlt/eins")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_FALSE(state.DownloadDirRedirected);
    EXPECT_EQ(state.SavedDownloadDir, QStringLiteral("/home/jemand/Downloads"));
    EXPECT_FALSE(QDir(inFolder(QStringLiteral("fehlt"))).exists());
    writeBackDownloadDir(state);
    EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads"));
}

TEST_F(DownloadFolders, EmptyFieldsUseTheLocalFolderWhichBecomesCurrentAndTheTarget)
{
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    const QString local = ProgramFolder + QStringLiteral("Downloads/");
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_TRUE(QDir(local).exists());
    EXPECT_EQ(state.RedirectFolder, local);
    EXPECT_EQ(hostValue(), local);
    // Created by folder 2, found present by folder 1.
    EXPECT_EQ(QDir::currentPath() + QLatin1Char('/'), local);
    EXPECT_TRUE(state.DownloadDirRedirected);
    writeBackDownloadDir(state);
    EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads"));
    EXPECT_FALSE(state.DownloadDirRedirected);
}

// The setup moves the current directory into an existing folder: a relative
// field must still name the same folder at the next setup, and the host
// value (which page downloads follow) must not depend on it.
TEST_F(DownloadFolders, RelativeFoldersLieInTheProgramFolderAtEverySetup)
{
    ASSERT_TRUE(QDir().mkdir(inFolder(QStringLiteral("Downloads"))));
    stringToText(EinstellDaten.DownloadFolder1, QStringLiteral("./Downloads/"));
    stringToText(EinstellDaten.DownloadFolder2, QStringLiteral("Zwei"));
    Text inHome{};
    stringToText(inHome, QStringLiteral("~/Zwei"));  // the runner's home, not a folder named "~"
    EXPECT_EQ(downloadFolderPath(inHome, ProgramFolder), QDir::homePath() + QStringLiteral("/Zwei"));
    for (int run = 1; run <= 2; ++run) {
        SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
        EXPECT_TRUE(boxes.messages.isEmpty());
        EXPECT_EQ(hostValue(), ProgramFolder + QStringLiteral("Downloads/")) << run;
        EXPECT_EQ(QDir::currentPath(), inFolder(QStringLiteral("Downloads"))) << run;
    }
    EXPECT_TRUE(QDir(inFolder(QStringLiteral("Zwei"))).exists());
    EXPECT_TRUE(QDir(inFolder(QStringLiteral("Downloads"))).isEmpty());
}

TEST_F(DownloadFolders, AFolderWhoseParentIsMissingIsReportedAndNotRedirected)
{
    const QString missing = inFolder(QStringLiteral("gibt-es-nicht/eins"));
    stringToText(EinstellDaten.DownloadFolder1, missing);
    stringToText(EinstellDaten.DownloadFolder2, inFolder(QStringLiteral("zwei")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Problem beim Erstellen des 1. Download-Ordner:\n") + missing
                                          + QStringLiteral("\nPrüfen Sie ob der Pfad richtig ist\nund ob Sie "
                                                           "Schreibrechte besitzen!"));
    EXPECT_TRUE(QDir(inFolder(QStringLiteral("zwei"))).exists());
    EXPECT_FALSE(state.DownloadDirRedirected);
    EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads"));
}

TEST_F(DownloadFolders, AnAbsentHostValueIsWrittenBackEmpty)
{
    setHostValue(QString());
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    EXPECT_EQ(hostValue(), inFolder(QStringLiteral("eins")));
    writeBackDownloadDir(state);
    EXPECT_EQ(hostValue(), QString());
}

TEST_F(DownloadFolders, ALaterSetupKeepsTheOriginalAndSwitchingOffPutsItBackAtOnce)
{
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("neu")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    EXPECT_EQ(hostValue(), inFolder(QStringLiteral("neu")));
    EXPECT_EQ(state.SavedDownloadDir, QStringLiteral("/home/jemand/Downloads"));

    EinstellDaten.RedirectDownloads = 0;
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads"));
    EXPECT_FALSE(state.DownloadDirRedirected);
    writeBackDownloadDir(state);
    EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads"));
}

TEST_F(DownloadFolders, AStoreThatCannotBeOpenedIsReportedOnBothWays)
{
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    // The configuration folder becomes a file: the store can be neither read nor written.
    QTemporaryDir broken;
    const QString file = broken.filePath(QStringLiteral("datei"));
    folder.writeFile(QStringLiteral("leer"), QByteArray());
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("leer")), file));
    qputenv("XDG_CONFIG_HOME", file.toUtf8());
    writeBackDownloadDir(state);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.messages[0].text, QStringLiteral("Fehler beim Zugriff auf die Registry (Zurücksetzen: "
                                                     "Download-Verzeichnis) des Gastsystems!"));
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    ASSERT_EQ(boxes.messages.size(), 2);
    EXPECT_EQ(boxes.messages[1].text,
              QStringLiteral("Fehler beim Lesen der Registry (Lesen: Download-Verzeichnis) des Gastsystems!"));
}

// A run killed with its redirect in place leaves the record in the store: the
// next start takes the value from there, with the option on or off.
TEST_F(DownloadFolders, AKilledRunsRedirectIsUndoneByTheNextRun)
{
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
    for (const Word redirect : {1, 0}) {
        EinstellDaten.RedirectDownloads = 1;
        DownloadDirState killed;
        SetupDownloadFolders(killed, EinstellDaten, ProgramFolder);
        ASSERT_TRUE(hasRecord());

        EinstellDaten.RedirectDownloads = redirect;
        DownloadDirState next;
        SetupDownloadFolders(next, EinstellDaten, ProgramFolder);
        EXPECT_EQ(next.SavedDownloadDir, QStringLiteral("/home/jemand/Downloads")) << int(redirect);
        EXPECT_EQ(hasRecord(), redirect == 1);
        writeBackDownloadDir(next);
        EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads")) << int(redirect);
        EXPECT_FALSE(hasRecord());
    }
}

TEST_F(DownloadFolders, OverlappingRunsEndWithTheOriginalValueWhicheverEndsFirst)
{
    for (const bool firstEndsFirst : {true, false}) {
        DownloadDirState first;
        DownloadDirState second;
        stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
        SetupDownloadFolders(first, EinstellDaten, ProgramFolder);
        stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("zwei")));
        SetupDownloadFolders(second, EinstellDaten, ProgramFolder);
        EXPECT_EQ(second.SavedDownloadDir, QStringLiteral("/home/jemand/Downloads"));

        writeBackDownloadDir(firstEndsFirst ? first : second);
        EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads")) << firstEndsFirst;
        writeBackDownloadDir(firstEndsFirst ? second : first);
        EXPECT_EQ(hostValue(), QStringLiteral("/home/jemand/Downloads")) << firstEndsFirst;
        EXPECT_FALSE(hasRecord());
    }
}

// A byte that is no UTF-8 (Latin-1 "ä") reads as U+FFFD: the value goes back as it was stored.
TEST_F(DownloadFolders, TheValueGoesBackByteForByteWithBytesThatAreNoUtf8)
{
    const QByteArray before =
        "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer]\n"
        "Download%20Directory = /home/j\xe4ger ; von Hand\n";
    QFile store(config.filePath(QStringLiteral("Kavelo/host-registry.ini")));
    ASSERT_TRUE(store.open(QIODevice::WriteOnly) && store.write(before) == before.size());
    store.close();
    stringToText(EinstellDaten.DownloadFolder1, inFolder(QStringLiteral("eins")));
    EinstellDaten.RedirectDownloads = 1;
    SetupDownloadFolders(state, EinstellDaten, ProgramFolder);
    writeBackDownloadDir(state);
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_EQ(store.readAll().toStdString(), before.toStdString());
}
