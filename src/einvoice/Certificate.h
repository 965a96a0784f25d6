#pragma once
// The shop's signing certificate: the private key and its certificate, read from the
// PKCS#12 (.p12) file the certification authority delivers. The document signature and the web
// service's WS-Security signature both sign with it.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace kv {

struct Certificate {
    QByteArray p12;     // the file's bytes, as read
    QString password;   // plain in memory only
    std::shared_ptr<EVP_PKEY> key;
    std::shared_ptr<X509> cert;
    QDateTime notBefore, notAfter;  // UTC
    QString subject;                // RFC 2253
    QString issuer;                 // RFC 2253, as IssuerSerial names it
    QString serial;                 // decimal
    QByteArray der;                 // the certificate, DER
};

// Reads the .p12; a missing file, a wrong password or a file without a key raise Failure with a
// message for the shop.
Certificate loadCertificate(const QString& path, const QString& password);

// Empty when the certificate can sign at `at`; else why not (expired, not valid yet).
QString certificateProblem(const Certificate& c, const QDateTime& at);

// Makes a self-signed RSA certificate with its key in a .p12 (readable by its owner only), valid
// from `from` for `days` days: the demo signs with one, and so do the tests. Not for a real shop.
void makeTestCertificate(const QString& path, const QString& password, const QString& commonName, const QString& nit,
                         const QDateTime& from, int days);

}  // namespace kv
