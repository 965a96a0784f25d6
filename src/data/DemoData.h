#pragma once
// The demo installation: a small Colombian shop with a restaurant corner ("La Candelaria"),
// complete enough to sign on, sell, collect, run the cash count and post the day's voucher.
// docs/demo.md lists the users, cashiers and passwords it creates.
#include "data/Connection.h"

#include <QString>

namespace kv {

// The product group of the restaurant's dishes: one of the two groups the restaurant's item picker
// lists ("02" and "12").
inline constexpr const char* kRestaurantGroup = "12";

// Fills an empty POS database (schema already created): business data, companies, document
// types, branches, registers, cashiers, units, groups, about 200 products with prices and stock,
// customers and suppliers, currencies and exchange rates, restaurant tables and waiters, invoice
// lines, accounts, the program menu, users and their permissions, and two weeks of past sales.
void seedDemoPos(Connection& c);

// The program menu (PROGRAMASPOS): every program under its group, as a new installation gets it.
void seedProgramTable(Connection& c);

// Fills an empty accounting database (schema already created) with a few third parties.
void seedDemoAccounting(Connection& c);

// Creates dir/korvela.fdb and dir/tavro.fdb on the embedded engine when they are missing, seeds
// them (existing ones only get the tables and indexes they lack), and writes dir/DireccionBd.txt (line 5: accounting database, line 7: POS database).
// Returns the path of that location file.
QString createDemoInstallation(const QString& dir);

// The digits with their EAN check digit appended (12 digits give an EAN-13, 7 an EAN-8).
QString withEanCheckDigit(const QString& digits);

}  // namespace kv
