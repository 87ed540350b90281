// Feeds arbitrary proxy variables to the proxy rules of a run: the first line
// is http_proxy, the rest no_proxy. Whatever they hold, the lists handed to
// libcurl and to the web engine hold only well-formed entries (none can add
// an entry, a rule or a switch of its own), loopback goes direct, and each
// host that the list sends direct goes direct by the program's own rule too.

#include "platform/network/NetworkProxy.h"

#include <QByteArray>
#include <QHostAddress>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

namespace {

// Domains, IPv4 and IPv6 addresses and networks, as the lists write them.
bool isPlainEntry(const QString& entry)
{
    static const QRegularExpression kEntry(QStringLiteral("^[a-z0-9_.:-]+(/[0-9]+)?$"));
    return kEntry.match(entry).hasMatch();
}

void expect(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString httpProxy = text.section(QLatin1Char('\n'), 0, 0);
    if (httpProxy.trimmed().isEmpty())
        httpProxy = QStringLiteral("proxy.example:3128");
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("http_proxy"), httpProxy);
    environment.insert(QStringLiteral("no_proxy"), text.section(QLatin1Char('\n'), 1));
    const std::optional<NetworkProxy> proxy = NetworkProxy::fromVariables(environment);
    expect(proxy.has_value());

    for (const char* loopback : {"http://127.0.0.1/", "http://localhost/", "http://[::1]/"})
        expect(proxy->proxyFor(QUrl(QString::fromLatin1(loopback))).isEmpty());

    const QString proxyUrl = proxy->curlProxy(QUrl(QStringLiteral("http://server.example/")));
    expect(proxyUrl.isEmpty() || !QUrl(proxyUrl, QUrl::StrictMode).host().isEmpty());

    for (const QString& entry : QString::fromLatin1(proxy->curlNoProxy()).split(QLatin1Char(','))) {
        expect(isPlainEntry(entry));
        if (entry.contains(QLatin1Char('/')) || !QHostAddress(entry).isNull())
            continue;
        // A domain goes direct with its subdomains, by libcurl's rule and by the program's.
        for (const QString& host : {entry, QStringLiteral("www.") + entry}) {
            QUrl url(QStringLiteral("http://server.example/"));
            url.setHost(host);
            expect(!url.isValid() || proxy->proxyFor(url).isEmpty());
        }
    }

    for (const QByteArray& flag : proxy->engineFlags()) {
        expect(!flag.contains(' ') && !flag.contains('\n') && !flag.contains('\0'));
        if (flag.startsWith("--proxy-bypass-list="))
            for (const QString& rule : QString::fromLatin1(flag.mid(20)).split(QLatin1Char(';')))
                expect(isPlainEntry(rule.startsWith(QStringLiteral("*.")) ? rule.mid(2) : rule));
    }
    return 0;
}
