#pragma once

// The texts of the status line: load progress, the viewer's refresh lines,
// the ten-second countdown to the next timed reload and a download's progress.

#include <QLocale>
#include <QString>
#include <cstdint>

inline const QString kReadyText = QStringLiteral("fertig und bereit!");
inline const QString kStatusBarHint =
    QStringLiteral("Statuszeile enthält verschiedene Lade-Informationen, Hilfe-Stellungen und Status-Anzeigen");
inline const QString kNoRefreshText = QStringLiteral("ACHTUNG!!! keine automatische Aktualisierung eingestellt!");

// "schon 33,33 % geladen": progress of progressMax in percent, two decimals,
// the locale's decimal separator (progressMax must not be 0).
QString progressText(int progress, int progressMax, const QLocale& locale = QLocale());

// Seite "<home>" zuletzt am <date> um <time> aktualisiert!
QString lastRefreshText(const QString& homePage, const QString& date, const QString& time);

// The countdown's text while the timed return home waits for a visitor.
QString returnWaitsText();

// The viewer's panel-1 text: the last refresh while the home page is shown,
// else the refresh interval, else the warning that nothing refreshes.
QString viewerPageText(bool showsHomePage, const QString& homePage, const QString& date, const QString& time,
                       int refreshMinutes);

// One tick of the countdown: adds ten seconds to elapsedMs (back to 0 once the
// reload interval is reached) and gives the text for the time remaining.
struct CountdownTick {
    std::int64_t elapsedMs;
    QString text;
};
CountdownTick nextCountdown(std::int64_t elapsedMs, std::uint32_t intervalMs, bool showsHomePage,
                            const QString& homePage);

// The progress of download n: "Download 1: 45 % (450 von 1.000 MB)" while the
// size is known, else "Download 1: 450 MB empfangen". Both figures take the
// unit of the larger: KB below 1 MB, MB with one decimal below 10 MB, else
// whole MB, in the locale's notation; the part received is rounded down.
QString downloadProgressText(int n, qint64 received, qint64 total, const QLocale& locale = QLocale());
