// The products screen on a shop-sized catalogue: 100,000 generated products on top of the demo
// shop, on the embedded engine.
//  - BM_ProductsScreenOpens: the screen is created, shown, and its grid paints its first rows.
//    Target: under 300 ms.
//  - BM_ProductsNumberKeystroke / BM_ProductsNameKeystroke: one keystroke in the number or the
//    name search box: the cursor moves to the nearest product, the grid and the prices grid
//    follow and paint. Target: under 20 ms each.
//  - BM_ProductsSearchSwitch: a keystroke in the other box than the last, which also changes
//    the grid's order (number <-> name).
// KV_BENCH_DIR keeps the generated database between runs (it takes a few minutes to make).
#include "bench/support/GuiBenchMain.h"
#include "catalog/UntProductos.h"
#include "common/Dialogs.h"
#include "bench/support/GeneratedDatabase.h"
#include "data/BenchData.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

#include <memory>

using namespace kv;

namespace {

const int kProducts = 100000;

Connection& database()
{
    static std::unique_ptr<Connection> c = kvbench::openDatabase(kvbench::generatedDatabase(
        QStringLiteral("bench-products.fdb"),
        [](Connection& g) {
            BenchDataOptions o;
            o.products = kProducts;
            o.customers = 1000;  // the products screen reads no third parties or sales
            o.days = 1;
            o.salesPerDay = 20;
            o.linesPerSale = 3;
            generateBenchData(g, o);
        },
        [](Connection& g) { return g.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toInt() >= kProducts; }));
    return *c;
}

// What a person types, one keystroke at a time: the successive prefixes of real values spread
// over the catalogue.
QStringList keystrokes(const QString& column, int maxLength)
{
    QStringList out;
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT %1 FROM PRODUCTOS WHERE MOD(PRODUCTO, 4999) = 7 ROWS 40").arg(column));
    while (q.next()) {
        const QString v = q.value(0).toString().trimmed();
        for (int n = 1; n <= qMin(maxLength, int(v.size())); ++n)
            out << v.left(n);
    }
    return out;
}

void settle(TFrmProductos& f)
{
    QCoreApplication::processEvents();
    f.DBGrid1->viewport()->repaint();
    f.DBGrid2->viewport()->repaint();
}

void BM_ProductsScreenOpens(benchmark::State& state)
{
    Connection& db = database();
    for (auto _ : state) {
        auto f = std::make_unique<TFrmProductos>(db);
        f->show();
        settle(*f);
        benchmark::DoNotOptimize(f->DBGrid1->model()->rowCount());
        state.PauseTiming();
        f.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProductsScreenOpens)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void typeAll(benchmark::State& state, TFrmProductos& f, QLineEdit* box, const QStringList& keys)
{
    int i = 0;
    for (auto _ : state) {
        box->setText(keys[i++ % keys.size()]);  // the search runs on the change of the text
        settle(f);
    }
    state.counters["keys"] = keys.size();
}

void BM_ProductsNumberKeystroke(benchmark::State& state)
{
    TFrmProductos f(database());
    f.show();
    settle(f);
    typeAll(state, f, f.Edit1, keystrokes(QStringLiteral("PRODUCTO"), 6));
}
BENCHMARK(BM_ProductsNumberKeystroke)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ProductsNameKeystroke(benchmark::State& state)
{
    TFrmProductos f(database());
    f.show();
    settle(f);
    typeAll(state, f, f.Edit2, keystrokes(QStringLiteral("NOMBRE"), 10));
}
BENCHMARK(BM_ProductsNameKeystroke)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ProductsSearchSwitch(benchmark::State& state)
{
    TFrmProductos f(database());
    f.show();
    settle(f);
    const QStringList numbers = keystrokes(QStringLiteral("PRODUCTO"), 6);
    const QStringList names = keystrokes(QStringLiteral("NOMBRE"), 10);
    int i = 0;
    for (auto _ : state) {
        if (i % 2)
            f.Edit1->setText(numbers[(i / 2) % numbers.size()]);
        else
            f.Edit2->setText(names[(i / 2) % names.size()]);
        ++i;
        settle(f);
    }
}
BENCHMARK(BM_ProductsSearchSwitch)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
