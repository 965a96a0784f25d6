#include "einvoice/Certificate.h"

#include "common/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/pkcs12.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

namespace kv {

namespace {

QDateTime asnTime(const ASN1_TIME* t)
{
    struct tm tm {};
    if (!t || ASN1_TIME_to_tm(t, &tm) != 1)
        return QDateTime();
    return QDateTime(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), QTime(tm.tm_hour, tm.tm_min, tm.tm_sec),
                     Qt::UTC);
}

QString rfc2253(const X509_NAME* name)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253);
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio.get(), &data);
    return QString::fromUtf8(data, int(n));
}

}  // namespace

Certificate loadCertificate(const QString& path, const QString& password)
{
    if (path.trimmed().isEmpty())
        throw Failure(QStringLiteral("No se ha configurado el certificado de firma"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("No se puede leer el certificado %1: %2").arg(path, f.errorString()));
    Certificate c;
    c.p12 = f.readAll();
    c.password = password;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(c.p12.constData());
    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(d2i_PKCS12(nullptr, &p, c.p12.size()), PKCS12_free);
    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    STACK_OF(X509)* chain = nullptr;
    const QByteArray pass = password.toUtf8();
    if (!p12 || PKCS12_parse(p12.get(), pass.constData(), &key, &cert, &chain) != 1) {
        ERR_clear_error();
        throw Failure(QStringLiteral("El certificado %1 no se pudo abrir: el archivo no es un .p12 o la clave no es la "
                                     "correcta")
                          .arg(QFileInfo(path).fileName()));
    }
    sk_X509_pop_free(chain, X509_free);
    c.key.reset(key, EVP_PKEY_free);
    c.cert.reset(cert, X509_free);
    if (!key || !cert)
        throw Failure(QStringLiteral("El certificado %1 no trae la llave privada y su certificado")
                          .arg(QFileInfo(path).fileName()));
    c.notBefore = asnTime(X509_get0_notBefore(cert));
    c.notAfter = asnTime(X509_get0_notAfter(cert));
    c.subject = rfc2253(X509_get_subject_name(cert));
    c.issuer = rfc2253(X509_get_issuer_name(cert));
    std::unique_ptr<BIGNUM, decltype(&BN_free)> bn(ASN1_INTEGER_to_BN(X509_get0_serialNumber(cert), nullptr), BN_free);
    char* dec = BN_bn2dec(bn.get());
    c.serial = QString::fromLatin1(dec);
    OPENSSL_free(dec);
    unsigned char* der = nullptr;
    const int n = i2d_X509(cert, &der);
    c.der = QByteArray(reinterpret_cast<const char*>(der), n);
    OPENSSL_free(der);
    return c;
}

QString certificateProblem(const Certificate& c, const QDateTime& at)
{
    if (at < c.notBefore)
        return QStringLiteral("El certificado de firma aún no es válido (desde %1)").arg(c.notBefore.toString(Qt::ISODate));
    if (at > c.notAfter)
        return QStringLiteral("El certificado de firma venció el %1").arg(c.notAfter.toLocalTime().toString(QStringLiteral("dd/MM/yyyy")));
    return QString();
}

void makeTestCertificate(const QString& path, const QString& password, const QString& commonName, const QString& nit,
                         const QDateTime& from, int days)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_RSA_gen(2048), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    if (!key || !cert)
        throw Failure(QStringLiteral("No se pudo crear el certificado de prueba"));
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set_int64(X509_get_serialNumber(cert.get()), from.toSecsSinceEpoch());
    time_t start = time_t(from.toSecsSinceEpoch());
    X509_time_adj_ex(X509_getm_notBefore(cert.get()), 0, 0, &start);
    X509_time_adj_ex(X509_getm_notAfter(cert.get()), days, 0, &start);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "C", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>("CO"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.toUtf8().constData()), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "serialNumber", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(nit.toUtf8().constData()), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.toUtf8().constData()), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0)
        throw Failure(QStringLiteral("No se pudo crear el certificado de prueba"));
    const QByteArray pass = password.toUtf8();
    const QByteArray friendly = commonName.toUtf8();
    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(
        PKCS12_create(pass.constData(), friendly.constData(), key.get(), cert.get(), nullptr, 0, 0, 0, 0, 0),
        PKCS12_free);
    unsigned char* der = nullptr;
    const int n = p12 ? i2d_PKCS12(p12.get(), &der) : -1;
    if (n <= 0)
        throw Failure(QStringLiteral("No se pudo crear el certificado de prueba"));
    QFile f(path);
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                    f.write(reinterpret_cast<const char*>(der), n) == n;
    OPENSSL_free(der);
    if (!ok)
        throw Failure(QStringLiteral("No se puede escribir el certificado %1: %2").arg(path, f.errorString()));
}

}  // namespace kv
