#pragma once

// The page of the browser view. It keeps pages inside the shell: files only
// from the download folders, German dialogs of the main window that the
// program can close, no dialogs and no file chooser when the visitor may not
// surf or the window waits for a download button's transfer, no link that
// starts a program outside, and no way into the program's own pages (qrc:)
// but the program's own loads.

#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QWebEnginePage>

class QDialog;
class QWebEngineProfile;

class KaveloPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit KaveloPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Without the right to surf a page gets no file chooser, no downloads and
    // no dialogs; nor while a download button's transfer runs (a page is left
    // without asking then). Off until the window says otherwise.
    void setSurfingAllowed(bool allowed) { surfing = allowed; }
    bool surfingAllowed() const { return surfing; }

    // Takes over what the window told other: the right to surf and the folders.
    void takeRulesOf(const KaveloPage& other);

    // The download folders set in the settings, whose files a page may upload
    // besides those of the host's download folder; never a file of excluded,
    // the program's own folders, into which no page download goes either.
    void setUploadFolders(const QStringList& folders, const QStringList& excluded);
    const QStringList& programFolders() const { return excludedFolders; }

    // Whether the page may be asked about one more of its downloads: a few per
    // page load, counted here. A download's own navigation ends stopped; a
    // load that ends otherwise brings a new document and new questions.
    bool takeDownloadQuestion();

    // The program loads address itself (from the settings, the address box,
    // or a step of its buttons): that navigation may reach a qrc: page, once,
    // and it is the program's own (programNavigates).
    void programLoads(const QUrl& address)
    {
        programNavigates();
        programAddress = address;
    }
    // The program navigates now: until that load ends, a leave-page question
    // is answered "leave" and other dialogs as if unseen, without asking; an
    // open page dialog is closed the same way.
    void programNavigates();

    // The engine's own leave-page question, as it asks javaScriptConfirm.
    static QString leavePageQuestion();

    // A call of the engine waits for a dialog of this page (a page dialog, the
    // file chooser): the page must not go before that call has returned.
    bool engineCallWaits() const { return engineCallsWaiting > 0; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    // Whether a page dialog may be shown now; a page that opens dialogs one
    // right after the other gets a few, then no more until it navigates.
    bool mayShowDialog();
    // Shows the dialog modally over the main window; false when the program
    // closed it rather than the visitor.
    bool showDialog(QDialog& dialog);
    QWidget* owner() const;

    bool surfing = false;
    bool programNavigation = false;
    QUrl programAddress;  // the next load the program asked for
    QStringList configuredFolders;
    QStringList excludedFolders;
    QPointer<QDialog> openDialog;  // the page dialog or file chooser on screen
    bool closedByProgram = false;
    int engineCallsWaiting = 0;
    int quickDialogs = 0;  // dialogs in a row that came right after the one before
    int downloadQuestions = 0;
    QElapsedTimer sinceDialogClosed;
};
