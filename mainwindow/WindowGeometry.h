#pragma once

// Sizes of the main window. Sizes in the settings are outer sizes as a
// Windows frame counts them (790 x 570 around a client area of 774 x 532);
// the window manager here draws its own frame, so the program sets the client
// area and converts with the nominal frame.

#include "settings/EinstellRecord.h"

#include <QPoint>
#include <QRect>
#include <QSize>

inline constexpr QSize kDesignOuterSize{790, 570};
inline constexpr QSize kFrameExtra{16, 38};
inline constexpr QSize kDesignClientSize = kDesignOuterSize - kFrameExtra;

// The fixed window mode: each side as stored (bounded as the settings dialog
// bounds it) when larger than the design, else the design.
QSize fixedModeOuterSize(Word width, Word height);

inline QSize clientSizeForOuter(QSize outer)
{
    return outer - kFrameExtra;
}

// Where a window of the given outer size starts: centred in the available
// area, but never with its top-left corner outside it, so that the title bar
// and the top rows stay reachable on a screen smaller than the window.
QPoint centredPosition(const QRect& available, QSize outer);
