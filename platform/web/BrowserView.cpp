#include "platform/web/BrowserView.h"

#include "platform/host/HostRegistry.h"
#include "platform/host/Messages.h"
#include "platform/network/CertificateTrust.h"
#include "platform/web/KaveloPage.h"
#include "platform/web/LoadFailureCover.h"
#include "platform/web/LoadFailureReason.h"
#include "platform/web/PageDownloads.h"
#include "platform/web/PageRules.h"
#include "widgets/IdleWatch.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <stdexcept>
#include <utility>

#include <csignal>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// The engine shows a page's source for these addresses; the program never does.
bool isSourceView(const QUrl& url)
{
    return url.scheme() == QStringLiteral("view-source");
}

void endProcess(qint64 pid)
{
    ::kill(static_cast<pid_t>(pid), SIGKILL);
}

// A renderer that does not answer its end within this time is taken for gone.
constexpr int kEndTimeoutMs = 5000;

// The engine keeps a certificate store of its own: a certificate it does not
// know is taken when its chain verifies against the system's store for the
// page's host, as for the downloads. Anything else stays refused, with no way
// for the visitor to click through.
void takeWhatTheSystemTrusts(QWebEngineCertificateError error)
{
    static const QList<QSslCertificate> authorities = authoritiesFromEnvironment();
    if (error.isOverridable() && trustedBySystem(error.certificateChain(), error.url().host(), authorities))
        error.acceptCertificate();
    else
        error.rejectCertificate();
}

// A profile in memory ends with the program; one on disk keeps what its pages
// stored (a locked viewer's login) under a name of its own.
QWebEngineProfile* newProfile(bool keepOnDisk)
{
    auto* profile = keepOnDisk ? new QWebEngineProfile(QStringLiteral("Kiosk")) : new QWebEngineProfile();
    // Web content speaks German, whatever the system's language.
    profile->setHttpAcceptLanguage(QStringLiteral("de-DE,de;q=0.9"));
    return profile;
}

}  // namespace

// The engine announces a committed main-frame navigation by urlChanged, except
// when the address stays the same (the shown address navigated again, a
// redirect back to it, a failed load of it): such a load reports its address
// when it ends. A load stopped before anything arrived reports nothing, and a
// reload is no navigation of its own.
BrowserView::BrowserView(QWidget* parent)
    : QWebEngineView(parent)
{
    usePage(newProfile(false));
    // The engine sets up its side of the page now (an action that does nothing
    // makes it), and with it the child that draws the pages. A window made after
    // that is made for the engine's drawing at once; one made before it would be
    // made anew, and shown a second time, when the first page comes.
    shownPage->triggerAction(QWebEnginePage::NoWebAction);
    failureCover = new LoadFailureCover(this);
    // As the button of the engine's error page: the failed address once more, in its history entry.
    connect(failureCover, &LoadFailureCover::retry, this, showingErrorsIn(this, &BrowserView::Refresh));
}

// The page goes before its profile, as the engine wants it.
BrowserView::~BrowserView()
{
    endPageDownloads();
    delete std::exchange(shownPage, nullptr);
    delete shownProfile;
}

void BrowserView::startAfresh(bool keepOnDisk, const std::function<void()>& then)
{
    if (shownPage->engineCallWaits()) {
        shownPage->programNavigates();  // closes its dialog
        endOpenWatchedWindows();        // and any box above it
        constexpr int kLookAgainMs = 20;
        QTimer::singleShot(kLookAgainMs, this, [this, keepOnDisk, then] { startAfresh(keepOnDisk, then); });
        return;
    }
    ++probeNumber;  // a probe of the old page decides nothing any more
    pendingNavigation = {};
    QWebEngineProfile* const oldProfile = shownProfile;
    KaveloPage* const oldPage = shownPage;
    usePage(newProfile(keepOnDisk));
    failedEntry.reset();
    failureCover->uncover();
    shownPage->takeRulesOf(*oldPage);
    endPageDownloads();
    delete oldPage;
    delete oldProfile;
    if (then)
        then();
}

void BrowserView::usePage(QWebEngineProfile* profile)
{
    shownProfile = profile;
    shownPage = new KaveloPage(profile, this);
    KaveloPage* page = shownPage;
    setPage(page);
    // The profile serves this page alone.
    connect(profile, &QWebEngineProfile::downloadRequested, page,
            [page](QWebEngineDownloadRequest* download) { acceptPageDownload(download, page); });
    connect(page, &QWebEnginePage::navigationRequested, this, &BrowserView::noteNavigationRequest);
    connect(page, &QWebEnginePage::urlChanged, this, &BrowserView::reportAddress);
    connect(page, &QWebEnginePage::loadingChanged, this, &BrowserView::followLoading);
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &BrowserView::openInThisView);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, &BrowserView::rendererEnded);
    connect(page, &QWebEnginePage::certificateError, this, &takeWhatTheSystemTrusts);
}

