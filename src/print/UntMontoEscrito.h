#pragma once
// The amount of a page invoice in Spanish words: "MIL DOSCIENTOS TREINTA Y CUATRO   PESOS CON 29
// M/CTE". The invoices print the text unchanged behind "Son: ", runs of blanks included.
#include <QString>

namespace kv {

// The amount in upper-case words: thousand millions, millions, thousands and units, then the
// cents in figures and the currency words. Zero, a negative amount and anything that is not a
// number read " PESOS  M/CTE". The groups are taken from the amount in whole cents, so the words
// always say what the figures say.
QString MontoEscrito(double amount);

// The words for one group of three digits, each word followed by one blank ("CIENTO UN "); 0
// gives the empty text. A count above 999 spells only its last two digits.
QString CentenasEscritas(qint64 count);

}  // namespace kv
