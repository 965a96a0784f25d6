#include "pos/UntVentaCajaArqueoRpt4.h"

#include "common/Dates.h"
#include "common/Numbers.h"

#include <QMap>
#include <QSet>

#include <algorithm>

namespace kv {

namespace {

const QString kAmount = QStringLiteral("###,###.00");

// The cashier's documents of the period. The other tables are joined only for their names: a
// document whose customer, register or seller row is missing still counts.
const char* const kDocuments =
    "SELECT H.CONSECUTIVO, H.CLIENTE, H.CAJA, H.VENDEDOR, H.NETO, H.VALORPROPINA, H.DESCUENTO, H.ABONO, "
    "H.TIPODEPAGO, H.STATUS, "
    // A voided sale that had been paid in cash: the cash it brought in (its refund's row on the
    // trail keeps the amount the void set to 0).
    "(SELECT SUM(B.VALORANTES) FROM POSBITACORA B WHERE B.EMPRESA = H.EMPRESA AND B.DOCUMENTO = H.DOCUMENTO "
    "AND B.CONSECUTIVO = H.CONSECUTIVO AND B.EVENTO = 'DEVOLUCION') COBRADOANULADA, "
    "C.NOMBRE NOMBRECLIENTE, K.NOMBRE NOMBRECAJA, V.NOMBRE NOMBRECAJERO "
    "FROM POSMOVIMIENTO H "
    "LEFT JOIN PROVEEDORES C ON C.NIT = H.CLIENTE "
    "LEFT JOIN POSCAJAS K ON K.CAJA = H.CAJA "
    "LEFT JOIN POSCAJEROS V ON V.CEDULA = H.VENDEDOR "
    // The company and type are compared as text built from the columns, so the engine reads the
    // period by the FECHA index instead of walking the company's documents of every year.
    "WHERE H.FECHA >= :FECHAI AND H.FECHA < :FECHAF AND H.EMPRESA || '' = :EMPRESA "
    "AND H.DOCUMENTO || '' = :DOCUMENTO AND H.CAJERO = :CAJERO "
    "ORDER BY H.CAJA, H.VENDEDOR, H.CONSECUTIVO";

// Per register, the cashier's opening amounts and expenses of the period. The openings are grouped
// on "CAJA + 0": grouped on CAJA the engine walks the whole key (every day of every register) in
// its order instead of sorting the period's few rows.
const char* const kOpenings =
    "SELECT CAJA + 0 CAJA, SUM(INCIO) INICIO FROM POSARQUEO WHERE FECHA >= :FECHAI AND FECHA < :FECHAF "
    "AND CAJERO = :CAJERO GROUP BY 1";
const char* const kExpenses =
    "SELECT CAJA, SUM(VALOR) EGRESOS FROM POSPAGOSCAJA WHERE FECHA >= :FECHAI AND FECHA < :FECHAF "
    "AND CAJERO = :CAJERO GROUP BY CAJA";
// Per register, the cash the cashier handed back there in the period (voids of paid cash sales).
const char* const kRefunds =
    "SELECT CAJA, SUM(VALORANTES - COALESCE(VALORDESPUES, 0)) DEVOLUCIONES FROM POSBITACORA "
    "WHERE FECHA >= :FECHAI AND FECHA < :FECHAF AND EVENTO = 'DEVOLUCION' AND CAJERO = :CAJERO GROUP BY CAJA";
// What was done at the registers in the period (voids, corrections, reprints, sign-ons...), the
// latest last; the count prints the last few.
const char* const kTrail =
    "SELECT FECHA, EVENTO, CONSECUTIVO, CAJA, CAJERO, VALORANTES, VALORDESPUES FROM POSBITACORA "
    "WHERE FECHA >= :FECHAI AND FECHA < :FECHAF ORDER BY FECHA, ID";
constexpr int kTrailRows = 30;

QMap<double, double> sumsByRegister(Connection& db, const char* sql, const QString& column, const QVariantMap& params)
{
    QMap<double, double> sums;
    for (const QVariantMap& r : queryRows(db, QLatin1String(sql), params))
        sums[r.value(QStringLiteral("CAJA")).toDouble()] += r.value(column).toDouble();
    return sums;
}

// Under the count, the trail of the counted registers in the period as a short list: the time,
// what happened, the document and the amounts before and after.
void addTrailList(Report& rpt, Connection& db, const QVariantMap& params, const QSet<double>& cajas)
{
    QList<QVariantMap> trail;
    for (const QVariantMap& r : queryRows(db, QLatin1String(kTrail), params))
        if (cajas.contains(r.value(QStringLiteral("CAJA")).toDouble()))
            trail.append(r);
    if (trail.isEmpty())
        return;
    const int left = int(trail.size()) - kTrailRows;
    if (left > 0)
        trail = trail.mid(left);
    const double w = rpt.page().printableWidth();
    Band& s = rpt.summary();
    double y = 2;
    s.addLine(0, 1, w, 1);
    s.addText(0, y, w, 4, QStringLiteral("BITACORA DE LA CAJA")).named(QStringLiteral("Bitacora")).bold().size(7);
    y += 4.5;
    if (left > 0) {
        s.addText(0, y, w, 3.5, QStringLiteral("(%1 anteriores no se muestran)").arg(left)).size(6);
        y += 3.5;
    }
    int n = 0;
    for (const QVariantMap& r : trail) {
        QString what = r.value(QStringLiteral("FECHA")).toDateTime().toString(QStringLiteral("hh:mm")) + QLatin1Char(' ') +
                       r.value(QStringLiteral("EVENTO")).toString();
        if (!r.value(QStringLiteral("CONSECUTIVO")).isNull())
            what += QStringLiteral(" Fac ") + r.value(QStringLiteral("CONSECUTIVO")).toString();
        s.addText(0, y, w - 22, 3.5, what).named(QStringLiteral("Bitacora%1").arg(++n)).size(6);
        // Whole pesos, a zero written as one ("42,483>0", not "42,483>").
        const auto amount = [&r](const char* column) {
            const double v = r.value(QLatin1String(column)).toDouble();
            return qAbs(v) < 0.5 ? QStringLiteral("0") : FormatFloat(QStringLiteral("###,###."), v);
        };
        if (!r.value(QStringLiteral("VALORANTES")).isNull() || !r.value(QStringLiteral("VALORDESPUES")).isNull())
            s.addText(w - 22, y, 22, 3.5, amount("VALORANTES") + QStringLiteral(">") + amount("VALORDESPUES"))
                .named(QStringLiteral("BitacoraValor%1").arg(n))
                .right()
                .size(6);
        y += 3.5;
    }
    s.setHeight(y + 1);
}

}  // namespace

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt4::build(Connection& db, const CashReportParams& p)
{
    QVariantMap params = periodParams(p);
    params.insert(QStringLiteral("CAJERO"), p.cajero);
    const QMap<double, double> openings = sumsByRegister(db, kOpenings, QStringLiteral("INICIO"), params);
    const QMap<double, double> expenses = sumsByRegister(db, kExpenses, QStringLiteral("EGRESOS"), params);
    const QMap<double, double> refunds = sumsByRegister(db, kRefunds, QStringLiteral("DEVOLUCIONES"), params);
    params.insert(QStringLiteral("EMPRESA"), p.empresa);
    params.insert(QStringLiteral("DOCUMENTO"), p.documento);
    QList<QVariantMap> rows = queryRows(db, QLatin1String(kDocuments), params);

    // A register with an opening amount or an expense but no document of the cashier: its drawer
    // is counted too, on a row that holds no document.
    QSet<double> withDocuments;
    for (const QVariantMap& r : rows)
        withDocuments.insert(r.value(QStringLiteral("CAJA")).toDouble());
    QList<double> missing;
    for (double caja : openings.keys() + expenses.keys() + refunds.keys())
        if (!withDocuments.contains(caja) && !missing.contains(caja))
            missing.append(caja);
    if (!missing.isEmpty()) {
        const QString cajero = db.scalar(QStringLiteral("SELECT NOMBRE FROM POSCAJEROS WHERE CEDULA = :C"),
                                         {{QStringLiteral("C"), p.cajero}})
                                   .toString()
                                   .trimmed();
        QMap<double, QString> names;
        for (const QVariantMap& r : queryRows(db, QStringLiteral("SELECT CAJA, NOMBRE FROM POSCAJAS")))
            names.insert(r.value(QStringLiteral("CAJA")).toDouble(), r.value(QStringLiteral("NOMBRE")).toString());
        for (double caja : missing)
            rows.append({{QStringLiteral("CAJA"), caja},
                         {QStringLiteral("NOMBRECAJA"), names.value(caja)},
                         {QStringLiteral("VENDEDOR"), p.cajero},
                         {QStringLiteral("NOMBRECAJERO"), cajero}});
        std::stable_sort(rows.begin(), rows.end(), [](const QVariantMap& a, const QVariantMap& b) {
            return a.value(QStringLiteral("CAJA")).toDouble() < b.value(QStringLiteral("CAJA")).toDouble();
        });
    }

    auto rpt = std::make_unique<Report>(QStringLiteral("VENTAS DIARIAS POR CAJA"));
    rpt->page() = cashRollPage();
    if (p.printTime.isValid())
        rpt->setPrintTime(p.printTime);
    const double w = rpt->page().printableWidth();
    const double amountX = w - 24;

    QStringList lines{companyName(db, p.empresa),
                      QStringLiteral("F E C H A  ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.first)};
    if (p.last != p.first)
        lines.last() += QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.last);
    addReportHeading(*rpt, rpt->title, lines);
    Band& ch = rpt->columnHeader().setHeight(5);
    ch.addText(amountX, 0, 24, 4, QStringLiteral("Valor")).right().bold();

    auto isDocument = [](const RowSource& r) { return !r.value(QStringLiteral("CONSECUTIVO")).isNull(); };

    // Register and seller groups.
    Group& caja = rpt->addGroup(QStringLiteral("CAJA"));
    Band& gh = caja.header().setHeight(5);
    gh.addText(0, 0.5, 10, 4, QStringLiteral("Caja")).bold();
    gh.addField(10, 0.5, 10, 4, QStringLiteral("CAJA")).bold();
    gh.addField(20, 0.5, w - 20, 4, QStringLiteral("NOMBRECAJA")).bold();
    Group& vendedor = rpt->addGroup(QStringLiteral("VENDEDOR"));
    Band& sh = vendedor.header().setHeight(8.5);
    sh.addText(2, 0, 12, 4, QStringLiteral("Cajero"));
    sh.addField(14, 0, 18, 4, QStringLiteral("VENDEDOR"), QStringLiteral("###,###."));
    sh.addField(2, 4, w - 2, 4, QStringLiteral("NOMBRECAJERO")).size(6.5);

    rpt->addTotal(QStringLiteral("Cajero"), [isDocument](const RowSource& r) { return isDocument(r) ? documentAmount(r) : 0; }, 1);
    rpt->addTotal(QStringLiteral("Caja"), [isDocument](const RowSource& r) { return isDocument(r) ? documentAmount(r) : 0; }, 0);
    rpt->addTotal(QStringLiteral("Abonos"), QStringLiteral("ABONO"), 0);
    // The money the cash sales put in the drawer: only documents paid in cash and closed (an open
    // document has not been collected yet).
    rpt->addTotal(QStringLiteral("CobradoAnuladas"), QStringLiteral("COBRADOANULADA"), 0);
    rpt->addTotal(QStringLiteral("Efectivo"), [isDocument](const RowSource& r) {
        const bool cash = isDocument(r) && r.value(QStringLiteral("TIPODEPAGO")).toString() == QLatin1String("C") &&
                          r.value(QStringLiteral("STATUS")).toString() == QLatin1String("I");
        return cash ? documentAmount(r) : 0;
    }, 0);

    Band& d = rpt->detail().setHeight(4);
    d.addText(2, 0, amountX - 2, 4, QString()).named(QStringLiteral("Documento")).size(7);
    d.addText(amountX, 0, 24, 4, QString()).named(QStringLiteral("Valor")).right().size(7);
    d.beforePrint = [isDocument](BandEvent& e) {
        if (!isDocument(e.row)) {
            e.print = false;
            return;
        }
        e.band.item(QStringLiteral("Documento"))
            .setText(QStringLiteral("Fac ") + e.row.value(QStringLiteral("CONSECUTIVO")).toString() + QStringLiteral(" Nit ") +
                      FormatFloat(QStringLiteral("###,###."), e.row.value(QStringLiteral("CLIENTE")).toDouble()) +
                      (e.row.value(QStringLiteral("COBRADOANULADA")).isNull() ? QString() : QStringLiteral(" ANULADA")));
        e.band.item(QStringLiteral("Valor")).setText(FormatFloat(kAmount, documentAmount(e.row)));
    };

    // The seller's name takes the whole line; his total goes under it.
    Band& sf = vendedor.footer().setHeight(9);
    sf.addText(2, 0.5, w - 2, 4, QString()).named(QStringLiteral("TotalCajero")).size(6.5);
    sf.addSystem(amountX, 4.5, 24, 4, ValueSource::Total, QStringLiteral("Cajero"))
        .withPicture(kAmount)
        .named(QStringLiteral("ValorCajero"))
        .right();
    sf.addLine(amountX, 0.3, w, 0.3);
    sf.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("TotalCajero"))
            .setText(QStringLiteral("Total Cajero ") + e.row.value(QStringLiteral("NOMBRECAJERO")).toString());
    };

