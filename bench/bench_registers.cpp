// The other registers at a real shop's size: 100,000 products and about 1,000,000 sale lines.
//  - BM_OpenTable: on the restaurant's screen, Enter on a table whose open bill has 40 lines, to
//    the bill, its lines and its total shown. Target: under 50 ms. Opening a table only reads, so
//    forced writes change nothing here and there is no forced-writes variant.
//  - BM_CollectionRefresh: "Caja Principal" reading its list of open documents again, as its timer
//    does, on 1,000,000 documents of which 50 are open on its register. The list is read from the
//    index on (CAJA, STATUS), so its time does not grow with the documents already collected.
//  - BM_EightRegistersScanning: eight registers, each its own process with the main sale screen
//    (offscreen), scanning at once into one database on a Firebird server on the loopback, on the
//    busy supermarket day (bench/support/BusyDay.h). Each rings up 60 lines of products sold
//    today: the code typed and its packings listed, then Enter in the quantity box. Reported: the
//    median and the 99th percentile of a line (Enter to stored and shown) over all registers, and
//    of a scan (code typed to packings and stock shown). Targets: median line under 15 ms, 99th
//    percentile under 50 ms. /1 is the same with a document type that controls stock, where each
//    line takes its product first.
// KV_BENCH_DIR keeps the generated databases between runs (they take minutes to make).
#include "bench/support/BusyDay.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "data/BenchData.h"
#include "data/DemoData.h"
#include "platform/DbGrid.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/variants/UntFacturacion.h"
#include "pos/variants/UntVentaRegistradora.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>

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

constexpr int kRegisters = 8;
constexpr int kLinesEach = 60;
constexpr double kFirstScanner = 9101;  // cashiers 9101-9108, added for the benchmark

// One register of BM_EightRegistersScanning, in its own process:
//   bench_registers --scanner LOCATION CASHIER LINES STARTFILE
// Prints "line=<ms>" and "scan=<ms>" for each line, "refused=<text>" for anything shown.
int scanner(const QStringList& args)
{
    ScriptedDialogs dialogs;
    DialogsScope scope{&dialogs};
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(args[0]);
    db.open();
    TDmVentas dm(db);
    const double cajero = args[1].toDouble();
    if (!dm.signOn(cajero)) {
        std::fprintf(stderr, "no cashier %g\n", cajero);
        return 1;
    }
    // The products sold today with a unit price: what a supermarket's scanners see all day.
    QStringList codes;
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT FIRST 400 DISTINCT D.PRODUCTO FROM POSMOVIMIENTODETALLE D JOIN PRODUCTOSVALORVENTA V ON V.PRODUCTO = "
        "D.PRODUCTO AND V.UNIDAD = 'UN' WHERE D.FECHADOCUMENTO >= CURRENT_DATE AND V.VALORVENTAMOSTRADOR > 0"));
    while (db.next(q))
        codes << q.value(0).toString();
    if (codes.isEmpty()) {
        std::fprintf(stderr, "no product sold today\n");
        return 1;
    }
    TFrmVentaCajaVp screen(dm);
    screen.show();
    QApplication::setActiveWindow(&screen);
    QCoreApplication::processEvents();
    screen.EditCliente->setText(QStringLiteral("222222222"));
    press(screen.EditCliente, Qt::Key_Return);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!QFile::exists(args[3]))
        QThread::msleep(5);
    QRandomGenerator random{quint32(cajero)};
    const int lines = args[2].toInt();
    QElapsedTimer clock;
    for (int l = 0; l < lines; ++l) {
        clock.start();
        screen.EditProducto->setFocus();
        screen.EditProducto->setText(codes[int(random.bounded(codes.size()))]);
        press(screen.EditProducto, Qt::Key_Return);
        const double scan = clock.nsecsElapsed() / 1e6;
        screen.EditCantidad->setFocus();
        screen.EditCantidad->setText(QStringLiteral("1"));
        clock.start();
        press(screen.EditCantidad, Qt::Key_Return);
        std::printf("line=%.3f\nscan=%.3f\n", clock.nsecsElapsed() / 1e6, scan);
    }
    for (const QString& t : dialogs.texts())
        std::printf("refused=%s\n", qPrintable(t));
    std::printf("lines=%d\n", dm.TFac.recordCount());
    return 0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

void BM_EightRegistersScanning(benchmark::State& state)
{
    const bool control = state.range(0) == 1;
    // A fresh copy on the server for each run, with eight cashiers of register 1 that take no payment
    // (so no opening amount is asked).
    const QString location = kvbench::serverCopyOf(kvbench::busyDayDatabase(), QStringLiteral("bench-registers-eight.fdb"));
    {
        Connection c(QStringLiteral("Setup"));
        c.setLocation(location);
        c.open();
        for (int i = 0; i < kRegisters; ++i)
            c.exec(QStringLiteral("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, IMPRIMIR, COBRA, CAMBIAPRECIO) "
                                  "VALUES (:C, :N, '1', 'V', 1, 'F', 'N', 'N')"),
                   {{QStringLiteral("C"), kFirstScanner + i}, {QStringLiteral("N"), QStringLiteral("ESCANER %1").arg(i + 1)}});
        if (control) {
            c.exec(QStringLiteral("UPDATE DOCUMENTOS SET CONTROLASALDO = 'S' WHERE DOCUMENTO = 'POS'"));
            c.exec(QStringLiteral("UPDATE SALDOS SET SALDO = 1000000"));
        }
    }
    std::vector<double> lines, scans;
    int refused = 0;
    for (auto _ : state) {
        const QString go = QDir(kvbench::benchDir()).filePath(QStringLiteral("eight-registers-go"));
        QFile::remove(go);
        std::vector<std::unique_ptr<QProcess>> registers;
        for (int i = 0; i < kRegisters; ++i) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--scanner"), location, QString::number(kFirstScanner + i), QString::number(kLinesEach), go});
            registers.push_back(std::move(p));
        }
        // All of them signed on, their screens open and their documents started, then all at once.
        for (auto& p : registers)
            while (!p->canReadLine() && p->waitForReadyRead(120000)) {
            }
        for (auto& p : registers)
            if (p->readLine().trimmed() != "ready") {
                state.SkipWithError("a register did not start");
                return;
            }
        QFile(go).open(QIODevice::WriteOnly);
        for (auto& p : registers) {
            if (!p->waitForFinished(600000) || p->exitCode() != 0) {
                state.SkipWithError("a register failed");
                return;
            }
            for (const QByteArray& row : p->readAllStandardOutput().split('\n')) {
                if (row.startsWith("line="))
                    lines.push_back(row.mid(5).toDouble());
                else if (row.startsWith("scan="))
                    scans.push_back(row.mid(5).toDouble());
                else if (row.startsWith("refused="))
                    ++refused;
            }
        }
    }
    state.counters["lines"] = double(lines.size());
    state.counters["refused"] = refused;
    state.counters["line_median_ms"] = percentile(lines, 0.5);
    state.counters["line_p99_ms"] = percentile(lines, 0.99);
    state.counters["scan_median_ms"] = percentile(scans, 0.5);
    state.counters["scan_p99_ms"] = percentile(scans, 0.99);
}
BENCHMARK(BM_EightRegistersScanning)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && QByteArray(argv[1]) == "--scanner") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QStringList args = app.arguments().mid(2);
        try {
            return scanner(args);
        } catch (const Failure& e) {
            std::fprintf(stderr, "scanner: %s\n", e.what());
            return 1;
        }
    }
    return kvbench::runGuiBenchmarks(argc, argv);
}
