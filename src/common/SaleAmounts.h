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

namespace kv {

// What one sale line charges and the taxes inside it, the rule every register prices a line by.
// `gross` is the unit price times the quantity, to the cent; `descuento` the line's discount value;
// `iva` and `ipoconsumo` the rates in percent (0: none); `ivaIncluido` whether the catalogue price
// already contains the IVA (the product's PRECIOMASIVA "S").
//  - Taxes inside the price (IVA included, and Ipoconsumo, which restaurant prices always contain):
//    the base is the charged amount divided by 1 + the rates, a whole number; the tax is the rest,
//    so base + tax is exactly what the customer pays. With both taxes inside, the Ipoconsumo is
//    the base times its rate and the IVA the remainder.
//  - IVA added to the price: the IVA is the base times the rate, rounded to a whole number, and
//    the line charges it on top: `subtotal` is the gross plus that IVA.
// Either way `subtotal` - `descuento` is what the customer pays for the line and
// base = `subtotal` - `descuento` - `valorIva` - `valorIpoconsumo`, with base × rate = tax within
// the rounding. A return (negative amounts) gets the same taxes with their sign.
// The divisor that takes taxes of `rate` percent out of a price that contains them:
// (100 + rate) / 100 rather than 1 + rate / 100: for a whole rate it is exactly the number 1.16
// (or 1.05) that shops have always divided by, and it stays right for any other rate.
inline double taxDivisor(double rate) { return (100.0 + rate) / 100.0; }

struct LineTaxes {
    double subtotal = 0;         // amount charged for the line, every tax included
    double valorIva = 0;         // IVA inside `subtotal`
    double valorIpoconsumo = 0;  // Ipoconsumo inside `subtotal`
};

inline LineTaxes lineTaxes(double gross, double descuento, double iva, bool ivaIncluido, double ipoconsumo)
{
    const auto cents = [](double x) { return R(x * 100) / 100; };
    LineTaxes t;
    t.subtotal = gross;
    const double charged = gross - descuento;  // before any IVA added on top
    const double ivaInside = iva > 0 && ivaIncluido ? iva : 0;
    const double ipoInside = ipoconsumo > 0 ? ipoconsumo : 0;
    double base = charged;
    if (ivaInside + ipoInside > 0) {
        base = R(charged / taxDivisor(ivaInside + ipoInside));
        const double inside = cents(charged - base);
        if (ivaInside > 0 && ipoInside > 0) {
            t.valorIpoconsumo = R(base * ipoInside / 100);
            t.valorIva = cents(inside - t.valorIpoconsumo);
        } else if (ipoInside > 0) {
            t.valorIpoconsumo = inside;
        } else {
            t.valorIva = inside;
        }
    }
    if (iva > 0 && !ivaIncluido) {
        t.valorIva = R(base * iva / 100);
        t.subtotal = cents(gross + t.valorIva);
    }
    return t;
}

}  // namespace kv
