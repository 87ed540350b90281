#pragma once

// The main window: a fixed bar of glyph buttons, the address box, the browser
// view in a sunken frame and a two-panel status line. Its operations are
// spread over mainwindow/ (start-up, surfing, status line, viewer mode) and
// downloads/ (the download buttons and folders).

#include "settings/MB_Daten.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <cstdint>

class BrowserView;
class GlyphButton;
struct MainControl;
class QComboBox;
class QFrame;
class QLabel;
class QScrollArea;
class StatusPanel;
class Timer;
class TAboutForm;
class TEinstellForm;
class TPasswordDlg;

// The dialogs the program entry creates after the main window (the flash
// message is reached through ShowFlashMessage).
struct KaveloDialogs {
    TAboutForm* about = nullptr;
    TEinstellForm* einstell = nullptr;
    TPasswordDlg* password = nullptr;
};

class TKaveloMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate: programFolder and dataFolder are where the settings file
    // is read (in this order) and saved to (the first), see chooseProgramFolders;
    // an empty dataFolder is the program folder. arguments is the command line
    // without the program path.
    TKaveloMainForm(const QString& programFolder, const QStringList& arguments, const QString& dataFolder = {});
    ~TKaveloMainForm() override;

    void setDialogs(const KaveloDialogs& dialogs);

    // Brings the window in line with EinstellDaten.
    void ApplySettings();
    // The exit status of this run: 1 when a download asked for on the command
    // line has not run or has failed, else 0.
    int runStatus() const;
    // A termination signal: the program ends as it ends itself, with the host
    // values put back and nothing further downloaded, shown, copied or saved;
    // the status is 128 + the signal's number.
    void endBySignal(int signal);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void setVisible(bool visible) override;

private:
    // Ends the event loop without the close handling; the host's download
    // directory is put back all the same.
    void EndProgram(int exitCode);
    // Ends the program at once, also in the middle of a download: its transfer
    // is broken off (the file that was there stays, the temporary one goes),
    // and nothing further is downloaded, shown, copied or saved.
    void breakOff(int exitCode);
    void SetupDownloadFolders();
    // Puts the host's download directory back as it was before the redirect.
    void writeBackDownloadDir();
    // The two download folders, as their fields name them.
    QStringList downloadFolders() const;
    // The stop button, which also breaks a button's download off.
    QWidget* stopButton() const;
    // One download button's work; true when the file arrived, its copy of
    // modes 6 and 7 was made and a moved counter saved.
    bool RunDownload(int n);
    void UpdateHistoryCounter();
    void ShowPageState();

    void createControls();
    void createTimers();
    // The keys known from other browsers, each acting through its button.
    void createShortcuts();
    void placeViewInTabOrder();
    GlyphButton* createButton(const MainControl& control);

    void FormCreate(const QString& programFolder, const QString& dataFolder, const QStringList& arguments);
    void FormShow();
    void FormClose();
    void readCommandLine(const QStringList& arguments);
    void startViewerOnly();
    void stamp();

    // Surfing.
    void ComboBox1KeyDown(int key);
    void ComboBox1Change();
    void WebBrowser1NavigateComplete2(const QString& url);
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn12Click();
    void BitBtn13Click();
    void BitBtn14Click();
    void navigateAndFocus(const QString& address);
    void focusAddressBox();
    void alignAddressList();
    void openTypedAddress(const QString& text);
    void WebBrowser1RendererGone();

    // Viewer mode and timed reload.
    void Timer3Timer();
    void Timer4Timer();

    // Status line. Panel 0 shows the page state, or while a download button's
    // transfer runs its progress; the page state comes back afterwards.
    // Panel 1 shows the hint, or why a download failed until the next hint.
    void showhint(const QString& hint);
    // A panel's text, also in its name for a screen reader.
    void setPanelText(QLabel* panel, const QString& text);
    void showPageText(const QString& text);
    void showDownloadProgress(const QString& text);  // empty: the page state again
    void showDownloadFailure(int n, const QString& why);
    void WebBrowser1ProgressChange(int progress, int progressMax);
    bool showsHomePage() const;

    void Timer1Timer();
    void BitBtn8Click();
    // The prompt and the settings dialog; false when a window of the visit
    // ended by itself because nobody answered it.
    bool visitSettings();
    void BitBtn9Click();

    // Downloads.
    void BitBtn10Click();
    void BitBtn11Click();
    void BitBtn15Click();
    void BitBtn16Click();
    void Timer2Timer();
    bool& autoDownloadFlag(int n);

    KaveloDialogs dialogs;

    // Controls, named as their objectName.
    GlyphButton* BitBtn1 = nullptr;
    GlyphButton* BitBtn2 = nullptr;
    GlyphButton* BitBtn3 = nullptr;
    GlyphButton* BitBtn4 = nullptr;
    GlyphButton* BitBtn5 = nullptr;
    GlyphButton* BitBtn6 = nullptr;
    GlyphButton* BitBtn7 = nullptr;
    GlyphButton* BitBtn8 = nullptr;
    GlyphButton* BitBtn9 = nullptr;
    GlyphButton* BitBtn10 = nullptr;
    GlyphButton* BitBtn11 = nullptr;
    GlyphButton* BitBtn12 = nullptr;
    GlyphButton* BitBtn13 = nullptr;
    GlyphButton* BitBtn14 = nullptr;
    GlyphButton* BitBtn15 = nullptr;
    GlyphButton* BitBtn16 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    BrowserView* WebBrowser1 = nullptr;
    StatusPanel* StatusPanel0 = nullptr;
    StatusPanel* StatusPanel1 = nullptr;
    QScrollArea* clientScroller = nullptr;
    QString pageText;
    QString downloadText;
    QString failureText;             // panel 1's text after a failed download
    QPointer<QWidget> failureUnder;  // the control under the pointer then

    Timer* Timer1 = nullptr;
    Timer* Timer2 = nullptr;
    Timer* Timer3 = nullptr;
    Timer* Timer4 = nullptr;

    // Run-time state of one run; none of it is stored.
    bool ViewerOnly = false;
    bool AutoDownload1 = false;
    bool AutoDownload2 = false;
    bool AutoDownload3 = false;
    bool AutoDownload4 = false;
    bool AdminLoggedIn = false;
    bool UserLoggedIn = false;
    DownloadDirState DownloadDirs;
    bool autoDownloadFailed = false;
    bool settingsUnusable = false;  // a settings file is there but could not be read
    QString LastRefreshTime;
    QString LastRefreshDate;
    std::int32_t HistoryPosition = 0;
    std::int32_t HistoryFarthest = 0;
    bool BackStepPending = false;
    int shownHistoryEntry = -1;  // the engine's history entry at the last reached address
    std::int64_t RefreshElapsedMs = 0;
    bool returnWaits = false;  // the timed return home waits for a visitor to stop

    bool shownOnce = false;
    bool ending = false;                // the program is broken off: no further step begins
    bool downloadRunning = false;       // a download button's transfer or pause is under way
    bool builtInPasswordNoted = false;  // the administrator was told once to change the built-in password
    QDateTime lastRendererLoss;
    int rendererRetryMs = 0;
};
