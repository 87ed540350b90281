#include "platform/BrowserView.h"

#include "platform/CertificateTrust.h"
#include "platform/HostRegistry.h"
#include "platform/PageDownloads.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <stdexcept>
#include <utility>

namespace {

[[noreturn]] void Fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// An address as a user would type it; nothing at all gives the blank page.
QUrl AddressUrl(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    return url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url;
}

// The engine shows a page's source for these addresses; the program never does.
bool IsSourceView(const QUrl& url)
{
    return url.scheme() == QStringLiteral("view-source");
}

// The engine keeps a certificate store of its own: a certificate it does not
// know is taken when its chain verifies against the system's store for the
// page's host, as for the downloads. Anything else stays refused, with no way
// for the visitor to click through.
void TakeWhatTheSystemTrusts(QWebEngineCertificateError error)
{
    static const QList<QSslCertificate> authorities = AuthoritiesFromEnvironment();
    if (error.isOverridable() && TrustedBySystem(error.certificateChain(), error.url().host(), authorities))
        error.acceptCertificate();
    else
        error.rejectCertificate();
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
    auto* page = new QWebEnginePage(KaveloProfile(), this);
    setPage(page);
    connect(page, &QWebEnginePage::navigationRequested, this, &BrowserView::noteNavigationRequest);
    connect(page, &QWebEnginePage::urlChanged, this, &BrowserView::reportAddress);
    connect(page, &QWebEnginePage::loadingChanged, this, &BrowserView::followLoading);
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &BrowserView::openInThisView);
    connect(page, &QWebEnginePage::certificateError, this, &TakeWhatTheSystemTrusts);
}

void BrowserView::Navigate(const QString& address)
{
    loadUnlessSource(AddressUrl(address));
}

// Pages cannot navigate to a source view themselves; the program's own loads
// and the engine's new-window requests are the ways in, and both pass here.
void BrowserView::loadUnlessSource(const QUrl& url)
{
    if (!IsSourceView(url))
        load(url);
}

void BrowserView::GoBack()
{
    if (!history()->canGoBack())
        Fail(QStringLiteral("Es gibt keine vorherige Seite im Verlauf."));
    back();
}

void BrowserView::GoForward()
{
    if (!history()->canGoForward())
        Fail(QStringLiteral("Es gibt keine nächste Seite im Verlauf."));
    forward();
}

void BrowserView::GoHome()
{
    Navigate(ReadHostValue(kInternetExplorerMainKey, kStartPageValue));
}

void BrowserView::GoSearch()
{
    Navigate(ReadHostValue(kInternetExplorerMainKey, kSearchPageValue));
}

void BrowserView::GoHomeTo(const QString& address)
{
    LendHostValue(kInternetExplorerMainKey, kStartPageValue, address, [this] { GoHome(); });
}

void BrowserView::GoSearchTo(const QString& address)
{
    LendHostValue(kInternetExplorerMainKey, kSearchPageValue, address, [this] { GoSearch(); });
}

void BrowserView::Refresh()
{
    reload();
}

void BrowserView::Stop()
{
    stop();
}

void BrowserView::CopySelection()
{
    triggerPageAction(QWebEnginePage::Copy);
}

QString BrowserView::LocationURL() const
{
    return url().toString();
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
    emit NavigateComplete2(url.toString());
}

void BrowserView::followLoading(const QWebEngineLoadingInfo& info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        addressReported = false;
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        if (!addressReported && !reloading)
            reportAddress(info.url());
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        break;
    }
    emit ProgressChange(-1, 100);
}

// Links with a target and window.open() load into this view; the new page the
// engine prepared is not adopted, so the view keeps its own history.
void BrowserView::openInThisView(const QWebEngineNewWindowRequest& request)
{
    if (!request.requestedUrl().isEmpty())
        loadUnlessSource(request.requestedUrl());
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

QWebEngineProfile* KaveloProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        profile = new QWebEngineProfile(QStringLiteral("Kavelo"), QCoreApplication::instance());
        QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &AcceptPageDownload);
    }
    return profile;
}
