#include "widgets/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
