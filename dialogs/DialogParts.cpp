#include "dialogs/DialogParts.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

namespace {
// One classic style for all frames, owned by the application.
QStyle* classicFrameStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(qApp);
    }
    return style;
}
}  // namespace

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (place.size().isEmpty()) {
        label->move(place.topLeft());
        label->adjustSize();
    } else {
        label->setGeometry(place);
    }
    return label;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QPoint place)
{
    return addLabel(parent, name, text, QRect(place, QSize()));
}

QGroupBox* addGroupFrame(QWidget* parent, const char* name, const QString& title, QRect place)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    useClassicFrame(box);
    return box;
}

void useClassicFrame(QGroupBox* box)
{
    if (QStyle* classic = classicFrameStyle())
        box->setStyle(classic);
}
