#pragma once

// When a person last used the program: a key, a click, the wheel or a touch
// anywhere in it (not a move of the mouse, not input the program makes). A
// kiosk does not pull the page away from a visitor who is typing.

#include <chrono>

// Starts to watch; the time since then counts until the first input. Without
// a watch, no input has ever come.
void watchVisitorInput();

// How long ago the last input came.
std::chrono::milliseconds sinceVisitorInput();
