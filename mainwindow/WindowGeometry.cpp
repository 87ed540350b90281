#include "mainwindow/WindowGeometry.h"

QSize FixedModeOuterSize(Word width, Word height)
{
    return {width > kDesignOuterSize.width() ? width : kDesignOuterSize.width(),
            height > kDesignOuterSize.height() ? height : kDesignOuterSize.height()};
}
