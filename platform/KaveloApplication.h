#pragma once

// The application object: an error that escapes an event handler is shown in
// the error box ("Fehler") with its text, and the program keeps running.

#include <QApplication>

class KaveloApplication : public QApplication {
    Q_OBJECT
public:
    KaveloApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// True when a display is there to show windows on (on Linux: DISPLAY or
// WAYLAND_DISPLAY is set).
bool hasDisplay();

// Before the application object exists: works out the run's proxy for the
// downloads and the web engine, chooses the offscreen platform when no display
// is there, and switches the web engine's sandbox off when running as root.
void prepareEnvironment();
