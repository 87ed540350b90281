#pragma once

// The application object. Each handler shows its own errors (showingErrorsIn);
// an error that escapes one all the same is shown here in the error box
// ("Fehler") with its text, noted on standard error and counted, and the
// program keeps running. Qt's own texts (the context menu of every text field,
// the engine's widgets) are German whatever the system's language.

#include <QApplication>
#include <QTranslator>

class KaveloApplication : public QApplication {
    Q_OBJECT
public:
    KaveloApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The errors caught here since the last call; the window tests end with 0.
    int takeEscapedErrors();

private:
    int escapedErrors = 0;
    QTranslator qtTexts;
    QTranslator engineTexts;
};
