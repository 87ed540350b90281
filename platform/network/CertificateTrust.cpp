#include "platform/network/CertificateTrust.h"

#include <QDir>
#include <QSslConfiguration>
#include <QSslError>

AddedAuthorities addedAuthorities()
{
    return {qEnvironmentVariable("SSL_CERT_FILE"),
            qEnvironmentVariable("SSL_CERT_DIR").split(QDir::listSeparator(), Qt::SkipEmptyParts)};
}

QList<QSslCertificate> authoritiesFromEnvironment()
{
    const AddedAuthorities added = addedAuthorities();
    QList<QSslCertificate> authorities;
    if (!added.file.isEmpty())
        authorities += QSslCertificate::fromPath(added.file, QSsl::Pem);
    for (const QString& folder : added.folders) {
        const QString pattern = QDir(folder).filePath(QStringLiteral("*"));
        authorities += QSslCertificate::fromPath(pattern, QSsl::Pem, QSslCertificate::PatternSyntax::Wildcard);
    }
    return authorities;
}

bool trustedBySystem(const QList<QSslCertificate>& chain, const QString& host,
                     const QList<QSslCertificate>& authorities)
{
    if (chain.isEmpty() || host.isEmpty())
        return false;
    // The system's store is read by QSslCertificate::verify itself, besides the
    // default configuration's authorities.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> known = configuration.caCertificates();
    const qsizetype before = known.size();
    for (const QSslCertificate& authority : authorities) {
        if (!known.contains(authority))
            known.append(authority);
    }
    if (known.size() != before) {
        configuration.setCaCertificates(known);
        QSslConfiguration::setDefaultConfiguration(configuration);
    }
    return QSslCertificate::verify(chain, host).isEmpty();
}
