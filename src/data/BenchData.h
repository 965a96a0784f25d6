#pragma once
// Large generated data sets for benchmarks and for trying the program at a real shop's size:
// a catalogue of 100,000 products, tens of thousands of customers and a month of sales.
#include "data/Connection.h"

#include <QDate>

namespace kv {

struct BenchDataOptions {
    int products = 100000;     // added to the demo catalogue
    int customers = 50000;     // added to the demo third parties
    int days = 30;             // days of sales, ending yesterday
    int salesPerDay = 3334;    // documents per day, over all registers
    int linesPerSale = 10;     // average lines per document (30 x 3334 x 10 = about 1,000,000)
};

// Adds generated products, prices, stock, customers and closed sales with their cash rows to a
// POS database. The database needs the demo configuration (registers, cashiers, document types);
// when it has none, the demo data is seeded first.
void generateBenchData(Connection& c, const BenchDataOptions& options);

// Sales of the registers configured in the database, priced as the sale screens price them.
struct SalesOptions {
    QDate lastDay;             // sales run over the `days` days ending on this one
    int days = 1;
    int salesPerDay = 10;
    int linesPerSale = 3;      // average
    bool closed = true;        // paid (STATUS "I") or still waiting to be collected
    double onlyCashier = 0;    // 0: every selling cashier; else only this one's register
    bool cashRows = true;      // opening amounts (POSARQUEO) and cash expenses (POSPAGOSCAJA)
    quint32 seed = 1;          // the same seed gives the same sales
};
// Returns the number of sale lines written.
qint64 generateSales(Connection& c, const SalesOptions& options);

}  // namespace kv
