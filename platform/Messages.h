#pragma once

// The program's modal message boxes. Logic reports through these functions;
// the windows install a presenter that shows real boxes, and tests install one
// that records the boxes and answers them.

#include <QString>

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
MessagePresenter* SetMessagePresenter(MessagePresenter* presenter);

QString MessageTitle(MessageKind kind);

// Shows a box of that kind; "\r" in the text starts a new line.
void ShowMessage(MessageKind kind, const QString& text);
// A confirmation box; true only for Yes.
bool Confirm(const QString& text);
