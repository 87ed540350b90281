#include "dialogs/EinstellDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/about.h"
#include "dialogs/passwort.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/MB_main.h"
#include "mainwindow/TimerIntervals.h"
#include "platform/files/RootReads.h"
#include "platform/files/RunLock.h"
#include "platform/process/DisplayProbe.h"
#include "platform/process/KaveloApplication.h"
#include "platform/process/ProgramEnvironment.h"
#include "platform/process/TerminationSignals.h"
#include "settings/ProgramFolders.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTransfer.h"
#include "widgets/IdleWatch.h"
#include "widgets/MessageBoxPresenter.h"
#include "widgets/ProgramFont.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <utility>

namespace {

// The settings the run will read, looked at before it reads them; nothing
// when there are none or they cannot be read, and refusal says why when they
// are no regular file.
std::optional<TEinstellRecord> settingsAhead(const ProgramFolders& folders, QString& refusal)
{
    const QString path = settingsSource(folders.program, folders.data).path;
    return path.isEmpty() ? std::nullopt : peekSettingsFile(path, &refusal);
}

// How long a run waits for the lock of a job of these settings: as long as
// the job's automatic end allows, else half an hour.
std::chrono::milliseconds lockWaitBound(const std::optional<TEinstellRecord>& settings)
{
    if (settings && settings->AutoEndSeconds != 0)
        return std::chrono::seconds(settings->AutoEndSeconds);
    return std::chrono::minutes(30);
}

// The folders of the settings (chooseProgramFolders), from the executable's
// place, which the system tells before any application object does.
ProgramFolders settingsFolders()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return chooseProgramFolders(QFileInfo(executable).path() + QLatin1Char('/'));
}

// A run as root reads no settings that another user may change: neither the
// person's own copy nor the preset, either of which may count. False after
// the line that names the file.
bool settingsTrusted(const ProgramFolders& folders)
{
    for (const QString& folder : {folders.program, folders.data}) {
        if (const QString why = rootReadRefusal(folder + QStringLiteral("Einstell.DAT")); !why.isEmpty()) {
            showMessage(MessageKind::Error, why);
            return false;
        }
    }
    return true;
}

// The settings as text, out or in: before any application object, without a
// display. An import changes its target under the target's run lock, taken
// once the text is in, so that no download job's running number is lost to it.
int runSettingsTextCommand(const SettingsTextCommand& command)
{
    if (command.kind == SettingsTextCommand::Kind::Misused) {
        showMessage(MessageKind::Error, settingsTextUsage());
        return 2;
    }
    const ProgramFolders folders = settingsFolders();
    // An import into the file named as its target reads that file alone.
    if ((command.kind == SettingsTextCommand::Kind::Export || command.target.isEmpty()) && !settingsTrusted(folders))
        return 1;
    if (command.kind == SettingsTextCommand::Kind::Export)
        return exportSettings(runSettings(folders.program, folders.data), command.file);

    const QString target = command.target.isEmpty() ? folders.program + QStringLiteral("Einstell.DAT") : command.target;
    std::optional<RunLock> lock;
    const auto start = [&]() -> std::optional<StartingSettings> {
        lock.emplace(QFileInfo(target).absolutePath(), lockWaitBound(peekSettingsFile(target)),
                     [told = false]() mutable {
                         if (!std::exchange(told, true))
                             std::fputs("Kavelo: wartet auf das Ende eines Laufs mit diesen Einstellungen.\n", stderr);
                         return false;
                     });
        if (!lock->mayGoOn()) {
            showMessage(MessageKind::Error,
                        lock->state() == RunLock::State::Refused
                            ? lock->refusal() + QStringLiteral(" Nichts geändert.")
                            : QStringLiteral("Ein anderer Lauf mit den Einstellungen %1 ist noch nicht beendet; "
                                             "nichts geändert.")
                                  .arg(QDir::toNativeSeparators(target)));
            return std::nullopt;
        }
        return command.target.isEmpty() ? runSettings(folders.program, folders.data) : fileSettings(target);
    };
    return importSettings(command.file, start, target, command.target.isEmpty());
}

// A download job that cannot run says why in one line on standard error (a
// cron mail, a journal), and ends with 1.
int fetchesNothing(const QString& why)
{
    const QString line = QStringLiteral("Kavelo: %1 Dieser Lauf lädt nichts herunter.\n").arg(why);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    return 1;
}

