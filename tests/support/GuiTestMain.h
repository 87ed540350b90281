#pragma once

// The main function of a window test: a throw-away home for the host store
// and the web profile, the program's environment and application object. It
// fails when an error escaped a handler (the application object writes each to
// standard error).

#include "platform/process/KaveloApplication.h"
#include "platform/process/ProgramEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#define KAVELO_GUI_TEST_MAIN(TestClass)                                                 \
    int main(int argc, char* argv[])                                                    \
    {                                                                                   \
        QTemporaryDir home;                                                             \
        if (!home.isValid())                                                            \
            qFatal("no temporary folder");                                              \
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) \
            qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name)))); \
        prepareEnvironment();                                                           \
        KaveloApplication app(argc, argv);                                              \
        TestClass test;                                                                 \
        const int failed = QTest::qExec(&test, argc, argv);                             \
        return app.takeEscapedErrors() == 0 ? failed : 1;                               \
    }
