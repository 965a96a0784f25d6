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
// The adjustment note's own numbering: its prefix and a consecutive of the company's notes.
inline const QString kPrefijoNotaAjuste = QStringLiteral("NA");

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
    // The tax data the document states for the party: its fiscal responsibilities (the DIAN's
    // codes, ";" between them; "R-99-PN" is none), the tax it answers for (01 IVA, 04 INC, ZA both,
    // ZZ none) and the DANE code of its town (five digits; the first two name the department).
    QString taxLevelCode = QStringLiteral("R-99-PN");
    QString taxScheme = QStringLiteral("ZZ");
    QString cityCode;
};

// A line as the document states it. Its taxes are its base times its rates, to the cent; what the
// customer paid for the line (`charged`) may differ from base plus taxes by the sale's own
// rounding, and the document carries that difference as PayableRoundingAmount.
struct DocumentLine {
    QString code;
    QString description;
    double quantity = 1;
    qint64 lineExtension = 0;  // the base that was taxed: the line without taxes, after its discount
    double ivaRate = 0;
    qint64 iva = 0;
    double incRate = 0;
    qint64 inc = 0;
    qint64 allowance = 0;      // the line's discount, without taxes
    qint64 charged = -1;       // what the line charged, taxes in; -1: base plus taxes

    qint64 chargedAmount() const { return charged >= 0 ? charged : lineExtension + iva + inc; }
};

// The document's taxes of one kind and rate: the sum of the lines' bases, and that sum times the
// rate rounded to the cent (never the sum of the lines' rounded taxes, which drifts from it).
struct TaxGroup {
    double rate = 0;
    qint64 base = 0;
    qint64 tax = 0;
};

// A tax as a whole number of cents of the base times a percent rate, halves away from zero.
qint64 taxOf(qint64 base, double rate);

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
    // The groups of each tax by rate, as the document's header states them.
    std::vector<TaxGroup> ivaGroups() const;
    std::vector<TaxGroup> incGroups() const;
    qint64 ivaTotal() const;   // the sum of the IVA groups
    qint64 incTotal() const;
    qint64 taxInclusive() const { return lineExtensionTotal() + ivaTotal() + incTotal(); }
    // What the customer pays: the lines as charged, less the document's discount, plus the
    // service charge. The stored sale's amount, never recomputed from the stated taxes.
    qint64 payable() const;
    // What the stated amounts leave over or short of the payable (PayableRoundingAmount).
    qint64 rounding() const { return payable() - (taxInclusive() - discount + charge); }
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
