#pragma once
// The electronic POS document of a sale (and the adjustment note that voids one) as plain data,
// and the UBL 2.1 XML written from it. Amounts are whole cents, so the XML and the CUDE carry the
// very same strings.
#include "einvoice/Settings.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <vector>

namespace kv {

// The DIAN's type codes: the POS document and the note that adjusts (here: voids) it.
inline const QString kTipoDocumentoPos = QStringLiteral("20");
inline const QString kTipoNotaAjuste = QStringLiteral("94");

// The final consumer as the DIAN names him, and the program's counter customer.
inline const QString kConsumidorFinalId = QStringLiteral("222222222222");
inline const QString kConsumidorFinalNombre = QStringLiteral("CONSUMIDOR FINAL");

struct DocumentParty {
    QString id;          // NIT or cédula, digits only
    QString dv;          // check digit (NIT)
    QString idType;      // DIAN code: 31 NIT, 13 cédula
    bool company = true; // legal person (1) or natural person (2)
    QString name;
    QString address;
    QString city;
    QString phone;
    QString email;
};

struct DocumentLine {
    QString code;
    QString description;
    double quantity = 1;
    qint64 lineExtension = 0;  // the line without its taxes
    double ivaRate = 0;
    qint64 iva = 0;
    double incRate = 0;
    qint64 inc = 0;
};

struct PosDocument {
    QString tipo = kTipoDocumentoPos;
    QString prefijo;       // the numbering's prefix
    QString numero;        // prefix + number
    QDateTime issued;      // the instant of issue (written in Colombian time)
    DocumentParty seller;
    DocumentParty buyer;
    std::vector<DocumentLine> lines;
    qint64 discount = 0;   // the document's discount (AllowanceCharge)
    qint64 charge = 0;     // the service charge (tip)
    QString paymentMeansId = QStringLiteral("1");      // 1 cash, 2 credit
    QString paymentMeansCode = QStringLiteral("10");   // 10 cash, 48 credit card, ...
    QDate dueDate;
    QString cashier;
    QString saleCode;      // the program's own key of the sale
    // the note only: the document it adjusts
    QString refNumero, refCude;
    QDate refDate;

    qint64 lineExtensionTotal() const;
    qint64 ivaTotal() const;
    qint64 incTotal() const;
    qint64 payable() const;
};

// The electronic document built: its CUDE and its signed XML.
struct BuiltDocument {
    QString cude;
    QString qr;         // the lookup address printed as QR
    QByteArray xml;     // exactly as stored and sent
};

struct Certificate;

// Colombian date and time of an instant (fixed -05:00; Colombia has no daylight saving).
QDateTime colombianTime(const QDateTime& instant);

// The CUDE of the document with these settings.
QString documentCude(const PosDocument& d, const ElectronicSettings& s);

// Writes and signs the document. signingTime is the instant written as SigningTime.
BuiltDocument buildSignedDocument(const PosDocument& d, const ElectronicSettings& s, const Certificate& cert,
                                  const QDateTime& signingTime);

}  // namespace kv
