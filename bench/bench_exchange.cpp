// Moving data out of the shop and into its inventory, on generated shops of 100,000 products.
// The exports run on 10 days of 1,000 sales of about 10 lines (about 100,000 sale lines):
//  - BM_SalesExport100k/10: "Copiar Detallado" of the 10 days, every line written to a real .xlsx,
//    the query opened as the screen's grid opens it and read on from there, run once;
//    target under 10 s with memory flat (the counter peak_rss_growth_mb: what the run added to
//    the process's peak resident memory, the same for /1, one day of about 10,000 lines).
//  - BM_ProductExport100k: the 100,000 products with code, name, prices and IVA, and their prices
//    per unit of packing; target under 10 s.
//  - BM_Labels300: a block of 300 labels written to ETIQUETAS (forced writes on, as at a shop) and
//    laid out three across; target under 1 s.
// The daily update runs on one day of 1,000 sales:
//  - BM_DailyUpdate: one day of 1,000 sales of about 10 lines on a shop of 100,000 products, one
//    product in fifty sold as a set of two components, copied into MOVIMIENTO / MOVIMIENTODETALLE
//    in one transaction (each run replaces what the one before copied); target under 5 s.
//  - BM_DailyUpdateForcedWrites: the same on a copy with forced writes, as a shop's database runs.
// KV_BENCH_DIR keeps the generated databases between runs.
#include "backoffice/DailyUpdate.h"
#include "backoffice/SalesExport.h"
#include "backoffice/UntImprimeEtiquetasRpt.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "catalog/ProductExport.h"
#include "data/BenchData.h"
#include "platform/Workbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const QDate kLastDay(2026, 6, 15);
constexpr int kDays = 10;

QString exportDatabase()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-exchange-export.fdb"),
        [](Connection& c) {
            BenchDataOptions o;
            o.products = 100000;
            o.customers = 2000;
            o.days = 0;
            generateBenchData(c, o);
            SalesOptions s;
            s.lastDay = kLastDay;
            s.days = kDays;
            s.salesPerDay = 1000;
            s.linesPerSale = 10;
            generateSales(c, s);
        },
        [](Connection& c) { return c.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toInt() >= 100000; });
    return path;
}

// The process's peak resident memory in MB, and its reset (Linux), so a run shows what it added.
double peakRssMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}
void resetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

void BM_SalesExport100k(benchmark::State& state)
{
    auto db = kvbench::openDatabase(exportDatabase());
    QTemporaryDir out;
    int rows = 0, n = 0;
    double before = 0, peak = 0;
    for (auto _ : state) {
        resetPeakRss();
        before = peakRssMb();
        Workbook wb(out.filePath(QStringLiteral("ventas-%1.xlsx").arg(++n)));
        rows = SalesExport::detallado(*db, wb, kLastDay.addDays(1 - int(state.range(0))), kLastDay);
        wb.save();
        peak = std::max(peak, peakRssMb() - before);
    }
    state.counters["rows"] = rows;
    state.counters["peak_rss_growth_mb"] = peak;
}
// One day and ten: the memory a run adds stays the same whatever the number of rows.
BENCHMARK(BM_SalesExport100k)->Unit(benchmark::kMillisecond)->Iterations(2)->Arg(1)->Arg(kDays);

