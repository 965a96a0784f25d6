// The main register screen on a busy supermarket day (bench/support/BusyDay.h): 100,000
// products, a month of sales (about 1,000,000 lines) and 3,334 sales of today so far (about
// 33,000 lines), so that the stock balance has a busy day's lines to add up.
//  - BM_AddLineFromQuantityBox: Enter in the quantity box to the line stored and the totals
//    shown (the product typed and its packings listed before the clock starts). Targets: under
//    5 ms median on the embedded engine, under 10 ms with forced writes
//    (BM_AddLineFromQuantityBoxForcedWrites: one flush per line, as a shop's database runs) and on
//    a server on the loopback (BM_AddLineFromQuantityBoxServer). BM_AddLineFromQuantityBoxStockControl
//    is the embedded line for a document type that controls stock (the product is taken first).
//  - BM_LineRawStatements (and its Server and ForcedWrites twins): the statements such a line
//    needs, written directly with Qt SQL in one transaction: the price row, the header taken, the
//    stock row and the product's units sold today, the next line number, the insert, the sums and
//    the header's totals. The screen's line stays within 1.3 times these, measured in the same run.
//  - BM_ListPackings: the packing group taking the focus: the product found, its packings listed
//    and its stock balance with today's sales, which is one range of the (product, document date)
//    index: under 2 ms, whatever the day's volume. /0 an ordinary product, /1 the best seller.
//  - BM_ListPackingsYears/1 and /10: the same for the shop's best seller on a shop with one year
//    and with ten years of sales behind today's (20,000 products, 50 documents a day of about
//    4 lines, 10 orders): under 2 ms, and the same figure for both.
//    BM_ListPackingsForcedWrites is the one-year figure with forced writes on, as a shop's
//    database runs.
//  - BM_OpenSaleScreen: the screen created, shown on the last document and closed, under 300 ms.
// KV_BENCH_DIR keeps the generated databases between runs (they take minutes to make).
#include "bench/support/GuiBenchMain.h"
#include "bench/support/BusyDay.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/RawStatements.h"
#include "data/BenchData.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"

#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const double kCashier = 1;  // the demo's main-screen cashier: register 1, company 01

QString registerDatabase() { return kvbench::busyDayDatabase(); }

// A shop with `years` of history ending yesterday, and sales of today (added on the day the
// benchmark runs when the kept database has none yet).
QString yearsDatabase(int years)
{
    const QString path = kvbench::generatedDatabase(QStringLiteral("bench-register-%1y.fdb").arg(years), [years](Connection& c) {
        generateBenchData(c, kvbench::yearsOfSales(years));
    });
    kvbench::addSalesOfToday(*kvbench::openDatabase(path), 200, 4);
    return path;
}

QString serverDatabase()
{
    static const QString path = kvbench::serverCopyOf(registerDatabase(), QStringLiteral("bench-register-server.fdb"));
    return path;
}

QString forcedWritesDatabase()
{
    static const QString path = kvbench::forcedWritesCopyOf(registerDatabase(), QStringLiteral("bench-register-forced.fdb"));
    return path;
}

// A product of the generated catalogue sold today with a unit price row, typed by its number as
// a cashier does; BM_ListPackings/1 takes instead the demo shop's best seller (thousands of lines
// in the month).
QString soldToday(Connection& c, bool bestSeller = false)
{
    return c.scalar(QStringLiteral(
                        "SELECT FIRST 1 D.PRODUCTO FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = "
                        "H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO JOIN "
                        "PRODUCTOSVALORVENTA V ON V.PRODUCTO = D.PRODUCTO AND V.UNIDAD = 'UN' WHERE H.FECHA >= "
                        "CURRENT_DATE AND V.VALORVENTAMOSTRADOR > 0 AND D.PRODUCTO %1 1000 ORDER BY D.PRODUCTO")
                        .arg(bestSeller ? QLatin1String("<") : QLatin1String(">")))
        .toString();
}

