#include "pos/UntVentaCajaArqueoRpt3.h"

#include "catalog/CatalogList.h"
#include "common/Dates.h"
#include "common/Numbers.h"

#include <QMap>

namespace kv {

namespace {

const QString kAmount = QStringLiteral("###,###.00");
const QStringList kColumns{QStringLiteral("Contado"), QStringLiteral("Cheques"), QStringLiteral("Tarjeta"),
                           QStringLiteral("Otra Moneda")};
const QStringList kTotals{QStringLiteral("Contado"), QStringLiteral("Cheques"), QStringLiteral("Tarjeta"),
                          QStringLiteral("OtraMoneda")};

}  // namespace

int TFrmVentaCajaArqueoRpt3::paymentColumn(const QString& tipoDePago)
{
    if (tipoDePago == QLatin1String("C"))
        return 0;
    if (tipoDePago == QLatin1String("H"))
        return 1;
    // Credit and debit cards both go to the card column.
    if (tipoDePago == QLatin1String("T") || tipoDePago == QLatin1String("t"))
        return 2;
    return 3;
}

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt3::build(Connection& db, const CashReportParams& p)
{
    QVariantMap params = periodParams(p);
    QString where = QStringLiteral("H.FECHA >= :FECHAI AND H.FECHA < :FECHAF");
    if (!p.empresa.isEmpty()) {
        where += QStringLiteral(" AND H.EMPRESA || '' = :EMPRESA");
        params.insert(QStringLiteral("EMPRESA"), p.empresa);
    }
    if (!p.documento.isEmpty()) {
        where += QStringLiteral(" AND H.DOCUMENTO || '' = :DOCUMENTO");
        params.insert(QStringLiteral("DOCUMENTO"), p.documento);
    }
    const QList<QVariantMap> rows = queryRows(
        db,
        QStringLiteral("SELECT H.CONSECUTIVO, H.CLIENTE, H.CAJA, H.VENDEDOR, H.TIPODEPAGO, H.NETO, H.VALORPROPINA, "
                       "H.DESCUENTO, H.ABONO, K.NOMBRE NOMBRECAJA, V.NOMBRE NOMBRECAJERO FROM POSMOVIMIENTO H "
                       "LEFT JOIN POSCAJAS K ON K.CAJA = H.CAJA LEFT JOIN POSCAJEROS V ON V.CEDULA = H.VENDEDOR "
                       "WHERE %1 ORDER BY H.CAJA, H.VENDEDOR, H.CONSECUTIVO")
            .arg(where),
        params);
    QMap<double, double> openings;
    for (const QVariantMap& r : queryRows(db,
                                          QStringLiteral("SELECT CAJA, SUM(INCIO) INICIO FROM POSARQUEO WHERE FECHA >= "
                                                         ":FECHAI AND FECHA < :FECHAF GROUP BY CAJA"),
                                          periodParams(p)))
        openings[r.value(QStringLiteral("CAJA")).toDouble()] = r.value(QStringLiteral("INICIO")).toDouble();

    auto rpt = std::make_unique<Report>(QStringLiteral("VENTAS DIARIAS POR CAJA"));
    rpt->page() = PageSetup::letter();
    if (p.printTime.isValid())
        rpt->setPrintTime(p.printTime);
    const double w = rpt->page().printableWidth();
    const Letterhead head = readLetterhead(db);
    QString fecha = FormatDateTime(QStringLiteral("dd mmm yyyy"), p.first);
    if (p.last != p.first)
        fecha += QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.last);
    addReportHeading(*rpt, rpt->title, {head.name, QStringLiteral("F E C H A  ") + fecha});

    // Amount columns from the right edge; "Total Ventas" after them.
    const double colW = 26;
    auto colX = [w, colW](int i) { return w - colW * (5 - i); };

    for (int i = 0; i < 4; ++i) {
        const int column = i;
        rpt->addTotal(QStringLiteral("Cajero") + kTotals[i],
                      [column](const RowSource& r) {
                          return paymentColumn(r.value(QStringLiteral("TIPODEPAGO")).toString()) == column ? documentAmount(r) : 0;
                      },
                      1);
        rpt->addTotal(QStringLiteral("Caja") + kTotals[i],
                      [column](const RowSource& r) {
                          return paymentColumn(r.value(QStringLiteral("TIPODEPAGO")).toString()) == column ? documentAmount(r) : 0;
                      },
                      0);
        rpt->addTotal(QStringLiteral("General") + kTotals[i], [column](const RowSource& r) {
            return paymentColumn(r.value(QStringLiteral("TIPODEPAGO")).toString()) == column ? documentAmount(r) : 0;
        });
    }