void BM_ProductExport100k(benchmark::State& state)
{
    auto db = kvbench::openDatabase(exportDatabase());
    QTemporaryDir out;
    ProductExportChoice c;
    c.columns = {QStringLiteral("Codigo"), QStringLiteral("Nombre"), QStringLiteral("Precio"), QStringLiteral("% Iva"),
                 QStringLiteral("Valor sin Iva")};
    c.precios = true;
    int rows = 0, n = 0;
    double before = 0, peak = 0;
    for (auto _ : state) {
        resetPeakRss();
        before = peakRssMb();
        Workbook wb(out.filePath(QStringLiteral("productos-%1.xlsx").arg(++n)));
        rows = ProductExport::write(*db, wb, c);
        wb.save();
        peak = std::max(peak, peakRssMb() - before);
    }
    state.counters["products"] = rows;
    state.counters["peak_rss_growth_mb"] = peak;
}
BENCHMARK(BM_ProductExport100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Labels300(benchmark::State& state)
{
    const QString copy = kvbench::forcedWritesCopyOf(exportDatabase(), QStringLiteral("bench-exchange-labels.fdb"));
    auto db = kvbench::openDatabase(copy);
    // A block of 20 products with barcodes, 15 labels each.
    QVariantList products;
    QSqlQuery q = db->exec(QStringLiteral("SELECT FIRST 20 PRODUCTO FROM PRODUCTOS WHERE CODIGOBARRAS IS NOT NULL "
                                          "AND PRODUCTO > 50000 ORDER BY PRODUCTO"));
    while (db->next(q))
        products << q.value(0);
    int labels = 0, pages = 0;
    for (auto _ : state) {
        // What "Imprimir" does: the block replaces the last one in one transaction, then the
        // labels are laid out.
        {
            Transaction t(*db);
            db->exec(QStringLiteral("DELETE FROM ETIQUETAS"));
            for (const QVariant& p : products)
                for (int k = 1; k <= 15; ++k)
                    db->exec(QStringLiteral("INSERT  INTO ETIQUETAS (PRODUCTO,CONSECUTIVO) VALUES (:P, :K)"),
                             {{QStringLiteral("P"), p}, {QStringLiteral("K"), k}});
            t.commit();
        }
        TFrmImprimeEtiquetasRpt rpt(*db);
        const Document doc = rpt.render();
        pages = doc.pageCount();
        labels = 0;
        for (int i = 0; i < pages; ++i)
            labels += doc.findNamed(QStringLiteral("Barras"), i).size();
    }
    state.counters["labels"] = labels;
    state.counters["strips"] = pages;
}
BENCHMARK(BM_Labels300)->Unit(benchmark::kMillisecond);



QString exchangeDatabase()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-exchange-pos.fdb"),
        [](Connection& c) {
            BenchDataOptions o;
            o.products = 100000;
            o.customers = 2000;
            o.days = 1;
            o.salesPerDay = 1000;
            o.linesPerSale = 10;
            generateBenchData(c, o);
            // Sets: one product in fifty is made of the two products after it.
            c.exec(QStringLiteral("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) SELECT P.PRODUCTO, "
                                  "P.PRODUCTO + 1, 2 FROM PRODUCTOS P WHERE MOD(P.PRODUCTO, 50) = 0 AND EXISTS (SELECT 1 "
                                  "FROM PRODUCTOS Q WHERE Q.PRODUCTO = P.PRODUCTO + 2) AND NOT EXISTS (SELECT 1 FROM "
                                  "PRODUCTOSSUB S WHERE S.PRODUCTO = P.PRODUCTO)"));
            c.exec(QStringLiteral("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) SELECT S.PRODUCTO, "
                                  "S.PRODUCTO + 2, 1 FROM PRODUCTOSSUB S WHERE S.SUBPRODUCTO = S.PRODUCTO + 1"));
        },
        [](Connection& c) { return c.scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUCTOS")).toInt() >= 100000; });
    return path;
}

void dailyUpdate(benchmark::State& state, const QString& path)
{
    auto pos = kvbench::openDatabase(path);
    // The generated day: the one with the most sales (the demo's own few sales lie on other days).
    const QDate day = pos->scalar(QStringLiteral("SELECT FIRST 1 CAST(FECHA AS DATE) FROM POSMOVIMIENTO GROUP BY 1 "
                                                 "ORDER BY COUNT(*) DESC"))
                          .toDate();
    DailyUpdate::ensureRecord(*pos);
    TransferResult r;
    for (auto _ : state) {
        r = DailyUpdate(*pos).run(day, day);
        if (!r.stored())
            state.SkipWithError("the update did not store the day");
    }
    state.counters["documents"] = r.documents;
    state.counters["lines"] = r.lines;
    const int saleLines =
        pos->scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = "
                                   "H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO WHERE "
                                   "H.FECHA >= :D AND H.FECHA < :E"),
                    {{QStringLiteral("D"), QDateTime(day, QTime(0, 0))}, {QStringLiteral("E"), QDateTime(day.addDays(1), QTime(0, 0))}})
            .toInt();
    state.counters["components"] = r.lines - saleLines;
}

void BM_DailyUpdate(benchmark::State& state)
{
    dailyUpdate(state, kvbench::copyOf(exchangeDatabase(), QStringLiteral("bench-exchange-update.fdb")));
}
BENCHMARK(BM_DailyUpdate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DailyUpdateForcedWrites(benchmark::State& state)
{
    dailyUpdate(state, kvbench::forcedWritesCopyOf(exchangeDatabase(), QStringLiteral("bench-exchange-forced.fdb")));
}
BENCHMARK(BM_DailyUpdateForcedWrites)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
