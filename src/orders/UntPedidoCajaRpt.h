#pragma once
// The order receipt, on an 80 mm roll: the order's number, date and customer, two print lines per
// order line (the product and its description, then quantity, price, discount percentage and
// amount), and the order's subtotal, authorised discount and value.
//
// The order screen prints it when an order is paid and shows it again on "Reimprimir Cotización":
//
//     kv::TFrmPedidoCajaRpt::Imprimir(DbPos, {empresa, documento, consecutivo},
//                                     kv::InvoiceCaller::OrderPayment, this);
//
// The order is selected by its whole key, so two document types that share a number never mix
// their lines on one receipt.
#include "print/InvoicePrinting.h"
#include "report/Report.h"

namespace kv {

class TFrmPedidoCajaRpt {
public:
    // The receipt laid out. A key without an order still gives a receipt: its heading and summary
    // with empty fields, as a reprint of a number nobody used shows.
    static Document render(Connection& db, const SaleDocumentKey& key, const QDateTime& printTime = {});

    // Prints it for `caller`: OrderPayment straight to the printer, OrderReprint in the preview.
    // Failed when the printer (or the preview) failed; the general error box has said why and the
    // stored order is untouched.
    static PrintResult Imprimir(Connection& db, const SaleDocumentKey& key, InvoiceCaller caller,
                                QWidget* parent = nullptr);

    // What a line prints as its description: the product's name, preceded by the line's
    // OBSERVACION when the cashier typed something else there.
    static QString description(const QString& observacion, const QString& nombre);
};

}  // namespace kv