int runWindows(const QStringList& arguments, const ProgramFolders& folders)
{
    QCoreApplication::setApplicationName(QStringLiteral("Kavelo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kavelo"));  // the menu entry's icon and name
    QApplication::setFont(programFont());                           // message boxes and every window alike

    // Termination signals are caught from before the main window's start-up,
    // which may already redirect the host's download directory. Open boxes
    // end with them, those of the start-up too, before the window exists.
    TKaveloMainForm* form = nullptr;
    int earlySignal = 0;
    const TerminationSignals signalEnds([&](int signal) {
        if (form)
            form->endBySignal(signal);
        else
            earlySignal = signal;
        endWatchedWindows();
    });
    // Nobody answers the boxes of a kiosk or of a job, from the start-up's on.
    const QList<Keyword> keywords = parseCommandLine(arguments);
    QString unreadable;
    const std::optional<TEinstellRecord> settings = settingsAhead(folders, unreadable);
    if (keywords.contains(Keyword::ViewerOnly) || endsAfterDownloads(keywords))
        setIdleLimit(unattendedIdleLimit(settings ? settings->RefreshMinutes : Word{0}));

    // A download job is the one run of its settings from their reading to its
    // end: it waits for another run to end, as long as it may run itself.
    std::optional<RunLock> jobLock;
    if (endsAfterDownloads(keywords)) {
        // The built-in addresses are examples: a job without settings fetches nothing.
        if (settingsSource(folders.program, folders.data).path.isEmpty()) {
            QStringList places;
            for (const QString& folder : {folders.program, folders.data}) {
                if (const QString path = QDir::toNativeSeparators(folder + QStringLiteral("Einstell.DAT"));
                    !places.contains(path))
                    places.append(path);
            }
            return fetchesNothing(QStringLiteral("Keine Einstellungs-Datei gefunden (gesucht: %1).")
                                      .arg(places.join(QStringLiteral(", "))));
        }
        if (!unreadable.isEmpty())
            return fetchesNothing(unreadable);
        jobLock.emplace(folders.program, lockWaitBound(settings), [&earlySignal, told = false]() mutable {
            if (!std::exchange(told, true))
                std::fputs("Kavelo: wartet auf das Ende eines anderen Laufs mit denselben Einstellungen.\n", stderr);
            QCoreApplication::processEvents();
            return earlySignal != 0;
        });
        if (earlySignal != 0)
            return 128 + earlySignal;
        if (jobLock->state() == RunLock::State::Refused)
            return fetchesNothing(jobLock->refusal());
        if (!jobLock->mayGoOn())
            return fetchesNothing(QStringLiteral("Ein anderer Lauf mit den Einstellungen in %1 ist noch nicht beendet.")
                                      .arg(QDir::toNativeSeparators(folders.program)));
    }

    // The five windows, created once in this order; the main window's start-up
    // runs inside its creation, before the dialogs exist.
    TKaveloMainForm mainForm(folders.program, arguments, folders.data);
    form = &mainForm;
    if (earlySignal != 0) {
        mainForm.endBySignal(earlySignal);
        return 128 + earlySignal;
    }
    TAboutForm aboutForm(&mainForm);
    TEinstellForm einstellForm(&mainForm);
    TInfoDlg infoDlg(&mainForm);
    TPasswordDlg passwordDlg(&mainForm);
    mainForm.setDialogs({&aboutForm, &einstellForm, &passwordDlg});

    mainForm.show();
    const int status = QApplication::exec();
    return status != 0 ? status : mainForm.runStatus();
}

int run(int argc, char* argv[], MessagePresenter& boxes, std::chrono::milliseconds displayWait)
{
    // The keywords come from the command line as given; Qt and the web engine
    // see the program path alone, so that none of their switches (-platform,
    // -stylesheet, --remote-debugging-port, ...) reaches them from there.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool verbose = takeVerboseSwitch(arguments);
    if (const QString text = informationText(arguments); !text.isEmpty()) {
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (const SettingsTextCommand command = settingsTextCommand(arguments);
        command.kind != SettingsTextCommand::Kind::None)
        return runSettingsTextCommand(command);

    const bool job = endsAfterDownloads(parseCommandLine(arguments));
    if (const QString refusal = settleDisplay(!job, displayWait); !refusal.isEmpty()) {
        showMessage(MessageKind::Error, refusal);
        return 2;
    }
    // Root's refusal of settings that others may change is a line on standard error, as the display's is.
    const ProgramFolders folders = settingsFolders();
    if (!settingsTrusted(folders))
        return 1;
    // Without a display (a scheduled job) nobody can answer a box: each one
    // stays a line on standard error and takes its default answer.
    if (hasDisplay())
        setMessagePresenter(&boxes);

    prepareEnvironment(verbose, !job);
    int programPathOnly = 1;
    KaveloApplication app(programPathOnly, argv);
    releaseProbedDisplay();
    int status = 1;
    showingErrors([&] { status = runWindows(arguments, folders); });
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::chrono::milliseconds displayWait = kDisplayWait;
#ifdef KAVELO_E2E_SEAMS
    // The end-to-end tests' build only: a timed reload within seconds, and a
    // shorter wait for a display that does not come.
    if (const int minuteMs = qEnvironmentVariableIntValue("KAVELO_E2E_MINUTE_MS"); minuteMs > 0)
        setRefreshMinute(std::chrono::milliseconds(minuteMs));
    if (const int waitMs = qEnvironmentVariableIntValue("KAVELO_E2E_DISPLAY_WAIT_MS"); waitMs > 0)
        displayWait = std::chrono::milliseconds(waitMs);
#endif
    // Messages are lines on standard error until the run knows it has a display.
    MessageBoxPresenter boxes;
    StandardErrorPresenter lines;
    setMessagePresenter(&lines);
    try {
        return run(argc, argv, boxes, displayWait);
    } catch (...) {
        // Before the application object exists no box can show.
        setMessagePresenter(&lines);
        showingErrors([error = std::current_exception()] { std::rethrow_exception(error); });
    }
    return 1;
}
