#include "resources/Glyphs.h"
#include "settings/Defaults.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

class GlyphsTest : public QObject {
    Q_OBJECT
private slots:
    void everyPictureRendersAndGreysOutWhenDisabled();
    void unknownNameGivesNoIcon();
    void theWelcomePageShowsNoPassword();
};

void GlyphsTest::everyPictureRendersAndGreysOutWhenDisabled()
{
    const struct {
        const char* name;
        int size;
    } pictures[] = {
        {"back", 24},      {"forward", 24},   {"stop", 16},      {"reload", 16},   {"home", 16},   {"search", 16},
        {"address", 16},   {"web1", 16},      {"web2", 16},      {"settings", 16}, {"about", 16},  {"download1", 16},
        {"download2", 16}, {"download3", 16}, {"download4", 16}, {"copy", 16},     {"finish", 16}, {"cancel", 16},
        {"defaults", 16},  {"password", 16},  {"app", 32},
    };
    const int face = QApplication::palette().color(QPalette::Button).value();
    QStringList files;
    for (const auto& picture : pictures) {
        const QString name = QLatin1String(picture.name);
        files << name + QStringLiteral(".svg");
        const QSize size(picture.size, picture.size);
        QCOMPARE(QSvgRenderer(QStringLiteral(":/glyphs/%1.svg").arg(name)).defaultSize(), size);
        const QIcon icon = glyph(name);
        const QImage normal = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage disabled =
            icon.pixmap(size, 1.0, QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(normal.size(), size);
        QCOMPARE(icon.pixmap(size, 2.0).size(), size * 2);  // drawn at the pixel ratio, not scaled up
        int opaque = 0;
        int mostColour = 0;
        int darkestDisabled = 255;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QColor before = QColor::fromRgba(normal.pixel(x, y));
                const QColor after = QColor::fromRgba(disabled.pixel(x, y));
                QCOMPARE(after.alpha(), before.alpha());
                opaque += before.alpha() > 128 ? 1 : 0;
                if (before.alpha() < 255)
                    continue;
                mostColour = qMax(mostColour, before.hsvSaturation());
                QVERIFY2(after.hsvSaturation() <= 24, picture.name);
                darkestDisabled = qMin(darkestDisabled, after.value());
            }
        }
        QVERIFY2(opaque * 10 >= size.width() * size.height(), picture.name);
        QVERIFY2(mostColour >= 100, picture.name);
        // The greyed picture still stands out on a button face.
        QVERIFY2(darkestDisabled <= face - 40, picture.name);
    }
    files.sort();
    QCOMPARE(QDir(QStringLiteral(":/glyphs")).entryList(QDir::Files, QDir::Name), files);
}

void GlyphsTest::unknownNameGivesNoIcon()
{
    QVERIFY(glyph(QStringLiteral("no-such-picture")).isNull());
}

void GlyphsTest::theWelcomePageShowsNoPassword()
{
    QFile page(QStringLiteral(":/willkommen/willkommen.html"));
    QVERIFY(page.open(QIODevice::ReadOnly) && !QString::fromUtf8(page.readAll()).contains(kBuiltInAdminPassword));
}

QTEST_MAIN(GlyphsTest)
#include "GlyphsTest.moc"
