#pragma once
// Two sales as documents, with fixed settings, certificate and times: a shop sale (IVA 19 % and
// 5 %, a line without tax, a line with a discount, a known customer, card payment) and a
// restaurant bill (INC 8 %, lines whose taxes round apart, the final consumer, a tip and a
// discount).
#include "einvoice/Certificate.h"
#include "einvoice/PosDocument.h"

#include <QList>

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
// What is wrong with the document's amounts: a tax subtotal (of the document or of a line) that
// is not its base times its rate, a tax total that is not its subtotals' sum, totals that do not
// follow from the lines, a line whose price, quantity and discount do not give its amount. Empty
// when all hold.
QString amountProblems(const QByteArray& xml);
// Runs the xmlsec1 program on the XML: true when it verifies the signature with the certificate.
bool xmlsecVerifies(const QByteArray& xml, const kv::Certificate& cert, QString* output = nullptr);
// The same for many documents in one run of the program: the positions of those it refuses.
QList<int> xmlsecRefuses(const QList<QByteArray>& xmls, const kv::Certificate& cert);

}  // namespace kvtest
