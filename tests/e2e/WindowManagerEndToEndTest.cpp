// The real program on a virtual display with a window manager: what the
// window manager makes of the window modes and the start position.

#include "ProgramRun.h"
#include "XSession.h"

#include "settings/AnsiText.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <QRect>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

const QString kTitle = QStringLiteral("Kavelo - der MiniBrowser");

class WindowManager : public ::testing::Test {
protected:
    WindowManager()
    {
        server.http().Get("/home", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><body><h1>Startseite</h1></body></html>", "text/html");
        });
        // A download that takes until the test ends keeps the program running.
        server.http().Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
            for (int i = 0; i < 600 && !released; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            response.set_content("spaet", "text/plain");
        });
        server.start();

        record = defaultRecord();
        stringToText(record.HomePage, server.url(QStringLiteral("/home")));
        record.RedirectDownloads = 0;
        record.DownloadAttempts = 1;
        stringToText(record.Download1Url, server.url(QStringLiteral("/stall")));
        stringToText(record.Download1Target, run.home() + QStringLiteral("/Datei.bin"));
    }
    ~WindowManager() override { released = true; }

    // Starts the program on a display of that size and waits until its page
    // has been asked for and the window manager manages the main window; empty
    // when there is none.
    QString startOn(QSize screen, const QStringList& arguments = {})
    {
        x = std::make_unique<XSession>(screen);
        if (x->display().isEmpty())
            return QString();
        run.setEnv(QStringLiteral("DISPLAY"), x->display());
        run.writeSettings(record);
        run.start(arguments);
        QStringList windows;
        const bool managed = waitUntil(
            [&] {
                if (server.count(QStringLiteral("/home")) == 0)
                    return false;
                windows = x->windowsTitled(kTitle);
                return windows.size() == 1
                       && property(windows.first(), "WM_STATE").contains(QLatin1String("window state"));
            },
            30000);
        return managed ? windows.first() : QString();
    }

    // Waits until the window manager has done what check looks for, as it
    // does some time after it has taken the window.
    static bool settles(const std::function<bool()>& check) { return waitUntil(check, 10000); }

    QString property(const QString& window, const char* name) const
    {
        return x->tool(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QLatin1String(name)});
    }

    // The window's frame as the window manager placed it, in screen pixels.
    QRect frame(const QString& window) const
    {
        const QString info = x->tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        const auto number = [&](const char* label) {
            const auto match = QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s+(-?\\d+)")).match(info);
            return match.hasMatch() ? match.captured(1).toInt() : -10000;
        };
        const auto extents = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                                 .match(property(window, "_NET_FRAME_EXTENTS"));
        if (!extents.hasMatch())
            return QRect();
        const int left = extents.captured(1).toInt();
        const int right = extents.captured(2).toInt();
        const int top = extents.captured(3).toInt();
        const int bottom = extents.captured(4).toInt();
        return QRect(number("Absolute upper-left X") - left, number("Absolute upper-left Y") - top,
                     number("Width") + left + right, number("Height") + top + bottom);
    }

    LoopbackServer server;
    std::atomic<bool> released = false;
    std::unique_ptr<XSession> x;
    ProgramRun run;
    TEinstellRecord record{};
};

}  // namespace

TEST_F(WindowManager, ADownloadKeywordStartsTheWindowIconic)
{
    record.WindowMode = 2;  // the keyword turns even a maximised window into a minimised one
    const QString window = startOn(QSize(1280, 1024), {QStringLiteral("1")});
    ASSERT_FALSE(window.isEmpty());
    EXPECT_TRUE(property(window, "WM_HINTS").contains(QLatin1String("Initial state is Iconic")));
    EXPECT_TRUE(settles([&] { return property(window, "WM_STATE").contains(QLatin1String("window state: Iconic")); }))
        << property(window, "WM_STATE").toStdString();
}

TEST_F(WindowManager, WindowModeTwoStartsMaximised)
{
    record.WindowMode = 2;
    const QString window = startOn(QSize(1280, 1024));
    ASSERT_FALSE(window.isEmpty());
    QString state;
    EXPECT_TRUE(settles([&] {
        state = property(window, "_NET_WM_STATE");
        return state.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_VERT"))
               && state.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_HORZ"));
    })) << state.toStdString();
}

TEST_F(WindowManager, AStoredWindowSizeIsCentredAtItsOwnSize)
{
    record.WindowMode = 1;
    record.WindowWidth = 1000;
    record.WindowHeight = 700;
    const QString window = startOn(QSize(1280, 1024));
    ASSERT_FALSE(window.isEmpty());
    // The frame here is thinner than the nominal one the program counts with.
    QRect placed;
    EXPECT_TRUE(settles([&] {
        placed = frame(window);
        return std::abs(placed.center().x() - 640) <= 16 && std::abs(placed.center().y() - 512) <= 16;
    })) << placed.x()
        << " " << placed.y() << " " << placed.width() << " " << placed.height();
}

TEST_F(WindowManager, AWindowLargerThanTheScreenIsMadeToFitIt)
{
    run.setEnv(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.5"));
    const QString window = startOn(QSize(1280, 800));
    ASSERT_FALSE(window.isEmpty());
    QRect placed;
    EXPECT_TRUE(settles([&] { return QRect(0, 0, 1280, 800).contains(placed = frame(window)); }))
        << placed.y() << " " << placed.height();
}