    Group& caja = rpt->addGroup(QStringLiteral("CAJA"));
    Band& gh = caja.header().setHeight(6);
    gh.addText(0, 1, 12, 4.5, QStringLiteral("Caja")).bold();
    gh.addField(12, 1, 15, 4.5, QStringLiteral("CAJA")).bold();
    gh.addField(28, 1, 100, 4.5, QStringLiteral("NOMBRECAJA")).bold();
    Group& vendedor = rpt->addGroup(QStringLiteral("VENDEDOR"));
    Band& sh = vendedor.header().setHeight(10);
    sh.addText(4, 0.5, 14, 4.5, QStringLiteral("Cajero"));
    sh.addField(18, 0.5, 25, 4.5, QStringLiteral("VENDEDOR"), QStringLiteral("###,###."));
    sh.addField(44, 0.5, 80, 4.5, QStringLiteral("NOMBRECAJERO"));
    for (int i = 0; i < 4; ++i)
        sh.addText(colX(i), 5, colW, 4, kColumns[i]).right().bold();
    sh.addText(colX(4), 5, colW, 4, QStringLiteral("Total Ventas")).right().bold();
    sh.addLine(colX(0), 9.5, w, 9.5);

    Band& d = rpt->detail().setHeight(4.2);
    d.addText(8, 0, colX(0) - 10, 4, QString()).named(QStringLiteral("Documento"));
    for (int i = 0; i < 4; ++i)
        d.addText(colX(i), 0, colW, 4, QString()).named(kTotals[i]).right();
    d.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Documento"))
            .setText(QStringLiteral("Fac ") + e.row.value(QStringLiteral("CONSECUTIVO")).toString() + QStringLiteral(" Nit ") +
                      FormatFloat(QStringLiteral("###,###."), e.row.value(QStringLiteral("CLIENTE")).toDouble()));
        const int column = paymentColumn(e.row.value(QStringLiteral("TIPODEPAGO")).toString());
        for (int i = 0; i < 4; ++i)
            e.band.item(kTotals[i]).setText(i == column ? FormatFloat(kAmount, documentAmount(e.row)) : QString());
    };

    // A footer line: a caption, the four totals of `prefix` and their sum.
    auto totalsLine = [&](Band& b, double y, const QString& name, const QString& prefix) {
        b.addText(4, y, colX(0) - 6, 4.5, QString()).named(name).bold();
        for (int i = 0; i < 4; ++i)
            b.addSystem(colX(i), y, colW, 4.5, ValueSource::Total, prefix + kTotals[i]).withPicture(kAmount).zeroWhenNull().right();
        b.addText(colX(4), y, colW, 4.5, QString()).named(name + QStringLiteral("Ventas")).right().bold();
    };
    auto sumOf = [](Report& r, const QString& prefix) {
        double s = 0;
        for (const QString& t : kTotals)
            s += r.total(prefix + t);
        return s;
    };

    Band& sf = vendedor.footer().setHeight(6);
    sf.addLine(colX(0), 0.5, w, 0.5);
    totalsLine(sf, 1, QStringLiteral("TotalCajero"), QStringLiteral("Cajero"));
    sf.beforePrint = [sumOf](BandEvent& e) {
        e.band.item(QStringLiteral("TotalCajero"))
            .setText(QStringLiteral("Total Cajero ") + e.row.value(QStringLiteral("NOMBRECAJERO")).toString());
        e.band.item(QStringLiteral("TotalCajeroVentas"))
            .setText(FormatFloat(kAmount, sumOf(e.report, QStringLiteral("Cajero"))));
    };

    Band& rf = caja.footer().setHeight(12);
    rf.addLine(0, 0.5, w, 0.5);
    totalsLine(rf, 1, QStringLiteral("TotalCaja"), QStringLiteral("Caja"));
    rf.addText(4, 6, colX(3) - 6, 4.5, QStringLiteral("Total en caja")).bold();
    rf.addText(colX(3), 6, colW * 2, 4.5, QString()).named(QStringLiteral("TotalEnCaja")).right().bold();
    rf.beforePrint = [sumOf, openings](BandEvent& e) {
        const double ventas = sumOf(e.report, QStringLiteral("Caja"));
        e.band.item(QStringLiteral("TotalCaja"))
            .setText(QStringLiteral("Total Caja ") + e.row.value(QStringLiteral("NOMBRECAJA")).toString());
        e.band.item(QStringLiteral("TotalCajaVentas")).setText(FormatFloat(kAmount, ventas));
        e.band.item(QStringLiteral("TotalEnCaja"))
            .setText(FormatFloat(kAmount, ventas + openings.value(e.row.value(QStringLiteral("CAJA")).toDouble())));
    };

    Band& s = rpt->summary().setHeight(7);
    s.addLine(0, 0.5, w, 0.5);
    totalsLine(s, 1.5, QStringLiteral("TotalGeneral"), QStringLiteral("General"));
    s.beforePrint = [sumOf](BandEvent& e) {
        e.band.item(QStringLiteral("TotalGeneral")).setText(QStringLiteral("Total General"));
        e.band.item(QStringLiteral("TotalGeneralVentas")).setText(FormatFloat(kAmount, sumOf(e.report, QStringLiteral("General"))));
    };

    rpt->setRows(rows);
    return rpt;
}

void TFrmVentaCajaArqueoRpt3::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent)
{
    previewReport(*build(db, p), parent);
}

}  // namespace kv
