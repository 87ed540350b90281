#pragma once

// The browser view of a window test: made at a size and shown, on the pages of
// the test's loopback site, with every message box recorded while it lives.

#include "platform/web/BrowserView.h"
#include "support/RecordingPresenter.h"

#include <QSize>
#include <QVariant>

class LoopbackServer;

class TestView : public BrowserView {
public:
    static constexpr int kTimeoutMs = 15000;

    explicit TestView(const LoopbackServer& site, QSize size = {600, 400});

    // The site's address of path.
    QString address(const char* path = "/") const;
    // Navigates to the site's path and waits for the end of the load.
    void open(const char* path = "/");
    // A real mouse click at the centre of the element, so that the engine sees a user's gesture.
    void click(const QString& elementId, Qt::MouseButton button = Qt::LeftButton);
    // Runs the script on the page and waits for its result.
    QVariant script(const QString& source);

    RecordingPresenter boxes;

private:
    const LoopbackServer& site;
};
