#include "dialogs/EinstellDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/about.h"
#include "dialogs/passwort.h"
#include "downloads/DownloadToFile.h"
#include "mainwindow/MB_main.h"
#include "platform/KaveloApplication.h"
#include "platform/MessageBoxPresenter.h"

#include <QDir>

int main(int argc, char* argv[])
{
    PrepareEnvironment();
    KaveloApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kavelo"));
    const CurlGlobal curl;
    MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));

    // The five windows, created once in this order; the main window's start-up
    // runs inside its creation, before the dialogs exist. The main window is
    // shown first, so that its home page is on its way while the dialogs are
    // built: nothing can use them before the event loop runs.
    TKaveloMainForm mainForm(programFolder, arguments);
    mainForm.show();
    TAboutForm aboutForm(&mainForm);
    TEinstellForm einstellForm(&mainForm);
    TInfoDlg infoDlg(&mainForm);
    TPasswordDlg passwordDlg(&mainForm);
    mainForm.setDialogs({&aboutForm, &einstellForm, &passwordDlg});
    return QApplication::exec();
}
