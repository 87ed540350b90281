#pragma once

// The program's modal message boxes. Logic reports through these functions;
// the windows install a presenter that shows real boxes, and tests install one
// that records the boxes and answers them.

#include <QString>
#include <functional>

enum class MessageKind {
    Error,         // "Fehler", button OK
    Warning,       // "Warnung", button OK
    Information,   // "Information", button OK
    Confirmation,  // "Bestätigung", buttons "&Ja" and "&Nein"
    Plain,         // "Kavelo", button OK
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one modal box with the text (line breaks already as "\n") and
    // returns true when a confirmation was answered with Yes.
    virtual bool present(MessageKind kind, const QString& title, const QString& text) = 0;
};

// Replaces the presenter and returns the one before; nullptr means no boxes
// at all (every confirmation then counts as No).
MessagePresenter* setMessagePresenter(MessagePresenter* presenter);

QString messageTitle(MessageKind kind);

// Shows a box of that kind; "\r" in the text starts a new line.
void showMessage(MessageKind kind, const QString& text);
// A confirmation box; true only for Yes.
bool confirm(const QString& text);

// Where nobody can answer a box (no display): each box is one line on
// standard error, its title and its text with the line breaks shown as " / ",
// answered at once with its default (OK, and No for a confirmation).
class StandardErrorPresenter : public MessagePresenter {
public:
    bool present(MessageKind kind, const QString& title, const QString& text) override;
};

// Runs step and shows what it throws in the error box, as the event loop
// does for a handler; for the places the event loop cannot catch.
void showingErrors(const std::function<void()>& step);