    // "TOTAL CAJA" counts every sale, credit and card included; the last line is what the cashier
    // counts the drawer against: the opening amount and the cash sales less the expenses, with the
    // cash of sales voided since (collected, then handed back from this drawer).
    Band& rf = caja.footer().setHeight(37.5);
    const QStringList captions{QString(),
                               QStringLiteral("Base Caja"),
                               QStringLiteral("-Menos Egresos"),
                               QStringLiteral("TOTAL CAJA"),
                               QStringLiteral("Abonos"),
                               QStringLiteral("+Cobrado en Anuladas"),
                               QStringLiteral("-Menos Devoluciones"),
                               QStringLiteral("EFECTIVO EN CAJA")};
    const QStringList names{QStringLiteral("TotalCaja"),      QStringLiteral("BaseCaja"),      QStringLiteral("Egresos"),
                            QStringLiteral("TotalEnCaja"),    QStringLiteral("Abonos"),        QStringLiteral("CobradoAnuladas"),
                            QStringLiteral("Devoluciones"),   QStringLiteral("EfectivoEnCaja")};
    for (int i = 0; i < names.size(); ++i) {
        ReportItem& c = rf.addText(0, 1 + i * 4.5, amountX, 4, captions[i]).named(names[i] + QStringLiteral("Texto"));
        ReportItem& v = rf.addText(amountX - 6, 1 + i * 4.5, 30, 4, QString()).named(names[i]).right();
        if (i == 3 || i == 7) {
            c.bold();
            v.bold();
        }
    }
    rf.addLine(0, 0.5, w, 0.5);
    rf.addLine(amountX, 1 + 3 * 4.5 - 0.3, w, 1 + 3 * 4.5 - 0.3);
    rf.beforePrint = [openings, expenses, refunds, names](BandEvent& e) {
        const double caja = e.row.value(QStringLiteral("CAJA")).toDouble();
        const double ventas = e.report.total(QStringLiteral("Caja"));
        const double base = openings.value(caja);
        const double egresos = expenses.value(caja);
        const double anuladas = e.report.total(QStringLiteral("CobradoAnuladas"));
        const double devoluciones = refunds.value(caja);
        e.band.item(QStringLiteral("TotalCajaTexto"))
            .setText(QStringLiteral("Total Caja ") + e.row.value(QStringLiteral("NOMBRECAJA")).toString());
        const double values[] = {ventas,
                                 base,
                                 egresos,
                                 base + ventas - egresos,
                                 e.report.total(QStringLiteral("Abonos")),
                                 anuladas,
                                 devoluciones,
                                 base + e.report.total(QStringLiteral("Efectivo")) + anuladas - devoluciones - egresos};
        for (int i = 0; i < names.size(); ++i)
            e.band.item(names[i]).setText(FormatFloat(kAmount, values[i]));
    };

    QSet<double> counted = withDocuments;
    for (double caja : missing)
        counted.insert(caja);
    addTrailList(*rpt, db, params, counted);
    rpt->setRows(rows);
    return rpt;
}

void TFrmVentaCajaArqueoRpt4::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent)
{
    previewReport(*build(db, p), parent);
}

}  // namespace kv
