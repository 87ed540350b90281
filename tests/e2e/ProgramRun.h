#pragma once

// One run of the real program: a copy of the executable in a fresh program
// folder, a private home (host store, web profile), no display.

#include "settings/EinstellRecord.h"

#include <QProcess>
#include <QTemporaryDir>

class ProgramRun {
public:
    ProgramRun();
    ~ProgramRun();

    QString folder() const { return programDir.path(); }
    QString home() const { return homeDir.path(); }
    void writeSettings(const TEinstellRecord& record) const;
    QByteArray readSettings() const;
    // Extra environment for the run, e.g. flags for the web engine.
    void setEnv(const QString& name, const QString& value);

    void start(const QStringList& arguments = {});
    // Waits for the end; false on time-out.
    bool waitForExit(int milliseconds);
    int exitCode() const { return process.exitCode(); }
    // What the program wrote to standard error (its standard output goes to the test's).
    QString standardError() { return QString::fromUtf8(process.readAllStandardError()); }
    QProcess& proc() { return process; }

private:
    QTemporaryDir programDir;
    QTemporaryDir homeDir;
    QProcessEnvironment environment;
    QProcess process;
};
