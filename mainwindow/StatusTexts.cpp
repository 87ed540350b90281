#include "mainwindow/StatusTexts.h"

#include "mainwindow/TimerIntervals.h"

#include <algorithm>
#include <cmath>

QString progressText(int progress, int progressMax, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double percent = static_cast<double>(progress) / progressMax * 100.0;
    return QStringLiteral("schon %1 % geladen").arg(plain.toString(percent, 'f', 2));
}

QString lastRefreshText(const QString& homePage, const QString& date, const QString& time)
{
    return QStringLiteral("Seite \"%1\" zuletzt am %2 um %3 aktualisiert!").arg(homePage, date, time);
}

QString viewerPageText(bool showsHomePage, const QString& homePage, const QString& date, const QString& time,
                       int refreshMinutes)
{
    if (showsHomePage)
        return lastRefreshText(homePage, date, time);
    if (refreshMinutes != 0)
        return QStringLiteral("!!! (automatische Aktualisierung der Seite \"%1\" alle %2 min)")
            .arg(homePage)
            .arg(refreshMinutes);
    return kNoRefreshText;
}

QString returnWaitsText()
{
    return QStringLiteral("Aktualisierung wartet auf %1 Sekunden ohne Eingabe")
        .arg(std::chrono::duration_cast<std::chrono::seconds>(quietBeforeReturn()).count());
}

CountdownTick nextCountdown(std::int64_t elapsedMs, std::uint32_t intervalMs, bool showsHomePage,
                            const QString& homePage)
{
    std::int64_t elapsed = elapsedMs + kCountdownStep.count();
    if (elapsed >= static_cast<std::int64_t>(intervalMs))
        elapsed = 0;
    const std::int64_t remainingMs = static_cast<std::int64_t>(intervalMs) - elapsed;
    const std::int64_t seconds = std::llround(static_cast<double>(remainingMs) / 1000.0);
    const std::int64_t minutes = seconds / 60 + 1;

    const bool inMinutes = seconds > 120;
    const QString amount = inMinutes ? QStringLiteral("%1 min").arg(minutes) : QStringLiteral("%1 s").arg(seconds);
    const QString text =
        showsHomePage
            ? QStringLiteral("nächste Aktualisierung in weniger als %1").arg(amount)
            : QStringLiteral("nächste Aktualisierung der Seite \"%1\" in weniger als %2").arg(homePage, amount);
    return {elapsed, text};
}

QString downloadProgressText(int n, qint64 received, qint64 total, const QLocale& locale)
{
    constexpr double kKilo = 1024.0;
    constexpr double kMega = kKilo * kKilo;
    const double larger = static_cast<double>(std::max(received, total));
    const bool inKilo = larger < kMega;
    // Amounts below 10 MB each with one decimal, so a start reads "0,6 von 19 MB".
    const auto amount = [&](qint64 bytes, bool roundDown) {
        const int decimals = !inKilo && static_cast<double>(bytes) < 10 * kMega ? 1 : 0;
        const double shift = std::pow(10.0, decimals);
        const double units = static_cast<double>(bytes) / (inKilo ? kKilo : kMega) * shift;
        return locale.toString((roundDown ? std::floor(units) : std::round(units)) / shift, 'f', decimals);
    };
    const QString unit = inKilo ? QStringLiteral("KB") : QStringLiteral("MB");
    if (total <= 0)
        return QStringLiteral("Download %1: %2 %3 empfangen").arg(n).arg(amount(received, true), unit);
    const auto percent =
        static_cast<int>(std::clamp(static_cast<double>(received) * 100.0 / static_cast<double>(total), 0.0, 100.0));
    return QStringLiteral("Download %1: %2 % (%3 von %4 %5)")
        .arg(n)
        .arg(percent)
        .arg(amount(received, true), amount(total, false), unit);
}
