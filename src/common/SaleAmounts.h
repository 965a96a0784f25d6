#pragma once
// The amount a customer pays for a sale document, the one figure that the payment window's change
// and every printed invoice agree on: the document's amount (NETO) plus the service charge
// (VALORPROPINA), less the discount on the whole document (DESCUENTO) and less what was paid
// before (ABONO). A column that is null counts as 0.
#include "common/Numbers.h"

namespace kv {

// To the cent, so that comparing it with the money received is exact.
inline double amountToPay(double neto, double valorPropina, double descuento, double abono)
{
    return R((neto + valorPropina - descuento - abono) * 100) / 100;
}

// The same from a header read by column name: `number(name)` gives the column as a number, null as 0
// (a Dataset's field asFloat(), a report row's value).
template <class Number>
double amountToPay(Number number)
{
    return amountToPay(number("NETO"), number("VALORPROPINA"), number("DESCUENTO"), number("ABONO"));
}

}  // namespace kv
