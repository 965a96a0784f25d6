#pragma once
// Reprinting, changing and voiding an earlier sale document from the sale screen's menu. The
// document is the one of the parameter row's company and document type with the number the
// cashier types, found by its exact key. None of them moves the sale screen off the document
// being sold: a reprint and a void work on the found document by its key, and a change puts the
// sales module back on the document it stood on when its window closes, so the next line never
// lands in the found document.
#include "print/InvoicePrinting.h"

class QWidget;

namespace kv {

class TDmVentas;

// The key of the document with that number under the parameter row in force, when it exists.
std::optional<SaleDocumentKey> findSaleDocument(TDmVentas& dm, int consecutivo);

// Asks the number in an input box titled `caption` ("Número de Factura") and finds the document;
// says "Factura No Existe" when there is none. Nothing when cancelled or not found.
std::optional<SaleDocumentKey> askSaleDocument(TDmVentas& dm, const QString& caption);

// Voids a document in one transaction: its lines are deleted, its amounts (totals, discount,
// service charge, paid before, amount due) set to 0, and it is closed with the voiding cashier in
// CAJERO. A voided document keeps its number and counts 0 in every report.
void voidDocument(TDmVentas& dm, const SaleDocumentKey& key);

// The menu entries. Each asks the number in an input box (Cancel ends it).
// "&Reimprime Factura": prints the document again in the paper chosen, as the calling screen
// prints its reprints.
void ReimprimeFactura(TDmVentas& dm, InvoicePaper paper, QWidget* parent,
                      InvoiceCaller caller = InvoiceCaller::MainReprint);
// "Anula Facturas": asks Yes/No naming the document (number, customer, total), then voids it.
void AnulaFacturas(TDmVentas& dm, QWidget* parent);

}  // namespace kv
