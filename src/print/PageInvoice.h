#pragma once
// The sale invoice on sheet paper ("FACTURA DE VENTA No."): the business's letterhead and logo,
// the customer, the invoice and due dates, one row per line with its value net of IVA, the bases
// by IVA rate, the totals, the amount in words and the document type's resolution text. The half
// letter and the letter invoice are this one layout on two page sizes.
#include "data/Dataset.h"
#include "print/InvoicePrinting.h"
#include "report/DatasetRowSource.h"
#include "report/Report.h"

namespace kv {

class PageInvoice {
public:
    PageInvoice(Connection& db, double pageHeight);
    PageInvoice(const PageInvoice&) = delete;
    PageInvoice& operator=(const PageInvoice&) = delete;

    // Reads the business data and the document. False when no document has the key.
    bool open(const SaleDocumentKey& key);
    // "Reimpresion" on a reprint, empty on the original.
    void setReprintMark(const QString& mark);
    Document render() { return rpt.render(); }

    Connection& db;
    Dataset QFact;      // the document, one row per line in line order
    Dataset QRegistro;  // the business data (REGISTRO) with its own check digit
    Report rpt;

private:
    DatasetRowSource fact_;
};

}  // namespace kv
