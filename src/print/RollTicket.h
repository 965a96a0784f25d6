#pragma once
// The small tickets of the receipt roll (73 mm): the payment order a seller hands the customer
// and the receipt of cash paid out. A bold title, a numbered line, one line of text, the date and
// time, and an amount, read from one row.
#include "report/Report.h"

#include <QDateTime>
#include <QVariantMap>

namespace kv {

struct RollTicket {
    QString title;          // "ORDEN PAGO"
    QString numberCaption;  // "Factura No."
    double numberCaptionWidth = 25;
    QString numberField;    // "CONSECUTIVO"
    QString textField;      // one line under the number
    bool textCentredWrapped = false;
    QString amountCaption;  // "VALOR FACTURA"
    QString amountField;    // "NETO"
};

// The ticket laid out for the row; items are named after their fields.
Document renderRollTicket(const RollTicket& t, const QVariantMap& row);

// The kitchen's ticket of one batch of a restaurant table, on the receipt roll: what to prepare,
// how many, for which bill and table, and when it was ordered.
struct KitchenTicket {
    int cantidad = 0;
    QString nombre;       // the product's name
    QString observacion;  // what the waiter noted ("sin cebolla")
    int factura = 0;      // the table's document number
    QString mesa;         // the area, " Mesa " and the table's number
    QDateTime hora;       // when it was printed
    QString mesero;       // the waiter of the table's bill; empty when none was chosen
};

// Items named COMANDA, CANTIDAD, NOMBRE, FACTURA, MESA, MESERO (with a waiter) and HORA.
Document renderKitchenTicket(const KitchenTicket& t);

}  // namespace kv
