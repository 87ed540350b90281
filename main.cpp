#include "dialogs/EinstellDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/about.h"
#include "dialogs/passwort.h"
#include "downloads/DownloadToFile.h"
#include "mainwindow/MB_main.h"
#include "platform/KaveloApplication.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/ProgramFont.h"
#ifdef Q_OS_UNIX
#include "platform/TerminationSignals.h"
#endif

#include <QDir>
#include <exception>

namespace {

int runWindows()
{
    QCoreApplication::setApplicationName(QStringLiteral("Kavelo"));
    QApplication::setFont(ProgramFont());  // message boxes and every window alike
    const CurlGlobal curl;

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
#ifdef Q_OS_UNIX
    const TerminationSignals signalEnds([&mainForm](int signal) { mainForm.endBySignal(signal); });
#endif

    mainForm.show();
    const int status = QApplication::exec();
    return status != 0 ? status : mainForm.runStatus();
}

int run(int argc, char* argv[])
{
    PrepareEnvironment();
    KaveloApplication app(argc, argv);
    int status = 1;
    ShowingErrors([&] { status = runWindows(); });
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Without a display (a scheduled job) nobody can answer a box: each one
    // becomes a line on standard error and takes its default answer.
    MessageBoxPresenter boxes;
    StandardErrorPresenter lines;
    SetMessagePresenter(HasDisplay() ? static_cast<MessagePresenter*>(&boxes) : &lines);
    try {
        return run(argc, argv);
    } catch (...) {
        // Before the application object exists no box can show.
        SetMessagePresenter(&lines);
        ShowingErrors([error = std::current_exception()] { std::rethrow_exception(error); });
    }
    return 1;
}
