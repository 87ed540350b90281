#pragma once

// Builders for the dialogs' controls at fixed positions.

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

// A label at its place; its size follows the text unless the place gives one.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QRect place);
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QPoint place);

// A group frame with its caption on the frame line, so that the rows inside can
// start right below the caption. (The program's own style draws the caption
// above the frame, where it would collide with the first row.)
QGroupBox* addGroupFrame(QWidget* parent, const char* name, const QString& title, QRect place);
void useClassicFrame(QGroupBox* box);
