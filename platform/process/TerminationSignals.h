#pragma once

// SIGTERM, SIGINT and SIGHUP (a service stop, Ctrl+C, the end of a session)
// end the program the way the program ends itself, not in the middle of what
// it does: each is handed to the event loop, where the handler runs. A second
// signal while the first is being handled ends the process at once, with the
// status 128 + its number.

#include <QObject>
#include <functional>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // One instance at a time; it catches the signals for its lifetime.
    explicit TerminationSignals(std::function<void(int signal)> handler, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void deliver();

    std::function<void(int)> handler;
    QSocketNotifier* notifier = nullptr;
};
