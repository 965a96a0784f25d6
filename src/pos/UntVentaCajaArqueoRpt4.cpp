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

QMap<double, double> sumsByRegister(Connection& db, const char* sql, const QString& column, const QVariantMap& params)
{
    QMap<double, double> sums;
    for (const QVariantMap& r : queryRows(db, QLatin1String(sql), params))
        sums[r.value(QStringLiteral("CAJA")).toDouble()] += r.value(column).toDouble();
    return sums;
}

}  // namespace

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt4::build(Connection& db, const CashReportParams& p)
{
    QVariantMap params = periodParams(p);
    params.insert(QStringLiteral("CAJERO"), p.cajero);
    const QMap<double, double> openings = sumsByRegister(db, kOpenings, QStringLiteral("INICIO"), params);
    const QMap<double, double> expenses = sumsByRegister(db, kExpenses, QStringLiteral("EGRESOS"), params);
    params.insert(QStringLiteral("EMPRESA"), p.empresa);
    params.insert(QStringLiteral("DOCUMENTO"), p.documento);
    QList<QVariantMap> rows = queryRows(db, QLatin1String(kDocuments), params);

    // A register with an opening amount or an expense but no document of the cashier: its drawer
    // is counted too, on a row that holds no document.
    QSet<double> withDocuments;
    for (const QVariantMap& r : rows)
        withDocuments.insert(r.value(QStringLiteral("CAJA")).toDouble());
    QList<double> missing;
    for (double caja : openings.keys() + expenses.keys())
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
                      FormatFloat(QStringLiteral("###,###."), e.row.value(QStringLiteral("CLIENTE")).toDouble()));
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
    // counts the drawer against: the opening amount and the cash sales less the expenses.
    Band& rf = caja.footer().setHeight(28.5);
    const QStringList captions{QString(),
                               QStringLiteral("Base Caja"),
                               QStringLiteral("-Menos Egresos"),
                               QStringLiteral("TOTAL CAJA"),
                               QStringLiteral("Abonos"),
                               QStringLiteral("EFECTIVO EN CAJA")};
    const QStringList names{QStringLiteral("TotalCaja"), QStringLiteral("BaseCaja"), QStringLiteral("Egresos"),
                            QStringLiteral("TotalEnCaja"), QStringLiteral("Abonos"), QStringLiteral("EfectivoEnCaja")};
    for (int i = 0; i < names.size(); ++i) {
        ReportItem& c = rf.addText(0, 1 + i * 4.5, amountX, 4, captions[i]).named(names[i] + QStringLiteral("Texto"));
        ReportItem& v = rf.addText(amountX - 6, 1 + i * 4.5, 30, 4, QString()).named(names[i]).right();
        if (i == 3 || i == 5) {
            c.bold();
            v.bold();
        }
    }
    rf.addLine(0, 0.5, w, 0.5);
    rf.addLine(amountX, 1 + 3 * 4.5 - 0.3, w, 1 + 3 * 4.5 - 0.3);
    rf.beforePrint = [openings, expenses, names](BandEvent& e) {
        const double caja = e.row.value(QStringLiteral("CAJA")).toDouble();
        const double ventas = e.report.total(QStringLiteral("Caja"));
        const double base = openings.value(caja);
        const double egresos = expenses.value(caja);
        e.band.item(QStringLiteral("TotalCajaTexto"))
            .setText(QStringLiteral("Total Caja ") + e.row.value(QStringLiteral("NOMBRECAJA")).toString());
        const double values[] = {ventas,
                                 base,
                                 egresos,
                                 base + ventas - egresos,
                                 e.report.total(QStringLiteral("Abonos")),
                                 base + e.report.total(QStringLiteral("Efectivo")) - egresos};
        for (int i = 0; i < names.size(); ++i)
            e.band.item(names[i]).setText(FormatFloat(kAmount, values[i]));
    };

    rpt->setRows(rows);
    return rpt;
}

void TFrmVentaCajaArqueoRpt4::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent)
{
    previewReport(*build(db, p), parent);
}

}  // namespace kv
