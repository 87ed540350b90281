#pragma once

// A virtual X display of a given size, with a window manager that follows the
// desktop standards (openbox) for runs that look at what it makes of the
// program's windows, or without one for runs that a visitor drives with mouse
// and keys. The X tools (xprop, xdotool) run against it.

#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class XSession {
public:
    enum class Manager { Openbox, None };
    explicit XSession(QSize screen, Manager manager = Manager::Openbox);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // ":<n>", empty when the display or the window manager did not start.
    QString display() const { return name; }
    // Standard output of an X tool run against the display.
    QString tool(const QString& program, const QStringList& arguments) const;
    // The ids of the windows whose title starts with title.
    QStringList windowsTitled(const QString& title) const;

    // xdotool with these arguments; its output, trimmed.
    QString xdotool(const QStringList& arguments) const;
    // The visible windows of the process, newest last.
    QStringList windows(qint64 pid) const;
    // Waits until the process shows a window whose title starts so; its id, or empty.
    QString waitForWindow(qint64 pid, const QString& titleStart, int milliseconds) const;
    // A mouse click (button 1 left, 8 back) at x, y inside the window.
    void click(const QString& window, int x, int y, int button = 1) const;

private:
    QTemporaryDir home;
    QProcess server;
    QProcess windowManager;
    QString name;
};
