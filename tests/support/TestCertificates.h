#pragma once

// Certificates made with OpenSSL for one test program: an authority of its own
// and server certificates, as PEM files in a temporary folder. The machine's
// own certificate store is never touched; a test names the authority's file in
// SSL_CERT_FILE.

#include <QString>
#include <QTemporaryDir>
#include <vector>

struct CertificateFiles {
    QString certificate;
    QString key;
};

// A server certificate and whether a client that trusts the test authority takes it.
struct CertificateCase {
    const char* name;
    CertificateFiles files;
    bool trusted;
};

class TestCertificates {
public:
    TestCertificates();

    // The four server certificates below, each with its answer.
    std::vector<CertificateCase> cases() const
    {
        return {{"test authority", trusted(), true},
                {"self-signed", selfSigned(), false},
                {"expired", expired(), false},
                {"other host", otherHost(), false}};
    }

    // The test authority, PEM.
    QString authority() const { return dir.filePath(QStringLiteral("ca.pem")); }
    // Issued by the authority for 127.0.0.1, ::1 and localhost.
    CertificateFiles trusted() const { return files(QStringLiteral("trusted")); }
    // Issued by the authority for 127.0.0.1, but valid only until yesterday.
    CertificateFiles expired() const { return files(QStringLiteral("expired")); }
    // Issued by the authority for another host only.
    CertificateFiles otherHost() const { return files(QStringLiteral("other")); }
    // Signed by its own key, for 127.0.0.1.
    CertificateFiles selfSigned() const { return files(QStringLiteral("self")); }

private:
    CertificateFiles files(const QString& name) const
    {
        return {dir.filePath(name + QStringLiteral(".pem")), dir.filePath(name + QStringLiteral("-key.pem"))};
    }

    QTemporaryDir dir;
};
