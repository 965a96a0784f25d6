// The back office's day on a generated shop.
//  - BM_PostDay: a day of 1,000 sales of about 10 lines each posted as one accounting voucher
//    (checked, the old voucher replaced, about 30,000 voucher lines written in one transaction on
//    the embedded engine); target under 3 s.
//  - BM_IvaReportDay, BM_IvaReportTwoMonths: "Iva Generado" read and laid out for one day and for
//    two months of 1,000 sales a day; targets 1 s and 5 s.
// KV_BENCH_DIR keeps the generated databases between runs.
#include "backoffice/AccountingPosting.h"
#include "backoffice/UntMovimientoBaseIvaRpt1.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "data/DemoData.h"

#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const QDate kDay(2026, 6, 15);

// The demo shop with `days` days of 1,000 sales of about 10 lines, ending on kDay.
QString salesDatabase(const QString& name, int days)
{
    return kvbench::generatedDatabase(name, [days](Connection& c) {
        seedDemoPos(c);
        SalesOptions o;
        o.lastDay = kDay;
        o.days = days;
        o.salesPerDay = 1000;
        o.linesPerSale = 10;
        generateSales(c, o);
    });
}

QString posDatabase()
{
    static const QString path = salesDatabase(QStringLiteral("bench-backoffice-pos.fdb"), 1);
    return path;
}

// An empty accounting database, made afresh for each run.
QString accountingDatabase()
{
    static const QString path = [] {
        const QString p = QDir(kvbench::benchDir()).filePath(QStringLiteral("bench-backoffice-tavro.fdb"));
        QFile::remove(p);
        createDatabase(p);
        {
            Connection c(QStringLiteral("BenchMake"));
            c.setLocation(p);
            c.open();
            createAccountingSchema(c);
        }
        kvbench::asynchronousWrites(p);
        return p;
    }();
    return path;
}

QString twoMonthsDatabase()
{
    static const QString path = salesDatabase(QStringLiteral("bench-backoffice-2m.fdb"), 61);
    return path;
}

void ivaReport(benchmark::State& state, const QDate& desde)
{
    auto pos = kvbench::openDatabase(twoMonthsDatabase());
    TFrmMovimientoBaseIvaRpt1 rpt(*pos);
    int pages = 0;
    for (auto _ : state) {
        rpt.open(QStringLiteral("01"), desde, kDay);
        pages = rpt.render().pageCount();
    }
    state.counters["pages"] = pages;
}
void BM_IvaReportDay(benchmark::State& state) { ivaReport(state, kDay); }
BENCHMARK(BM_IvaReportDay)->Unit(benchmark::kMillisecond);
void BM_IvaReportTwoMonths(benchmark::State& state) { ivaReport(state, kDay.addDays(-60)); }
BENCHMARK(BM_IvaReportTwoMonths)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PostDay(benchmark::State& state)
{
    auto pos = kvbench::openDatabase(posDatabase());
    Connection tavro(QStringLiteral("TavroNi"));
    tavro.setLocation(accountingDatabase());
    tavro.open();
    AccountingPosting posting(*pos, tavro);
    PostingSummary s;
    for (auto _ : state)
        s = posting.post({kDay, QStringLiteral("POS")});
    state.counters["sales"] = s.sales;
    state.counters["voucher_lines"] = s.lines;
}
BENCHMARK(BM_PostDay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
