// The cursor on a shop-sized database: 100,000 generated products and about 1,000,000 sale lines
// on the embedded engine.
//  - BM_FindKeyProducto / BM_LocateCodigoBarras: one product found by number or by barcode,
//    about a thousand of them spread over the table and taken in random order, so that each one
//    is away from the rows the last one brought in. Target: median under 1 ms (keyed reads of
//    the row and of a screenful from it, never a walk through the table).
//  - BM_GridFirstScreenful: a products grid opened and its first screenful painted. Target: under
//    50 ms, memory independent of the table's size (one page is held, not the table).
// KV_BENCH_DIR keeps the generated database between runs (it takes a couple of minutes to make).
#include "bench/support/GuiBenchMain.h"
#include "bench/support/GeneratedDatabase.h"
#include "data/BenchData.h"
#include "data/Dataset.h"
#include "platform/DbGrid.h"

#include <QApplication>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

using namespace kv;

namespace {

Connection& connection()
{
    static std::unique_ptr<Connection> c = kvbench::openDatabase(kvbench::generatedDatabase(
        QStringLiteral("bench-data.fdb"), [](Connection& g) { generateBenchData(g, BenchDataOptions{}); }));
    return *c;
}

// About a thousand values of a product column spread over the table, in random order, so that
// each one is away from the rows the last one brought in.
QVariantList sample(Connection& c, const QString& column)
{
    QVariantList out;
    QSqlQuery q = c.exec(
        QStringLiteral("SELECT %1 FROM PRODUCTOS WHERE %1 IS NOT NULL AND MOD(PRODUCTO, 97) = 5").arg(column));
    while (q.next())
        out << (q.value(0).typeId() == QMetaType::QString ? QVariant(q.value(0).toString().trimmed()) : q.value(0));
    std::shuffle(out.begin(), out.end(), std::mt19937(42));
    return out;
}

// The products, in the given order (empty: by key), opened as a screen opens them.
void openProducts(Dataset& ds, const QString& order = QString())
{
    ds.setTableName(QStringLiteral("PRODUCTOS"));
    ds.setIndexFieldNames(order);
    ds.Open();
}

void BM_FindKeyProducto(benchmark::State& state)
{
    Dataset ds(connection());
    openProducts(ds, QStringLiteral("PRODUCTO"));
    const QVariantList numbers = sample(connection(), QStringLiteral("PRODUCTO"));
    int i = 0;
    for (auto _ : state) {
        if (!ds.FindKey({numbers[i++ % numbers.size()]}))
            state.SkipWithError("product not found");
    }
}
BENCHMARK(BM_FindKeyProducto)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LocateCodigoBarras(benchmark::State& state)
{
    Dataset ds(connection());
    openProducts(ds);
    const QVariantList codes = sample(connection(), QStringLiteral("CODIGOBARRAS"));
    int i = 0;
    for (auto _ : state) {
        if (!ds.Locate(QStringLiteral("CODIGOBARRAS"), codes[i++ % codes.size()]))
            state.SkipWithError("barcode not found");
    }
}
BENCHMARK(BM_LocateCodigoBarras)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Scrolling a grid ordered by name: the next page of 100 products after the rows held, and the
// page before them after a jump to the end. Target: a keyed index walk, a few milliseconds a page.
void BM_PageByName(benchmark::State& state)
{
    Dataset ds(connection());
    openProducts(ds, QStringLiteral("NOMBRE"));
    const bool backward = state.range(0) == 1;
    if (backward)
        ds.Last();
    for (auto _ : state) {
        if (!(backward ? ds.fetchMoreBackward() : ds.fetchMoreForward())) {
            state.SkipWithError("ran out of products");
            break;
        }
    }
    state.counters["rows_held"] = ds.bufferCount();
}
BENCHMARK(BM_PageByName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_GridFirstScreenful(benchmark::State& state)
{
    Connection& c = connection();
    for (auto _ : state) {
        Dataset ds(c);
        ds.setTableName(QStringLiteral("PRODUCTOS"));
        ds.setIndexFieldNames(QStringLiteral("NOMBRE"));
        DbGrid grid(ds);
        grid.resize(900, 600);
        ds.Open();
        grid.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(grid.grab());
        state.counters["rows_held"] = ds.bufferCount();
    }
}
BENCHMARK(BM_GridFirstScreenful)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
