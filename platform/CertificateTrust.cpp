#include "platform/CertificateTrust.h"

#include <QDir>
#include <QSslConfiguration>
#include <QSslError>

QList<QSslCertificate> authoritiesFromEnvironment()
{
    QList<QSslCertificate> authorities;
    if (const QString file = qEnvironmentVariable("SSL_CERT_FILE"); !file.isEmpty())
        authorities += QSslCertificate::fromPath(file, QSsl::Pem);
    const QStringList folders = qEnvironmentVariable("SSL_CERT_DIR").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
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
