// The electronic POS document on the counter path.
//  - BM_BuildAndSign40Lines: the UBL document of a 40-line sale written, its CUDE worked out and
//    its XAdES signature made, under 30 ms.
//  - BM_CloseSale/0 and /1: a 10-line sale closed with its payment, without (0) and with (1) its
//    electronic document built, signed and stored in the same transaction, on a generated
//    database with forced writes on, as a shop's database runs. With the document it must take
//    under 50 ms more than without.
//  - BM_SendPending: 1,000 documents of generated sales waiting to be sent, taken by the sender
//    to a stand-in of the DIAN that accepts each at once, under 60 s. Each envelope is signed
//    and each document's state stored, on a database with forced writes.
// KV_BENCH_DIR keeps the generated database between runs.
#include "DianTestKit.h"
#include "bench/support/GeneratedDatabase.h"
#include "bench/support/GuiBenchMain.h"
#include "data/BenchData.h"
#include "einvoice/Certificate.h"
#include "einvoice/DianSender.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"
#include "pos/UntDmVentas.h"

#include <QDir>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace kv;

namespace {

const double kCashier = 1;  // the demo's main-screen cashier: register 1, company 01

QString certificate()
{
    static const QString path = [] {
        const QString p = QDir(kvbench::benchDir()).filePath(QStringLiteral("bench-firma.p12"));
        makeTestCertificate(p, QStringLiteral("clave"), QStringLiteral("LA CANDELARIA SAS"), QStringLiteral("900456789"),
                            QDateTime::currentDateTimeUtc().addDays(-1), 365);
        return p;
    }();
    return path;
}

ElectronicSettings settings(bool on)
{
    ElectronicSettings s = kvtest::testShopSettings(certificate(), QStringLiteral("clave"));
    s.empresa = QStringLiteral("01");
    s.activo = on;
    return s;
}

void BM_BuildAndSign40Lines(benchmark::State& state)
{
    const ElectronicSettings s = settings(true);
    const Certificate cert = loadCertificate(s.certificado, s.claveCertificado);
    PosDocument d;
    d.prefijo = s.prefijo;
    d.numero = QStringLiteral("SETP123456");
    d.seller = {QStringLiteral("900456789"), QStringLiteral("4"), QStringLiteral("31"), true,
                QStringLiteral("LA CANDELARIA SAS"), QString(), QStringLiteral("BOGOTA D.C."), QString(), QString(),
                QStringLiteral("O-13"), QStringLiteral("01"), QStringLiteral("11001")};
    d.buyer = {kConsumidorFinalId, QString(), QStringLiteral("13"), false, kConsumidorFinalNombre,
               QString(), QString(), QString(), QString(), QStringLiteral("R-99-PN"), QStringLiteral("ZZ"), QString()};
    for (int i = 0; i < 40; ++i) {
        const qint64 base = 100000 + 137 * i;
        const bool inc = i % 4 == 3;
        d.lines.push_back({QString::number(1000 + i), QStringLiteral("PRODUCTO DE PRUEBA %1").arg(i), double(1 + i % 3),
                           base, inc ? 0.0 : (i % 2 ? 19.0 : 5.0), inc ? 0 : base * (i % 2 ? 19 : 5) / 100,
                           inc ? 8.0 : 0.0, inc ? base * 8 / 100 : 0});
    }
    for (auto _ : state) {
        d.issued = QDateTime::currentDateTimeUtc();
        benchmark::DoNotOptimize(buildSignedDocument(d, s, cert, d.issued));
    }
}
BENCHMARK(BM_BuildAndSign40Lines)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

// The demo catalogue and a few days of generated sales: the closing reads and writes by key, so
// the month-long database of the register benchmarks would only make this one slower to set up.
QString closingDatabase()
{
    static const QString path = [] {
        const QString generated = kvbench::generatedDatabase(QStringLiteral("bench-einvoice.fdb"), [](Connection& c) {
            BenchDataOptions o;
            o.days = 3;
            generateBenchData(c, o);
        });
        return kvbench::forcedWritesCopyOf(generated, QStringLiteral("bench-einvoice-forced.fdb"));
    }();
    return path;
}

QString keyFile() { return QDir(kvbench::benchDir()).filePath(QStringLiteral("bench.key")); }

void BM_CloseSale(benchmark::State& state)
{
    qputenv("KORVELA_KEY_FILE", keyFile().toLocal8Bit());
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(closingDatabase());
    db.open();
    saveElectronicSettings(db, settings(state.range(0) == 1));
    TDmVentas dm(db);
    dm.signOn(kCashier);
    const QVariant producto = db.scalar(QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE PRODUCTO > 1000"));
    for (auto _ : state) {
        state.PauseTiming();
        ClienteActual = 222222222;
        dm.TIniFac.Insert();
        dm.TIniFac.Post();
        for (int i = 0; i < 10; ++i)
            dm.addLine({{QStringLiteral("PRODUCTO"), producto},
                        {QStringLiteral("PRECIOUNIDAD"), 11900.0 + i},
                        {QStringLiteral("CANTIDAD"), 1.0},
                        {QStringLiteral("IVA"), 19.0},
                        {QStringLiteral("UNIDADMOVIMIENTO"), QStringLiteral("UN")}});
        dm.TIniFac.Edit();
        dm.TIniFac[QStringLiteral("ABONO")] = dm.TIniFac[QStringLiteral("NETO")].value();
        state.ResumeTiming();
        if (dm.closeWithPayment(kCashier).kind != kv::DocumentModule::ClosingOutcome::Closed)
            state.SkipWithError("the sale did not close");
    }
    saveElectronicSettings(db, settings(false));
}
BENCHMARK(BM_CloseSale)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

// The generated sales with the documents of 1,000 paid ones issued and waiting, on a copy with
// forced writes.
QString pendingDatabase()
{
    const QString issuing = kvbench::copyOf(closingDatabase(), QStringLiteral("bench-einvoice-issuing.fdb"));
    {
        Connection db(QStringLiteral("BenchPending"));
        db.setLocation(issuing);
        db.open();
        saveElectronicSettings(db, settings(true), keyFile());
        QList<int> sales;
        QSqlQuery q = db.exec(QStringLiteral(
            "SELECT FIRST 1000 m.CONSECUTIVO FROM POSMOVIMIENTO m WHERE m.EMPRESA = '01' AND m.DOCUMENTO = 'POS' "
            "AND m.STATUS = 'I' AND m.NETO > 0 AND NOT EXISTS (SELECT 1 FROM POSDOCUMENTOELECTRONICO d WHERE "
            "d.EMPRESA = m.EMPRESA AND d.DOCUMENTO = m.DOCUMENTO AND d.CONSECUTIVO = m.CONSECUTIVO) ORDER BY m.CONSECUTIVO"));
        while (db.next(q))
            sales.append(q.value(0).toInt());
        if (sales.size() != 1000)
            qFatal("the generated database has %d paid sales without a document, not 1000", int(sales.size()));
        Transaction t(db);
        for (int consecutivo : sales)
            issueSaleDocument(db, QStringLiteral("01"), QStringLiteral("POS"), consecutivo);
        t.commit();
    }
    return kvbench::forcedWritesCopyOf(issuing, QStringLiteral("bench-einvoice-pending.fdb"));
}

void BM_SendPending(benchmark::State& state)
{
    qputenv("KORVELA_KEY_FILE", keyFile().toLocal8Bit());
    const QString path = pendingDatabase();
    kvtest::StandIn standIn;  // no PIN, no schema: it answers as soon as envelope and signature check out
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(path);
    db.open();
    ElectronicSettings s = settings(true);
    s.servicio = standIn.serviceUrl();
    saveElectronicSettings(db, s, keyFile());
    for (auto _ : state) {
        state.PauseTiming();
        db.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET ESTADO = 'P', INTENTOS = 0, MENSAJES = NULL, "
                               "PROXIMOINTENTO = NULL, ZIPKEY = NULL"));
        state.ResumeTiming();
        dian::DianSender sender(db, dian::settingsConfig(db, keyFile()));
        int accepted = 0;
        for (;;) {
            const dian::SendRound r = sender.sendDue();
            if (r.failed || r.rejected) {
                state.SkipWithError("the stand-in did not accept every document");
                break;
            }
            if (r.accepted == 0)
                break;
            accepted += r.accepted;
        }
        if (accepted != 1000)
            state.SkipWithError("not every document was sent");
    }
    state.counters["documents/s"] = benchmark::Counter(1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SendPending)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime()->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) { return kvbench::runGuiBenchmarks(argc, argv); }
