#pragma once
// The busy supermarket day the register benchmarks run on: 100,000 products, a month of sales
// (about 1,000,000 lines) and, so far today, 3,334 open sales of about 10 lines (33,000 lines) over
// the configured registers. A kept database gets today's sales on the first run of a later day,
// and whatever the schema added since it was made (as `korvela-db update` gives a shop).
#include "bench/support/GeneratedDatabase.h"
#include "data/BenchData.h"

#include <QDate>

namespace kvbench {

// Open sales of today, `sales` of about `lines` lines over the configured registers, unless the
// database already has that many (a shop's demo sales of today do not count).
inline void addSalesOfToday(kv::Connection& c, int sales, int lines)
{
    if (c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE FECHA >= CURRENT_DATE")).toInt() >= sales * 9 / 10)
        return;
    kv::SalesOptions today;
    today.lastDay = QDate::currentDate();
    today.salesPerDay = sales;
    today.linesPerSale = lines;
    today.closed = false;
    today.cashRows = false;
    today.seed = 7;
    generateSales(c, today);
}

inline QString busyDayDatabase()
{
    static const QString path = [] {
        const QString p = generatedDatabase(QStringLiteral("bench-register.fdb"), [](kv::Connection& c) {
            generateBenchData(c, kv::BenchDataOptions{});
        });
        auto c = openDatabase(p);
        kv::createPosSchema(*c);
        addSalesOfToday(*c, 3334, 10);
        return p;
    }();
    return path;
}

}  // namespace kvbench
