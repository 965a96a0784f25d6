#include "print/InvoicePrinting.h"

#include "platform/Printing.h"
#include "print/UntVentaCajaFacturaRpt.h"
#include "print/UntVentaCajaFacturaRpt1.h"
#include "print/UntVentaCajaFacturaRptC.h"
#include "print/UntVentaCajaFacturaRptM.h"
#include "print/InvoiceParts.h"

namespace kv {

InvoicePrint invoicePrintFor(InvoiceCaller caller, InvoicePaper paper)
{
    InvoicePrint how;
    switch (caller) {
    case InvoiceCaller::RestaurantReprint:
        how.taxSummary = true;
        how.reprint = true;
        return how;
    case InvoiceCaller::OrderPayment:
        how.output = PrintOutput::Printer;
        return how;
    case InvoiceCaller::OrderReprint:
        return how;
    case InvoiceCaller::CajaDosPayment:
    case InvoiceCaller::CajaDosReprint:
        how.layout = InvoiceLayout::ReceiptB;
        how.reprint = caller == InvoiceCaller::CajaDosReprint;
        return how;
    case InvoiceCaller::MainPayment:
    case InvoiceCaller::MainScreen:
    case InvoiceCaller::MainReprint:
    case InvoiceCaller::CollectionPayment:
    case InvoiceCaller::CollectionMenu:
        // A number typed to be printed again, from the sale screen or the collection register's
        // "Reimpresion Facturas", is a copy.
        how.reprint = caller == InvoiceCaller::MainReprint || caller == InvoiceCaller::CollectionMenu;
        break;
    }
    switch (paper) {
    case InvoicePaper::HalfLetter:
        how.layout = InvoiceLayout::HalfLetter;
        break;
    case InvoicePaper::Letter:
        how.layout = InvoiceLayout::Letter;
        break;
    case InvoicePaper::Roll:
        // Every receipt of a sale states its taxes: a copy, or the receipt the collection register
        // prints, says what the first one said.
        how.taxSummary = true;
        // The collection register's payment window prints the roll receipt at once.
        if (caller == InvoiceCaller::CollectionPayment)
            how.output = PrintOutput::Printer;
        break;
    }
    return how;
}

namespace {

template <class Layout, class... Options>
std::optional<Document> layOut(Connection& db, const SaleDocumentKey& key, bool reprint, Options... options)
{
    Layout layout(db);
    layout.setReprintMark(reprint ? kReprintMark : QString());
    if (!layout.open(key, options...))
        return std::nullopt;
    return layout.render();
}

}  // namespace

std::optional<Document> renderInvoice(Connection& db, const SaleDocumentKey& key, const InvoicePrint& how)
{
    switch (how.layout) {
    case InvoiceLayout::ReceiptA:
        return layOut<TFrmVentaCajaFacturaRpt>(db, key, how.reprint, how.taxSummary);
    case InvoiceLayout::ReceiptB:
        return layOut<TFrmVentaCajaFacturaRpt1>(db, key, how.reprint);
    case InvoiceLayout::HalfLetter:
        return layOut<TFrmVentaCajaFacturaRptM>(db, key, how.reprint);
    case InvoiceLayout::Letter:
        return layOut<TFrmVentaCajaFacturaRptC>(db, key, how.reprint);
    }
    return std::nullopt;
}

PrintResult printInvoice(Connection& db, const SaleDocumentKey& key, const InvoicePrint& how, QWidget* parent)
{
    const std::optional<Document> doc = renderInvoice(db, key, how);
    if (!doc)
        return PrintResult::NoDocument;
    return printDocument(*doc, how.output, parent);
}

PrintResult printDocument(const Document& doc, PrintOutput output, QWidget* parent)
{
    if (output == PrintOutput::Printer)
        return print(doc) ? PrintResult::Printed : PrintResult::Failed;
    return preview(doc, parent) ? PrintResult::Printed : PrintResult::Failed;
}

}  // namespace kv
