#include "platform/process/KaveloApplication.h"

#include "platform/host/Messages.h"

#include <cstdio>
#include <utility>

KaveloApplication::KaveloApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

// The last net: a handler that let an error through is a fault of the program.
bool KaveloApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ++escapedErrors;
        const QString text = currentErrorText();
        std::fprintf(stderr, "Kavelo: Fehler außerhalb eines Handlers abgefangen: %s\n", text.toUtf8().constData());
        std::fflush(stderr);
        showMessage(MessageKind::Error, text);
        return false;
    }
}

int KaveloApplication::takeEscapedErrors()
{
    return std::exchange(escapedErrors, 0);
}
