#pragma once

// The embedded browser view: a QWebEngineView that offers exactly the calls
// and events the main window uses. Calls that fail throw std::runtime_error
// with a German text; the handler that called shows it in the error box.

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QWebEngineView>
#include <functional>
#include <optional>
#include <utility>

class KaveloPage;
class LoadFailureCover;
class QAbstractButton;
class QMenu;
class QWebEngineLoadingInfo;
class QWebEngineNavigationRequest;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;

class BrowserView : public QWebEngineView {
    Q_OBJECT
public:
    // The view starts with a page on a profile in memory.
    explicit BrowserView(QWidget* parent = nullptr);
    ~BrowserView() override;

    // Replaces the page and its profile by new ones, so that nothing of what
    // was shown stays: in memory, or on disk (keepOnDisk) under a profile of
    // its own. The new page keeps the old one's rules; a probe under way ends.
    // While a call of the engine waits for a dialog of the page, the page's
    // dialogs end first and the page is replaced once that call has returned,
    // from an event of its own; then runs after the replacement.
    void startAfresh(bool keepOnDisk, const std::function<void()>& then = {});

    void Navigate(const QString& address);
    // One step in the view's own history; throws when there is no page in that direction.
    void GoBack();
    void GoForward();
    // Load the host's "Start Page" / "Search Page", read from the host store at this moment.
    void GoHome();
    void GoSearch();
    // Load address as the host's start / search page: it is lent to the host
    // store for this one call, and the value that was there is put back.
    void goHomeTo(const QString& address);
    void goSearchTo(const QString& address);
    void Refresh();
    void Stop();
    // Copies the page's selection to the clipboard.
    void copySelection();
    // The shown address, percent-encoded, the host in its ASCII form.
    QString LocationURL() const;
    // The engine's current entry in its own history; a load that replaces the
    // shown entry (the same address again) leaves it where it was.
    int historyIndex() const;

    // The window's back, forward and reload buttons: the page's context menu
    // offers them as entries that click the buttons, enabled as the buttons are,
    // and the mouse's and keyboard's history steps click them too.
    void setNavigationButtons(QAbstractButton* back, QAbstractButton* forward, QAbstractButton* reload);

    KaveloPage* kaveloPage() const { return shownPage; }

    // Runs navigation as the program's own (see KaveloPage::programNavigates).
    // With probeFirst the page must first answer a probe: a page whose
    // renderer gives no answer within kProbeTimeoutMs is ended, and navigation
    // runs once it is gone.
    void navigateAsProgram(std::function<void()> navigation, bool probeFirst = false);
    static constexpr int kProbeTimeoutMs = 3000;

signals:
    // Every committed navigation of the main frame, with the reached address.
    void NavigateComplete2(const QString& url);
    // Load progress as Progress of ProgressMax; -1 (or ProgressMax 0) when loading is over.
    void ProgressChange(int progress, int progressMax);
    // The page's renderer died (a crash, or killed from outside); not when the view ended a hung page itself.
    void rendererGone();

protected:
    // The page's menu offers editing and the window's navigation only: no
    // source, no developer tools, no saving, no new windows.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The rendering widget's events pass here first.
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void usePage(QWebEngineProfile* profile);
    QMenu* createPageMenu();
    void noteNavigationRequest(const QWebEngineNavigationRequest& request);
    void reportAddress(const QUrl& url);
    void followLoading(const QWebEngineLoadingInfo& info);
    void coverFailure(const QWebEngineLoadingInfo& info);
    bool showsFailedEntry() const;
    void openInThisView(const QWebEngineNewWindowRequest& request);
    QAbstractButton* historyButton(const QEvent* event, bool* isHistoryStep) const;
    void endHungPage();
    void rendererEnded();
    void runPendingNavigation();

    QWebEngineProfile* shownProfile = nullptr;
    KaveloPage* shownPage = nullptr;
    QPointer<QAbstractButton> backButton;
    QPointer<QAbstractButton> forwardButton;
    QPointer<QAbstractButton> reloadButton;
    bool reloading = false;                   // the main frame's current navigation is a reload
    bool addressReported = false;             // the current load has already reported its address
    bool refusalShown = false;                // the shown page has had its refused new window
    std::function<void()> pendingNavigation;  // waits for the probe's answer or the hung page's end
    quint64 probeNumber = 0;                  // tells a late answer from the current probe's
    bool endingRenderer = false;              // the view ended the renderer itself
    // The program's text over the engine's error page, and that page's history
    // entry: its place and when it was made. A load that ends without a new
    // document leaves it shown.
    LoadFailureCover* failureCover = nullptr;
    std::optional<std::pair<int, QDateTime>> failedEntry;
};

// An address in the form LocationURL gives, so that addresses from the
// settings compare with it however they were written.
QString encodedAddress(const QString& address);

// Removes the profile on disk in which earlier versions kept every visitor's
// cookies, history and cache.
void forgetEarlierVisitors();
