#include "print/UntMontoEscrito.h"

#include "common/Numbers.h"

#include <cmath>

namespace kv {

namespace {

const char* const kHundreds[] = {"", "", "DOSCIENTOS", "TRESCIENTOS", "CUATROCIENTOS", "QUINIENTOS",
                                 "SEISCIENTOS", "SETECIENTOS", "OCHOCIENTOS", "NOVECIENTOS"};
const char* const kTens[] = {"", "", "VEINTE", "TREINTA", "CUARENTA", "CINCUENTA",
                             "SESENTA", "SETENTA", "OCHENTA", "NOVENTA"};
const char* const kTeens[] = {"DIEZ", "ONCE", "DOCE", "TRECE", "CATORCE", "QUINCE",
                              "DIEZ Y SEIS", "DIEZ Y SIETE", "DIEZ Y OCHO", "DIEZ Y NUEVE"};
const char* const kUnits[] = {"", "UN", "DOS", "TRES", "CUATRO", "CINCO", "SEIS", "SIETE", "OCHO", "NUEVE"};

void word(QString& text, const char* w)
{
    text += QLatin1String(w);
    text += QLatin1Char(' ');
}

// The largest amount in cents worked on; beyond it (far past any invoice) the words stop growing
// instead of overflowing.
constexpr double kMaxCents = 9.0e18;

}  // namespace

QString CentenasEscritas(qint64 n)
{
    QString text;
    if (n <= 0)
        return text;
    int tens = 0;
    int units = 0;
    if (n >= 100) {
        const qint64 hundreds = n / 100;
        n -= 100 * hundreds;
        // A count of a thousand or more has a "hundreds digit" of 10 or more: it prints nothing.
        if (hundreds == 1)
            word(text, n == 0 ? "CIEN" : "CIENTO");
        else if (hundreds <= 9)
            word(text, kHundreds[hundreds]);
    }
    if (n >= 10) {
        tens = int(n / 10);
        n -= 10 * tens;
        if (tens >= 2)
            word(text, kTens[tens]);
    }
    units = int(n);
    if (tens == 1) {
        word(text, kTeens[units]);
        units = 0;
    }
    if (tens >= 2 && units >= 1)
        word(text, "Y");
    if (units >= 1)
        word(text, kUnits[units]);
    return text;
}

QString MontoEscrito(double amount)
{
    // Everything is worked out on the amount in whole cents, rounded half to even as cents are
    // everywhere else. Comparing the amount as a double against limits such as 999.99 let a
    // remainder like 999.99 count as a thousand and print a stray "MIL".
    double scaled = R(amount * 100.0);
    if (!(scaled > 0))  // zero, negative or not a number
        scaled = 0;
    const qint64 allCents = qint64(std::min(scaled, kMaxCents));
    const qint64 pesos = allCents / 100;
    const qint64 cents = allCents % 100;

    const qint64 billions = pesos / 1000000000;  // thousand millions
    const qint64 millions = pesos / 1000000 % 1000;
    const qint64 thousands = pesos / 1000 % 1000;
    const qint64 units = pesos % 1000;
    // What is left below a group, cents included, as the joining rules ask "is anything left".
    const qint64 belowBillions = allCents - billions * 100000000000;
    const qint64 belowMillions = belowBillions - millions * 100000000;

    QString text;
    if (billions > 0) {
        if (billions != 1)  // one thousand million reads MIL MILLONES, not UN MIL MILLONES
            text += CentenasEscritas(billions);
        text += QLatin1String("MIL ");
        if (belowBillions == 0)
            text += QLatin1String("MILLONES ");
    }
    if (millions > 0) {
        text += CentenasEscritas(millions);
        text += QLatin1String(" MILLON");
        text += millions > 1 ? QLatin1String("ES ") : QLatin1String(" ");
    }
    if (billions > 0 && millions == 0 && belowMillions > 0)
        text += QLatin1String("MILLONES ");
    if (thousands > 0) {
        if (thousands != 1)  // one thousand reads MIL, not UN MIL
            text += CentenasEscritas(thousands);
        text += QLatin1String("MIL ");
    }
    if (units > 0) {
        text += CentenasEscritas(units);
        text += QLatin1Char(' ');
    }
    if (millions != 0 && thousands == 0 && units == 0)
        text += QLatin1String(" DE ");
    text += QLatin1String(" PESOS ");
    if (cents > 0)
        text += QLatin1String("CON ") + QString::number(cents);
    text += QLatin1String(" M/CTE");
    return text;
}

}  // namespace kv