void press(QWidget* w, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Return ? QStringLiteral("\r") : QString());
    QApplication::sendEvent(w, &down);
}

// The screen of the demo's cashier on a database, a document started.
struct Register {
    Connection db{QStringLiteral("Korvela")};
    std::unique_ptr<TDmVentas> dm;
    std::unique_ptr<TFrmVentaCajaVp> screen;

    explicit Register(const QString& location, bool start = true)
    {
        db.setLocation(location);
        db.open();
        dm = std::make_unique<TDmVentas>(db);
        dm->signOn(kCashier);
        // The register is open for the day, so the sale screen asks no opening amount.
        db.exec(QStringLiteral("UPDATE OR INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (:CAJA, :CAJERO, :HOY, 0) "
                               "MATCHING (CAJA, CAJERO, FECHA)"),
                {{QStringLiteral("CAJA"), dm->TCajero.FieldByName(QStringLiteral("CAJA")).value()},
                 {QStringLiteral("CAJERO"), kCashier},
                 {QStringLiteral("HOY"), QDateTime(QDate::currentDate(), QTime(0, 0))}});
        if (!start)
            return;
        screen = std::make_unique<TFrmVentaCajaVp>(*dm);
        screen->show();
        QApplication::setActiveWindow(screen.get());
        QCoreApplication::processEvents();
        screen->EditCliente->setText(QStringLiteral("222222222"));
        press(screen->EditCliente, Qt::Key_Return);
    }
    ~Register()
    {
        if (screen && dm->TIniFac.active()) {
            // Leave the database as it was: the document and its lines go.
            while (!dm->TFac.IsEmpty())
                dm->deleteLine();
            dm->abandonEmptyDocument();
        }
        screen.reset();
        dm.reset();
    }
    // The code typed and the packing group focused: the packings are listed.
    void typeProduct(const QString& code)
    {
        screen->EditProducto->setFocus();
        screen->EditProducto->setText(code);
        press(screen->EditProducto, Qt::Key_Return);
    }
};

void addLines(benchmark::State& state, const QString& location)
{
    Register r(location);
    const QString code = soldToday(r.db);
    for (auto _ : state) {
        state.PauseTiming();
        r.typeProduct(code);
        r.screen->EditCantidad->setFocus();
        r.screen->EditCantidad->setText(QStringLiteral("2"));
        state.ResumeTiming();
        press(r.screen->EditCantidad, Qt::Key_Return);
        state.PauseTiming();
        if (r.dm->TFac.IsEmpty())
            state.SkipWithError("no line was added");
        r.dm->deleteLine();  // the document keeps the same size
        state.ResumeTiming();
    }
}

// The statements of one line, by hand, in one transaction (see the top of the file); the line
// is deleted again outside the clock, as addLines does.
void lineRawStatements(benchmark::State& state, const QString& location)
{
    Register r(location);
    const QString code = soldToday(r.db);
    const int producto = code.toInt();
    QVariantList key;
    for (const char* f : {"EMPRESA", "DOCUMENTO", "CONSECUTIVO"})
        key << r.dm->TIniFac[QLatin1String(f)].value();
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    QSqlDatabase qdb = r.db.database();
    const auto run = kvbench::runRaw;
    double sold = 0;
    for (auto _ : state) {
        int linea = 0;
        qdb.transaction();
        {
            QSqlQuery q(qdb);
            run(q, QStringLiteral("SELECT CANTIDAD, VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = ? AND "
                                  "UPPER(UNIDAD) = UPPER('UN')"), {producto});
            q.next();
            const double price = q.value(1).toDouble();
            q.finish();
            linea = kvbench::takeHeaderRaw(q, key);
            run(q, QStringLiteral("SELECT FIRST 1 SALDO FROM SALDOS WHERE PRODUCTO = ?"), {producto});
            q.next();
            q.finish();
            run(q, QStringLiteral("SELECT SUM(CANTIDADRECIBIDA) FROM POSMOVIMIENTODETALLE WHERE PRODUCTO = ? AND "
                                  "FECHADOCUMENTO >= ? AND FECHADOCUMENTO < ?"), {producto, today, today.addDays(1)});
            q.next();
            sold = q.value(0).toDouble();
            q.finish();
            kvbench::insertLineRaw(q, key, linea, producto, 1, price, QVariant(), 0, 2 * price);
            kvbench::retotalRaw(q, key);
        }
        qdb.commit();
        state.PauseTiming();
        QSqlQuery q(qdb);
        kvbench::deleteLineRaw(q, key, linea);
        state.ResumeTiming();
    }
    state.counters["soldToday"] = sold;
}

