#pragma once

// The one proxy answer of a run, for the pages and the downloads alike. It is
// worked out once at start-up: from the usual proxy variables (http_proxy,
// https_proxy, all_proxy, in lower or upper case, with no_proxy) when any of
// them is set, else from the system's configuration as Qt's system proxy
// lookup reads it. Loopback addresses (localhost, 127.0.0.0/8, ::1) always go
// direct. The web engine gets the answer as its proxy switches, libcurl as
// CURLOPT_PROXY and CURLOPT_NOPROXY.

#include <QByteArrayList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class NetworkProxy {
public:
    // Everything direct.
    NetworkProxy() = default;
    // From the proxy variables; nullopt when none of them is set.
    static std::optional<NetworkProxy> fromVariables(const QProcessEnvironment& environment);
    // From the system's configuration (desktop settings, libproxy), with the
    // hosts of no_proxy direct.
    static NetworkProxy fromSystem(const QProcessEnvironment& environment);
    // The rule above: the variables when any is set, else the system's configuration.
    static NetworkProxy workedOut(const QProcessEnvironment& environment);

    // The proxy that a request for url goes through, as a URL with scheme,
    // host, port and any credentials (libcurl's form); empty: direct.
    QString proxyFor(const QUrl& url) const;
    // For libcurl: the proxy of url's scheme, whatever the host, and the hosts
    // that go direct (loopback, then no_proxy's hosts, domains and networks),
    // which libcurl applies to every request of a transfer, redirects included.
    QString curlProxy(const QUrl& url) const;
    QByteArray curlNoProxy() const;
    // The web engine's switches: --proxy-server and --proxy-bypass-list, or
    // --no-proxy-server when everything goes direct.
    QByteArrayList engineFlags() const;

private:
    QUrl http;   // for http addresses; empty: direct
    QUrl https;  // for https addresses
    QUrl other;  // for ftp(s) addresses, from all_proxy alone
    QStringList bypass;

    bool bypasses(const QString& host) const;
};

// The answer of this run: direct until setProgramProxy gives another (the
// program does so at start-up with NetworkProxy::workedOut).
const NetworkProxy& programProxy();
void setProgramProxy(const NetworkProxy& proxy);
