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
