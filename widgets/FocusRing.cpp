#include "widgets/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {
constexpr int kWidth = 2;
}

FocusRing::FocusRing(QWidget* area)
    : QWidget(area)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused)
{
    QWidget* holder = focused;
    while (holder && holder->parentWidget() != parentWidget())
        holder = holder->parentWidget();
    if (control)
        control->removeEventFilter(this);
    control = holder;
    if (control)
        control->installEventFilter(this);
    place();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == control
        && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide))
        place();
    return QWidget::eventFilter(watched, event);
}

void FocusRing::place()
{
    if (!control || control->isHidden()) {
        hide();
        return;
    }
    setGeometry(control->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth));
    setMask(QRegion(rect()).subtracted(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth)));
    raise();
    show();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), palette().color(QPalette::WindowText));
}
