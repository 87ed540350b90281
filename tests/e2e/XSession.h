#pragma once

// A virtual X display of a given size with a window manager that follows the
// desktop standards (openbox), for end-to-end runs that look at what the
// window manager makes of the program's windows. The X tools (xprop,
// xdotool) run against it.

#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class XSession {
public:
    explicit XSession(QSize screen);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // ":<n>", empty when the display or the window manager did not start.
    QString display() const { return name; }
    // Standard output of an X tool run against the display.
    QString tool(const QString& program, const QStringList& arguments) const;
    // The ids of the windows whose title starts with title.
    QStringList windowsTitled(const QString& title) const;

private:
    QTemporaryDir home;
    QProcess server;
    QProcess windowManager;
    QString name;
};
