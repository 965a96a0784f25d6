// The search dialogs on a shop-sized catalogue: 100,000 generated products and 50,000 generated
// third parties on top of the demo shop, on the embedded engine.
//  - BM_ProductSearchKeystroke/orden: one keystroke in the general product search in each of its
//    eight orders (0 PRODUCTO ... 7 LOTE), and in the alphabetical search (8): the cursor moves
//    (or the name filter changes) and the grid paints its first screenful. Target: under 30 ms.
//  - BM_ThirdPartySearchKeystroke/orden: the same in the third party search (0 NIT, 1 NOMBRE,
//    2 TELEFONO, 3 CIUDAD). Target: under 30 ms.
//  - BM_StockBalance: the stock balance of a product, as the searches show it. Target: under 5 ms.
// KV_BENCH_DIR keeps the generated database between runs (it takes a few minutes to make).
#include "bench/support/GuiBenchMain.h"
#include "catalog/StockBalance.h"
#include "catalog/UntBuscarProducto.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "catalog/UntBuscarTercero.h"
#include "common/Dialogs.h"
#include "bench/support/GeneratedDatabase.h"
#include "data/BenchData.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace kv;

namespace {

const int kProducts = 100000;
const int kThirdParties = 50000;

Connection& database()
{
    static std::unique_ptr<Connection> c = [] {
        auto conn = kvbench::openDatabase(kvbench::generatedDatabase(
            QStringLiteral("bench-search.fdb"),
            [](Connection& g) {
                BenchDataOptions o;
                o.products = kProducts;
                o.customers = kThirdParties;
                o.days = 1;  // the searches do not read sales
                o.salesPerDay = 20;
                o.linesPerSale = 3;
                generateBenchData(g, o);
            },
            [](Connection& g) {
                return g.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toInt() >= kProducts &&
                       g.scalar(QStringLiteral("SELECT COUNT(*) FROM PROVEEDORES")).toInt() >= kThirdParties;
            }));
        createPosSchema(*conn);  // a kept database made before some search index existed gets it
        return conn;
    }();
    return *c;
}

// What a person types, one keystroke at a time: the successive prefixes of some real values.
QStringList keystrokes(const QString& sql, int maxLength)
{
    QStringList values;
    QSqlQuery q = database().exec(sql);
    while (q.next())
        values << q.value(0).toString().trimmed();
    QStringList out;
    for (const QString& v : values)
        for (int n = 1; n <= qMin(maxLength, int(v.size())); ++n)
            out << v.left(n);
    if (out.isEmpty())
        out << QStringLiteral("A") << QStringLiteral("AB");
    return out;
}

// Sample rows spread over the table: every n-th by key.
QString spread(const QString& column, const QString& table, const QString& key)
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE MOD(CAST(%3 AS BIGINT), 4999) = 7 ROWS 40").arg(column, table, key);
}

void typeAll(benchmark::State& state, QLineEdit* box, DbGrid* grid, const QStringList& keys)
{
    int i = 0;
    for (auto _ : state) {
        box->setText(keys[i++ % keys.size()]);  // the search runs on the change of the text
        grid->viewport()->repaint();            // and the grid paints the rows it now shows
    }
    state.counters["keys"] = keys.size();
}

void BM_ProductSearchKeystroke(benchmark::State& state)
{
    const int orden = int(state.range(0));
    if (orden == 8) {
        TFrmBuscarProductoAlf dlg(database());
        dlg.show();
        typeAll(state, dlg.EditNit, dlg.DBGrid1,
                keystrokes(spread(QStringLiteral("NOMBRE"), QStringLiteral("PRODUCTOS"), QStringLiteral("PRODUCTO")), 8));
        state.SetLabel("alfabetica");
        return;
    }
    TFrmBuscarProducto dlg(database());
    dlg.show();
    dlg.RadioGroup1->setItemIndex(orden);
    dlg.RadioGroup1Click();
    const QString column = TFrmBuscarProducto::orderField(orden);
    QStringList keys;
    if (orden == TFrmBuscarProducto::Producto || orden == TFrmBuscarProducto::Nombre ||
        orden == TFrmBuscarProducto::Referencia)
        keys = keystrokes(spread(column, QStringLiteral("PRODUCTOS"), QStringLiteral("PRODUCTO")), 8);
    else  // generated products carry no book data: what is typed finds the demo's few or the end
        keys = {QStringLiteral("A"), QStringLiteral("AM"), QStringLiteral("AMO"), QStringLiteral("L"),
                QStringLiteral("LO"), QStringLiteral("Z")};
    typeAll(state, dlg.EditNit, dlg.DBGrid1, keys);
    state.SetLabel(column.toStdString());
}
BENCHMARK(BM_ProductSearchKeystroke)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ThirdPartySearchKeystroke(benchmark::State& state)
{
    static const char* const columns[] = {"NIT", "NOMBRE", "TELEFONO", "CIUDAD"};
    const int orden = int(state.range(0));
    TFrmBuscarTercero dlg(database());
    dlg.show();
    dlg.RadioGroup1->setItemIndex(orden);
    dlg.RadioGroup1Click();
    const QString column = QString::fromLatin1(columns[orden]);
    const QString sql = orden == 0 ? QStringLiteral("SELECT CAST(NIT AS BIGINT) FROM PROVEEDORES WHERE "
                                                    "MOD(CAST(NIT AS BIGINT), 997) = 3 ROWS 40")
                                   : spread(column, QStringLiteral("PROVEEDORES"), QStringLiteral("NIT"));
    typeAll(state, dlg.EditNit, dlg.DBGrid1, keystrokes(sql, 10));
    state.SetLabel(column.toStdString());
}
BENCHMARK(BM_ThirdPartySearchKeystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_StockBalance(benchmark::State& state)
{
    Connection& db = database();
    const int first = db.scalar(QStringLiteral("SELECT MIN(PRODUCTO) FROM PRODUCTOS")).toInt();
    const int last = db.scalar(QStringLiteral("SELECT MAX(PRODUCTO) FROM PRODUCTOS")).toInt();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(first, last);
    double sum = 0;
    for (auto _ : state)
        sum += StockBalance(db, pick(rng));
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_StockBalance)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
