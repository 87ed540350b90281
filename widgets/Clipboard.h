#pragma once

#include <QString>

// Puts plain text on the system clipboard.
void setClipboardText(const QString& text);
