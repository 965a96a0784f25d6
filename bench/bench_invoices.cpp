// Laying out a stored sale of 40 lines, reading it from the database included, on the embedded
// engine: as a roll receipt with its tax summary (target under 20 ms) and as a letter invoice
// (target under 50 ms). The database is the demo shop with one such sale added.
#include "bench/support/GuiBenchMain.h"
#include "bench/support/GeneratedDatabase.h"
#include "common/Numbers.h"
#include "data/DemoData.h"
#include "print/InvoicePrinting.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const SaleDocumentKey kSale{QStringLiteral("01"), QStringLiteral("POS"), 900000};
constexpr int kLines = 40;

// 40 lines over the first products of the catalogue, priced from their counter price with the
// IVA the sales module computes for a price that includes it.
void addSale(Connection& c)
{
    Transaction t(c);
    double subtotal = 0, iva = 0;
    for (int i = 1; i <= kLines; ++i) {
        const QVariantList product = [&] {
            QSqlQuery q = c.exec(QStringLiteral("SELECT P.VALORIVA, V.VALORVENTAMOSTRADOR FROM PRODUCTOS P JOIN "
                                                "PRODUCTOSVALORVENTA V ON V.PRODUCTO = P.PRODUCTO AND V.UNIDAD = 'UN' "
                                                "WHERE P.PRODUCTO = :P"),
                                 {{QStringLiteral("P"), i}});
            q.next();
            return QVariantList{q.value(0), q.value(1)};
        }();
        const double rate = product[0].toDouble(), quantity = 1 + i % 3;
        const double sub = R(product[1].toDouble() * quantity * 100) / 100;
        const double tax = rate > 0 ? sub - R(sub / (1 + rate / 100)) : 0;
        subtotal += sub;
        iva += tax;
        c.exec(QStringLiteral("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, "
                              "CANTIDAD, PRECIOUNIDAD, IVA, VALORIVA, SUBTOTAL, UNIDADMOVIMIENTO, CANTIDADRECIBIDA) "
                              "VALUES (:E, :D, :C, :L, :L, :Q, :PRECIO, :RATE, :TAX, :SUB, 'UN', :Q)"),
               {{QStringLiteral("E"), kSale.empresa}, {QStringLiteral("D"), kSale.documento},
                {QStringLiteral("C"), kSale.consecutivo}, {QStringLiteral("L"), i}, {QStringLiteral("Q"), quantity},
                {QStringLiteral("PRECIO"), product[1]}, {QStringLiteral("RATE"), rate}, {QStringLiteral("TAX"), tax},
                {QStringLiteral("SUB"), sub}});
    }
    c.exec(QStringLiteral("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, "
                          "FACTURA, STATUS, SUBTOTAL, DESCUENTO, IVA, NETO, VENDEDOR, PLAZO, TIPODEPAGO, CAJA, CAJERO, "
                          "ABONO) VALUES (:E, :D, :C, 1, CURRENT_TIMESTAMP, 79456123, :C, 'I', :SUB, 0, :IVA, :SUB, 1, "
                          "30, 'C', 1, 1, :SUB)"),
           {{QStringLiteral("E"), kSale.empresa}, {QStringLiteral("D"), kSale.documento},
            {QStringLiteral("C"), kSale.consecutivo}, {QStringLiteral("SUB"), subtotal}, {QStringLiteral("IVA"), iva}});
    t.commit();
}

Connection& database()
{
    static const QString path = kvbench::generatedDatabase(
        QStringLiteral("bench-invoices.fdb"),
        [](Connection& c) {
            seedDemoPos(c);
            addSale(c);
        },
        [](Connection& c) {
            return c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :C"),
                            {{QStringLiteral("C"), kSale.consecutivo}})
                       .toInt() == kLines;
        });
    static const std::unique_ptr<Connection> c = kvbench::openDatabase(path);
    return *c;
}

void layOut(benchmark::State& state, const InvoicePrint& how)
{
    Connection& db = database();
    int pages = 0;
    for (auto _ : state) {
        std::optional<Document> doc = renderInvoice(db, kSale, how);
        if (!doc) {
            state.SkipWithError("the sale is missing");
            return;
        }
        pages = doc->pageCount();
        benchmark::DoNotOptimize(doc);
    }
    state.counters["pages"] = pages;
}

void BM_Receipt40Lines(benchmark::State& state)
{
    layOut(state, invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Roll));
}
BENCHMARK(BM_Receipt40Lines)->Unit(benchmark::kMillisecond);

void BM_LetterInvoice40Lines(benchmark::State& state)
{
    layOut(state, invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Letter));
}
BENCHMARK(BM_LetterInvoice40Lines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
