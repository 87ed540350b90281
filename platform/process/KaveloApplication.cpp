#include "platform/process/KaveloApplication.h"

#include "platform/host/Messages.h"

KaveloApplication::KaveloApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

// Errors thrown by the program carry their German text as UTF-8.
bool KaveloApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    showingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
