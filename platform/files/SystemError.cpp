#include "platform/files/SystemError.h"

#include <cstring>

QString systemErrorText(int code)
{
    switch (code) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("Datenträger voll");
    case EFBIG:
        return QStringLiteral("Datei zu groß für den Datenträger");
    case EACCES:
    case EPERM:
        return QStringLiteral("Zugriff verweigert");
    case EROFS:
        return QStringLiteral("Datenträger schreibgeschützt");
    case ENOENT:
        return QStringLiteral("Datei oder Ordner nicht vorhanden");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Ordner");
    case EISDIR:
        return QStringLiteral("Ist ein Ordner");
    case ENAMETOOLONG:
        return QStringLiteral("Name zu lang");
    case ELOOP:
        return QStringLiteral("Zu viele symbolische Links");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}
