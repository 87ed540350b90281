#include "dialogs/about.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
int textWidth(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().horizontalAdvance(text);
}

QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    return qobject_cast<const QPushButton*>(widget)->text();
}
}  // namespace

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void isAFixedDialogWithItsControlsInPlace();
    void everyTextFitsItsControlWithoutOverlap();
    void okConfirmsCloseBoxAndEscapeCancel();
    void showsCentredOnItsParentEachTime();
};

void AboutTest::isAFixedDialogWithItsControlsInPlace()
{
    TAboutForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Programm-Informationen"));
    QCOMPARE(form.minimumSize(), QSize(400, 368));
    QCOMPARE(form.maximumSize(), QSize(400, 368));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // An empty text stands for a text of the maker's choice; an empty size for one that follows the text.
    const struct {
        const char* name;
        const char* parent;
        QRect rect;
        const char* text;
    } controls[] = {
        {"GroupBox1", "AboutForm", {8, 8, 385, 305}, ""},
        {"Label8", "GroupBox1", {160, 16, 128, 24}, ""},
        {"Image1", "GroupBox1", {56, 48, 41, 41}, nullptr},
        {"Label3", "GroupBox1", {128, 48, 187, 36}, "Kavelo V. 1.x."},
        {"Label1", "GroupBox1", {104, 96, 261, 24}, "Mini-Browser und -Downloader"},
        {"GroupBox2", "AboutForm", {8, 320, 201, 41}, "Versions-Info"},
        // The contact block: captions at the left, their values beside; the postal address
        // continues under the maker's name, its last row further left.
        {"Label2", "GroupBox1", {8, 192, 0, 0}, "Autor:"},
        {"Label4", "GroupBox1", {56, 192, 0, 0}, ""},
        {"Label5", "GroupBox1", {8, 208, 0, 0}, "Kontakt: "},
        {"Label6", "GroupBox1", {56, 208, 0, 0}, ""},
        {"Label7", "GroupBox1", {56, 224, 0, 0}, ""},
        {"Label9", "GroupBox1", {24, 240, 0, 0}, ""},
        {"Label10", "GroupBox1", {192, 208, 0, 0}, "Tel.:"},
        {"Label11", "GroupBox1", {224, 208, 0, 0}, ""},
        {"Label12", "GroupBox1", {192, 224, 0, 0}, "FAX:"},
        {"Label13", "GroupBox1", {224, 224, 0, 0}, ""},
        {"Label14", "GroupBox1", {8, 264, 0, 0}, "Web: "},
        {"Label15", "GroupBox1", {56, 264, 0, 0}, ""},
        {"Label16", "GroupBox1", {8, 280, 0, 0}, "eMail: "},
        {"Label17", "GroupBox1", {56, 280, 0, 0}, ""},
        {"Label20", "GroupBox2", {8, 16, 0, 0}, "Version 1.3.a    vom: Oktober 2010"},
        {"Button1", "AboutForm", {288, 328, 75, 25}, "OK"},
    };
    for (const auto& control : controls) {
        auto* widget = form.findChild<QWidget*>(QLatin1String(control.name));
        QVERIFY2(widget, control.name);
        QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(control.parent));
        QCOMPARE(widget->pos(), control.rect.topLeft());
        if (!control.rect.isEmpty())
            QCOMPARE(widget->size(), control.rect.size());
        if (control.text && *control.text)
            QCOMPARE(textOf(widget), QString::fromUtf8(control.text));
        else if (control.text)
            QVERIFY2(!textOf(widget).isEmpty(), control.name);
    }
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Button1"))->font().bold());
    const QPixmap icon = form.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap();
    QCOMPARE(icon.deviceIndependentSize().toSize(), QSize(41, 41));
}

void AboutTest::everyTextFitsItsControlWithoutOverlap()
{
    TAboutForm form;
    QCOMPARE(QFontInfo(form.findChild<QLabel*>(QStringLiteral("Label1"))->font()).family(),
             QStringLiteral("Liberation Sans"));
    const QFontInfo title(form.findChild<QLabel*>(QStringLiteral("Label3"))->font());
    QCOMPARE(title.family(), QStringLiteral("Liberation Serif"));
    QVERIFY(title.bold());

    const QList<QLabel*> labels = form.findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const QByteArray name = label->objectName().toLatin1();
        QVERIFY2(textWidth(label, label->text()) <= label->width(), name);
        QVERIFY2(label->fontMetrics().height() <= label->height(), name);
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), name);
        for (QLabel* other : labels)
            if (other != label && other->parentWidget() == label->parentWidget())
                QVERIFY2(!other->geometry().intersects(label->geometry()),
                         name + " overlaps " + other->objectName().toLatin1());
    }
    for (QGroupBox* box : form.findChildren<QGroupBox*>())
        QVERIFY(textWidth(box, box->title()) + 16 <= box->width());
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("Button1"));
    QVERIFY(textWidth(ok, ok->text()) + 8 <= ok->width());
}

void AboutTest::okConfirmsCloseBoxAndEscapeCancel()
{
    TAboutForm form;
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("Button1"));
    QTimer::singleShot(0, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    QCOMPARE(form.exec(), 1);
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QCOMPARE(form.exec(), 2);
    QTimer::singleShot(0, &form, [&form] { QTest::keyClick(&form, Qt::Key_Escape); });
    QCOMPARE(form.exec(), 2);
    QTimer::singleShot(0, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    QCOMPARE(form.exec(), 1);
}

void AboutTest::showsCentredOnItsParentEachTime()
{
    QWidget owner;
    owner.setGeometry(20, 30, 600, 500);
    owner.show();
    TAboutForm form(&owner);
    form.show();
    QCOMPARE(form.geometry().center(), owner.geometry().center());
    form.done(1);
    owner.move(150, 60);
    form.show();
    QCOMPARE(form.geometry().center(), owner.geometry().center());
}

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
