#include "support/TestView.h"

#include "support/LoopbackServer.h"
#include "support/PageScript.h"

#include <QSignalSpy>
#include <QTest>

TestView::TestView(const LoopbackServer& server, QSize size)
    : site(server)
{
    resize(size);
    show();
    if (!QTest::qWaitForWindowExposed(this))
        qFatal("the view is not shown");
}

QString TestView::address(const char* path) const
{
    return site.url(QString::fromUtf8(path));
}

void TestView::open(const char* path)
{
    const QSignalSpy loaded(this, &QWebEngineView::loadFinished);
    Navigate(address(path));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kTimeoutMs);
}

void TestView::click(const QString& elementId, Qt::MouseButton button)
{
    clickElement(this, elementId, button, kTimeoutMs);
}

QVariant TestView::script(const QString& source)
{
    return runPageScript(page(), source, kTimeoutMs);
}
