#include "print/UntVentaCajaFacturaRpt1.h"

#include "common/Dates.h"
#include "common/Numbers.h"
#include "print/InvoiceParts.h"

namespace kv {

namespace {

// The document with one row per line, in line order, with the customer's record, the name of his
// reference (PADRE), the seller's name and the document type's prefix. Outer joins: a line whose
// product is missing still prints with an empty name, a missing customer leaves his data empty.
const char* const kDocumentSql =
    "SELECT Posmovimiento.CONSECUTIVO, Posmovimiento.TIPODEPAGO, Posmovimiento.VENDEDOR, "
    "Posmovimiento.TIPODEPAGODES, Posmovimiento.DOCUMENTO, Posmovimiento.ABONO, Posmovimiento.FECHA, "
    "Posmovimiento.NETO, Posmovimiento.IVA TOTALIVA, Posmovimiento.CLIENTE NIT, Proveedores.NOMBRE, "
    "Posmovimiento.VALORPROPINA, Posmovimiento.DESCUENTO, Posmovimiento.MONEDA, Posmovimiento.VALOROTRAMONEDA, "
    "Posmovimiento.RECIBIDO, Posmovimiento.CAMBIO, "
    "Proveedores.DIRECCION, Proveedores.TELEFONO, Proveedores.FECHANACIMIENTO, Padre.NOMBRE NOMBREPADRE, "
    "Vendedor.NOMBRE NOMBREVENDEDOR, Documentos.PREFIJO, Posmovimientodetalle.LINEA, "
    "Posmovimientodetalle.PRODUCTO, Productos.NOMBRE NOMBREPRODUCTO, Posmovimientodetalle.CANTIDAD, "
    "Posmovimientodetalle.SUBTOTAL, Posmovimientodetalle.UNIDADMOVIMIENTO "
    "FROM POSMOVIMIENTO Posmovimiento "
    "LEFT JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE = Proveedores.NIT) "
    "LEFT JOIN PROVEEDORES Padre ON (Proveedores.PADRE = Padre.NIT) "
    "LEFT JOIN PROVEEDORES Vendedor ON (Posmovimiento.VENDEDOR = Vendedor.NIT) "
    "LEFT JOIN DOCUMENTOS Documentos ON (Posmovimiento.DOCUMENTO = Documentos.DOCUMENTO) "
    "LEFT JOIN POSMOVIMIENTODETALLE Posmovimientodetalle ON (Posmovimiento.EMPRESA = Posmovimientodetalle.EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = Posmovimientodetalle.DOCUMENTO) "
    "AND (Posmovimiento.CONSECUTIVO = Posmovimientodetalle.CONSECUTIVO) "
    "LEFT JOIN PRODUCTOS Productos ON (Posmovimientodetalle.PRODUCTO = Productos.PRODUCTO) "
    "WHERE (Posmovimiento.CONSECUTIVO = :CONSECUTIVO) AND (Posmovimiento.EMPRESA = :EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = :DOCUMENTO) "
    "ORDER BY Posmovimientodetalle.LINEA";

}  // namespace

QString paymentWord(const QString& code)
{
    // Codes are case-sensitive: "K" is not "k" and reads as cash.
    if (code == QLatin1String("k") || code == QLatin1String("E"))  // credit, from either payment window
        return QStringLiteral("Credito ");
    if (code == QLatin1String("H"))
        return QStringLiteral("Cheque ");
    if (code == QLatin1String("T"))
        return QStringLiteral("Tarjeta ");
    if (code == QLatin1String("t"))  // a debit card is no cash sale
        return QStringLiteral("Tarjeta Debito ");
    if (code == QLatin1String("O"))  // foreign currency, not a credit sale
        return QStringLiteral("Otra Moneda ");
    return QStringLiteral("Contado ");
}

TFrmVentaCajaFacturaRpt1::TFrmVentaCajaFacturaRpt1(Connection& c)
    : db(c), QFact(c), rpt(QStringLiteral("FACTURA")), fact_(QFact)
{
    QFact.setObjectName(QStringLiteral("QFact"));
    QFact.setSql(QLatin1String(kDocumentSql));
    rpt.page() = receiptPage();
    rpt.setSource(fact_);
    const double W = kReceiptWidth, L = kReceiptLeft, row = kReceiptRow;

    // Header: texts 1 to 3, prefix and number, texts 4 to 7, date, the customer's data, headings.
    Band& h = rpt.titleBand();
    double y = addCentredRows(h, 0, QStringLiteral("Top"), 1, 3);
    h.addText(L, y, W, 5, QString()).named(QStringLiteral("Numero")).centre().bold().size(11);
    y = addCentredRows(h, y + 5.5, QStringLiteral("Top"), 4, 7);
    h.addText(L, y, W, row, QString()).named(QStringLiteral("Fecha")).right().size(kReceiptType);
    y += row;
    const char* customer[] = {"Cliente", "Direccion", "Telefono", "Nacimiento", "Padre"};
    for (const char* name : customer) {
        h.addText(L, y, W, row, QString()).named(QLatin1String(name)).centre().wrap().size(kReceiptType);
        y += row;
    }
    h.setHeight(addReceiptHeadings(h, y));
    h.beforePrint = [](BandEvent& e) {
        Band& b = e.band;
        b.item(QStringLiteral("Numero"))
            .setText(QStringLiteral("Factura No.") + textOf(e.row, "PREFIJO") + textOf(e.row, "CONSECUTIVO"));
        b.item(QStringLiteral("Fecha"))
            .setText(QStringLiteral("Bog ") + receiptDateText(e.row.value(QStringLiteral("FECHA")).toDateTime()));
        b.item(QStringLiteral("Cliente"))
            .setText(FormatFloat(QStringLiteral("##,###,###,###."), numberOf(e.row, "NIT")) + QStringLiteral("  ") +
                     textOf(e.row, "NOMBRE"));
        b.item(QStringLiteral("Direccion")).setText(textOf(e.row, "DIRECCION"));
        b.item(QStringLiteral("Telefono")).setText(textOf(e.row, "TELEFONO"));
        b.item(QStringLiteral("Nacimiento"))
            .setText(QStringLiteral("Fecha Nac ") +
                     FormatDateTime(QStringLiteral("dd mmm yyyy"), e.row.value(QStringLiteral("FECHANACIMIENTO")).toDateTime()));
        b.item(QStringLiteral("Padre")).setText(textOf(e.row, "NOMBREPADRE"));
    };

    // One row per line: quantity, "[number]name unit * quantity", amount.
    addReceiptLines(rpt, [](const RowSource& r) {
        return QLatin1Char('[') + textOf(r, "PRODUCTO") + QLatin1Char(']') + textOf(r, "NOMBREPRODUCTO") +
               QLatin1Char(' ') + textOf(r, "UNIDADMOVIMIENTO") + QStringLiteral(" * ") +
               FloatToStr(numberOf(r, "CANTIDAD"));
    });

    // Totals, the reprint mark, IVA, the payment, footer texts 1 to 7 (7 is the seller), the dot.
    Band& s = rpt.summary();
    s.addLine(L, 0.5, L + W, 0.5);
    y = 1.2;
    addCaptionRow(s, y, QStringLiteral("TOTAL FACTURA"), QStringLiteral("Neto"), kAmountPicture);
    addCaptionRow(s, y += row, QStringLiteral("ABONO"), QStringLiteral("Abono"), QString());
    s.addText(L, y += row, W, row, QString()).named(QStringLiteral("Reimpresion")).centre().bold().size(kReceiptType);
    addCaptionRow(s, y += row, QStringLiteral("Iva"), QStringLiteral("Iva"), kAmountPicture);
    s.addText(L, y += row, W, row, QString()).named(QStringLiteral("FormaPago")).centre().wrap().size(kReceiptType);
    // The amount paid as stored: for cash, the money received and the change.
    y = addPaymentRows(s, y + row);
    y = addCentredRows(s, y, QStringLiteral("Bottom"), 1, 7);
    s.addText(L, y, 5, row, QStringLiteral(".")).size(kReceiptType);
    s.setHeight(y + row);
    s.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Neto")).setValue(numberOf(e.row, "NETO"));
        e.band.item(QStringLiteral("Abono")).setValue(e.row.value(QStringLiteral("ABONO")));
        e.band.item(QStringLiteral("Iva")).setValue(numberOf(e.row, "TOTALIVA"));
        e.band.item(QStringLiteral("FormaPago"))
            .setText(paymentWord(textOf(e.row, "TIPODEPAGO")) + QStringLiteral("Numero ") + textOf(e.row, "TIPODEPAGODES"));
        fillPaymentRows(e.band, e.row, true);
        e.band.item(QStringLiteral("Bottom7")).setText(QStringLiteral("Vendedor ") + textOf(e.row, "NOMBREVENDEDOR"));
    };
}

bool TFrmVentaCajaFacturaRpt1::open(const SaleDocumentKey& key)
{
    fillRows(rpt.titleBand(), QStringLiteral("Top"), 1, 7, linePositions(db, QStringLiteral("POSLINEATOP"), 7));
    fillRows(rpt.summary(), QStringLiteral("Bottom"), 1, 7, linePositions(db, QStringLiteral("POSLINEABOTTOM"), 7));
    setDocumentKey(QFact, key);
    QFact.Open();
    if (QFact.IsEmpty())
        return false;
    // The document names the buyer: the customer's own rows would name him a second time.
    addElectronicReceiptParts(rpt, db, key,
                              {QStringLiteral("Cliente"), QStringLiteral("Direccion"), QStringLiteral("Telefono"),
                               QStringLiteral("Nacimiento"), QStringLiteral("Padre")});
    return true;
}

void TFrmVentaCajaFacturaRpt1::setReprintMark(const QString& mark)
{
    rpt.summary().item(QStringLiteral("Reimpresion")).setText(mark);
}

}  // namespace kv
