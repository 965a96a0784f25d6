// The other registers at a real shop's size: 100,000 products and about 1,000,000 sale lines.
//  - BM_OpenTable: on the restaurant's screen, Enter on a table whose open bill has 40 lines, to
//    the bill, its lines and its total shown. Target: under 50 ms. Opening a table only reads, so
//    forced writes change nothing here and there is no forced-writes variant.
//  - BM_CollectionRefresh: "Caja Principal" reading its list of open documents again, as its timer
//    does, on 1,000,000 documents of which 50 are open on its register. The list is read from the
//    index on (CAJA, STATUS), so its time does not grow with the documents already collected.
// KV_BENCH_DIR keeps the generated databases between runs (they take minutes to make).
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "data/DemoData.h"
#include "platform/DbGrid.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntFacturacion.h"
#include "pos/variants/UntVentaRegistradora.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const double kCashier = 1;  // a cashier of register 1, company 01
// An area that sorts first, so that it is the first tab of the screen.
const QString kArea = QStringLiteral("AAA BARRA");

QString registersDatabase()
{
    static const QString path = kvbench::generatedDatabase(QStringLiteral("bench-registers.fdb"), [](Connection& c) {
        generateBenchData(c, BenchDataOptions{});
    });
    return path;
}

void press(QWidget* w, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Return ? QStringLiteral("\r") : QString());
    QApplication::sendEvent(w, &down);
}

void BM_OpenTable(benchmark::State& state)
{
    // A copy, so the table and its bill made here never reach the generated database.
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(kvbench::copyOf(registersDatabase(), QStringLiteral("bench-registers-table.fdb")));
    db.open();
    TDmVentas dm(db);
    dm.signOn(kCashier);
    // Table 1 has a bill of 40 lines; table 2 is free.
    ClienteActual = 222222222;
    const int numero = dm.startDocument();
    QSqlQuery q = db.exec(QStringLiteral("SELECT FIRST 40 PRODUCTO, VALORUNIDAD FROM PRODUCTOS WHERE VALORUNIDAD > 0 "
                                         "ORDER BY PRODUCTO"));
    while (db.next(q))
        dm.addLine({{QStringLiteral("PRODUCTO"), q.value(0)},
                    {QStringLiteral("BUSCADOR"), q.value(0).toString()},
                    {QStringLiteral("CANTIDAD"), 1.0},
                    {QStringLiteral("PRECIOUNIDAD"), q.value(1)}});
    db.exec(QStringLiteral("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES (:E, '1', :N)"),
            {{QStringLiteral("E"), kArea}, {QStringLiteral("N"), numero}});
    db.exec(QStringLiteral("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES (:E, '2', 0)"),
            {{QStringLiteral("E"), kArea}});

    TFrmFacturacion screen(dm);
    screen.show();
    QApplication::setActiveWindow(&screen);
    QCoreApplication::processEvents();
    DbGrid* mesas = screen.DBGridMesas[0];
    auto enterOn = [&](int row) {
        mesas->setFocus();
        mesas->setCurrentIndex(mesas->model()->index(row, 0));
        press(mesas, Qt::Key_Return);
    };
    for (auto _ : state) {
        state.PauseTiming();
        enterOn(1);  // the free table first, so that each round opens the bill again
        state.ResumeTiming();
        enterOn(0);
        QCoreApplication::processEvents();  // the lines and the total painted
        state.PauseTiming();
        if (!screen.documentOpen() || dm.TFac.recordCount() != 40)
            state.SkipWithError("the table's bill was not shown with its 40 lines");
        state.ResumeTiming();
    }
    state.counters["documents"] = db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toDouble();
    state.counters["lines"] = db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")).toDouble();
}
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();



constexpr int kDocuments = 1000000;
constexpr int kOpen = 50;
constexpr double kCollectionCashier = 2;  // the demo's collection cashier, on register 2

// The demo shop with a million sale headers over four registers, all collected but the last 50 of
// register 2. Headers only: the list never reads lines.
Connection& database()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-registers-collection.fdb"),
        [](Connection& c) {
            seedDemoPos(c);
            // Made inside the engine in one statement: a million prepared inserts would take minutes.
            // Run as plain text, since the block's own variables are written with a colon.
            const QString block = QStringLiteral(
                "EXECUTE BLOCK AS DECLARE I INTEGER = 1; DECLARE N INTEGER = %1; DECLARE ABIERTOS INTEGER = %2; BEGIN "
                "WHILE (I <= N) DO BEGIN "
                "INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, FACTURA, "
                "STATUS, SUBTOTAL, DESCUENTO, IVA, NETO, VENDEDOR, CAJA, CAJERO, TIPODEPAGO, MONEDA, TASA) VALUES "
                "('01', 'POS', :I + 100000, 1, DATEADD(-(:N - :I) / 3000 DAY TO CURRENT_TIMESTAMP), 222222222, "
                ":I + 100000, IIF(:I > :N - :ABIERTOS, NULL, 'I'), 25000, 0, 0, 25000, 9, "
                "IIF(:I > :N - :ABIERTOS, 2, MOD(:I, 4) + 1), 9, 'C', '1', 1); "
                "I = I + 1; END END").arg(kDocuments).arg(kOpen);
            c.ensureOpen();
            QSqlQuery q(c.database());
            if (!q.exec(block))
                throw DbError(q.lastError().text());
            c.exec(QStringLiteral("COMMIT"));
        },
        [](Connection& c) { return c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt() >= kDocuments; });
    static const std::unique_ptr<Connection> c = kvbench::openDatabase(path);
    return *c;
}

void BM_CollectionRefresh(benchmark::State& state)
{
    Connection& db = database();
    TDmVentas dm(db);
    if (!dm.signOn(kCollectionCashier)) {
        state.SkipWithError("no collection cashier");
        return;
    }
    TFrmVentaRegistradora screen(dm);
    screen.FormActivate();
    screen.Timer1.stop();
    for (auto _ : state)
        screen.Timer1Timer();
    state.counters["listed"] = screen.TFacturas.bufferCount();
}
BENCHMARK(BM_CollectionRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
