#include "support/PageScript.h"

#include <QCoreApplication>
#include <QTest>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

QVariant runPageScript(QWebEnginePage* page, const QString& script, int timeoutMs)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, timeoutMs))
        qWarning("the script did not finish: %s", qPrintable(script));
    return result;
}

// The element may belong to a document still on its way: asked again until it is there.
std::optional<QPoint> elementCentre(QWebEnginePage* page, const QString& elementId, int timeoutMs)
{
    const QString script =
        QStringLiteral(
            "(() => { const e = document.getElementById('%1'); if (!e) return null;"
            " const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()")
            .arg(elementId);
    QVariantList centre;
    if (!QTest::qWaitFor([&] { return (centre = runPageScript(page, script, timeoutMs).toList()).size() == 2; },
                         timeoutMs))
        return std::nullopt;
    return QPoint(centre[0].toInt(), centre[1].toInt());
}

void clickElement(QWebEngineView* view, const QString& elementId, Qt::MouseButton button, int timeoutMs)
{
    const std::optional<QPoint> centre = elementCentre(view->page(), elementId, timeoutMs);
    QVERIFY2(centre, qPrintable(elementId));
    QVERIFY(view->focusProxy());
    QTest::mouseClick(view->focusProxy(), button, {}, *centre);
}

QStringList navigationsBegunBy(QWebEnginePage* page, const std::function<void()>& action, int timeoutMs)
{
    QStringList begun;
    const QMetaObject::Connection noted =
        QObject::connect(page, &QWebEnginePage::navigationRequested, page, [&](QWebEngineNavigationRequest& request) {
            if (request.isMainFrame())
                begun << request.url().toString();
        });
    action();
    QCoreApplication::processEvents();  // what the action queued runs before the marking script is sent
    runPageScript(page, QStringLiteral("0"), timeoutMs);
    QObject::disconnect(noted);
    return begun;
}
