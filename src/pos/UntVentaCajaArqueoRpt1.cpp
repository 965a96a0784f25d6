#include "pos/UntVentaCajaArqueoRpt1.h"

#include "catalog/CatalogList.h"
#include "common/Dates.h"
#include "common/Numbers.h"

namespace kv {

namespace {

// The lines of the period's documents of one company and type. Customer, product and referrer
// are joined for their names only, so a line is listed even when one of them is missing; company
// and type are compared as built text so the period is read by the FECHA index.
QString listingSql(SalesListingGroup group)
{
    const bool referrer = group == SalesListingGroup::Referrer;
    return QStringLiteral(
               "SELECT H.CONSECUTIVO, H.FECHA, H.CLIENTE, H.TIPODEPAGO, H.TIPODEPAGODES, H.PLAZO, H.ABONO, "
               "C.NOMBRE, D.SUBTOTAL, D.CANTIDAD, P.NOMBRE NOMBREPRODUCTO, T.PREFIJO%1 "
               "FROM POSMOVIMIENTO H "
               // The header's side of the join is built, so the engine cannot start from the
               // lines (all of them) and look their headers up: it takes the period's headers and
               // reads each one's lines by their key.
               "JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = H.EMPRESA || '' AND D.DOCUMENTO = H.DOCUMENTO || '' "
               "AND D.CONSECUTIVO = H.CONSECUTIVO + 0 "
               "LEFT JOIN PROVEEDORES C ON C.NIT = H.CLIENTE "
               "LEFT JOIN PRODUCTOS P ON P.PRODUCTO = D.PRODUCTO "
               "LEFT JOIN DOCUMENTOS T ON T.DOCUMENTO = H.DOCUMENTO%2 "
               "WHERE H.FECHA >= :FECHAI AND H.FECHA < :FECHAF AND H.EMPRESA || '' = :EMPRESA "
               // Only closed documents are sales: a seller's document still waiting at the
               // collection register has not been paid (a voided one has no lines).
               "AND H.DOCUMENTO || '' = :DOCUMENTO AND H.STATUS = 'I' AND (:SOLOCAJA = 0 OR H.CAJA = :SOLOCAJA) "
               "AND (:SOLOCAJERO = 0 OR H.CAJERO = :SOLOCAJERO) "
               "ORDER BY %3")
        .arg(referrer ? QStringLiteral(", R.NIT ODONTOLOGO, R.NOMBRE NOMBREODONTOLOGO") : QString(),
             referrer ? QStringLiteral(" LEFT JOIN PROVEEDORES R ON R.NIT = C.PADRE") : QString(),
             referrer ? QStringLiteral("R.NIT, H.CONSECUTIVO, D.LINEA")
                      : QStringLiteral("H.TIPODEPAGO, H.FECHA, H.CONSECUTIVO, D.LINEA"));
}

}  // namespace

std::unique_ptr<Report> salesListing(Connection& db, const CashReportParams& p, SalesListingGroup group,
                                     const ListingFilter& only)
{
    const bool referrer = group == SalesListingGroup::Referrer;
    QVariantMap params = periodParams(p);
    params.insert(QStringLiteral("EMPRESA"), p.empresa);
    params.insert(QStringLiteral("DOCUMENTO"), p.documento);
    params.insert(QStringLiteral("SOLOCAJA"), only.caja);
    params.insert(QStringLiteral("SOLOCAJERO"), only.cajero);
    const QList<QVariantMap> rows = queryRows(db, listingSql(group), params);

    auto rpt = std::make_unique<Report>(referrer ? QStringLiteral("VENTAS DIARIAS POR ODONTOLOGO")
                                                 : QStringLiteral("VENTAS DIARIAS POR TIPO DE PAGO"));
    rpt->page() = PageSetup::letter();
    if (p.printTime.isValid())
        rpt->setPrintTime(p.printTime);
    const double w = rpt->page().printableWidth();
    addReportHeading(*rpt, rpt->title,
                     letterheadLines(db) << QStringLiteral("Periodo : ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.first) +
                                                QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd mmm yyyy"), p.last));

    const QString groupField = referrer ? QStringLiteral("ODONTOLOGO") : QStringLiteral("TIPODEPAGO");
    auto caption = [referrer](const RowSource& r) {
        return referrer ? r.value(QStringLiteral("NOMBREODONTOLOGO")).toString()
                        : paymentCaption(r.value(QStringLiteral("TIPODEPAGO")).toString());
    };
    // Columns: date, number, identification (or the payment's description), customer, concept, value.
    struct Column {
        QString title;
        double x, width;
    };
    const QList<Column> columns{{QStringLiteral("Fecha"), 0, 20},
                                {QStringLiteral("Consecutivo"), 21, 22},
                                {referrer ? QStringLiteral("Detalle Pago") : QStringLiteral("Identificacion"), 44, 26},
                                {QStringLiteral("Cliente"), 71, 50},
                                {QStringLiteral("Concepto"), 122, 50},
                                {QStringLiteral("Valor"), w - 24, 24}};

    Group& g = rpt->addGroup(groupField);
    Band& gh = g.header().setHeight(11);
    gh.addField(0, 1, 25, 4.5, groupField, referrer ? QStringLiteral("###,###.") : QString()).bold();
    gh.addText(26, 1, w - 26, 4.5, QString()).named(QStringLiteral("Grupo")).bold();
    for (const Column& c : columns) {
        ReportItem& t = gh.addText(c.x, 6, c.width, 4, c.title).bold();
        if (&c == &columns.last())
            t.right();
    }
    gh.addLine(0, 10.5, w, 10.5);
    gh.beforePrint = [caption](BandEvent& e) { e.band.item(QStringLiteral("Grupo")).setText(caption(e.row)); };

    Band& d = rpt->detail().setHeight(4.2);
    d.addField(columns[0].x, 0, columns[0].width, 4, QStringLiteral("FECHA")).withDatePicture(QStringLiteral("dd/mm/yyyy"));
    d.addText(columns[1].x, 0, columns[1].width, 4, QString()).named(QStringLiteral("Consecutivo"));
    if (referrer)
        d.addField(columns[2].x, 0, columns[2].width, 4, QStringLiteral("TIPODEPAGODES"));
    else
        d.addField(columns[2].x, 0, columns[2].width, 4, QStringLiteral("CLIENTE"), QStringLiteral("###,###."));
    d.addField(columns[3].x, 0, columns[3].width, 4, QStringLiteral("NOMBRE"));
    d.addText(columns[4].x, 0, columns[4].width, 4, QString()).named(QStringLiteral("Concepto"));
    d.addField(columns[5].x, 0, columns[5].width, 4, QStringLiteral("SUBTOTAL"), QStringLiteral("###,###.")).right();
    d.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Consecutivo"))
            .setText(e.row.value(QStringLiteral("PREFIJO")).toString() + e.row.value(QStringLiteral("CONSECUTIVO")).toString());
        e.band.item(QStringLiteral("Concepto"))
            .setText(FloatToStr(e.row.value(QStringLiteral("CANTIDAD")).toDouble()) + QLatin1Char(' ') +
                      e.row.value(QStringLiteral("NOMBREPRODUCTO")).toString());
    };

    rpt->addTotal(QStringLiteral("Grupo"), QStringLiteral("SUBTOTAL"), 0);
    rpt->addTotal(QStringLiteral("General"), QStringLiteral("SUBTOTAL"));
    Band& gf = g.footer().setHeight(7);
    gf.addLine(w - 40, 0.5, w, 0.5);
    gf.addText(0, 1, w - 42, 4.5, QString()).named(QStringLiteral("TotalGrupoTexto")).bold();
    gf.addSystem(w - 40, 1, 40, 4.5, ValueSource::Total, QStringLiteral("Grupo"))
        .withPicture(QStringLiteral("###,##."))
        .named(QStringLiteral("TotalGrupo"))
        .right()
        .bold();
    gf.beforePrint = [caption](BandEvent& e) {
        e.band.item(QStringLiteral("TotalGrupoTexto")).setText(QStringLiteral("TOTAL ") + caption(e.row));
    };

    Band& s = rpt->summary().setHeight(8);
    s.addLine(0, 1, w, 1);
    s.addText(0, 2, w - 42, 5, referrer ? QStringLiteral("TOTAL VENTAS") : QStringLiteral("TOTAL GENERAL")).bold();
    s.addSystem(w - 40, 2, 40, 5, ValueSource::Total, QStringLiteral("General"))
        .withPicture(QStringLiteral("###,##."))
        .zeroWhenNull()
        .named(QStringLiteral("TotalGeneral"))
        .right()
        .bold();

    rpt->setRows(rows);
    return rpt;
}

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt1::build(Connection& db, const CashReportParams& p, const ListingFilter& only)
{
    return salesListing(db, p, SalesListingGroup::PaymentType, only);
}

void TFrmVentaCajaArqueoRpt1::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent, const ListingFilter& only)
{
    previewReport(*build(db, p, only), parent);
}

}  // namespace kv
