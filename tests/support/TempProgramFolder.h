#pragma once

// A fresh, empty program folder for one test: ProgramFolder and DataFolder
// point into a temporary directory, EinstellDaten starts all zero.

#include "settings/EinstellRecord.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();

    QString path(const QString& name) const;
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // "Einstell.DAT" holding record.
    void writeSettings(const TEinstellRecord& record) const;
    QByteArray readFile(const QString& name) const;

private:
    QTemporaryDir dir;
};
