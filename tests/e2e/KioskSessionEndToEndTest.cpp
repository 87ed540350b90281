// The kiosk session's own unit on a headless cage (1280 x 720), as an ordinary user: the viewer, which starts
// at the design's size, fills the output, maximised and without a frame; cage ends with the program.

#include "ProgramRun.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QRegularExpression>

TEST(KioskSession, ShowsTheViewerOverTheWholeOutputWithoutAFrame)
{
    const auto output = [](const QString& command) {
        QProcess process;
        process.startCommand(command);
        process.waitForFinished(15000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    };
    if (output(QStringLiteral("sh -c \"command -v cage >/dev/null && command -v Xwayland\"")).isEmpty())
        GTEST_SKIP() << "needs cage and Xwayland";
    // This build's program, without settings, in the session's home; cage refuses root: there a user of its own.
    const QTemporaryDir home;
    const QString program = home.filePath(QStringLiteral("kavelo"));
    QFile::copy(QStringLiteral(KAVELO_EXECUTABLE), program);
    const QString user = QStringLiteral("kavelo-e2e-%1").arg(::getpid());
    const QString asUser = ::geteuid() == 0 ? QStringLiteral("runuser -u %1 -- ").arg(user) : QString();
    output(QStringLiteral("mkdir -m 700 %1/runtime").arg(home.path()));
    if (!asUser.isEmpty())
        output(QStringLiteral("sh -c \"useradd --system %1 && chown -R %1 %2\"").arg(user, home.path()));

    // The unit's environment and command, with this build's program.
    QProcess session;
    session.setProcessChannelMode(QProcess::ForwardedChannels);
    session.startCommand(
        asUser
        + QStringLiteral("env -i PATH=/usr/bin:/bin HOME=%1 XDG_RUNTIME_DIR=%1/runtime WLR_BACKENDS=headless "
                         "WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman ")
              .arg(home.path())
        + output(QStringLiteral("sed -n \"s/^Environment=//p; s/^ExecStart=//p\" " KAVELO_SESSION_UNIT))
              .replace(QLatin1Char('\n'), QLatin1Char(' '))
              .replace(QStringLiteral("/usr/bin/kavelo"), program));

    // The program as cage started it, on the display of cage's Xwayland.
    QString pid;
    EXPECT_TRUE(
        waitUntil([&] { return !(pid = output(QStringLiteral("pgrep -fx %1.0").arg(program))).isEmpty(); }, 30000));
    const QString display =
        output(QStringLiteral("sh -c \"tr '\\0' '\\n' </proc/%1/environ | grep ^DISPLAY=\"").arg(pid));
    const QString onDisplay = asUser + QStringLiteral("env DISPLAY= %1 ").arg(display);    // none if not found
    const QString children = QStringLiteral("env LANG=C.UTF-8 xwininfo -root -children");  // the title has a ©

    // A child of the root window, not of a frame, at the output's size and place, maximised.
    const QRegularExpression whole(
        QStringLiteral("^ *(0x[0-9a-f]+) \"Kavelo - der MiniBrowser.* 1280x720\\+0\\+0  \\+0\\+0$"),
        QRegularExpression::MultilineOption);
    QString windows;
    EXPECT_TRUE(waitUntil([&] { return whole.match(windows = output(onDisplay + children)).hasMatch(); }, 30000))
        << windows.toStdString();
    EXPECT_TRUE(output(onDisplay + QStringLiteral("xprop -id %1 _NET_WM_STATE").arg(whole.match(windows).captured(1)))
                    .contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_VERT, _NET_WM_STATE_MAXIMIZED_HORZ")));
    // cage keeps an X window at the output's size even where the program laid itself out smaller: a click into
    // the output's top-right corner reaches the about button anchored there.
    output(onDisplay + QStringLiteral("xdotool mousemove 1262 68 click 1"));
    EXPECT_TRUE(waitUntil(
        [&] { return output(onDisplay + children).contains(QLatin1String("\"Programm-Informationen\"")); }, 10000));

    output(QStringLiteral("kill %1").arg(pid));
    EXPECT_TRUE(session.waitForFinished(15000)) << "cage outlives the program";
    session.terminate();  // runuser hands it on to cage
    session.waitForFinished(15000);
    EXPECT_TRUE(asUser.isEmpty()
                || waitUntil([&] { return QProcess::execute(QStringLiteral("userdel"), {user}) == 0; }, 15000));
}
