#include "platform/host/Messages.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {
MessagePresenter* currentPresenter = nullptr;

bool present(MessageKind kind, const QString& text)
{
    if (!currentPresenter)
        return false;
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return currentPresenter->present(kind, messageTitle(kind), shown);
}
}  // namespace

MessagePresenter* setMessagePresenter(MessagePresenter* presenter)
{
    MessagePresenter* previous = currentPresenter;
    currentPresenter = presenter;
    return previous;
}

QString messageTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QStringLiteral("Fehler");
    case MessageKind::Warning:
        return QStringLiteral("Warnung");
    case MessageKind::Information:
        return QStringLiteral("Information");
    case MessageKind::Confirmation:
        return QStringLiteral("Bestätigung");
    case MessageKind::Plain:
        break;
    }
    return QStringLiteral("Kavelo");
}

void showMessage(MessageKind kind, const QString& text)
{
    present(kind, text);
}

void showMessageLater(MessageKind kind, const QString& text)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [kind, text] { showMessage(kind, text); });
}

bool confirm(const QString& text)
{
    return present(MessageKind::Confirmation, text);
}

bool StandardErrorPresenter::present(MessageKind, const QString& title, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), line.toUtf8().constData());
    std::fflush(stderr);
    return false;
}

void showingErrors(const std::function<void()>& step)
{
    try {
        step();
    } catch (...) {
        showMessage(MessageKind::Error, currentErrorText());
    }
}

QString currentErrorText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler.");
    }
}
