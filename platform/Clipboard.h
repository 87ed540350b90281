#pragma once

#include <QString>

// Puts plain text on the system clipboard.
void SetClipboardText(const QString& text);
