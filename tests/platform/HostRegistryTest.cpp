#include "platform/host/HostRegistry.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

// Points XDG_CONFIG_HOME into a fresh temporary folder for one test.
class HostRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        useConfigHome(config.path());
    }
    void TearDown() override
    {
        if (hadConfigHome)
            qputenv("XDG_CONFIG_HOME", saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    static void useConfigHome(const QString& folder) { qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder)); }
    QString storeFile() const { return config.filePath(QStringLiteral("Kavelo/host-registry.ini")); }
    QByteArray storeText() const
    {
        QFile file(storeFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeStore(const QByteArray& text) const
    {
        QFile file(storeFile());
        ASSERT_TRUE(QDir().mkpath(config.filePath(QStringLiteral("Kavelo"))) && file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    static void write(const QString& keyPath, const QString& name, const QString& value)
    {
        HostRegistryKey key;
        ASSERT_TRUE(key.open(keyPath));
        key.writeString(name, value);
    }

    QTemporaryDir config;
    QByteArray saved;
    bool hadConfigHome = false;
};

}  // namespace

TEST_F(HostRegistryTest, AllThreeValuesSurviveInTheIniFileUnderXdgConfigHome)
{
    const QString folder = QStringLiteral("/home/jürgen/Downloads/Größe, groß");
    const QString start = QStringLiteral("http://127.0.0.1:8080/über?a=1,2;b=\"x\"");
    const QString search = QStringLiteral("http://127.0.0.1:8080/suche?q=äöüß ÄÖÜ");
    // A store an earlier version left readable for all becomes its owner's alone.
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("Kavelo")) && QFile(storeFile()).open(QIODevice::WriteOnly));
    QFile::setPermissions(storeFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    write(kInternetExplorerKey, kDownloadDirectoryValue, folder);
    write(kInternetExplorerMainKey, kStartPageValue, start);
    write(kInternetExplorerMainKey, kSearchPageValue, search);

    EXPECT_EQ(QFile::permissions(storeFile()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), folder);
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kStartPageValue), start);
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kSearchPageValue), search);
    // The two keys are separate: "Main" is not the same place as its parent.
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kStartPageValue), QString());
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kDownloadDirectoryValue), QString());

    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerMainKey));
    key.writeString(kStartPageValue, QString());
    EXPECT_EQ(key.readString(kStartPageValue), QString());
    EXPECT_EQ(key.readString(kSearchPageValue), search);
}

TEST_F(HostRegistryTest, MissingValueReadsEmptyAndTheKeyIsCreated)
{
    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerMainKey));
    EXPECT_EQ(key.readString(kStartPageValue), QString());
    EXPECT_TRUE(QDir(config.filePath(QStringLiteral("Kavelo"))).exists());
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kSearchPageValue), QString());
}

TEST_F(HostRegistryTest, EachOpeningLooksUpXdgConfigHomeAgain)
{
    write(kInternetExplorerMainKey, kStartPageValue, QStringLiteral("erste"));
    QTemporaryDir other;
    useConfigHome(other.path());
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kStartPageValue), QString());
    write(kInternetExplorerMainKey, kStartPageValue, QStringLiteral("zweite"));
    EXPECT_TRUE(QFile::exists(other.filePath(QStringLiteral("Kavelo/host-registry.ini"))));

    useConfigHome(config.path());
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kStartPageValue), QStringLiteral("erste"));
}

// Tests may run as root, which may write anywhere: a file standing where a
// folder must be is what makes the store unreachable then.
TEST_F(HostRegistryTest, StoreWhoseFolderCannotBeCreatedDoesNotOpen)
{
    const QString blocker = config.filePath(QStringLiteral("kein-ordner"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    useConfigHome(blocker);

    HostRegistryKey key;
    EXPECT_FALSE(key.open(kInternetExplorerMainKey));
    EXPECT_EQ(key.readString(kStartPageValue), QString());
    EXPECT_THROW(key.writeString(kStartPageValue, QStringLiteral("x")), std::runtime_error);
    EXPECT_EQ(readHostValue(kInternetExplorerMainKey, kStartPageValue), QString());

    // Nor does a store whose file is a folder.
    useConfigHome(config.path());
    ASSERT_TRUE(QDir().mkpath(storeFile()));
    EXPECT_FALSE(key.open(kInternetExplorerMainKey));
}

TEST_F(HostRegistryTest, WriteThatCannotReachTheFileThrows)
{
    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerMainKey));
    ASSERT_TRUE(QDir(config.filePath(QStringLiteral("Kavelo"))).removeRecursively());
    QFile blocker(config.filePath(QStringLiteral("Kavelo")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    try {
        key.writeString(kStartPageValue, QStringLiteral("http://127.0.0.1/"));
        FAIL() << "the write was not reported";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QStringLiteral("Der Registrierungswert „Start Page“ kann nicht geschrieben werden."));
    }
}

// A hand-edited file: an unquoted comma, or a leading "@", is still the text
// that stands there, and it is written back the same.
TEST_F(HostRegistryTest, HandEditedValuesReadAsTheTextTheyHold)
{
    writeStore(
        "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer]\nDownload%20Directory=/a, b\n"
        "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]\nStart%20Page=eins,zwei , drei\n"
        "Search%20Page=@ByteArray(abc)\n"
        "Alt=  a b\\t  ; ein Tab am Ende bleibt\n");

    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerMainKey));
    EXPECT_EQ(key.readString(kStartPageValue), QStringLiteral("eins,zwei , drei"));
    EXPECT_EQ(key.readString(kSearchPageValue), QStringLiteral("@ByteArray(abc)"));
    EXPECT_EQ(key.readString(QStringLiteral("Alt")), QStringLiteral("a b\t"));
    ASSERT_TRUE(key.open(kInternetExplorerKey));
    EXPECT_EQ(key.readString(kDownloadDirectoryValue), QStringLiteral("/a, b"));
    key.writeString(kDownloadDirectoryValue, key.readString(kDownloadDirectoryValue));
    EXPECT_EQ(readHostValue(kInternetExplorerKey, kDownloadDirectoryValue), QStringLiteral("/a, b"));
}

