#pragma once
// Receipt A: the roll receipt of the main sale screen, the collection register and the
// restaurant. Header texts, the number, date and customer; one row per line; on request the
// bases and taxes by Ipoconsumo and IVA rate; the totals, the footer texts and the seller.
#include "data/Dataset.h"
#include "print/InvoicePrinting.h"
#include "report/DatasetRowSource.h"
#include "report/Report.h"

namespace kv {

class TFrmVentaCajaFacturaRpt {
public:
    explicit TFrmVentaCajaFacturaRpt(Connection& db);
    TFrmVentaCajaFacturaRpt(const TFrmVentaCajaFacturaRpt&) = delete;
    TFrmVentaCajaFacturaRpt& operator=(const TFrmVentaCajaFacturaRpt&) = delete;

    // Reads the header and footer texts and the document, and the tax summary when asked for.
    // False when no document has the key.
    bool open(const SaleDocumentKey& key, bool taxSummary);
    // "Reimpresion" on a reprint, empty on the original.
    void setReprintMark(const QString& mark);
    Document render() { return rpt.render(); }

    Connection& db;
    Dataset QFact;    // the document, one row per line (one row with no line data when it has none)
    Dataset QFacIva;  // bases and IVA by rate
    Dataset QFacIpo;  // bases and Ipoconsumo by rate
    Report rpt;

private:
    DatasetRowSource fact_, iva_, ipo_;
    SubDetail* ivaBands_ = nullptr;
    SubDetail* ipoBands_ = nullptr;
};

}  // namespace kv
