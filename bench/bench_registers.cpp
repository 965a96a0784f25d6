// The other registers at a real shop's size: 100,000 products and about 1,000,000 sale lines.
//  - BM_OpenTable: on the restaurant's screen, Enter on a table whose open bill has 40 lines, to
//    the bill, its lines and its total shown. Target: under 50 ms. Opening a table only reads, so
//    forced writes change nothing here and there is no forced-writes variant.
// KV_BENCH_DIR keeps the generated databases between runs (they take minutes to make).
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "platform/DbGrid.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntFacturacion.h"

#include <QApplication>
#include <QKeyEvent>
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

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
