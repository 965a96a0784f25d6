#include "print/UntVentaCajaFacturaRpt.h"

#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "print/InvoiceParts.h"

namespace kv {

namespace {

// The document with one row per line, in line order. Outer joins throughout: a line whose product
// or unit is missing still prints (with an empty name) and still counts, and a document whose
// customer or seller is missing still prints its lines. The customer's number comes from the
// document itself, so it prints even when the customer is missing.
const char* const kDocumentSql =
    "SELECT Posmovimiento.CONSECUTIVO, Posmovimiento.VALORPROPINA, Posmovimiento.DESCUENTO, Posmovimiento.VENDEDOR, "
    "Posmovimiento.ABONO, Posmovimiento.FECHA, Posmovimiento.NETO, Posmovimiento.CLIENTE NIT, Proveedores.DV, "
    "Posmovimiento.TIPODEPAGO, Posmovimiento.TIPODEPAGODES, Posmovimiento.MONEDA, Posmovimiento.VALOROTRAMONEDA, "
    "Posmovimiento.RECIBIDO, Posmovimiento.CAMBIO, "
    "Proveedores.NOMBRE, Posmovimientodetalle.LINEA, Posmovimientodetalle.PRODUCTO, "
    "Productos.NOMBRE NOMBREPRODUCTO, Posmovimientodetalle.OBSERVACION, Posmovimientodetalle.CANTIDAD, "
    "Posmovimientodetalle.SUBTOTAL, Unidades.NOMBRE NOMBREUNIDAD, Vendedor.NOMBRE NOMBREVENDEDOR "
    "FROM POSMOVIMIENTO Posmovimiento "
    "LEFT JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE = Proveedores.NIT) "
    "LEFT JOIN PROVEEDORES Vendedor ON (Posmovimiento.VENDEDOR = Vendedor.NIT) "
    "LEFT JOIN POSMOVIMIENTODETALLE Posmovimientodetalle ON (Posmovimiento.EMPRESA = Posmovimientodetalle.EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = Posmovimientodetalle.DOCUMENTO) "
    "AND (Posmovimiento.CONSECUTIVO = Posmovimientodetalle.CONSECUTIVO) "
    "LEFT JOIN PRODUCTOS Productos ON (Posmovimientodetalle.PRODUCTO = Productos.PRODUCTO) "
    "LEFT JOIN UNIDADES Unidades ON (Posmovimientodetalle.UNIDADMOVIMIENTO = Unidades.UNIDAD) "
    "WHERE (Posmovimiento.CONSECUTIVO = :CONSECUTIVO) AND (Posmovimiento.EMPRESA = :EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = :DOCUMENTO) "
    "ORDER BY Posmovimientodetalle.LINEA";

const char* const kIvaSql =
    "SELECT Posmovimientodetalle.IVA, SUM(Posmovimientodetalle.SUBTOTAL - COALESCE(Posmovimientodetalle.VALORDESCUENTO, 0) "
    "- COALESCE(Posmovimientodetalle.VALORIPOCONSUMO, 0)) BASE, "
    "SUM(Posmovimientodetalle.VALORIVA) VALORIVA FROM POSMOVIMIENTODETALLE Posmovimientodetalle "
    "WHERE (Posmovimientodetalle.CONSECUTIVO = :CONSECUTIVO) AND (Posmovimientodetalle.EMPRESA = :EMPRESA) "
    "AND (Posmovimientodetalle.DOCUMENTO = :DOCUMENTO) AND (Posmovimientodetalle.IVA > 0) "
    "GROUP BY Posmovimientodetalle.IVA ORDER BY Posmovimientodetalle.IVA";

const char* const kIpoSql =
    "SELECT Posmovimientodetalle.IPOCONSUMO, SUM(Posmovimientodetalle.SUBTOTAL - COALESCE(Posmovimientodetalle.VALORDESCUENTO, 0) "
    "- COALESCE(Posmovimientodetalle.VALORIVA, 0)) BASE, "
    "SUM(Posmovimientodetalle.VALORIPOCONSUMO) VALORIPO FROM POSMOVIMIENTODETALLE Posmovimientodetalle "
    "WHERE (Posmovimientodetalle.CONSECUTIVO = :CONSECUTIVO) AND (Posmovimientodetalle.EMPRESA = :EMPRESA) "
    "AND (Posmovimientodetalle.DOCUMENTO = :DOCUMENTO) AND (Posmovimientodetalle.IPOCONSUMO > 0) "
    "GROUP BY Posmovimientodetalle.IPOCONSUMO ORDER BY Posmovimientodetalle.IPOCONSUMO";

// "Base Iva 19%  10,000.00" beside the tax: the base is what the rate was applied to, the lines'
// amount less their discount, the other tax and this tax (BASE of the queries above is the amount
// before this tax is taken off), so the printed base times the rate gives the printed tax.
void addTaxBand(SubDetail& sd, const QString& caption, const char* rate, const char* tax)
{
    Band& b = sd.band().setHeight(kReceiptRow);
    b.addText(kReceiptLeft, 0, 50, kReceiptRow, QString()).named(QStringLiteral("Base")).size(kReceiptType);
    b.addField(kReceiptLeft + 50, 0, kReceiptWidth - 50, kReceiptRow, QLatin1String(tax), kAmountPicture)
        .named(QStringLiteral("Impuesto"))
        .right()
        .size(kReceiptType);
    b.beforePrint = [caption, rate, tax](BandEvent& e) {
        e.band.item(QStringLiteral("Base"))
            .setText(caption + FormatFloat(QStringLiteral("#,###."), numberOf(e.row, rate)) + QStringLiteral("%  ") +
                     FormatFloat(kAmountPicture, numberOf(e.row, "BASE") - numberOf(e.row, tax)));
    };
}

}  // namespace

TFrmVentaCajaFacturaRpt::TFrmVentaCajaFacturaRpt(Connection& c)
    : db(c), QFact(c), QFacIva(c), QFacIpo(c), rpt(QStringLiteral("FACTURA")), fact_(QFact), iva_(QFacIva),
      ipo_(QFacIpo)
{
    QFact.setObjectName(QStringLiteral("QFact"));
    QFact.setSql(QLatin1String(kDocumentSql));
    QFacIva.setObjectName(QStringLiteral("QFacIva"));
    QFacIva.setSql(QLatin1String(kIvaSql));
    QFacIpo.setObjectName(QStringLiteral("QFacIpo"));
    QFacIpo.setSql(QLatin1String(kIpoSql));
    rpt.page() = receiptPage();
    rpt.setSource(fact_);
    const double W = kReceiptWidth, L = kReceiptLeft, row = kReceiptRow;

    // Header: texts 1 to 3, the number, texts 4 to 8, date, customer, column headings.
    Band& h = rpt.titleBand();
    double y = addCentredRows(h, 0, QStringLiteral("Top"), 1, 3);
    h.addText(L, y, W / 2, 5, QStringLiteral("Factura No.")).named(QStringLiteral("Numero")).right().bold().size(9);
    h.addField(L + W / 2 + 1, y, W / 2 - 1, 5, QStringLiteral("CONSECUTIVO")).bold().size(12);
    y = addCentredRows(h, y + 5.5, QStringLiteral("Top"), 4, 8);
    h.addText(L, y, W, row, QString()).named(QStringLiteral("Fecha")).right().size(kReceiptType);
    y += row;
    h.addText(L, y, W, row, QString()).named(QStringLiteral("Cliente")).wrap().size(kReceiptType);
    y += row;
    h.setHeight(addReceiptHeadings(h, y));
    h.beforePrint = [](BandEvent& e) {
        e.band.item(QStringLiteral("Fecha")).setText(receiptDateText(e.row.value(QStringLiteral("FECHA")).toDateTime()));
        e.band.item(QStringLiteral("Cliente"))
            .setText(FormatFloat(QStringLiteral("##,###,###,###."), numberOf(e.row, "NIT")) + QLatin1Char('-') +
                     textOf(e.row, "DV") + QStringLiteral("  ") + textOf(e.row, "NOMBRE"));
    };

    // One row per line: quantity, "[number]name observation * unit name", amount.
    addReceiptLines(rpt, [](const RowSource& r) {
        return QLatin1Char('[') + textOf(r, "PRODUCTO") + QLatin1Char(']') + textOf(r, "NOMBREPRODUCTO") +
               QLatin1Char(' ') + textOf(r, "OBSERVACION") + QStringLiteral(" * ") + textOf(r, "NOMBREUNIDAD");
    });

    // Tax summary after the lines, Ipoconsumo first; printed only when asked for (see open()).
    ipoBands_ = &rpt.addSubDetail(ipo_, true);
    addTaxBand(*ipoBands_, QStringLiteral("Base Ipoconsumo "), "IPOCONSUMO", "VALORIPO");
    ivaBands_ = &rpt.addSubDetail(iva_, true);
    addTaxBand(*ivaBands_, QStringLiteral("Base Iva "), "IVA", "VALORIVA");

    // Totals, footer texts, the seller and the closing dot.
    Band& s = rpt.summary();
    s.addLine(L, 0.5, L + W, 0.5);
    y = 1.2;
    const char* captions[][2] = {{"TOTAL FACTURA", "Neto"}, {"Servicio", "Servicio"}, {"Descuento -", "Descuento"},
                                 {"Abono -", "Abono"}, {"Valor A Pagar", "Pagar"}};
    for (const auto& c : captions) {
        addCaptionRow(s, y, QLatin1String(c[0]), QLatin1String(c[1]), kAmountPicture);
        y += row;
    }
    // How it was paid, as stored; then the reprint mark when it is a copy.
    y = addPaymentRows(s, y);
    s.addText(L, y, W, row, QString()).named(QStringLiteral("Reimpresion")).centre().bold().size(kReceiptType);
    y = addCentredRows(s, y + row, QStringLiteral("Bottom"), 1, 8);
    s.addText(L, y, 5, row, QStringLiteral(".")).size(kReceiptType);
    s.setHeight(y + row);
    s.beforePrint = [](BandEvent& e) {
        const double neto = numberOf(e.row, "NETO"), propina = numberOf(e.row, "VALORPROPINA"),
                     descuento = numberOf(e.row, "DESCUENTO");
        e.band.item(QStringLiteral("Neto")).setValue(neto);
        e.band.item(QStringLiteral("Servicio")).setValue(propina);
        e.band.item(QStringLiteral("Descuento")).setValue(descuento);
        e.band.item(QStringLiteral("Pagar")).setValue(amountToPay([&e](const char* f) { return numberOf(e.row, f); }));
        e.band.item(QStringLiteral("Abono")).setValue(numberOf(e.row, "ABONO"));
        fillPaymentRows(e.band, e.row);
        // The last footer position always names the seller.
        e.band.item(QStringLiteral("Bottom8")).setText(QStringLiteral("Vendedor ") + textOf(e.row, "NOMBREVENDEDOR"));
    };
}

void TFrmVentaCajaFacturaRpt::setReprintMark(const QString& mark)
{
    rpt.summary().item(QStringLiteral("Reimpresion")).setText(mark).show(!mark.isEmpty());
}

bool TFrmVentaCajaFacturaRpt::open(const SaleDocumentKey& key, bool taxSummary)
{
    fillRows(rpt.titleBand(), QStringLiteral("Top"), 1, 8, linePositions(db, QStringLiteral("POSLINEATOP"), 8));
    fillRows(rpt.summary(), QStringLiteral("Bottom"), 1, 8, linePositions(db, QStringLiteral("POSLINEABOTTOM"), 8));
    for (Dataset* ds : {&QFact, &QFacIva, &QFacIpo})
        setDocumentKey(*ds, key);
    QFact.Open();
    if (QFact.IsEmpty())
        return false;
    // An electronic sale prints the taxes its document states (by rate, with their bases) below
    // its totals; the sale's own summary would state them a second time, rounded line by line.
    if (addElectronicReceiptParts(rpt, db, key))
        taxSummary = false;
    // A tax query that is not opened prints nothing.
    ivaBands_->source = taxSummary ? &iva_ : nullptr;
    ipoBands_->source = taxSummary ? &ipo_ : nullptr;
    if (taxSummary) {
        QFacIva.Open();
        QFacIpo.Open();
    }
    return true;
}

}  // namespace kv
