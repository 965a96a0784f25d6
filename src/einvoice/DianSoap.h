#pragma once
// Talking to the DIAN's web service: the SOAP 1.2 envelope of each method, signed the way the
// service demands (WS-Security: a time stamp, the certificate as a binary token and an XML
// signature with exclusive canonicalization and rsa-sha256 over the wsa:To header), the zip the
// document travels in, and the service's answer read back into plain values.
//
// The signing and canonicalization are libxmlsec1's (OpenSSL), never done by hand: the service
// recomputes them byte for byte and a home-made canonicalization is the usual reason for an
// envelope refused as "invalid security".
#include "common/Errors.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kv {
struct Certificate;
}

namespace kv::dian {

// A failure talking to the service or reading its answer; the text is for the stored messages.
class DianError : public Failure {
public:
    using Failure::Failure;
};

enum class Method { SendBillSync, SendTestSetAsync, GetStatusZip, GetStatus };
QString methodName(Method m);
// "http://wcf.dian.colombia/IWcfDianCustomerServices/{Method}"
QString actionOf(Method m);

// The certificate that signs the envelope: its private key (PEM) and the certificate (DER).
struct WsIdentity {
    QByteArray keyPem;
    QByteArray certDer;
};
// The shop's signing certificate, as the envelope takes it.
WsIdentity wsIdentity(const Certificate& c);

struct Request {
    Method method = Method::SendBillSync;
    QString to;          // the service address, written and signed as wsa:To
    QString fileName;    // the zip's name (SendBillSync, SendTestSetAsync)
    QByteArray zip;      // the zip itself (sent in base64)
    QString testSetId;   // SendTestSetAsync
    QString trackId;     // GetStatusZip (the ZipKey), GetStatus (the CUDE)
};

// The signed envelope, ready to post with the content type "application/soap+xml".
// nowUtc is the time stamp's creation; it expires kTimestampLifeSeconds later.
QByteArray buildEnvelope(const Request& r, const WsIdentity& id, const QDateTime& nowUtc);
constexpr int kTimestampLifeSeconds = 300;

// The service's answer to any of the methods, read by element names (the service's own prefixes
// vary between versions).
struct Answer {
    bool isValid = false;
    QString statusCode;         // "00" processed, "99" rejected by validations, ...
    QString statusDescription;
    QString statusMessage;
    QString documentKey;        // XmlDocumentKey: the CUDE the service computed
    QString zipKey;             // SendTestSetAsync's ZipKey
    QStringList rejections;     // "Regla: X, Rechazo: ..." lines
    QStringList notices;        // "Regla: X, Notificación: ..." lines: they do not reject
    QByteArray applicationResponse;  // the DIAN's signed ApplicationResponse, decoded
    bool fault = false;         // a SOAP fault rather than an answer
    QString faultText;

    // The service has decided about the document: accepted, or rejected for its rules.
    bool accepted() const { return !fault && isValid; }
    bool rejected() const { return !fault && !isValid && (!rejections.isEmpty() || statusCode == QLatin1String("99")); }
    // Every line worth keeping with the document, rejections first.
    QString messages() const;
};

// Reads a SOAP answer. A response that is not XML at all raises DianError.
Answer parseAnswer(const QByteArray& soap);

// File names as the DIAN names them: "z" (zip) or the document's prefix, the issuer's NIT in ten
// digits, the software provider's code "000", the year's last two digits and a consecutive in
// eight hexadecimal digits.
QString dianFileName(const QString& prefix, const QString& nit, int year, quint32 consecutive, const QString& extension);

// The seller's NIT written in a document (its AccountingSupplierParty's CompanyID), for the
// file names; empty when the document has none.
QString supplierNit(const QByteArray& xml);

// A zip holding the named files (deflated).
QByteArray zipFiles(const QList<QPair<QString, QByteArray>>& files);
// The files of a zip; raises DianError when the bytes are not a zip.
QList<QPair<QString, QByteArray>> unzipFiles(const QByteArray& zip);

// libxml2 and libxmlsec1 set up once for the whole program.
void ensureXmlSecurity();

}  // namespace kv::dian
