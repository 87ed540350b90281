#include "platform/process/DisplayProbe.h"

#include <QByteArray>
#include <QLibrary>
#include <QStringList>
#include <thread>
#include <utility>

namespace {

// The clients' connections, seen only through pointers.
struct XcbConnection;
struct WaylandDisplay;

struct ClientCalls {
    XcbConnection* (*xcbConnect)(const char* displayName, int* screen) = nullptr;
    int (*xcbConnectionHasError)(XcbConnection* connection) = nullptr;
    void (*xcbDisconnect)(XcbConnection* connection) = nullptr;
    WaylandDisplay* (*waylandConnect)(const char* name) = nullptr;
    void (*waylandDisconnect)(WaylandDisplay* display) = nullptr;
};

// Resolves the symbols from the library fileName; all of them, or none when
// the library or one of them is missing. The library stays loaded.
template <typename... Function>
void resolveAll(const QString& fileName, std::pair<Function*, const char*>... symbols)
{
    QLibrary library(fileName);
    if (!library.load())
        return;
    const bool all = ((*symbols.first = reinterpret_cast<Function>(library.resolve(symbols.second))) && ...);
    if (!all)
        ((*symbols.first = nullptr), ...);
}

// Loaded once, at the first probe.
const ClientCalls& clientCalls()
{
    static const ClientCalls calls = [] {
        ClientCalls c;
        resolveAll(QStringLiteral("libxcb.so.1"), std::pair(&c.xcbConnect, "xcb_connect"),
                   std::pair(&c.xcbConnectionHasError, "xcb_connection_has_error"),
                   std::pair(&c.xcbDisconnect, "xcb_disconnect"));
        resolveAll(QStringLiteral("libwayland-client.so.0"), std::pair(&c.waylandConnect, "wl_display_connect"),
                   std::pair(&c.waylandDisconnect, "wl_display_disconnect"));
        return c;
    }();
    return calls;
}

// The last X connection that found its display open, kept until Qt has its own.
XcbConnection* heldConnection = nullptr;

DisplayState probeServer(DisplayServer server)
{
    const ClientCalls& calls = clientCalls();
    if (server == DisplayServer::X11) {
        if (!calls.xcbConnect)
            return DisplayState::Unknown;
        // Never null: a failed connection is an error object, also to be disconnected.
        XcbConnection* connection = calls.xcbConnect(nullptr, nullptr);
        if (calls.xcbConnectionHasError(connection) != 0) {
            calls.xcbDisconnect(connection);
            return DisplayState::Closed;
        }
        releaseProbedDisplay();
        heldConnection = connection;
        return DisplayState::Open;
    }
    // A socket handed over in WAYLAND_SOCKET serves one connection only: Qt's.
    if (!calls.waylandConnect || qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return DisplayState::Unknown;
    // A socket's name without a path is looked for in XDG_RUNTIME_DIR only;
    // without that folder the library would say so on every try.
    if (!qgetenv("WAYLAND_DISPLAY").startsWith('/') && !qgetenv("XDG_RUNTIME_DIR").startsWith('/'))
        return DisplayState::Closed;
    WaylandDisplay* display = calls.waylandConnect(nullptr);
    if (!display)
        return DisplayState::Closed;
    calls.waylandDisconnect(display);
    return DisplayState::Open;
}

// Whether the environment names a display of the server.
bool named(DisplayServer server)
{
    if (server == DisplayServer::X11)
        return !qEnvironmentVariableIsEmpty("DISPLAY");
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

}  // namespace

QList<DisplayServer> displayServersQtWouldTry()
{
    // Qt's own order without a choice: Wayland before X11.
    QList<DisplayServer> order = {DisplayServer::Wayland, DisplayServer::X11};
    if (const QByteArray chosen = qgetenv("QT_QPA_PLATFORM"); !chosen.isEmpty()) {
        order.clear();
        // "xcb", "wayland-egl:option", "wayland;xcb": each plugin with its arguments.
        for (const QByteArray& entry : chosen.split(';')) {
            const QByteArray plugin = entry.split(':').first();
            if (plugin == "xcb")
                order.append(DisplayServer::X11);
            else if (plugin.startsWith("wayland"))
                order.append(DisplayServer::Wayland);
            else
                return {};
        }
    }
    order.removeIf([](DisplayServer server) { return !named(server); });
    return order;
}

QString displayNames(const QList<DisplayServer>& servers)
{
    QStringList names;
    for (DisplayServer server : servers) {
        if (server == DisplayServer::X11)
            names.append(qEnvironmentVariable("DISPLAY") + QStringLiteral(" (X11)"));
        else if (const QString name = qEnvironmentVariable("WAYLAND_DISPLAY"); !name.isEmpty())
            names.append(name + QStringLiteral(" (Wayland)"));
        else
            names.append(QStringLiteral("wayland-0 (Wayland)"));  // the client library's default
    }
    return names.join(QStringLiteral(" oder "));
}

DisplayState probeDisplays(const QList<DisplayServer>& servers)
{
    DisplayState answer = DisplayState::Closed;
    for (DisplayServer server : servers) {
        const DisplayState state = probeServer(server);
        if (state == DisplayState::Open)
            return state;
        if (state == DisplayState::Unknown)
            answer = state;
    }
    return answer;
}

void releaseProbedDisplay()
{
    if (heldConnection)
        clientCalls().xcbDisconnect(std::exchange(heldConnection, nullptr));
}

DisplayState waitForDisplay(const std::function<DisplayState()>& probe, std::chrono::milliseconds bound,
                            std::chrono::milliseconds interval)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    DisplayState state = probe();
    while (state == DisplayState::Closed && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(interval);
        state = probe();
    }
    return state;
}
