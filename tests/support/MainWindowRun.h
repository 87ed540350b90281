#pragma once

// One run of the real main window in a window test: a fresh program folder
// whose settings file holds `settings`, every message box recorded, and the
// dialogs that the program entry creates, owned by the window.

#include "mainwindow/MB_main.h"
#include "settings/EinstellRecord.h"
#include "support/RecordingPresenter.h"
#include "support/TempProgramFolder.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class MainWindowRun {
public:
    // The settings start as the defaults without a home page (so nothing
    // loads) and without the redirect of the host's download folder.
    MainWindowRun();
    ~MainWindowRun();
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    // Writes the settings file and starts the window as the program entry
    // does, after closing one started before; shows it unless show is false.
    TKaveloMainForm& start(const QStringList& arguments = {}, bool show = true);
    TKaveloMainForm& window() const { return *form; }

    // A control of the window by its object name; the test stops when there is none.
    template <typename T = QWidget>
    T* control(const char* name) const
    {
        return found<T>(form->findChild<T*>(QLatin1String(name)), name);
    }
    // A click with the mouse, as a person makes it.
    void click(const char* name) const;
    // The text of the last message box; empty when there was none.
    QString lastBox() const;

    TempProgramFolder folder;
    RecordingPresenter boxes;
    TEinstellRecord settings{};

private:
    template <typename T>
    static T* found(T* control, const char* name)
    {
        if (!control)
            missing(name);
        return control;
    }
    [[noreturn]] static void missing(const char* name);

    std::unique_ptr<TKaveloMainForm> form;
};
