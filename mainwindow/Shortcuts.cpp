// The keys known from other browsers. Each acts through its button, exactly as
// a click would and only when the button could be clicked, so the rights and
// the viewer mode hold for them as for the mouse. They work wherever the focus
// is in the window, the page included: a shortcut comes before the page's
// widget, which takes only its editing keys for itself.

#include "mainwindow/MB_main.h"
#include "widgets/GlyphButton.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QShortcut>

namespace {

// One click after the key's event, as the page's Alt+Left and Alt+Right do (a box may follow).
void clickByKey(QAbstractButton* button)
{
    if (button->isEnabled() && button->isVisible())
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

// Escape clicks the stop button and still reaches the focused control: a page
// closes its own menus and dialogs with it. Seen before any receiver, once per
// press (at the focused widget, not again on its way up to the parents); a
// filter that holds the input while a button's download runs comes first.
class EscapeKey : public QObject {
public:
    EscapeKey(QWidget* mainWindow, QAbstractButton* stopButton)
        : QObject(mainWindow)
        , window(mainWindow)
        , stop(stopButton)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && receiver == QApplication::focusWidget()
            && QApplication::focusWidget()->window() == window) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat())
                clickByKey(stop);
        }
        return false;
    }

private:
    QWidget* window;
    QAbstractButton* stop;
};

}  // namespace

void TKaveloMainForm::createShortcuts()
{
    const std::pair<QKeySequence, GlyphButton*> buttons[] = {{QKeySequence(Qt::Key_F5), BitBtn4},
                                                             {QKeySequence(Qt::CTRL | Qt::Key_R), BitBtn4},
                                                             {QKeySequence(Qt::ALT | Qt::Key_Home), BitBtn5}};
    for (const auto& shortcut : buttons) {
        GlyphButton* const button = shortcut.second;
        connect(new QShortcut(shortcut.first, this), &QShortcut::activated, button, [button] { clickByKey(button); });
    }
    new EscapeKey(this, BitBtn3);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D), QKeySequence(Qt::Key_F6)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &TKaveloMainForm::focusAddressBox);
}

// Typing then replaces the shown address, as after a click into the box.
void TKaveloMainForm::focusAddressBox()
{
    if (!ComboBox1->isEnabled() || !ComboBox1->isVisible())
        return;
    ComboBox1->setFocus(Qt::ShortcutFocusReason);
    ComboBox1->lineEdit()->selectAll();
    clientScroller->ensureWidgetVisible(ComboBox1);
}
