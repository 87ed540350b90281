#include "platform/BrowserView.h"

#include "platform/HostRegistry.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void Fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// An address as a user would type it; nothing at all gives the blank page.
QUrl AddressUrl(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    return url.isEmpty() ? QUrl(u"about:blank"_s) : url;
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
    connect(page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(page, &QWebEnginePage::newWindowRequested, this, &BrowserView::openInThisView);
}

void BrowserView::Navigate(const QString& address)
{
    load(AddressUrl(address));
}

void BrowserView::GoBack()
{
    if (!history()->canGoBack())
        Fail(u"Es gibt keine vorherige Seite im Verlauf."_s);
    back();
}

void BrowserView::GoForward()
{
    if (!history()->canGoForward())
        Fail(u"Es gibt keine nächste Seite im Verlauf."_s);
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
        load(request.requestedUrl());
}

QWebEngineProfile* KaveloProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile)
        profile = new QWebEngineProfile(u"Kavelo"_s, QCoreApplication::instance());
    return profile;
}
