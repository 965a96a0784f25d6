#pragma once
// The busy supermarket day the register benchmarks run on: 100,000 products, a month of sales
// (about 1,000,000 lines) and, so far today, 3,334 open sales of about 10 lines (33,000 lines) over
// the configured registers. A kept database gets today's sales on the first run of a later day,
// and whatever the schema added since it was made (as `korvela-db update` gives a shop).
#include "bench/support/GeneratedDatabase.h"
#include "data/BenchData.h"

#include <QDate>

namespace kvbench {

inline QString busyDayDatabase()
{
    static const QString path = [] {
        const QString p = generatedDatabase(QStringLiteral("bench-register.fdb"), [](kv::Connection& c) {
            generateBenchData(c, kv::BenchDataOptions{});
        });
        auto c = openDatabase(p);
        kv::createPosSchema(*c);
        // The demo's own few sales of today do not make a busy day.
        if (c->scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE FECHA >= CURRENT_DATE")).toInt() < 3000) {
            kv::SalesOptions today;
            today.lastDay = QDate::currentDate();
            today.salesPerDay = 3334;
            today.linesPerSale = 10;
            today.closed = false;
            today.cashRows = false;
            today.seed = 7;
            generateSales(*c, today);
        }
        return p;
    }();
    return path;
}

}  // namespace kvbench
