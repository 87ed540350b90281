#include "platform/BrowserView.h"

#include "platform/HostRegistry.h"
#include "platform/PageDownloads.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
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

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// An address as a user would type it; nothing at all gives the blank page.
QUrl addressUrl(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    return url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url;
}

// The engine shows a page's source for these addresses; the program never does.
bool isSourceView(const QUrl& url)
{
    return url.scheme() == QStringLiteral("view-source");
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
    auto* page = new QWebEnginePage(kaveloProfile(), this);
    setPage(page);
    connect(page, &QWebEnginePage::navigationRequested, this, &BrowserView::noteNavigationRequest);
    connect(page, &QWebEnginePage::urlChanged, this, &BrowserView::reportAddress);
    connect(page, &QWebEnginePage::loadingChanged, this, &BrowserView::followLoading);
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &BrowserView::openInThisView);
}

void BrowserView::Navigate(const QString& address)
{
    loadUnlessSource(addressUrl(address));
}

// Pages cannot navigate to a source view themselves; the program's own loads
// and the engine's new-window requests are the ways in, and both pass here.
void BrowserView::loadUnlessSource(const QUrl& url)
{
    if (!isSourceView(url))
        load(url);
}

void BrowserView::GoBack()
{
    if (!history()->canGoBack())
        fail(QStringLiteral("Es gibt keine vorherige Seite im Verlauf."));
    back();
}

void BrowserView::GoForward()
{
    if (!history()->canGoForward())
        fail(QStringLiteral("Es gibt keine nächste Seite im Verlauf."));
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

QWebEngineProfile* kaveloProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        profile = new QWebEngineProfile(QStringLiteral("Kavelo"), QCoreApplication::instance());
        QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &acceptPageDownload);
    }
    return profile;
}