// Pages cannot navigate to a source view themselves, nor open one in a new
// window; the program's own loads are the one way in, and it never takes it.
void BrowserView::Navigate(const QString& address)
{
    const QUrl url = addressUrl(address);
    if (!isSourceView(url)) {
        shownPage->programLoads(url);
        load(url);
    }
}

void BrowserView::GoBack()
{
    if (!history()->canGoBack())
        fail(QStringLiteral("Es gibt keine vorherige Seite im Verlauf."));
    shownPage->programLoads(history()->backItem().url());
    back();
}

void BrowserView::GoForward()
{
    if (!history()->canGoForward())
        fail(QStringLiteral("Es gibt keine nächste Seite im Verlauf."));
    shownPage->programLoads(history()->forwardItem().url());
    forward();
}

void BrowserView::GoHome()
{
    Navigate(readHostValue(kInternetExplorerMainKey, kStartPageValue));
}

void BrowserView::GoSearch()
{
    Navigate(readHostValue(kInternetExplorerMainKey, kSearchPageValue));
}

void BrowserView::goHomeTo(const QString& address)
{
    lendHostValue(kInternetExplorerMainKey, kStartPageValue, address, [this] { GoHome(); });
}

void BrowserView::goSearchTo(const QString& address)
{
    lendHostValue(kInternetExplorerMainKey, kSearchPageValue, address, [this] { GoSearch(); });
}

void BrowserView::Refresh()
{
    shownPage->programLoads(url());
    reload();
}

void BrowserView::Stop()
{
    stop();
}

void BrowserView::copySelection()
{
    triggerPageAction(QWebEnginePage::Copy);
}

QString BrowserView::LocationURL() const
{
    return url().toString(QUrl::FullyEncoded);
}

int BrowserView::historyIndex() const
{
    return history()->currentItemIndex();
}

QString encodedAddress(const QString& address)
{
    const QUrl url(address);
    return url.isValid() ? url.toString(QUrl::FullyEncoded) : address;
}

void BrowserView::noteNavigationRequest(const QWebEngineNavigationRequest& request)
{
    // A redirect continues the navigation it belongs to.
    if (request.isMainFrame() && request.navigationType() != QWebEngineNavigationRequest::RedirectNavigation)
        reloading = request.navigationType() == QWebEngineNavigationRequest::ReloadNavigation;
}

void BrowserView::reportAddress(const QUrl& url)
{
    addressReported = true;
    emit NavigateComplete2(url.toString(QUrl::FullyEncoded));
}

void BrowserView::followLoading(const QWebEngineLoadingInfo& info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        addressReported = false;
        refusalShown = false;
        failureCover->uncover();
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (!addressReported && !reloading)
            reportAddress(info.url());
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        break;
    }
    coverFailure(info);
    emit ProgressChange(-1, 100);
}

// The engine's error page stays what it is for the history, the address and
// the window's counts; the program's cover takes its place on the screen. A
// load that ends without a new document (stopped, or turned into a download)
// leaves the error page shown, and so the cover.
void BrowserView::coverFailure(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.isErrorPage()) {
        failedEntry.emplace(historyIndex(), history()->currentItem().lastVisited());
        failureCover->cover(loadFailureReason(info.errorCode()), info.url().toDisplayString());
    } else if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus && showsFailedEntry()) {
        failureCover->coverAgain();
    } else {
        failedEntry.reset();
    }
}

bool BrowserView::showsFailedEntry() const
{
    return failedEntry && failedEntry->first == historyIndex()
           && failedEntry->second == history()->currentItem().lastVisited();
}

// Links with a target and window.open() load into this view; the new page the
// engine prepared is not adopted, so the view keeps its own history. Only web
// addresses open; a page that asks for another is told so once.
void BrowserView::openInThisView(const QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    if (url.isEmpty())
        return;
    if (isWebUrl(url)) {
        load(url);
    } else if (!refusalShown) {
        refusalShown = true;
        showMessageLater(MessageKind::Warning, refusedAddressText(url.toString()));
    }
}

void BrowserView::navigateAsProgram(std::function<void()> navigation, bool probeFirst)
{
    shownPage->programNavigates();  // an open dialog would hold the probe's answer
    if (!probeFirst || page()->renderProcessPid() <= 0) {
        navigation();
        return;
    }
    const bool probing = static_cast<bool>(pendingNavigation);
    pendingNavigation = std::move(navigation);
    if (probing)
        return;  // the probe under way decides for the newer navigation too
    const quint64 probe = ++probeNumber;
    const QPointer<BrowserView> self(this);
    // The program's own script world: the page cannot answer in its stead.
    page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld, [self, probe](const QVariant&) {
        if (self && self->probeNumber == probe)
            QTimer::singleShot(0, self, showingErrorsIn(self.data(), &BrowserView::runPendingNavigation));
    });
    const auto endIfUnanswered = [this, probe] {
        if (probeNumber == probe && pendingNavigation)
            endHungPage();
    };
    QTimer::singleShot(kProbeTimeoutMs, this, showingErrorsIn(endIfUnanswered));
}

