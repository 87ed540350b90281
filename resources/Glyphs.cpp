#include "resources/Glyphs.h"

#include <QFile>

QIcon glyph(const QString& name)
{
    const QString path = QStringLiteral(":/glyphs/%1.svg").arg(name);
    if (!QFile::exists(path))
        return {};
    return QIcon(path);
}
