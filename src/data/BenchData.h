#pragma once
// Large generated data sets for benchmarks and for trying the program at a real shop's size:
// a catalogue of 100,000 products, tens of thousands of customers and a month of sales and orders.
#include "data/Connection.h"

#include <QDate>

#include <functional>

namespace kv {

struct BenchDataOptions {
    int products = 100000;     // added to the demo catalogue
    int customers = 50000;     // added to the demo third parties
    int days = 30;             // days of sales, ending yesterday
    int salesPerDay = 3334;    // documents per day, over all registers
    int linesPerSale = 10;     // average lines per document (30 x 3334 x 10 = about 1,000,000)
    int ordersPerDay = 1000;   // orders and quotations per day, over the same days
    int linesPerOrder = 3;     // average lines per order
    // Told what is being made and how far it has got, a few hundred times over a whole run, so
    // that a generation of years of sales does not run for minutes in silence.
    std::function<void(const QString&)> progress;
};

// Adds generated products, prices, stock, customers, closed sales with their cash rows and orders to a
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
    std::function<void(const QString&)> progress;  // see BenchDataOptions
};
// Returns the number of sale lines written.
qint64 generateSales(Connection& c, const SalesOptions& options);

// Orders and quotations (POSREMISIONES) taken by the selling cashiers of the configured registers,
// priced as the order screen prices them, numbered after the orders already there.
struct OrdersOptions {
    QDate lastDay;             // orders run over the `days` days ending on this one
    int days = 1;
    int ordersPerDay = 10;
    int linesPerOrder = 3;     // average
    int paidPercent = 90;      // paid and closed (STATUS "I"); the rest are quotations left open
    double onlyCashier = 0;    // 0: every selling cashier; else only this one, at his register
    bool openingRows = true;   // some of the cashiers record an opening amount for the day
    quint32 seed = 1;          // the same seed gives the same orders
    std::function<void(const QString&)> progress;  // see BenchDataOptions
};
// Returns the number of order lines written.
qint64 generateOrders(Connection& c, const OrdersOptions& options);

}  // namespace kv
