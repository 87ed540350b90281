#pragma once

// Scripts on a page in the window tests: one run to its result, and where an
// element stands, for a real click on it.

#include <QPoint>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QWebEnginePage;
class QWebEngineView;

// Runs the script and waits up to timeoutMs for its result; warns and gives
// an invalid value when none came.
QVariant runPageScript(QWebEnginePage* page, const QString& script, int timeoutMs = 15000);

// The centre of the element with that id in the view's coordinates; none when
// the page has no such element or gave no answer in time.
std::optional<QPoint> elementCentre(QWebEnginePage* page, const QString& elementId, int timeoutMs = 15000);

// A real mouse click at the centre of the element with that id in the view, so
// that the engine sees a user's gesture; the test fails when there is none.
void clickElement(QWebEngineView* view, const QString& elementId, Qt::MouseButton button = Qt::LeftButton,
                  int timeoutMs = 15000);

// The addresses of the main-frame navigations that action begins in the page.
// The page asks for a navigation before it answers a script sent after it, so
// a script's answer marks the end.
QStringList navigationsBegunBy(QWebEnginePage* page, const std::function<void()>& action, int timeoutMs = 15000);
