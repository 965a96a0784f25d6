#pragma once
// The payment-order ticket "ORDEN PAGO": what a seller who does not collect gives the customer to
// take to the paying register. A 73 mm slip with the document's number, customer, date and total
// (no lines), printed straight to the default printer.
#include "data/Connection.h"
#include "print/InvoicePrinting.h"
#include "report/Document.h"

#include <optional>

namespace kv {

class TFrmVentaOrdenPagoPrn {
public:
    // The ticket of the document, or nothing when there is no such document.
    static std::optional<Document> Render(Connection& db, const SaleDocumentKey& key);
    // Prints it; false when there is no such document or the printer failed (the printing layer
    // has told the user why).
    static bool Imprimir(Connection& db, const SaleDocumentKey& key);
};

}  // namespace kv
