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

namespace kv {

// A sale paid in another currency. The day's rate (TASACAMBIO, copied into the header's TASA) is
// what one unit of that currency is worth in pesos, so the amount in the other currency is the
// pesos divided by the rate, to the cent (a customer hands over dollars and cents, never "13 dollars"
// for 48,500 pesos). The local currency ("1") keeps the amount times its rate, which is 1.
// A rate that is 0 or negative gives no amount rather than a division by zero.
inline bool isLocalCurrency(const QString& moneda) { return moneda.trimmed() == QLatin1String("1"); }

inline double amountInCurrency(double pesos, double tasa, const QString& moneda)
{
    if (isLocalCurrency(moneda))
        return R(pesos * tasa);
    return tasa > 0 ? R(pesos / tasa * 100) / 100 : 0;
}

// Money received in the other currency, in pesos: what the change is given on.
inline double pesosForCurrency(double amount, double tasa, const QString& moneda)
{
    return isLocalCurrency(moneda) ? amount : R(amount * tasa * 100) / 100;
}

}  // namespace kv
