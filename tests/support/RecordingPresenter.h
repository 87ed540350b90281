#pragma once

// Records every message box instead of showing it and answers confirmations
// from a queue (No when the queue is empty). Installed for its lifetime.

#include "platform/host/Messages.h"

#include <QList>
#include <QString>

struct RecordedMessage {
    MessageKind kind;
    QString title;
    QString text;
};

class RecordingPresenter : public MessagePresenter {
public:
    RecordingPresenter();
    ~RecordingPresenter() override;
    RecordingPresenter(const RecordingPresenter&) = delete;
    RecordingPresenter& operator=(const RecordingPresenter&) = delete;

    bool present(MessageKind kind, const QString& title, const QString& text) override;

    void answerNext(bool yes) { answers.append(yes); }

    QList<RecordedMessage> messages;
    QList<bool> answers;

private:
    MessagePresenter* previous;
};
