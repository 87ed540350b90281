#include "resources/Glyphs.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace {

// Draws a picture the first time it is shown, at the size and pixel ratio it
// is shown at, and keeps it in the pixmap cache. Qt's own SVG icons read each
// file when the icon is made; the twenty buttons of the main window would do
// that before the home page is requested.
class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(const QString& glyphPath)
        : path(glyphPath)
    {
    }

    QIconEngine* clone() const override { return new GlyphEngine(path); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), picture);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const QString key = QStringLiteral("kavelo-glyph:%1:%2x%3:%4")
                                .arg(path)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(static_cast<int>(mode));
        QPixmap picture;
        if (QPixmapCache::find(key, &picture))
            return picture;
        picture = QPixmap(size);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            QSvgRenderer(path).render(&painter);
        }
        // The greyed picture of a disabled button, as the style draws it for any icon.
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        QPixmapCache::insert(key, picture);
        return picture;
    }

private:
    const QString path;
};

}  // namespace

QIcon glyph(const QString& name)
{
    const QString path = QStringLiteral(":/glyphs/%1.svg").arg(name);
    if (!QFile::exists(path))
        return {};
    return QIcon(new GlyphEngine(path));
}
