#pragma once
// Printing a stored sale document. Every screen that prints an invoice (payment windows, reprints,
// the collection register, the restaurant) asks invoicePrintFor() how its invoice is printed and
// hands the answer with the document's key to printInvoice():
//
//     const kv::InvoicePrint how = kv::invoicePrintFor(kv::InvoiceCaller::MainPayment, paperChosen);
//     if (kv::printInvoice(DbPos, {empresa, documento, consecutivo}, how, this) == kv::PrintResult::NoDocument)
//         ShowMessage(...);  // the caller says what the user sees
#include "data/Connection.h"
#include "report/Document.h"

#include <QString>

#include <optional>

class QWidget;

namespace kv {

// A sale document (POSMOVIMIENTO) by its key.
struct SaleDocumentKey {
    QString empresa;
    QString documento;
    int consecutivo = 0;
};

enum class InvoiceLayout {
    ReceiptA,    // TFrmVentaCajaFacturaRpt: roll receipt, optional tax summary by rate
    ReceiptB,    // TFrmVentaCajaFacturaRpt1: "Caja Dos" roll receipt, payment line, reprint mark
    HalfLetter,  // TFrmVentaCajaFacturaRptM
    Letter,      // TFrmVentaCajaFacturaRptC
};

enum class PrintOutput { Preview, Printer };

struct InvoicePrint {
    InvoiceLayout layout = InvoiceLayout::ReceiptA;
    bool taxSummary = false;  // receipt A: the bases and taxes by IVA and Ipoconsumo rate
    PrintOutput output = PrintOutput::Preview;
    bool reprint = false;     // a copy: every layout prints "Reimpresion"
};

// The screens that print invoices.
enum class InvoiceCaller {
    MainPayment,        // payment window of the main sale screen
    MainScreen,         // the main sale screen's own print, when the cashier does not collect
    MainReprint,        // the main sale screen's reprint of a typed number
    CollectionPayment,  // payment window of the collection register
    CollectionMenu,     // collection register menus: "Impresora Pos", "Media carta", "Carta"
    RestaurantReprint,  // restaurant billing "&Reimprime Factura"
    CajaDosPayment,     // "Caja Dos" payment
    CajaDosReprint,     // "Caja Dos" "Reimprimir Factura"
    OrderPayment,       // the order screen, when an order is paid: its receipt, straight to the printer
    OrderReprint,       // the order screen's "Reimprimir Cotización": the receipt in the preview
};

// The paper chosen where a screen offers it ("Tipo de Factura": roll, half letter, letter).
enum class InvoicePaper { Roll, HalfLetter, Letter };

// Who prints what: the layout, the tax summary, preview or printer and the reprint mark for a
// caller and the paper it chose. The restaurant, "Caja Dos" and the orders always print on the roll.
InvoicePrint invoicePrintFor(InvoiceCaller caller, InvoicePaper paper = InvoicePaper::Roll);

// The document laid out in the requested layout, or nothing when there is no such document.
std::optional<Document> renderInvoice(Connection& db, const SaleDocumentKey& key, const InvoicePrint& how);

enum class PrintResult {
    Printed,     // sent to the printer, or shown in the preview
    NoDocument,  // no document has that key: nothing was printed
    Failed,      // the printer (or the preview) failed; the general error box has said why
};

// Lays the document out and prints it or shows it in a modal preview. The document is only read.
PrintResult printInvoice(Connection& db, const SaleDocumentKey& key, const InvoicePrint& how,
                         QWidget* parent = nullptr);

// Prints a laid-out document, or shows it in a modal preview, as `output` says: the last step of
// printInvoice(), for the layouts of other documents (the order receipt) that answer to the same
// callers' choices.
PrintResult printDocument(const Document& doc, PrintOutput output, QWidget* parent = nullptr);

}  // namespace kv
