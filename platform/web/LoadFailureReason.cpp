#include "platform/web/LoadFailureReason.h"

namespace {

// Chromium's network error codes (net/base/net_error_list.h).
constexpr int kTimedOut = -7;
constexpr int kConnectionRefused = -102;
constexpr int kNameNotResolved = -105;
constexpr int kInternetDisconnected = -106;
constexpr int kConnectionTimedOut = -118;
constexpr int kProxyConnectionFailed = -130;
constexpr int kNameResolutionFailed = -137;
constexpr int kUnsafePort = -312;

bool isCertificateError(int code)
{
    return code <= -200 && code > -300;
}

bool isNameLookupError(int code)
{
    return code == kNameNotResolved || code == kNameResolutionFailed || (code <= -800 && code > -900);
}

}  // namespace

QString loadFailureReason(int errorCode)
{
    if (errorCode > 0)
        return QStringLiteral("HTTP-Fehler %1").arg(errorCode);
    if (isNameLookupError(errorCode))
        return QStringLiteral("Server nicht gefunden");
    if (isCertificateError(errorCode))
        return QStringLiteral("Server-Zertifikat nicht vertrauenswürdig");
    switch (errorCode) {
    case kConnectionRefused:
        return QStringLiteral("Verbindung abgelehnt");
    case kTimedOut:
    case kConnectionTimedOut:
        return QStringLiteral("Zeitüberschreitung");
    case kInternetDisconnected:
        return QStringLiteral("Keine Netzverbindung");
    case kProxyConnectionFailed:
        return QStringLiteral("Proxy-Server nicht erreichbar");
    case kUnsafePort:
        return QStringLiteral("Port aus Sicherheitsgründen gesperrt");
    default:
        return QStringLiteral("Fehler %1 der Web-Engine").arg(errorCode);
    }
}
