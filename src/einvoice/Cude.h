#pragma once
// The CUDE, the unique code of an electronic POS document: SHA-384 (lowercase hex) of its number,
// date, time, amounts, the seller's and buyer's ids, the software PIN and the environment, each
// written exactly as the document writes it.
#include <QString>
#include <QtGlobal>

namespace kv {

// An amount in whole cents as the document writes it: two decimals, a dot, no separators.
QString moneyText(qint64 cents);
// A stored amount (a double in pesos) in whole cents, halves away from zero.
qint64 toCents(double pesos);

struct CudeParts {
    QString numero;       // with the prefix
    QString fecha;        // yyyy-mm-dd
    QString hora;         // hh:mm:ss-05:00
    qint64 valor = 0;     // LineExtensionAmount, cents
    qint64 iva = 0;       // tax 01
    qint64 inc = 0;       // tax 04
    qint64 ica = 0;       // tax 03
    qint64 total = 0;     // PayableAmount
    QString nitEmisor;    // without check digit
    QString idComprador;
    QString clave;        // the software PIN (the technical key for an invoice)
    int ambiente = 2;
};

// The text that is hashed.
QString cudeText(const CudeParts& p);
// The CUDE of those parts.
QString cude(const CudeParts& p);
// SHA-384 of a text, lowercase hex (the software security code is one too).
QString sha384Hex(const QString& text);

}  // namespace kv
