// The cash count and the daily reports of one day on a year of sales (1,000 documents a day of
// about 3 lines, with the registers' opening amounts and expenses): each read and laid out in
// under 1 s, reading the day by the FECHA indexes rather than walking the year.
//  - BM_CashCount: the signed-on cashier's cash count (the roll report "VENTAS DIARIAS POR CAJA").
//  - BM_DailyReports/n: report n of the family (1 by payment type, 2 by referrer, 3 by register on
//    letter paper, 5 the summary).
// KV_BENCH_DIR keeps the generated database between runs (making it takes minutes).
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "data/DemoData.h"
#include "pos/UntVentaCajaArqueoRpt1.h"
#include "pos/UntVentaCajaArqueoRpt2.h"
#include "pos/UntVentaCajaArqueoRpt3.h"
#include "pos/UntVentaCajaArqueoRpt4.h"
#include "pos/UntVentaCajaArqueoRpt5.h"

#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const QDate kLastDay(2026, 6, 30);
const QDate kDay(2026, 6, 15);
constexpr int kDays = 365;

Connection& database()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-cash-year.fdb"),
        [](Connection& c) {
            seedDemoPos(c);
            SalesOptions o;
            o.lastDay = kLastDay;
            o.days = kDays;
            o.salesPerDay = 1000;
            o.linesPerSale = 3;
            generateSales(c, o);
        },
        [](Connection& c) { return c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt() >= kDays * 1000; });
    static const std::unique_ptr<Connection> c = kvbench::openDatabase(path);
    return *c;
}

// The day's busiest cashier, with the company and type of his documents.
CashReportParams dayParams()
{
    Connection& db = database();
    QSqlQuery q = db.exec(QStringLiteral("SELECT FIRST 1 EMPRESA, DOCUMENTO, CAJERO, COUNT(*) FROM POSMOVIMIENTO WHERE FECHA >= "
                                         ":FI AND FECHA < :FF GROUP BY EMPRESA, DOCUMENTO, CAJERO ORDER BY 4 DESC"),
                          {{QStringLiteral("FI"), QDateTime(kDay, QTime(0, 0))},
                           {QStringLiteral("FF"), QDateTime(kDay.addDays(1), QTime(0, 0))}});
    CashReportParams p;
    p.first = p.last = kDay;
    if (db.next(q)) {
        p.empresa = q.value(0).toString().trimmed();
        p.documento = q.value(1).toString().trimmed();
        p.cajero = q.value(2).toDouble();
    }
    return p;
}

void layOut(benchmark::State& state, const std::function<std::unique_ptr<Report>(Connection&, const CashReportParams&)>& build)
{
    Connection& db = database();
    const CashReportParams p = dayParams();
    int pages = 0;
    for (auto _ : state) {
        const Document doc = build(db, p)->render();
        pages = doc.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}

void BM_CashCount(benchmark::State& state) { layOut(state, &TFrmVentaCajaArqueoRpt4::build); }
BENCHMARK(BM_CashCount)->Unit(benchmark::kMillisecond);

void BM_DailyReports(benchmark::State& state)
{
    switch (state.range(0)) {
    case 1: layOut(state, [](Connection& db, const CashReportParams& p) { return TFrmVentaCajaArqueoRpt1::build(db, p); }); break;
    case 2: layOut(state, [](Connection& db, const CashReportParams& p) { return TFrmVentaCajaArqueoRpt2::build(db, p); }); break;
    case 3: layOut(state, [](Connection& db, const CashReportParams& p) { return TFrmVentaCajaArqueoRpt3::build(db, p); }); break;
    default: layOut(state, &TFrmVentaCajaArqueoRpt5::build); break;
    }
}
BENCHMARK(BM_DailyReports)->Arg(1)->Arg(2)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
