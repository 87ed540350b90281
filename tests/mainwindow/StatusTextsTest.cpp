#include "mainwindow/StatusTexts.h"

#include <gtest/gtest.h>

TEST(StatusTexts, PercentagesHaveTwoDecimalsWithTheLocalesSeparator)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(progressText(1, 3, german), QStringLiteral("schon 33,33 % geladen"));
    EXPECT_EQ(progressText(2, 3, german), QStringLiteral("schon 66,67 % geladen"));
    EXPECT_EQ(progressText(50, 200, german), QStringLiteral("schon 25,00 % geladen"));
    EXPECT_EQ(progressText(3000, 200, german), QStringLiteral("schon 1500,00 % geladen"));
    EXPECT_EQ(progressText(1, 3, QLocale::c()),
              QStringLiteral("schon 33,33 % geladen").replace(QLatin1Char(','), QLatin1Char('.')));
}

TEST(StatusTexts, ViewerLinesForHomePageOtherPageAndNoRefresh)
{
    const QString home = QStringLiteral("http://127.0.0.1/");
    EXPECT_EQ(viewerPageText(true, home, QStringLiteral("06.12.2026"), QStringLiteral("14:05:09"), 0),
              QStringLiteral("Seite \"http://127.0.0.1/\" zuletzt am 06.12.2026 um 14:05:09 aktualisiert!"));
    EXPECT_EQ(viewerPageText(false, home, QString(), QString(), 5),
              QStringLiteral("!!! (automatische Aktualisierung der Seite \"http://127.0.0.1/\" alle 5 min)"));
    EXPECT_EQ(viewerPageText(false, home, QString(), QString(), 0),
              QStringLiteral("ACHTUNG!!! keine automatische Aktualisierung eingestellt!"));
}

// The texts of successive ticks, starting from a fresh count.
static QStringList countdown(int refreshMinutes, int ticks, bool onHomePage = true)
{
    QStringList texts;
    std::int64_t elapsed = 0;
    for (int i = 0; i < ticks; ++i) {
        const CountdownTick tick = nextCountdown(elapsed, static_cast<std::uint32_t>(refreshMinutes) * 60000u,
                                                 onHomePage, QStringLiteral("http://127.0.0.1/"));
        elapsed = tick.elapsedMs;
        texts.append(tick.text.section(QLatin1Char(' '), -2));
    }
    return texts;
}

TEST(Countdown, OneMinuteCountsTenSecondStepsAndStartsAgain)
{
    EXPECT_EQ(countdown(1, 7), (QStringList{QStringLiteral("50 s"), QStringLiteral("40 s"), QStringLiteral("30 s"),
                                            QStringLiteral("20 s"), QStringLiteral("10 s"), QStringLiteral("60 s"),
                                            QStringLiteral("50 s")}));
}

TEST(Countdown, TwoMinutesNeverShowMinutes)
{
    const QStringList texts = countdown(2, 24);
    EXPECT_EQ(texts.first(), QStringLiteral("110 s"));
    EXPECT_EQ(texts[11], QStringLiteral("120 s"));
    for (const QString& text : texts)
        EXPECT_TRUE(text.endsWith(QStringLiteral(" s"))) << text.toStdString();
}

TEST(Countdown, FiveMinutesSwitchToSecondsAt120)
{
    const QStringList texts = countdown(5, 30);
    EXPECT_EQ(texts[0], QStringLiteral("5 min"));   // 290 s remaining
    EXPECT_EQ(texts[11], QStringLiteral("4 min"));  // 180 s
    EXPECT_EQ(texts[12], QStringLiteral("3 min"));  // 170 s
    EXPECT_EQ(texts[17], QStringLiteral("120 s"));
    EXPECT_EQ(texts[28], QStringLiteral("10 s"));
    EXPECT_EQ(texts[29], QStringLiteral("6 min"));  // the cycle starts again at 300 s
}

TEST(Countdown, AwayFromTheHomePageTheTextNamesIt)
{
    const CountdownTick tick = nextCountdown(0, 300000, false, QStringLiteral("http://127.0.0.1/"));
    EXPECT_EQ(tick.text, QStringLiteral("nächste Aktualisierung der Seite \"http://127.0.0.1/\" in weniger als 5 min"));
    EXPECT_EQ(nextCountdown(0, 300000, true, QString()).text,
              QStringLiteral("nächste Aktualisierung in weniger als 5 min"));
}

TEST(Countdown, LongestIntervalDoesNotOverflow)
{
    const CountdownTick tick = nextCountdown(0, 65535u * 60000u, true, QString());
    EXPECT_EQ(tick.elapsedMs, 10000);
    EXPECT_EQ(tick.text, QStringLiteral("nächste Aktualisierung in weniger als 65535 min"));
}

TEST(StatusTexts, DownloadProgressInTheUnitOfTheLargerFigure)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    constexpr qint64 kMB = 1024 * 1024;
    EXPECT_EQ(downloadProgressText(1, 450 * kMB, 1000 * kMB, german),
              QStringLiteral("Download 1: 45 % (450 von 1.000 MB)"));
    // The part received rounds down, so nothing reads complete before it is.
    EXPECT_EQ(downloadProgressText(2, 1024 * kMB - 1, 1024 * kMB, german),
              QStringLiteral("Download 2: 99 % (1.023 von 1.024 MB)"));
    EXPECT_EQ(downloadProgressText(3, 3 * kMB / 2, 5 * kMB, german),
              QStringLiteral("Download 3: 30 % (1,5 von 5,0 MB)"));
    EXPECT_EQ(downloadProgressText(4, 0, 300 * 1024, german), QStringLiteral("Download 4: 0 % (0 von 300 KB)"));
    EXPECT_EQ(downloadProgressText(4, 13 * kMB / 20, 19 * kMB, german),
              QStringLiteral("Download 4: 3 % (0,6 von 19 MB)"));
    // Size unknown: the bytes so far.
    EXPECT_EQ(downloadProgressText(1, 12345 * kMB, -1, german), QStringLiteral("Download 1: 12.345 MB empfangen"));
    EXPECT_EQ(downloadProgressText(1, 0, -1, german), QStringLiteral("Download 1: 0 KB empfangen"));
}
