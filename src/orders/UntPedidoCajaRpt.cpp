#include "orders/UntPedidoCajaRpt.h"

#include "common/Numbers.h"
#include "pos/CashReports.h"
#include "print/InvoiceParts.h"

namespace kv {

namespace {

// One row per order line. Outer joins: a line whose product is gone still prints and still adds
// up, and an order without lines or whose customer is missing still prints its heading and totals.
const char* const kOrderSql =
    "SELECT Posmovimiento.CONSECUTIVO, Posmovimiento.FECHA, Posmovimiento.CLIENTE NIT, Proveedores.DV, "
    "Proveedores.NOMBRE, Proveedores.DIRECCION, Proveedores.TELEFONO, Proveedores.FAX, Posremisionesdetalle.LINEA, "
    "Posremisionesdetalle.PRODUCTO, Productos.REFERENCIA, Productos.NOMBRE NOMBRE_1, Productos.CODIGO, "
    "Posremisionesdetalle.OBSERVACION, Posremisionesdetalle.CANTIDAD, Posremisionesdetalle.PRECIOUNIDAD, "
    "Posremisionesdetalle.PORCENTAJEDESCUENTO, Posremisionesdetalle.VALORDESCUENTO, Posremisionesdetalle.IVA, "
    "Posremisionesdetalle.VALORIVA, Posremisionesdetalle.SUBTOTAL, Posmovimiento.SUBTOTAL TOTALSUBTOTAL, "
    "Posmovimiento.DESCUENTO TOTALDESCUENTO, Posmovimiento.NETO, Posmovimiento.IVA TOTALIVA "
    "FROM POSREMISIONES Posmovimiento "
    "LEFT JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE = Proveedores.NIT) "
    "LEFT JOIN POSREMISIONESDETALLE Posremisionesdetalle ON (Posmovimiento.EMPRESA = Posremisionesdetalle.EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = Posremisionesdetalle.DOCUMENTO) "
    "AND (Posmovimiento.CONSECUTIVO = Posremisionesdetalle.CONSECUTIVO) "
    "LEFT JOIN PRODUCTOS Productos ON (Posremisionesdetalle.PRODUCTO = Productos.PRODUCTO) "
    "WHERE (Posmovimiento.EMPRESA = :EMPRESA) AND (Posmovimiento.DOCUMENTO = :DOCUMENTO) "
    "AND (Posmovimiento.CONSECUTIVO = :CONSECUTIVO) "
    "ORDER BY Posremisionesdetalle.LINEA";

const QString kMoney = QStringLiteral("###,###.00.");
constexpr double kType = 7;  // points
constexpr double kRow = 3.4;  // mm, one print line

}  // namespace

QString TFrmPedidoCajaRpt::description(const QString& observacion, const QString& nombre)
{
    const QString typed = observacion.trimmed();
    if (typed.isEmpty() || typed == nombre.trimmed())
        return nombre.trimmed();
    return typed + QLatin1Char(' ') + nombre.trimmed();
}

Document TFrmPedidoCajaRpt::render(Connection& db, const SaleDocumentKey& key, const QDateTime& printTime)
{
    Report rpt(QStringLiteral("COTIZACION"));
    PageSetup& page = rpt.page();
    page = PageSetup::rollPaper(80, 279.4);
    page.top = page.bottom = page.left = page.right = 5;
    if (printTime.isValid())
        rpt.setPrintTime(printTime);
    const double W = page.printableWidth();

    // Number and date, the customer, and the heading of the discount column.
    Band& t = rpt.titleBand();
    t.addText(0, 1, 7, 4, QStringLiteral("80.")).size(kType);
    t.addField(7, 0, 22, 5, QStringLiteral("CONSECUTIVO")).named(QStringLiteral("CONSECUTIVO")).bold().size(12);
    t.addText(29, 1, W - 29, 4, QString()).named(QStringLiteral("Fecha")).right().size(kType);
    t.addText(0, 6, W, kRow, QString()).named(QStringLiteral("Cliente")).wrap().size(kType);
    t.addText(34, 6 + kRow + 0.5, 14, kRow, QStringLiteral("%Des   ")).right().bold().size(kType);
    t.addLine(0, 6 + 2 * kRow + 1, W, 6 + 2 * kRow + 1);
    t.setHeight(6 + 2 * kRow + 2);
    t.beforePrint = [](BandEvent& e) {
        const QVariant fecha = e.row.value(QStringLiteral("FECHA"));
        e.band.item(QStringLiteral("Fecha")).setText(fecha.isNull() ? QString() : receiptDateText(fecha.toDateTime()));
        // A receipt for a number without an order prints its heading with the fields empty.
        const QVariant nit = e.row.value(QStringLiteral("NIT"));
        e.band.item(QStringLiteral("Cliente"))
            .setText(nit.isNull() ? QString()
                                  : FormatFloat(QStringLiteral("###,###."), nit.toDouble()) + QLatin1Char('-') +
                                        textOf(e.row, "DV") + QStringLiteral("  ") + textOf(e.row, "NOMBRE"));
    };

    // Two print lines per order line.
    Band& d = rpt.detail().setHeight(2 * kRow);
    d.addField(0, 0.3, 9, kRow, QStringLiteral("PRODUCTO")).size(5.5);
    d.addText(9, 0, W - 9, kRow, QString()).named(QStringLiteral("Descripcion")).wrap().size(kType);
    d.addField(0, kRow, 12, kRow, QStringLiteral("CANTIDAD"), QStringLiteral("###,###.##")).size(kType);
    d.addField(12, kRow, 22, kRow, QStringLiteral("PRECIOUNIDAD"), kMoney).right().size(kType);
    d.addField(34, kRow, 14, kRow, QStringLiteral("PORCENTAJEDESCUENTO"), QStringLiteral("###,###.##"))
        .named(QStringLiteral("PORCENTAJEDESCUENTO"))
        .right()
        .size(kType);
    d.addField(48, kRow, W - 48, kRow, QStringLiteral("SUBTOTAL"), kMoney).named(QStringLiteral("SUBTOTAL")).right().size(kType);
    d.beforePrint = [](BandEvent& e) {
        if (!skipRowWithoutLine(e))
            e.band.item(QStringLiteral("Descripcion"))
                .setText(description(textOf(e.row, "OBSERVACION"), textOf(e.row, "NOMBRE_1")));
    };

    // The totals, and a lone point lower down so the printer feeds the paper past its tear-off edge.
    Band& s = rpt.summary();
    s.addLine(0, 0.5, W, 0.5);
    const char* rows[][2] = {{"SUBTOTAL", "TOTALSUBTOTAL"}, {"Descuento Autirizado", "TOTALDESCUENTO"}};
    double y = 1.2;
    for (const auto& r : rows) {
        s.addText(0, y, 40, kRow, QString::fromUtf8(r[0])).size(kType);
        s.addField(40, y, W - 40, kRow, QLatin1String(r[1]), kMoney).named(QLatin1String(r[1])).right().size(kType);
        y += kRow;
    }
    s.addText(0, y, 40, 4.5, QStringLiteral("Valor Cotización")).bold().size(9);
    s.addField(40, y, W - 40, 4.5, QStringLiteral("NETO"), kMoney).named(QStringLiteral("NETO")).right().bold().size(9);
    y += 4.5 + 4 * kRow;
    s.addText(0, y, 4, kRow, QStringLiteral(".")).size(kType);
    s.setHeight(y + kRow);

    rpt.setRows(queryRows(db, QLatin1String(kOrderSql),
                          {{QStringLiteral("EMPRESA"), key.empresa},
                           {QStringLiteral("DOCUMENTO"), key.documento},
                           {QStringLiteral("CONSECUTIVO"), key.consecutivo}}));
    return rpt.render();
}

PrintResult TFrmPedidoCajaRpt::Imprimir(Connection& db, const SaleDocumentKey& key, InvoiceCaller caller, QWidget* parent)
{
    return printDocument(render(db, key), invoicePrintFor(caller).output, parent);
}

}  // namespace kv
