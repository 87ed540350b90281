#pragma once

// Which server certificates the program trusts: those whose chain verifies
// against the system's certificate store, for pages and downloads alike.
// As OpenSSL's tools do, SSL_CERT_FILE names a further file and SSL_CERT_DIR
// further folders (separated by ':') of certificate authorities in PEM.

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

// Where SSL_CERT_FILE and SSL_CERT_DIR point: the one reading of them, for
// the web engine's check below and for libcurl alike.
struct AddedAuthorities {
    QString file;
    QStringList folders;
};
AddedAuthorities addedAuthorities();

// The authorities of SSL_CERT_FILE and SSL_CERT_DIR; empty when neither is set.
QList<QSslCertificate> authoritiesFromEnvironment();

// True when chain (the server's certificate first) verifies for host against
// the system's store and the authorities given. These are added to Qt's
// default TLS configuration, whose authorities the check reads.
bool trustedBySystem(const QList<QSslCertificate>& chain, const QString& host,
                     const QList<QSslCertificate>& authorities);
