#include "widgets/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

void clearClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->clear(QClipboard::Selection);
}
