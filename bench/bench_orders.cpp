// The orders subsystem on a generated database of 1,000,000 orders (1,000 a day for 1,000 days,
// about two lines each, most paid), all taken by one seller at register 1, so that a day's
// listing has the whole day's 1,000 orders to read.
//  - BM_OrderListings/1: the day's "COTIZACIONES DIARIAS POR CAJA" of that register, read and
//    laid out; /2: "VENTAS DIARIAS POR CAJERO" of that seller. Under 1 s each: the day is read by
//    the FECHA index, not by walking a thousand days.
//  - BM_StartOrder: a new order numbered and stored among the million, under 5 ms: the highest
//    number is one indexed read.
//  - BM_OrderLine/N: one line stored in an order of N lines and the order re-totalled (one
//    transaction), under 10 ms; BM_OrderLineForcedWrites/N the same with forced writes on, as a
//    shop's database runs.
// KV_BENCH_DIR keeps the generated database between runs (making it takes minutes).
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "data/DemoData.h"
#include "orders/UntPedidoCajaArqueoRpt1.h"
#include "orders/UntPedidoCajaArqueoRpt2.h"
#include "orders/UntDmPedidos.h"

#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const QDate kLastDay(2026, 6, 30);
const QDate kDay(2026, 6, 15);
constexpr int kDays = 1000;
constexpr int kOrdersPerDay = 1000;
constexpr double kSeller = 1;  // the demo's seller at register 1

// The demo shop with a million orders of one seller.
const QString& databasePath()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-orders.fdb"),
        [](Connection& c) {
            seedDemoPos(c);
            OrdersOptions o;
            o.lastDay = kLastDay;
            o.days = kDays;
            o.ordersPerDay = kOrdersPerDay;
            o.linesPerOrder = 2;
            o.onlyCashier = kSeller;
            generateOrders(c, o);
        },
        [](Connection& c) {
            return c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSREMISIONES")).toInt() >= kDays * kOrdersPerDay;
        });
    return path;
}

Connection& database()
{
    static const std::unique_ptr<Connection> c = kvbench::openDatabase(databasePath());
    return *c;
}

// The register (CAJA) or the cashier (VENDEDOR) with the most orders on kDay.
double busiest(const char* column)
{
    Connection& db = database();
    QSqlQuery q = db.exec(QStringLiteral("SELECT FIRST 1 %1, COUNT(*) FROM POSREMISIONES WHERE FECHA >= :FI AND FECHA < :FF "
                                         "GROUP BY %1 ORDER BY 2 DESC")
                              .arg(QLatin1String(column)),
                          {{QStringLiteral("FI"), QDateTime(kDay, QTime(0, 0))},
                           {QStringLiteral("FF"), QDateTime(kDay.addDays(1), QTime(0, 0))}});
    return db.next(q) ? q.value(0).toDouble() : 0;
}

void BM_OrderListings(benchmark::State& state)
{
    Connection& db = database();
    const bool byRegister = state.range(0) == 1;
    const double who = busiest(byRegister ? "CAJA" : "VENDEDOR");
    int pages = 0, orders = 0;
    for (auto _ : state) {
        const Document doc = byRegister ? TFrmPedidoCajaArqueoRpt1::build(db, kDay, who)->render()
                                        : TFrmPedidoCajaArqueoRpt2::build(db, kDay, who)->render();
        pages = doc.pageCount();
        orders = 0;
        for (const QString& t : doc.texts())
            orders += t.startsWith(QLatin1String("Fac ")) ? 1 : 0;
    }
    state.counters["pages"] = pages;
    state.counters["orders"] = orders;
}
BENCHMARK(BM_OrderListings)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The orders module of the seller, on a customer of the shop.
std::unique_ptr<TDmPedidos> ordersModule(Connection& db)
{
    auto dm = std::make_unique<TDmPedidos>(db);
    dm->signOn(kSeller);
    dm->TCliente.Locate(QStringLiteral("NIT"), db.scalar(QStringLiteral("SELECT FIRST 1 NIT FROM PROVEEDORES")));
    return dm;
}

void BM_StartOrder(benchmark::State& state)
{
    Connection& db = database();
    state.counters["orders"] = db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSREMISIONES")).toDouble();
    const auto dm = ordersModule(db);
    for (auto _ : state)
        dm->startDocument();
}
BENCHMARK(BM_StartOrder)->Unit(benchmark::kMillisecond);

void orderLines(benchmark::State& state, Connection& db)
{
    const auto dm = ordersModule(db);
    QSqlQuery q = db.exec(QStringLiteral("SELECT FIRST 1 PRODUCTO, VALORUNIDAD FROM PRODUCTOS ORDER BY PRODUCTO"));
    db.next(q);
    const QVariantMap line{{QStringLiteral("PRODUCTO"), q.value(0)},
                           {QStringLiteral("BUSCADOR"), q.value(0).toString()},
                           {QStringLiteral("CANTIDAD"), 3.0},
                           {QStringLiteral("PRECIOUNIDAD"), q.value(1).toDouble()},
                           {QStringLiteral("PORCENTAJEDESCUENTO"), 10.0}};
    dm->startDocument();
    for (int i = 0; i < state.range(0); ++i)
        dm->addLine(line);
    for (auto _ : state) {
        dm->addLine(line);
        state.PauseTiming();
        dm->deleteLine();  // back to the same number of lines
        state.ResumeTiming();
    }
}

void BM_OrderLine(benchmark::State& state) { orderLines(state, database()); }
BENCHMARK(BM_OrderLine)->Arg(9)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_OrderLineForcedWrites(benchmark::State& state)
{
    Connection db(QStringLiteral("KorvelaForced"));
    db.setLocation(kvbench::forcedWritesCopyOf(databasePath(), QStringLiteral("bench-orders-forced.fdb")));
    db.open();
    orderLines(state, db);
}
BENCHMARK(BM_OrderLineForcedWrites)->Arg(9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
