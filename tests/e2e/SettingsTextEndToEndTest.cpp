#include "ProgramRun.h"

#include "settings/AnsiText.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(fehlt)");
}

// Runs the program with arguments and input on its standard input; its exit status.
int runWith(ProgramRun& run, const QStringList& arguments, const QByteArray& input = {})
{
    run.start(arguments);
    run.proc().write(input);
    run.proc().closeWriteChannel();
    return run.waitForExit(30000) ? run.exitCode() : -1;
}

}  // namespace

// The administrator's settings go out as text and into a preset of another
// machine, without a display and without a platform for Qt; a faulty line
// changes nothing and ends with 2.
TEST(SettingsTextRun, ExportAndImportNeedNoDisplay)
{
    ProgramRun run;
    run.setEnv(QStringLiteral("QT_QPA_PLATFORM"), QString());
    TEinstellRecord record = defaultRecord();
    stringToText(record.HomePage, QStringLiteral("https://kiosk.example/Übersicht"));
    record.MaySurf = 0;
    run.writeSettings(record);

    const QString text = run.home() + QStringLiteral("/kiosk.txt");
    ASSERT_EQ(runWith(run, {QStringLiteral("--export-settings"), text}), 0) << run.standardError().toStdString();
    const QByteArray exported = fileContent(text);
    EXPECT_TRUE(exported.contains("\nHomePage=https://kiosk.example/Übersicht\n"));

    const QString preset = run.home() + QStringLiteral("/etc/Einstell.DAT");
    ASSERT_TRUE(QDir().mkpath(run.home() + QStringLiteral("/etc")));
    ASSERT_EQ(runWith(run, {QStringLiteral("--import-settings"), QStringLiteral("-"), preset}, exported), 0)
        << run.standardError().toStdString();
    EXPECT_EQ(fileContent(preset), run.readSettings());

    EXPECT_EQ(runWith(run, {QStringLiteral("--import-settings"), QStringLiteral("-"), preset}, "MaySurf=1\nHomePage\n"),
              2);
    EXPECT_TRUE(run.standardError().contains(QStringLiteral("Standardeingabe, Zeile 2: die Zeile hat kein „=“")));
    EXPECT_EQ(fileContent(preset), run.readSettings());
}
