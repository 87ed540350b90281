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
    void isAFixedDialogBuiltFromItsTableWhereEveryTextFits();
    void okConfirmsCloseBoxAndEscapeCancel();
    void showsCentredOnItsParentEachTime();
};

void AboutTest::isAFixedDialogBuiltFromItsTableWhereEveryTextFits()
{
    TAboutForm form;
    QVERIFY(form.findChildren<QWidget*>().isEmpty());  // built when first needed
    form.ensureControls();
    QCOMPARE(form.windowTitle(), QStringLiteral("Programm-Informationen"));
    QCOMPARE(form.minimumSize(), QSize(400, 368));
    QCOMPARE(form.maximumSize(), QSize(400, 368));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    for (const AboutControl& control : kAboutControls) {
        auto* widget = form.findChild<QWidget*>(QLatin1String(control.name));
        QVERIFY2(widget, control.name);
        QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(control.parent ? control.parent : "AboutForm"));
        QCOMPARE(widget->pos(), control.place.topLeft());
        if (!control.place.isEmpty())
            QCOMPARE(widget->size(), control.place.size());
        if (control.kind != AboutControl::Kind::Picture)
            QVERIFY2(!textOf(widget).isEmpty(), control.name);
    }
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Button1"))->font().bold());
    const QPixmap icon = form.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap();
    QCOMPARE(icon.deviceIndependentSize().toSize(), QSize(41, 41));

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
    form.ensureControls();
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
