// The back office's day on a generated shop.
//  - BM_PostDay: a day of 1,000 sales of about 10 lines each posted as one accounting voucher
//    (checked, the old voucher replaced, about 30,000 voucher lines written in one transaction on
//    the embedded engine); target under 3 s.
//  - BM_IvaReportDay, BM_IvaReportTwoMonths: "Iva Generado" read and laid out for one day and for
//    two months of 1,000 sales a day; targets 1 s and 5 s.
//  - BM_DashboardMonth/N, BM_DashboardYear/N: "Tablero de Ventas" opened on the last month and
//    on the last year of a shop with N years of sales (20,000 products, 50 documents a day of
//    about 4 lines, as bench_register's shop of years): every figure and chart read and drawn.
//    Targets on ten years: a month under 1 s, a year under 3 s; the figure for a month is the same
//    whatever the years stored, since every statement starts from the period's days.
//    BM_DashboardMonthBusy: a month of the busy shop above (1,000 sales a day of 10 lines).
// KV_BENCH_DIR keeps the generated databases between runs.
#include "backoffice/AccountingPosting.h"
#include "backoffice/UntTableroVentas.h"
#include "backoffice/UntMovimientoBaseIvaRpt1.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "data/DemoData.h"

#include <QComboBox>
#include <QDateEdit>
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

// A shop with `years` of history ending yesterday.
QString yearsDatabase(int years)
{
    return kvbench::generatedDatabase(QStringLiteral("bench-dashboard-%1y.fdb").arg(years), [years](Connection& c) {
        generateBenchData(c, kvbench::yearsOfSales(years));
    });
}

// The screen opened and the period chosen, as the owner does: figures, tiles and charts.
void dashboard(benchmark::State& state, const QString& database, int days)
{
    auto pos = kvbench::openDatabase(database);
    const QDate last = pos->scalar(QStringLiteral("SELECT CAST(MAX(FECHA) AS DATE) FROM POSMOVIMIENTO")).toDate();
    double sales = 0;
    for (auto _ : state) {
        TFrmTableroVentas f(*pos, nullptr, last);
        f.CmbPeriodo->setCurrentIndex(int(DashboardPeriod::Range));
        f.EditDesde->setDate(last.addDays(1 - days));
        f.EditHasta->setDate(last);
        f.BtnActualizarClick();
        sales = f.figures().totals.numeroVentas;
    }
    state.counters["sales"] = sales;
}
void BM_DashboardMonth(benchmark::State& state) { dashboard(state, yearsDatabase(int(state.range(0))), 30); }
BENCHMARK(BM_DashboardMonth)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
void BM_DashboardYear(benchmark::State& state) { dashboard(state, yearsDatabase(int(state.range(0))), 365); }
BENCHMARK(BM_DashboardYear)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
void BM_DashboardMonthBusy(benchmark::State& state) { dashboard(state, twoMonthsDatabase(), 30); }
BENCHMARK(BM_DashboardMonthBusy)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
