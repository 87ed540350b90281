#include "platform/process/KaveloApplication.h"

#include "platform/host/Messages.h"

#include <QLibraryInfo>
#include <cstdio>
#include <utility>

// Installed before any window exists, so that every widget is made with them.
// Without the translations (qt6-translations-l10n) the texts stay English.
KaveloApplication::KaveloApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (auto [translator, file] : {std::pair{&qtTexts, "qtbase_de"}, std::pair{&engineTexts, "qtwebengine_de"}}) {
        if (translator->load(QLatin1String(file), folder))
            installTranslator(translator);
    }
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
