#pragma once
// Receipt B: the roll receipt of the "Caja Dos" register. Beside what receipt A prints it carries
// the document type's prefix before the number, the customer's address, telephone, birth date and
// reference, the payment type and, on a reprint, the mark "Reimpresion".
#include "data/Dataset.h"
#include "print/InvoicePrinting.h"
#include "report/DatasetRowSource.h"
#include "report/Report.h"

namespace kv {

class TFrmVentaCajaFacturaRpt1 {
public:
    explicit TFrmVentaCajaFacturaRpt1(Connection& db);
    TFrmVentaCajaFacturaRpt1(const TFrmVentaCajaFacturaRpt1&) = delete;
    TFrmVentaCajaFacturaRpt1& operator=(const TFrmVentaCajaFacturaRpt1&) = delete;

    // Reads the header and footer texts and the document. False when no document has the key.
    bool open(const SaleDocumentKey& key);
    // "Reimpresion" on a reprint, empty on the original.
    void setReprintMark(const QString& mark);
    Document render() { return rpt.render(); }

    Connection& db;
    Dataset QFact;  // the document, one row per line (one row with no line data when it has none)
    Report rpt;

private:
    DatasetRowSource fact_;
};

// The payment line's word for a TIPODEPAGO code: "Contado " for cash and any code not listed.
QString paymentWord(const QString& tipoDePago);

}  // namespace kv
