#include "platform/web/LoadFailureReason.h"

#include <gtest/gtest.h>
#include <utility>

// Chromium's codes at the edges of their ranges, and codes that have no words of their own.
TEST(LoadFailureReason, ChromiumsCodesBecomeTheDownloadsWords)
{
    const std::pair<int, const char*> cases[] = {
        {-105, "Server nicht gefunden"},
        {-137, "Server nicht gefunden"},
        {-800, "Server nicht gefunden"},
        {-899, "Server nicht gefunden"},
        {-102, "Verbindung abgelehnt"},
        {-7, "Zeitüberschreitung"},
        {-118, "Zeitüberschreitung"},
        {-200, "Server-Zertifikat nicht vertrauenswürdig"},
        {-299, "Server-Zertifikat nicht vertrauenswürdig"},
        {-106, "Keine Netzverbindung"},
        {-130, "Proxy-Server nicht erreichbar"},
        {-312, "Port aus Sicherheitsgründen gesperrt"},
        {404, "HTTP-Fehler 404"},
        {-300, "Fehler -300 der Web-Engine"},
        {-199, "Fehler -199 der Web-Engine"},
        {-900, "Fehler -900 der Web-Engine"},
    };
    for (const auto& [code, reason] : cases)
        EXPECT_EQ(loadFailureReason(code), QString::fromUtf8(reason)) << code;
}
