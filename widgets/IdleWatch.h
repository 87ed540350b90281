#pragma once

// Modal windows that nobody answers end by themselves. A watched window that
// no key or mouse input has reached for the idle limit ends as cancelled, as
// its Escape key would end it: "Abbrechen", OK for a box with only OK, No for
// a confirmation. Watched windows that are open together form one stack, and
// input to its innermost window counts for all of them; when one ends so, the
// windows above it end first, the innermost first, then the window itself.
// Without a limit, the default, a window waits for as long as it takes.
// A signal that ends the program ends every open one at once.

#include <chrono>
#include <cstdint>

class QDialog;

// The idle limit for windows shown from now on; 0 turns the watch off.
void setIdleLimit(std::chrono::milliseconds limit);

// window.exec() under watch; its result.
int execWatched(QDialog& window);

// Every watched window that is open now ends, the innermost first, as if
// nobody had answered it; one shown later waits as usual. What a visitor
// left open goes so before the next one comes.
void endOpenWatchedWindows();

// What a visitor left open goes before the next one comes: the watched
// windows (endOpenWatchedWindows), the menus, and the dialogs shown without
// a loop of their own, such as the colour chooser of a page's colour field.
void endVisitorWindows();

// The program is ending: every watched window that is open ends, the
// innermost first, as if nobody had answered it, and so does every one shown
// from now on.
void endWatchedWindows();

// Tells whether a watched window ended by itself while this object lived.
class AbandonedWindows {
public:
    AbandonedWindows();
    bool any() const;

private:
    std::uint64_t before;
};
