#include "widgets/MessageBoxPresenter.h"

#include "widgets/IdleWatch.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

bool MessageBoxPresenter::present(MessageKind kind, const QString& title, const QString& text)
{
    QMessageBox box(iconFor(kind), title, QString(), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // names and addresses from outside may look like markup
    box.setText(text);
    if (kind != MessageKind::Confirmation) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        execWatched(box);
        return false;
    }
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    execWatched(box);
    return box.clickedButton() == yes;  // a box that ended by itself: No
}