// The navigation runs from an event of its own, which shows what it throws in the error box.
void BrowserView::runPendingNavigation()
{
    ++probeNumber;  // a late answer or deadline of this probe finds nothing more to do
    if (const std::function<void()> navigation = std::exchange(pendingNavigation, {})) {
        shownPage->programNavigates();  // the page may have finished a load meanwhile
        navigation();
    }
}

void BrowserView::endHungPage()
{
    const qint64 renderer = page()->renderProcessPid();
    if (renderer <= 0) {
        runPendingNavigation();  // no renderer to end: nothing holds the navigation
        return;
    }
    endingRenderer = true;
    endProcess(renderer);
    const quint64 probe = probeNumber;
    const auto takeAsEnded = [this, probe] {
        if (probeNumber == probe)
            rendererEnded();
    };
    QTimer::singleShot(kEndTimeoutMs, this, showingErrorsIn(takeAsEnded));
}

void BrowserView::rendererEnded()
{
    if (!std::exchange(endingRenderer, false)) {
        emit rendererGone();
        return;
    }
    QTimer::singleShot(0, this, showingErrorsIn(this, &BrowserView::runPendingNavigation));
}

// The mouse's back and forward buttons and the keyboard's history keys: steps
// through the history that the window counts, so they go through its buttons.
QAbstractButton* BrowserView::historyButton(const QEvent* event, bool* isHistoryStep) const
{
    bool back = false;
    bool forward = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        back = mouse->button() == Qt::BackButton;
        forward = mouse->button() == Qt::ForwardButton;
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // Alt+Left and Alt+Right, not the platform's whole list (Windows has Backspace in it).
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool alt = key->modifiers() == Qt::AltModifier;
        back = key->key() == Qt::Key_Back || (alt && key->key() == Qt::Key_Left);
        forward = key->key() == Qt::Key_Forward || (alt && key->key() == Qt::Key_Right);
        break;
    }
    default:
        break;
    }
    *isHistoryStep = back || forward;
    return back ? backButton.data() : forward ? forwardButton.data() : nullptr;
}

void BrowserView::childEvent(QChildEvent* event)
{
    QWebEngineView::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
}

bool BrowserView::eventFilter(QObject* watched, QEvent* event)
{
    bool isHistoryStep = false;
    QAbstractButton* button = historyButton(event, &isHistoryStep);
    if (watched != focusProxy() || !isHistoryStep)
        return QWebEngineView::eventFilter(watched, event);
    // One step per click or key press, after the event (a box may follow).
    const bool acts = event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyPress;
    if (button && acts)
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    return true;
}

void BrowserView::setNavigationButtons(QAbstractButton* back, QAbstractButton* forward, QAbstractButton* reload)
{
    backButton = back;
    forwardButton = forward;
    reloadButton = reload;
}

void BrowserView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createPageMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* BrowserView::createPageMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PageMenu"));
    const QWebEngineContextMenuRequest* request = lastContextMenuRequest();
    const auto flags = request ? request->editFlags() : QWebEngineContextMenuRequest::EditFlags();
    const bool editable = request && request->isContentEditable();
    const auto addEdit = [&](const QString& text, QWebEnginePage::WebAction action,
                             QWebEngineContextMenuRequest::EditFlag flag) {
        menu->addAction(text, this, [this, action] { triggerPageAction(action); })->setEnabled(flags & flag);
    };
    if (editable)
        addEdit(QStringLiteral("Ausschneiden"), QWebEnginePage::Cut, QWebEngineContextMenuRequest::CanCut);
    addEdit(QStringLiteral("Kopieren"), QWebEnginePage::Copy, QWebEngineContextMenuRequest::CanCopy);
    if (editable)
        addEdit(QStringLiteral("Einfügen"), QWebEnginePage::Paste, QWebEngineContextMenuRequest::CanPaste);
    addEdit(QStringLiteral("Alles markieren"), QWebEnginePage::SelectAll, QWebEngineContextMenuRequest::CanSelectAll);

    // The buttons' own handlers run, so that the window's count of the surf path stays right.
    const std::pair<QAbstractButton*, QString> navigation[] = {{backButton, QStringLiteral("Zurück")},
                                                               {forwardButton, QStringLiteral("Vor")},
                                                               {reloadButton, QStringLiteral("Neu laden")}};
    if (backButton || forwardButton || reloadButton)
        menu->addSeparator();
    for (const auto& [button, text] : navigation) {
        if (button)
            menu->addAction(text, button, &QAbstractButton::click)->setEnabled(button->isEnabled());
    }
    return menu;
}

void forgetEarlierVisitors()
{
    // Where earlier versions kept every visitor's cookies, history and cache.
    for (const auto location : {QStandardPaths::AppDataLocation, QStandardPaths::CacheLocation}) {
        QDir profile(QStandardPaths::writableLocation(location) + QStringLiteral("/QtWebEngine/Kavelo"));
        if (profile.exists())
            profile.removeRecursively();
    }
}
