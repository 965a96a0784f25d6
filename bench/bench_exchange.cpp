// Moving a shop's data: the day's sales into the inventory tables.
//  - BM_DailyUpdate: one day of 1,000 sales of about 10 lines on a shop of 100,000 products, one
//    product in fifty sold as a set of two components, copied into MOVIMIENTO / MOVIMIENTODETALLE
//    in one transaction (each run replaces what the one before copied); target under 5 s.
//  - BM_DailyUpdateForcedWrites: the same on a copy with forced writes, as a shop's database runs.
// KV_BENCH_DIR keeps the generated database between runs.
#include "backoffice/DailyUpdate.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"

#include <benchmark/benchmark.h>

using namespace kv;

namespace {

QString exchangeDatabase()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-exchange-pos.fdb"),
        [](Connection& c) {
            BenchDataOptions o;
            o.products = 100000;
            o.customers = 2000;
            o.days = 1;
            o.salesPerDay = 1000;
            o.linesPerSale = 10;
            generateBenchData(c, o);
            // Sets: one product in fifty is made of the two products after it.
            c.exec(QStringLiteral("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) SELECT P.PRODUCTO, "
                                  "P.PRODUCTO + 1, 2 FROM PRODUCTOS P WHERE MOD(P.PRODUCTO, 50) = 0 AND EXISTS (SELECT 1 "
                                  "FROM PRODUCTOS Q WHERE Q.PRODUCTO = P.PRODUCTO + 2) AND NOT EXISTS (SELECT 1 FROM "
                                  "PRODUCTOSSUB S WHERE S.PRODUCTO = P.PRODUCTO)"));
            c.exec(QStringLiteral("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) SELECT S.PRODUCTO, "
                                  "S.PRODUCTO + 2, 1 FROM PRODUCTOSSUB S WHERE S.SUBPRODUCTO = S.PRODUCTO + 1"));
        },
        [](Connection& c) { return c.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toInt() >= 100000; });
    return path;
}

void dailyUpdate(benchmark::State& state, const QString& path)
{
    auto pos = kvbench::openDatabase(path);
    // The generated day: the one with the most sales (the demo's own few sales lie on other days).
    const QDate day = pos->scalar(QStringLiteral("SELECT FIRST 1 CAST(FECHA AS DATE) FROM POSMOVIMIENTO GROUP BY 1 "
                                                 "ORDER BY COUNT(*) DESC"))
                          .toDate();
    DailyUpdate::ensureRecord(*pos);
    TransferResult r;
    for (auto _ : state) {
        r = DailyUpdate(*pos).run(day, day);
        if (!r.stored())
            state.SkipWithError("the update did not store the day");
    }
    state.counters["documents"] = r.documents;
    state.counters["lines"] = r.lines;
    const int saleLines =
        pos->scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = "
                                   "H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO WHERE "
                                   "H.FECHA >= :D AND H.FECHA < :E"),
                    {{QStringLiteral("D"), QDateTime(day, QTime(0, 0))}, {QStringLiteral("E"), QDateTime(day.addDays(1), QTime(0, 0))}})
            .toInt();
    state.counters["components"] = r.lines - saleLines;
}

void BM_DailyUpdate(benchmark::State& state)
{
    dailyUpdate(state, kvbench::copyOf(exchangeDatabase(), QStringLiteral("bench-exchange-update.fdb")));
}
BENCHMARK(BM_DailyUpdate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DailyUpdateForcedWrites(benchmark::State& state)
{
    dailyUpdate(state, kvbench::forcedWritesCopyOf(exchangeDatabase(), QStringLiteral("bench-exchange-forced.fdb")));
}
BENCHMARK(BM_DailyUpdateForcedWrites)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
