#include "pos/UntVentaCajaArqueoRpt3.h"

#include "catalog/CatalogList.h"
#include "report/ListReport.h"
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

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt3::build(Connection& db, const CashReportParams& p, const RegisterListing& what)
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
    if (what.closedOnly)
        where += QStringLiteral(" AND H.STATUS = 'I'");
    // The opening amounts follow the same register and seller as the documents.
    QVariantMap openingParams = periodParams(p);
    QString openingWhere;
    if (what.caja) {
        // "+ 0": the register's index (and the register part of the openings' key) spans every
        // day the register has worked; the period is read on the date index instead.
        where += QStringLiteral(" AND H.CAJA + 0 = :CAJA");
        openingWhere += QStringLiteral(" AND CAJA + 0 = :CAJA");
        params.insert(QStringLiteral("CAJA"), *what.caja);
        openingParams.insert(QStringLiteral("CAJA"), *what.caja);
    }
    if (what.vendedor) {
        where += QStringLiteral(" AND H.VENDEDOR = :VENDEDOR");
        openingWhere += QStringLiteral(" AND CAJERO = :VENDEDOR");
        params.insert(QStringLiteral("VENDEDOR"), *what.vendedor);
        openingParams.insert(QStringLiteral("VENDEDOR"), *what.vendedor);
    }
    // The table name is one of the program's fixed names, never typed by anyone.
    const QList<QVariantMap> rows = queryRows(
        db,
        QStringLiteral("SELECT H.CONSECUTIVO, H.CLIENTE, H.CAJA, H.VENDEDOR, H.TIPODEPAGO, %1, "
                       "K.NOMBRE NOMBRECAJA, V.NOMBRE NOMBRECAJERO FROM %2 H "
                       "LEFT JOIN POSCAJAS K ON K.CAJA = H.CAJA LEFT JOIN POSCAJEROS V ON V.CEDULA = H.VENDEDOR "
                       "WHERE %3 ORDER BY H.CAJA, H.VENDEDOR, H.CONSECUTIVO")
            .arg(what.amountColumns, what.headers, where),
        params);
    QMap<double, double> openings;
    for (const QVariantMap& r : queryRows(db,
                                          // Grouped on "CAJA + 0" so that the engine sorts the
                                          // period's rows instead of walking the whole key in order.
                                          QStringLiteral("SELECT CAJA + 0 CAJA, SUM(INCIO) INICIO FROM POSARQUEO WHERE "
                                                         "FECHA >= :FECHAI AND FECHA < :FECHAF%1 GROUP BY 1")
                                              .arg(openingWhere),
                                          openingParams))
        openings[r.value(QStringLiteral("CAJA")).toDouble()] = r.value(QStringLiteral("INICIO")).toDouble();
    auto openingOf = [openings](const RowSource& r) { return openings.value(r.value(QStringLiteral("CAJA")).toDouble()); };
    const auto amount = what.amount;

    auto rpt = std::make_unique<Report>(what.title);
    rpt->page() = PageSetup::letter();
    if (p.printTime.isValid())
        rpt->setPrintTime(p.printTime);
    const double w = rpt->page().printableWidth();
    QStringList heading = what.heading;
    if (heading.isEmpty()) {
        QString fecha = FormatDateTime(QStringLiteral("dd mmm yyyy"), p.first);
        if (p.last != p.first)
            fecha += QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.last);
        heading = {readLetterhead(db).name, QStringLiteral("F E C H A  ") + fecha};
    }
    addReportHeading(*rpt, rpt->title, heading);

    // Amount columns from the right edge; "Total Ventas" after them.
    const double colW = 26;
    auto colX = [w, colW](int i) { return w - colW * (5 - i); };

    for (int i = 0; i < 4; ++i) {
        const int column = i;
        auto inColumn = [column, amount](const RowSource& r) {
            return paymentColumn(r.value(QStringLiteral("TIPODEPAGO")).toString()) == column ? amount(r) : 0;
        };
        rpt->addTotal(QStringLiteral("Cajero") + kTotals[i], inColumn, 1);
        rpt->addTotal(QStringLiteral("Caja") + kTotals[i], inColumn, 0);
        rpt->addTotal(QStringLiteral("General") + kTotals[i], inColumn);
    }

    Group& caja = rpt->addGroup(QStringLiteral("CAJA"));
    Band& gh = caja.header().setHeight(6);
    gh.addText(0, 1, 12, 4.5, QStringLiteral("Caja")).bold();
    gh.addField(12, 1, 15, 4.5, QStringLiteral("CAJA")).bold();
    gh.addField(28, 1, 100, 4.5, QStringLiteral("NOMBRECAJA")).bold();
    if (what.baseUnderRegister) {
        gh.setHeight(11);
        gh.addText(4, 6, 40, 4.5, QStringLiteral("Valor Base de Caja"));
        gh.addText(44, 6, colW, 4.5, QString()).named(QStringLiteral("BaseCaja")).right();
        gh.beforePrint = [openingOf](BandEvent& e) {
            e.band.item(QStringLiteral("BaseCaja")).setText(FormatFloat(kAmount, openingOf(e.row)));
        };
    }
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
    d.beforePrint = [amount](BandEvent& e) {
        e.band.item(QStringLiteral("Documento"))
            .setText(QStringLiteral("Fac ") + e.row.value(QStringLiteral("CONSECUTIVO")).toString() + QStringLiteral(" Nit ") +
                      FormatFloat(QStringLiteral("###,###."), e.row.value(QStringLiteral("CLIENTE")).toDouble()));
        const int column = paymentColumn(e.row.value(QStringLiteral("TIPODEPAGO")).toString());
        for (int i = 0; i < 4; ++i)
            e.band.item(kTotals[i]).setText(i == column ? FormatFloat(kAmount, amount(e.row)) : QString());
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
    rf.beforePrint = [sumOf, openingOf](BandEvent& e) {
        const double ventas = sumOf(e.report, QStringLiteral("Caja"));
        e.band.item(QStringLiteral("TotalCaja"))
            .setText(QStringLiteral("Total Caja ") + e.row.value(QStringLiteral("NOMBRECAJA")).toString());
        e.band.item(QStringLiteral("TotalCajaVentas")).setText(FormatFloat(kAmount, ventas));
        e.band.item(QStringLiteral("TotalEnCaja"))
            .setText(FormatFloat(kAmount, ventas + openingOf(e.row)));
    };

    Band& s = rpt->summary().setHeight(7);
    s.enabled = what.grandTotal;
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
