#include "support/RecordingPresenter.h"

RecordingPresenter::RecordingPresenter()
    : previous(setMessagePresenter(this))
{
}

RecordingPresenter::~RecordingPresenter()
{
    setMessagePresenter(previous);
}

bool RecordingPresenter::present(MessageKind kind, const QString& title, const QString& text)
{
    messages.append({kind, title, text});
    return !answers.isEmpty() && answers.takeFirst();
}
