#pragma once

#include <QFont>

// The program's window font: a sans-serif of the classic 11-pixel dialog
// size (Liberation Sans where available, as the original face is not).
QFont programFont(int pixelSize = 11);
