#pragma once
// One table of taxed lines that every register rings up: IVA 19 % and 5 % both inside the price
// and added to it, a product without taxes and a dish with Ipoconsumo 8 %, at prices that do not
// divide evenly, so a rounding taken the wrong way shows. After seedRegister (RegisterFixture.h).
#include "data/Connection.h"

namespace kvtest {

struct TaxCase {
    int producto;
    const char* nombre;
    double precio;  // catalogue price of one unit (VALORUNIDAD and the counter price of "UN")
    double iva;
    bool incluido;  // PRECIOMASIVA "S"
    double ipoconsumo;
    // What one unit stores: the amount charged, its IVA and its Ipoconsumo.
    double subtotal, valorIva, valorIpoconsumo;
};

inline constexpr TaxCase kTaxCases[] = {
    {1, "ARROZ", 11999, 19, true, 0, 11999, 1916, 0},        // base 10,083
    {2, "VINO", 9999, 19, false, 0, 11899, 1900, 0},         // base 9,999
    {5, "JABON", 10001, 5, true, 0, 10001, 476, 0},          // base 9,525
    {6, "LECHE", 4321, 5, false, 0, 4537, 216, 0},           // base 4,321
    {4, "TINTO", 2000, 0, false, 0, 2000, 0, 0},
    {3, "ALMUERZO", 15050, 0, false, 8, 15050, 0, 1115},     // base 13,935
};

// Gives the products of the table their prices and rates (LECHE is added, in ARROZ's group),
// with one unit "UN" as their only packing.
void seedTaxTable(kv::Connection& db);

// The stored lines of document `numero` (one unit of each product of the table, in any order)
// are those of the table: each tax is its base times its rate within the rounding, and the
// header's NETO is the sum of what the lines charge, its IVA the sum of their IVA.
void expectTaxesAddUp(kv::Connection& db, int numero);

}  // namespace kvtest