void BM_LineRawStatements(benchmark::State& state) { lineRawStatements(state, registerDatabase()); }
BENCHMARK(BM_LineRawStatements)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_LineRawStatementsServer(benchmark::State& state) { lineRawStatements(state, serverDatabase()); }
BENCHMARK(BM_LineRawStatementsServer)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_LineRawStatementsForcedWrites(benchmark::State& state) { lineRawStatements(state, forcedWritesDatabase()); }
BENCHMARK(BM_LineRawStatementsForcedWrites)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

void BM_AddLineFromQuantityBox(benchmark::State& state) { addLines(state, registerDatabase()); }
BENCHMARK(BM_AddLineFromQuantityBox)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_AddLineFromQuantityBoxServer(benchmark::State& state) { addLines(state, serverDatabase()); }
BENCHMARK(BM_AddLineFromQuantityBoxServer)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_AddLineFromQuantityBoxForcedWrites(benchmark::State& state) { addLines(state, forcedWritesDatabase()); }
BENCHMARK(BM_AddLineFromQuantityBoxForcedWrites)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_AddLineFromQuantityBoxStockControl(benchmark::State& state)
{
    static const QString path = [] {
        const QString copy = kvbench::copyOf(registerDatabase(), QStringLiteral("bench-register-control.fdb"));
        auto c = kvbench::openDatabase(copy);
        c->exec(QStringLiteral("UPDATE DOCUMENTOS SET CONTROLASALDO = 'S' WHERE DOCUMENTO = 'POS'"));
        c->exec(QStringLiteral("UPDATE SALDOS SET SALDO = 1000000"));
        return copy;
    }();
    addLines(state, path);
}
BENCHMARK(BM_AddLineFromQuantityBoxStockControl)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

void listPackings(benchmark::State& state, const QString& location, bool bestSeller)
{
    Register r(location);
    const QString code = soldToday(r.db, bestSeller);
    r.screen->EditProducto->setText(code);
    for (auto _ : state) {
        r.screen->EditProducto->setFocus();
        r.screen->RadioEmpaque->setFocus(Qt::TabFocusReason);
    }
    state.counters["packings"] = r.screen->RadioEmpaque->count();
    state.counters["linesOfProduct"] =
        r.db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE PRODUCTO = :P"), {{QStringLiteral("P"), code}})
            .toDouble();
}

void BM_ListPackings(benchmark::State& state) { listPackings(state, registerDatabase(), state.range(0) == 1); }
BENCHMARK(BM_ListPackings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_ListPackingsYears(benchmark::State& state) { listPackings(state, yearsDatabase(int(state.range(0))), true); }
BENCHMARK(BM_ListPackingsYears)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
void BM_ListPackingsForcedWrites(benchmark::State& state)
{
    static const QString path = kvbench::forcedWritesCopyOf(yearsDatabase(1), QStringLiteral("bench-register-1y-forced.fdb"));
    listPackings(state, path, true);
}
BENCHMARK(BM_ListPackingsForcedWrites)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

void BM_OpenSaleScreen(benchmark::State& state)
{
    Register r(registerDatabase(), false);
    state.counters["documents"] = r.db.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toDouble();
    for (auto _ : state) {
        TFrmVentaCajaVp screen(*r.dm);
        screen.show();
        QCoreApplication::processEvents();
        screen.hide();
    }
}
BENCHMARK(BM_OpenSaleScreen)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
