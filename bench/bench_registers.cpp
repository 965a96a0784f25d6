// The other registers on a large database.
//  - BM_CollectionRefresh: "Caja Principal" reading its list of open documents again, as its timer
//    does, on 1,000,000 documents of which 50 are open on its register. The list is read from the
//    index on (CAJA, STATUS), so its time does not grow with the documents already collected.
// KV_BENCH_DIR keeps the generated database between runs.
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/DemoData.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntVentaRegistradora.h"

#include <QSqlError>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

constexpr int kDocuments = 1000000;
constexpr int kOpen = 50;
constexpr double kCollectionCashier = 2;  // the demo's collection cashier, on register 2

// The demo shop with a million sale headers over four registers, all collected but the last 50 of
// register 2. Headers only: the list never reads lines.
Connection& database()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-registers.fdb"),
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
