#include "dialogs/EinstellDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/about.h"
#include "dialogs/passwort.h"
#include "downloads/DownloadToFile.h"
#include "mainwindow/MB_main.h"
#include "platform/KaveloApplication.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/ProgramFont.h"

#include <QDir>

int main(int argc, char* argv[])
{
    PrepareEnvironment();
    KaveloApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kavelo"));
    QApplication::setFont(ProgramFont());  // message boxes and every window alike
    const CurlGlobal curl;
    MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));

    // The five windows, created once in this order; the main window's start-up
    // runs inside its creation, before the dialogs exist.
    TKaveloMainForm mainForm(programFolder, arguments);
    TAboutForm aboutForm(&mainForm);
    TEinstellForm einstellForm(&mainForm);
    TInfoDlg infoDlg(&mainForm);
    TPasswordDlg passwordDlg(&mainForm);
    mainForm.setDialogs({&aboutForm, &einstellForm, &passwordDlg});

    mainForm.show();
    return QApplication::exec();
}
