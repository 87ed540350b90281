#include "mainwindow/WindowGeometry.h"

#include "dialogs/SettingsFields.h"

QSize FixedModeOuterSize(Word width, Word height)
{
    // Sizes from the file are bounded as the settings dialog bounds them.
    width = WindowWidthLimit(width);
    height = WindowHeightLimit(height);
    return {width > kDesignOuterSize.width() ? width : kDesignOuterSize.width(),
            height > kDesignOuterSize.height() ? height : kDesignOuterSize.height()};
}
