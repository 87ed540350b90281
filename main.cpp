#include "dialogs/about.h"
#include "mainwindow/MB_main.h"
#include "platform/KaveloApplication.h"
#include "platform/MessageBoxPresenter.h"

#include <QDir>

int main(int argc, char* argv[])
{
    PrepareEnvironment();
    KaveloApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kavelo"));
    MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));

    // The five windows, created once in this order; the main window's start-up
    // runs inside its creation, before the dialogs exist.
    TKaveloMainForm mainForm(programFolder, arguments);
    TAboutForm aboutForm(&mainForm);
    mainForm.setDialogs({&aboutForm});

    mainForm.show();
    return QApplication::exec();
}
