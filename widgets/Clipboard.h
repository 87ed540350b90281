#pragma once

#include <QString>

// Puts plain text on the system clipboard.
void setClipboardText(const QString& text);
// Empties the clipboard and, where the system has one, the selection that the
// middle mouse button pastes: nothing a visitor copied is left for the next.
void clearClipboard();