// A "#" line is none QSettings knows: it used to report the successful write
// as failed, and dropped the line with every other comment.
TEST_F(HostRegistryTest, AWriteChangesOnlyTheLinesOfItsValueAndReportsNoFalseError)
{
    writeStore(
        "; Von Hand gepflegt\n"
        "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]\n"
        "# alte Suchseite: http://127.0.0.1/alt\n"
        "Start%20Page = http://127.0.0.1/alt ; bis Juni\n"
        "Alt=1\n"
        "\n"
        "[Eigenes]\n"
        "Alt=bleibt\n"
        "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]\n"
        "Alt=2");
    HostRegistryKey key;
    ASSERT_TRUE(key.open(kInternetExplorerMainKey));
    key.writeString(kStartPageValue, QStringLiteral("http://127.0.0.1/neu?a=1,2"));
    EXPECT_EQ(key.readString(kStartPageValue), QStringLiteral("http://127.0.0.1/neu?a=1,2"));
    key.writeString(kSearchPageValue, QStringLiteral("http://127.0.0.1/suche"));
    key.removeValue(QStringLiteral("Alt"));
    EXPECT_FALSE(key.hasValue(QStringLiteral("Alt")));
    ASSERT_TRUE(key.open(kInternetExplorerKey));
    key.writeString(kDownloadDirectoryValue, QStringLiteral("/srv/dl"));

    EXPECT_EQ(storeText(), QByteArray("; Von Hand gepflegt\n"
                                      "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]\n"
                                      "# alte Suchseite: http://127.0.0.1/alt\n"
                                      "Start%20Page = \"http://127.0.0.1/neu?a=1,2\" ; bis Juni\n"
                                      "\n"
                                      "[Eigenes]\n"
                                      "Alt=bleibt\n"
                                      "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]\n"
                                      "Search%20Page=http://127.0.0.1/suche\n"
                                      "\n"
                                      "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer]\n"
                                      "Download%20Directory=/srv/dl\n"));
    EXPECT_EQ(QFile::permissions(storeFile()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

// Older versions read the store with QSettings, and wrote what is there now.
TEST_F(HostRegistryTest, AwkwardTextsReadBackTheSameWhoeverWroteOrReadsThem)
{
    const QStringList texts{QString(),
                            QStringLiteral("/a, b"),
                            QStringLiteral("C:\\Pfad; mit=drin\\"),
                            QStringLiteral("\"zitiert\" und \\\"halb"),
                            QStringLiteral("  vorn und hinten  "),
                            QStringLiteral("@Start"),
                            QStringLiteral("@@doppelt"),
                            QStringLiteral("@String(x)"),
                            QStringLiteral("@ByteArray(x)"),
                            QStringLiteral("Größe äöüß € 😀"),
                            QStringLiteral("Zeile\nzwei\tTab\r\x01"
                                           "ab\x7f"),
                            QStringLiteral("; kein Kommentar"),
                            QStringLiteral("# [kein Abschnitt]"),
                            QStringLiteral("a\\")};
    const QString ownKey = QStringLiteral("\\Software\\Kavelo Test");
    {
        QSettings older(storeFile(), QSettings::IniFormat);
        for (qsizetype i = 0; i < texts.size(); ++i)
            older.setValue(QStringLiteral("QSettings/") + QString::number(i), texts[i]);
    }
    HostRegistryKey key;
    ASSERT_TRUE(key.open(ownKey));
    for (qsizetype i = 0; i < texts.size(); ++i)
        key.writeString(QString::number(i), texts[i]);

    QSettings older(storeFile(), QSettings::IniFormat);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(key.readString(QString::number(i)), texts[i]) << i;
        EXPECT_EQ(readHostValue(QStringLiteral("QSettings"), QString::number(i)), texts[i]) << i;
        EXPECT_EQ(older.value(ownKey + QStringLiteral("/") + QString::number(i)), QVariant(texts[i])) << i;
    }
}

TEST_F(HostRegistryTest, OtherLinesStayByteForByteAndTheSameWriteAgainAddsNothing)
{
    const QByteArray main = "[%5CSoftware%5CMicrosoft%5CInternet%20Explorer%5CMain]";
    const QList<std::pair<QByteArray, QByteArray>> cases{
        {main + "\nAlt=\"offen; kein Kommentar\n", "Start%20Page=zwei\n"},
        {main + "\nAlt=/home/j\xfcrgen\n", "Start%20Page=zwei\n"},
        {main + "\r\nAlt=1\r\n", "Start%20Page=zwei\r\n"},
        {main + "\n\x01Unsinn\xff ohne Gleichheitszeichen\nAlt=1", "\nStart%20Page=zwei\n"}};
    for (const auto& [kept, added] : cases) {
        writeStore(kept);
        for (const char* page : {"eins", "zwei", "zwei"})
            write(kInternetExplorerMainKey, kStartPageValue, QString::fromLatin1(page));
        EXPECT_EQ(storeText(), kept + added) << kept.toStdString();
    }
}
