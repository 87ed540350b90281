#include "platform/process/DisplayProbe.h"

#include <gtest/gtest.h>
#include <QProcess>

// An X server resets when its last client leaves, and a connection asked for
// during the reset fails. A server started with -terminate ends at that reset
// instead, so it shows whether the probe's connection is still there.
TEST(DisplayProbe, KeepsAnOpenXDisplayConnectedUntilReleased)
{
    QProcess server;
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-terminate"),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted(5000))
        GTEST_SKIP() << "needs Xvfb";
    QByteArray number;
    while (!number.endsWith('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    const QByteArray display = ':' + number.trimmed();
    qputenv("DISPLAY", display);

    ASSERT_EQ(probeDisplays({DisplayServer::X11}), DisplayState::Open);
    // Another client comes and goes twice: the server lives on for the probe's connection.
    for (int i = 0; i < 2; ++i) {
        QProcess client;
        client.start(QStringLiteral("xdpyinfo"), {QStringLiteral("-display"), QString::fromLatin1(display)});
        ASSERT_TRUE(client.waitForFinished(10000));
        EXPECT_EQ(client.exitCode(), 0) << i;
    }
    EXPECT_EQ(server.state(), QProcess::Running);

    releaseProbedDisplay();
    EXPECT_TRUE(server.waitForFinished(10000));
    qunsetenv("DISPLAY");
}
