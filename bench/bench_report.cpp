// A daily sales listing of 3,000 rows (about 60 letter pages): laying it out into a Document, and
// drawing that Document into a PDF. Targets: the Document in under 300 ms, the PDF in under 2 s.
#include "bench/support/GuiBenchMain.h"
#include "report/Painter.h"
#include "report/Report.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

QList<QVariantMap> salesRows(int count)
{
    QList<QVariantMap> rows;
    rows.reserve(count);
    const char* types = "CHTkO";
    for (int i = 0; i < count; ++i)
        rows.append({{QStringLiteral("TIPODEPAGO"), QString(QLatin1Char(types[i * 5 / count]))},
                     {QStringLiteral("FECHA"), QDate(2024, 3, 5)},
                     {QStringLiteral("PREFIJO"), QStringLiteral("FV")},
                     {QStringLiteral("CONSECUTIVO"), 10000 + i},
                     {QStringLiteral("CLIENTE"), 79000000.0 + i * 37},
                     {QStringLiteral("NOMBRE"), QStringLiteral("CLIENTE DE PRUEBA NUMERO %1").arg(i)},
                     {QStringLiteral("CANTIDAD"), double(i % 7 + 1)},
                     {QStringLiteral("NOMBREPRODUCTO"), QStringLiteral("PRODUCTO %1").arg(i % 250)},
                     {QStringLiteral("SUBTOTAL"), 1000.0 + (i * 137) % 90000}});
    return rows;
}

// The layout of the payment-type listing: heading, column titles, a group per payment type with
// its total, one line per sale line, a grand total and a page footer.
void buildListing(Report& r)
{
    const double W = r.page().printableWidth();
    Band& ph = r.pageHeader().setHeight(16);
    ph.addText(0, 0, 60, 4, QStringLiteral("SISTEMA P.O.S.")).bold();
    ph.addText(0, 4, W, 5, QStringLiteral("VENTAS DIARIAS POR TIPO DE PAGO")).centre().bold().size(11);
    ph.addText(140, 0, 15, 4, QStringLiteral("Impreso"));
    ph.addSystem(155, 0, W - 155, 4, ValueSource::PrintTime).withDatePicture(QStringLiteral("dd/mm/yyyy hh:nn")).right();
    ph.addText(140, 9, 15, 4, QStringLiteral("Pagina"));
    ph.addSystem(155, 9, W - 155, 4, ValueSource::PageNumber).right();
    Band& ch = r.columnHeader().setHeight(6);
    const char* heads[] = {"Fecha", "Consecutivo", "Identificacion", "Cliente", "Concepto", "Valor"};
    const double xs[] = {0, 20, 40, 65, 120, 170};
    for (int i = 0; i < 6; ++i)
        ch.addText(xs[i], 1, 30, 4, QString::fromLatin1(heads[i])).bold();
    ch.addLine(0, 5.5, W, 5.5);

    Group& g = r.addGroup(QStringLiteral("TIPODEPAGO"));
    g.header().setHeight(6).addField(0, 1, 10, 4, QStringLiteral("TIPODEPAGO")).bold();
    r.addTotal(QStringLiteral("Grupo"), QStringLiteral("SUBTOTAL"), 0);
    r.addTotal(QStringLiteral("General"), QStringLiteral("SUBTOTAL"));
    Band& gf = g.footer().setHeight(6);
    gf.addText(100, 1, 50, 4, QStringLiteral("TOTAL")).bold();
    gf.addSystem(150, 1, W - 150, 4, ValueSource::Total, QStringLiteral("Grupo")).withPicture(QStringLiteral("###,##.")).right();

    Band& d = r.detail().setHeight(4.5);
    d.addField(0, 0, 19, 4.5, QStringLiteral("FECHA")).withDatePicture(QStringLiteral("dd/mm/yyyy")).size(7);
    d.addField(20, 0, 19, 4.5, QStringLiteral("CONSECUTIVO")).named(QStringLiteral("Factura")).size(7);
    d.addField(40, 0, 24, 4.5, QStringLiteral("CLIENTE"), QStringLiteral("###,###.")).size(7);
    d.addField(65, 0, 54, 4.5, QStringLiteral("NOMBRE")).size(7);
    d.addField(120, 0, 49, 4.5, QStringLiteral("NOMBREPRODUCTO")).named(QStringLiteral("Concepto")).size(7);
    d.addField(170, 0, W - 170, 4.5, QStringLiteral("SUBTOTAL"), QStringLiteral("###,###.")).right().size(7);
    d.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Factura"))
            .setValue(e.row.value(QStringLiteral("PREFIJO")).toString() + e.row.value(QStringLiteral("CONSECUTIVO")).toString());
        e.band.item(QStringLiteral("Concepto"))
            .setValue(e.row.value(QStringLiteral("CANTIDAD")).toString() + QLatin1Char(' ') +
                      e.row.value(QStringLiteral("NOMBREPRODUCTO")).toString());
    };

    Band& s = r.summary().setHeight(8);
    s.addText(100, 2, 50, 4, QStringLiteral("TOTAL GENERAL")).bold();
    s.addSystem(150, 2, W - 150, 4, ValueSource::Total, QStringLiteral("General")).withPicture(QStringLiteral("###,##.")).right();
    Band& pf = r.pageFooter().setHeight(5);
    pf.addText(0, 0, 60, 4, QStringLiteral("KorvelaPos")).size(6);
}

void BM_ListingDocument(benchmark::State& state)
{
    Report r(QStringLiteral("VENTAS DIARIAS"));
    buildListing(r);
    r.setRows(salesRows(int(state.range(0))));
    int pages = 0;
    for (auto _ : state) {
        Document doc = r.render();
        pages = doc.pageCount();
        benchmark::DoNotOptimize(doc);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ListingDocument)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_ListingPdf(benchmark::State& state)
{
    Report r(QStringLiteral("VENTAS DIARIAS"));
    buildListing(r);
    r.setRows(salesRows(int(state.range(0))));
    const Document doc = r.render();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ventas.pdf"));
    for (auto _ : state)
        writePdf(doc, path);
    state.counters["pages"] = doc.pageCount();
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_ListingPdf)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
