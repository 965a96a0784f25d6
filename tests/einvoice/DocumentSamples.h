#pragma once
// Two sales as documents, with fixed settings, certificate and times: a shop sale (IVA 19 % and
// 5 %, a line without tax, a known customer, card payment) and a restaurant bill (INC 8 %, the
// final consumer, a tip and a discount).
#include "einvoice/Certificate.h"
#include "einvoice/PosDocument.h"

namespace kvtest {

// The certificate kept in tests/einvoice/fixtures, and its password.
QString sampleCertificatePath();
inline const QString kSampleCertificatePassword = QStringLiteral("prueba123");
const kv::Certificate& sampleCertificate();

kv::ElectronicSettings sampleSettings();
// 2027-03-15 10:30:00 in Colombia.
QDateTime sampleIssueTime();
kv::PosDocument shopSale();
kv::PosDocument restaurantSale();

// Problems found when validating the XML against the UBL 2.1 and DIAN schemas; empty when valid.
QString schemaProblems(const QByteArray& xml);
// Runs the xmlsec1 program on the XML: true when it verifies the signature with the certificate.
bool xmlsecVerifies(const QByteArray& xml, const kv::Certificate& cert, QString* output = nullptr);

}  // namespace kvtest
