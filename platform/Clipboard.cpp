#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void SetClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
