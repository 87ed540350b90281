#pragma once

// One run of the real program: a copy of the executable in a fresh program
// folder, a private home (host store, web profile), offscreen unless given a display.

#include "settings/EinstellRecord.h"

#include <QProcess>
#include <QTemporaryDir>
#include <functional>

// The record that a fresh program would write: every default set.
TEinstellRecord defaultRecord();

// Checks condition every 50 ms until it holds, at most milliseconds; whether it held.
bool waitUntil(const std::function<bool()>& condition, int milliseconds);

class ProgramRun {
public:
    ProgramRun();
    ~ProgramRun();

    QString home() const { return homeDir.path(); }
    void writeSettings(const TEinstellRecord& record) const;
    QString settingsPath() const { return programDir.filePath(QStringLiteral("Einstell.DAT")); }
    QByteArray readSettings() const;
    // Extra environment for the run, e.g. flags for the web engine or a display.
    void setEnv(const QString& name, const QString& value);
    // Runs the tests' build of the program, whose timed reload counts minutes of minuteMs.
    void shortenMinutes(int minuteMs);
    // Runs the tests' build of the program, which waits that long for a display.
    void shortenDisplayWait(int milliseconds);

    void start(const QStringList& arguments = {});
    // Waits for the end; false on time-out.
    bool waitForExit(int milliseconds);
    int exitCode() const { return process.exitCode(); }
    // What the program wrote to standard error (its standard output goes to the test's).
    QString standardError() { return QString::fromUtf8(process.readAllStandardError()); }
    QProcess& proc() { return process; }

private:
    QString executable = QStringLiteral(KAVELO_EXECUTABLE);
    QTemporaryDir programDir;
    QTemporaryDir homeDir;
    QProcessEnvironment environment;
    QProcess process;
};
