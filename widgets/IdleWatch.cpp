#include "widgets/IdleWatch.h"

#include "platform/host/Timer.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QTimer>
#include <algorithm>

namespace {

std::chrono::milliseconds idleLimit{0};
std::uint64_t windowsAbandoned = 0;
bool programEnding = false;  // every window ends, also one shown from now on

bool isInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return event.spontaneous();  // from a person, not from the program
    default:
        return false;
    }
}

// The watch of one open window; input reaches only the innermost modal
// window, so any input restarts every watch.
class IdleWatch : public QObject {
public:
    explicit IdleWatch(QDialog& window);
    ~IdleWatch() override;

    QDialog& window;
    bool expired = false;  // nobody touched it for the limit
    bool ending = false;   // ended by the watch; its exec() is on its way back

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Timer idle;
};

QList<IdleWatch*> openWatches;  // the stack, innermost last

// While a window of the stack has expired, the innermost one ends. The next
// one's turn comes when the ended window's exec() has returned, so that the
// code after it runs first; a window it opens then ends at once.
void endAbandoned()
{
    const bool abandoned =
        std::any_of(openWatches.cbegin(), openWatches.cend(), [](const IdleWatch* watch) { return watch->expired; });
    if (!abandoned || openWatches.last()->ending)
        return;
    IdleWatch* innermost = openWatches.last();
    innermost->ending = true;
    ++windowsAbandoned;
    innermost->window.reject();
}

void endAbandonedLater()
{
    QTimer::singleShot(0, qApp, endAbandoned);
}

IdleWatch::IdleWatch(QDialog& dialog)
    : window(dialog)
    , expired(programEnding)
    , idle(static_cast<std::uint32_t>(idleLimit.count()), true)
{
    connect(&idle, &Timer::timeout, this, [this] {
        idle.stop();
        expired = true;
        endAbandoned();
    });
    qApp->installEventFilter(this);
    openWatches.append(this);
    endAbandonedLater();
}

IdleWatch::~IdleWatch()
{
    openWatches.removeOne(this);
    endAbandonedLater();
}

bool IdleWatch::eventFilter(QObject*, QEvent* event)
{
    if (!expired && isInput(*event))
        idle.start();
    return false;
}

}  // namespace

void setIdleLimit(std::chrono::milliseconds limit)
{
    idleLimit = limit;
}

int execWatched(QDialog& window)
{
    IdleWatch watch(window);  // a limit of 0: its timer never fires
    return window.exec();
}

void endOpenWatchedWindows()
{
    for (IdleWatch* watch : std::as_const(openWatches))
        watch->expired = true;
    endAbandoned();
}

void endVisitorWindows()
{
    endOpenWatchedWindows();
    while (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* dialog = qobject_cast<QDialog*>(window);
        const bool watched = std::any_of(openWatches.cbegin(), openWatches.cend(),
                                         [dialog](const IdleWatch* watch) { return &watch->window == dialog; });
        if (dialog && dialog->isVisible() && !watched)
            dialog->reject();
    }
}

void endWatchedWindows()
{
    programEnding = true;
    endOpenWatchedWindows();
}

AbandonedWindows::AbandonedWindows()
    : before(windowsAbandoned)
{
}

bool AbandonedWindows::any() const
{
    return windowsAbandoned != before;
}
