#include "platform/web/LoadFailureCover.h"

#include "widgets/ProgramFont.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* addLabel(QVBoxLayout* layout, const QString& name)
{
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);  // an address is never markup
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}

}  // namespace

LoadFailureCover::LoadFailureCover(QWidget* view)
    : QWidget(view)
{
    setObjectName(QStringLiteral("LoadFailureCover"));
    hide();
    // Opaque, in the colours of an empty page; right clicks reach no page menu below.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
    setPalette(colours);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFont(programFont(15));  // the size of a page's text rather than of the window's controls

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(12);
    layout->addStretch(1);
    QLabel* heading = addLabel(layout, QStringLiteral("LoadFailureHeading"));
    heading->setText(QStringLiteral("Die Seite konnte nicht geladen werden."));
    QFont large = programFont(21);
    large.setBold(true);
    heading->setFont(large);
    reasonLabel = addLabel(layout, QStringLiteral("LoadFailureReason"));
    addressLabel = addLabel(layout, QStringLiteral("LoadFailureAddress"));
    addressLabel->setWordWrap(false);  // cut in the middle to the width instead
    addressLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addLabel(layout, QStringLiteral("LoadFailureHint"))
        ->setText(QStringLiteral("Prüfen Sie die Adresse und die Netzverbindung und versuchen Sie es dann erneut."));
    retryButton = new QPushButton(QStringLiteral("aktualisieren"));  // as the window's reload button
    retryButton->setObjectName(QStringLiteral("LoadFailureRetry"));
    retryButton->setAutoDefault(true);  // Enter clicks it, as in a dialog
    auto* row = new QHBoxLayout;
    row->addWidget(retryButton);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(2);
    connect(retryButton, &QPushButton::clicked, this, &LoadFailureCover::retry);

    view->installEventFilter(this);
}

void LoadFailureCover::cover(const QString& reason, const QString& shownAddress)
{
    reasonLabel->setText(QStringLiteral("Grund: ") + reason);
    address = shownAddress;
    addressLabel->setToolTip(address);
    coverAgain();
}

void LoadFailureCover::coverAgain()
{
    setGeometry(parentWidget()->rect());
    showAddress();
    const QWidget* focus = QApplication::focusWidget();
    const bool viewHadFocus = focus && (focus == parentWidget() || parentWidget()->isAncestorOf(focus));
    raise();
    show();
    if (viewHadFocus)
        retryButton->setFocus();
}

void LoadFailureCover::uncover()
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus))
        parentWidget()->setFocus();
    hide();
}

// The view's size, and its place above the page's widget, which the view makes anew for a new page.
bool LoadFailureCover::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (event->type() == QEvent::ChildAdded && isVisible())
            raise();
    }
    return QWidget::eventFilter(watched, event);
}

void LoadFailureCover::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showAddress();
}

void LoadFailureCover::showAddress()
{
    const QString text = QStringLiteral("Adresse: ") + address;
    addressLabel->setText(
        addressLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, addressLabel->contentsRect().width()));
}
