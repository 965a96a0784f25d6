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
// CAJERO. A voided document keeps its number and counts 0 in every report. With onlyOpen, a
// document already closed (collected or voided at another register) is left as it is and the
// answer is false.
// Every void is on the trail ("ANULACION", with the amount it counted for before); a paid cash sale
// also hands its cash back ("DEVOLUCION"), which the cash count subtracts from the drawer of the
// register and cashier that voided it.
bool voidDocument(TDmVentas& dm, const SaleDocumentKey& key, bool onlyOpen = false);

// The same, saying what the void meant for the drawer.
struct VoidOutcome {
    bool voided = false;
    double cashBack = 0;  // cash to hand back to the customer (a paid cash sale's amount)
};
VoidOutcome voidSale(TDmVentas& dm, const SaleDocumentKey& key, bool onlyOpen = false);

// --- correcting a sale whose electronic document was issued ---
// Such a sale is never changed in place: its document is already signed (and maybe sent). The
// correction prepares a new sale, a copy of the original with its own number, which the change
// window edits; replaceSale then, in one transaction, voids the original with its adjustment note,
// closes the new sale paid as the original was (by the correcting cashier) with its own document,
// and records both on the trail. dropCorrection discards the new sale when the cashier gives up.

// What the customer pays for the sale as stored: NETO + service charge - discount - paid before.
double saleAmount(Connection& db, const SaleDocumentKey& key);
// Whether the sale's electronic document was issued (stored).
bool saleIssued(Connection& db, const SaleDocumentKey& key);
// Starts the new sale (a copy of the original's header and lines, kept from the registers'
// lists of documents to collect) and puts the module on it. Returns its number.
int startCorrection(TDmVentas& dm, const SaleDocumentKey& original);
// True when the new sale's lines and amount are still the original's.
bool correctionChangesNothing(TDmVentas& dm, const SaleDocumentKey& original, const SaleDocumentKey& draft);
// Deletes the new sale while it is still the correction's.
void dropCorrection(TDmVentas& dm, const SaleDocumentKey& draft);
struct CorrectionOutcome {
    int nuevo = 0;       // the new sale's number
    double before = 0;   // what the customer had paid
    double after = 0;    // what the new sale charges
    bool cash = false;   // paid in cash: the difference is handed over in cash
};
CorrectionOutcome replaceSale(TDmVentas& dm, const SaleDocumentKey& original, const SaleDocumentKey& draft);
// What the cashier is told once the sale is replaced: both numbers, both amounts and the money to
// hand back or collect.
QString correctionText(const SaleDocumentKey& original, const CorrectionOutcome& c);

// The Yes/No question before voiding, naming the document (number, customer, total); false on No
// or when there is no such document ("Factura No Existe").
bool confirmVoid(TDmVentas& dm, const SaleDocumentKey& key);

// The menu entries. Each asks the number in an input box (Cancel ends it).
// "&Reimprime Factura": prints the document again in the paper chosen, as the calling screen
// prints its reprints; a reprint of a closed sale is on the trail ("REIMPRESION").
void ReimprimeFactura(TDmVentas& dm, InvoicePaper paper, QWidget* parent,
                      InvoiceCaller caller = InvoiceCaller::MainReprint);
// "Anula Facturas": asks Yes/No naming the document (number, customer, total), then voids it and
// says how much cash to hand back when it was a paid cash sale.
void AnulaFacturas(TDmVentas& dm, QWidget* parent);

}  // namespace kv
