#pragma once

// Shows the program's messages in real modal message boxes with German buttons.

#include "platform/host/Messages.h"

class QWidget;

class MessageBoxPresenter : public MessagePresenter {
public:
    bool present(MessageKind kind, const QString& title, const QString& text) override;
};
