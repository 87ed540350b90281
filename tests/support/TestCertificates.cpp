#include "support/TestCertificates.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <QFile>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

constexpr long kDay = 24L * 60 * 60;

void require(bool ok, const char* what)
{
    if (!ok)
        qFatal("test certificates: %s failed", what);
}

Key newKey()
{
    Key key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    require(key != nullptr, "EVP_EC_gen");
    return key;
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    require(extension != nullptr, value);
    require(X509_add_ext(certificate, extension, -1) == 1, "X509_add_ext");
    X509_EXTENSION_free(extension);
}

struct Issue {
    const char* commonName;
    const char* altNames;  // subjectAltName; nullptr for an authority
    long validFrom;        // seconds from now
    long validUntil;
};

// A certificate for key, signed by issuerKey as issuer (itself when issuer is null).
Certificate issue(const Issue& what, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey)
{
    static long serial = 1;
    Certificate certificate(X509_new(), &X509_free);
    X509* cert = certificate.get();
    require(X509_set_version(cert, 2) == 1, "X509_set_version");
    ASN1_INTEGER_set(X509_get_serialNumber(cert), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), what.validFrom);
    X509_gmtime_adj(X509_getm_notAfter(cert), what.validUntil);
    require(X509_set_pubkey(cert, key) == 1, "X509_set_pubkey");
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Kavelo Test"), -1, -1,
                               0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(what.commonName), -1,
                               -1, 0);
    X509* signer = issuer ? issuer : cert;
    require(X509_set_issuer_name(cert, X509_get_subject_name(signer)) == 1, "X509_set_issuer_name");
    addExtension(cert, signer, NID_subject_key_identifier, "hash");
    if (what.altNames) {
        addExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(cert, signer, NID_key_usage, "critical,digitalSignature");
        addExtension(cert, signer, NID_ext_key_usage, "serverAuth");
        addExtension(cert, signer, NID_subject_alt_name, what.altNames);
    } else {
        addExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    if (issuer)
        addExtension(cert, signer, NID_authority_key_identifier, "keyid:always");
    require(X509_sign(cert, issuerKey ? issuerKey : key, EVP_sha256()) > 0, "X509_sign");
    return certificate;
}

void writePem(const QString& path, const std::function<int(BIO*)>& write)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    require(write(bio.get()) == 1, "PEM_write");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(data, size) == size, "writing a PEM file");
}

void writeCertificate(const QString& path, X509* certificate)
{
    writePem(path, [certificate](BIO* bio) { return PEM_write_bio_X509(bio, certificate); });
}

void writeKey(const QString& path, EVP_PKEY* key)
{
    writePem(path,
             [key](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr); });
}

}  // namespace

TestCertificates::TestCertificates()
{
    require(dir.isValid(), "a temporary folder");
    const Key authorityKey = newKey();
    const Certificate authority =
        issue({"Kavelo Test-CA", nullptr, -kDay, 30 * kDay}, authorityKey.get(), nullptr, nullptr);
    writeCertificate(this->authority(), authority.get());

    const auto make = [&](const CertificateFiles& files, const Issue& what, bool selfSigned) {
        const Key key = newKey();
        const Certificate certificate = selfSigned ? issue(what, key.get(), nullptr, nullptr)
                                                   : issue(what, key.get(), authority.get(), authorityKey.get());
        writeCertificate(files.certificate, certificate.get());
        writeKey(files.key, key.get());
    };
    make(trusted(), {"127.0.0.1", "IP:127.0.0.1,IP:::1,DNS:localhost", -kDay, 30 * kDay}, false);
    make(expired(), {"127.0.0.1", "IP:127.0.0.1,DNS:localhost", -30 * kDay, -kDay}, false);
    make(otherHost(), {"anderer.example", "DNS:anderer.example", -kDay, 30 * kDay}, false);
    make(selfSigned(), {"127.0.0.1", "IP:127.0.0.1,DNS:localhost", -kDay, 30 * kDay}, true);
}
