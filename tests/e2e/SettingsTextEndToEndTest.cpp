#include "ProgramRun.h"

#include "settings/AnsiText.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

// The administrator's settings go out as text and into a preset of another
// machine, without a display and without a platform for Qt.
TEST(SettingsTextRun, ExportAndImportNeedNoDisplay)
{
    ProgramRun run;
    run.setEnv(QStringLiteral("QT_QPA_PLATFORM"), QString());
    TEinstellRecord record = defaultRecord();
    stringToText(record.HomePage, QStringLiteral("https://kiosk.example/Übersicht"));
    run.writeSettings(record);
    const QString text = run.home() + QStringLiteral("/kiosk.txt");
    run.start({QStringLiteral("--export-settings"), text});
    ASSERT_TRUE(run.waitForExit(30000) && run.exitCode() == 0) << run.standardError().toStdString();

    const QString preset = run.home() + QStringLiteral("/etc/Einstell.DAT");
    ASSERT_TRUE(QDir().mkpath(run.home() + QStringLiteral("/etc")));
    run.start({QStringLiteral("--import-settings"), text, preset});
    ASSERT_TRUE(run.waitForExit(30000) && run.exitCode() == 0) << run.standardError().toStdString();
    QFile imported(preset);
    ASSERT_TRUE(imported.open(QIODevice::ReadOnly));
    EXPECT_EQ(imported.readAll(), run.readSettings());
}
