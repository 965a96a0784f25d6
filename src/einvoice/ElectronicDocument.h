#pragma once
// The electronic POS document of a sale, from the stored sale to the stored signed document:
// written when the sale is closed (in the closing's own transaction), checked for at sign-on,
// voided with its adjustment note, and read back for printing and for support.
#include "data/Connection.h"
#include "einvoice/PosDocument.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace kv {

// A document as stored in POSDOCUMENTOELECTRONICO.
struct StoredDocument {
    QString tipo;
    QString numero;
    QString cude;
    QDateTime fecha;  // Colombian wall time
    QByteArray xml;
    QString estado;
    QString qr;       // the lookup address written in the document
    // read back from the document, for its printed form
    QString autorizacion;  // "Autorización DIAN No. ... del ... al ..., rango ..."
    QString compradorId;
    QString compradorNombre;
    // the document's taxes by kind and rate, as it states them
    struct Tax {
        QString name;  // "IVA", "INC"
        double rate = 0;
        double base = 0;
        double amount = 0;
    };
    std::vector<Tax> impuestos;
    QString fabricante;  // the software's maker (its company name) and the software's name
    QString software;
};

// Sending states.
inline const QString kEstadoPorEnviar = QStringLiteral("P");
inline const QString kEstadoReintentar = QStringLiteral("E");
inline const QString kEstadoAceptado = QStringLiteral("A");
inline const QString kEstadoRechazado = QStringLiteral("R");

// Whether the company issues electronic POS documents (its settings row says so).
bool electronicDocumentsOn(Connection& c, const QString& empresa);

// The closed sale as a document issued at `issued` (its lines, totals, seller, buyer, payment).
PosDocument readSaleDocument(Connection& c, const ElectronicSettings& s, const QString& empresa,
                             const QString& documento, int consecutivo, const QDateTime& issued);

// Builds, signs and stores the document of a sale just closed, in the transaction open on `c`
// (ESTADO "P", to be sent). Does nothing when the company has electronic documents off. Raises
// Failure (certificate, numbering) or DbError, so the closing it belongs to is undone whole.
void issueSaleDocument(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                       const QDateTime& issued = QDateTime::currentDateTimeUtc());

// For a sale being voided whose document was issued: builds, signs and stores its adjustment
// note, which repeats the document's lines; so it runs in the void's transaction before the lines
// are deleted. Nothing when the sale has no document or already has its note. Same failures as
// issueSaleDocument. The note takes the next number of the company's notes ("NA1", "NA2", ...):
// notes are numbered by the issuer, under no authorization. It is stored to be sent, but the
// sender holds it until the DIAN has accepted its original, and never sends it for an original
// the DIAN rejected.
void issueAdjustmentNote(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                         const QDateTime& issued = QDateTime::currentDateTimeUtc());

// What stops the register from issuing documents for this company and document type, for the
// cashier at sign-on: the certificate missing, unreadable or expired, the numbering range used
// up or outside its dates. Empty when all is well or the company has them off.
QString signOnProblem(Connection& c, const QString& empresa, const QString& documento,
                      const QDateTime& at = QDateTime::currentDateTimeUtc());

// The next number of a counter of the company's electronic documents (POSCONSECUTIVODIAN):
// `clase` names the series, `ano` its year (0 for a series that never starts again). Runs in the
// caller's transaction; the counter's row stays locked until it ends, so two registers never
// take the same number (the second waits, or its whole operation is tried again).
int nextDianCounter(Connection& c, const QString& empresa, const QString& clase, int ano);

// The sale's stored document of that type; nothing when there is none.
std::optional<StoredDocument> storedDocument(Connection& c, const QString& empresa, const QString& documento,
                                             int consecutivo, const QString& tipo = kTipoDocumentoPos);

}  // namespace kv
