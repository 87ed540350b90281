#pragma once

// The main window: a fixed bar of glyph buttons, the address box, the browser
// view in a sunken frame and a two-panel status line. Its operations are
// spread over mainwindow/ (start-up, surfing, status line, viewer mode) and
// downloads/ (the download buttons and folders).

#include "downloads/DownloadFolders.h"

#include <QDateTime>
#include <QMainWindow>
#include <QStringList>
#include <cstdint>

class BrowserView;
class GlyphButton;
class QComboBox;
class QFrame;
class QLabel;
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
    // Runs FormCreate: programFolder is the executable's folder, arguments the
    // command line without the program path.
    TKaveloMainForm(const QString& programFolder, const QStringList& arguments);
    ~TKaveloMainForm() override;

    void setDialogs(const KaveloDialogs& dialogs);

    // Brings the window in line with EinstellDaten.
    void ApplySettings();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Ends the event loop without the close handling; the host's download
    // directory is put back all the same.
    void EndProgram(int exitCode = 0);
    void SetupDownloadFolders();
    // One download button's work; true when the file arrived.
    bool RunDownload(int n);
    void UpdateHistoryCounter();
    void ShowPageState();

    void createControls();
    void createTimers();
    GlyphButton* addButton(const char* name, QRect rect, const QString& caption, const QString& hint,
                           const QString& glyph, int anchors);

    void FormCreate(const QString& programFolder, const QStringList& arguments);
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
    void openTypedAddress(const QString& text);
    void rendererGone();

    // Viewer mode and timed reload.
    void Timer3Timer();
    void Timer4Timer();

    // Status line.
    void showhint(const QString& hint);
    void WebBrowser1ProgressChange(int progress, int progressMax);
    bool showsHomePage() const;

    void Timer1Timer();
    void BitBtn8Click();
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
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

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
    QString LastRefreshTime;
    QString LastRefreshDate;
    std::int32_t HistoryPosition = 0;
    std::int32_t HistoryFarthest = 0;
    bool BackStepPending = false;
    std::int64_t RefreshElapsedMs = 0;

    bool shownOnce = false;
    QDateTime lastRendererLoss;
    int rendererRetryMs = 0;
};
