#include "mainwindow/WindowGeometry.h"

#include "dialogs/SettingsFields.h"

#include <algorithm>

QSize fixedModeOuterSize(Word width, Word height)
{
    // Sizes from the file are bounded as the settings dialog bounds them.
    width = windowWidthLimit(width);
    height = windowHeightLimit(height);
    return {width > kDesignOuterSize.width() ? width : kDesignOuterSize.width(),
            height > kDesignOuterSize.height() ? height : kDesignOuterSize.height()};
}

QPoint centredPosition(const QRect& available, QSize outer)
{
    return {available.x() + std::max(0, (available.width() - outer.width()) / 2),
            available.y() + std::max(0, (available.height() - outer.height()) / 2)};
}
