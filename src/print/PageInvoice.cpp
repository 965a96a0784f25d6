#include "print/PageInvoice.h"

#include "common/Dates.h"
#include "common/Nit.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "print/InvoiceParts.h"
#include "print/UntMontoEscrito.h"

#include <QImage>

namespace kv {

namespace {

// The document with one row per line, in line order, with the customer, the product and the
// packing sold. Outer joins: a line whose product or packing is missing still prints (with an empty
// name) and still counts in the bases, and a missing customer leaves only his data empty. The
// customer's number and the unit come from the document itself, so they print in any case.
const char* const kDocumentSql =
    "SELECT Posmovimiento.CONSECUTIVO, Posmovimiento.FECHA, Posmovimiento.PLAZO, "
    "Posmovimiento.SUBTOTAL TOTALSUBTOTAL, Posmovimiento.IVA TOTALIVA, Posmovimiento.NETO TOTALNETO, "
    "Posmovimiento.NETO, Posmovimiento.VALORPROPINA, Posmovimiento.DESCUENTO, Posmovimiento.ABONO, "
    "Posmovimiento.CLIENTE NIT, Proveedores.DV, Proveedores.NOMBRE NOMBRECLIENTE, "
    "Proveedores.DIRECCION DIRECCIONCLIENTE, Proveedores.TELEFONO TELEFONOCLIENTE, Posmovimientodetalle.LINEA, "
    "Posmovimientodetalle.CANTIDAD, Posmovimientodetalle.PRECIOUNIDAD, Posmovimientodetalle.IVA, "
    "Posmovimientodetalle.VALORIVA, Posmovimientodetalle.SUBTOTAL, Posmovimientodetalle.PRODUCTO, "
    "Productos.NOMBRE NOMBREPRODUCTO, Posmovimientodetalle.UNIDADMOVIMIENTO UNIDAD, "
    "Productosvalorventa.CANTIDAD CANTIDADVENTA "
    "FROM POSMOVIMIENTO Posmovimiento "
    "LEFT JOIN PROVEEDORES Proveedores ON (Posmovimiento.CLIENTE = Proveedores.NIT) "
    "LEFT JOIN POSMOVIMIENTODETALLE Posmovimientodetalle ON (Posmovimiento.EMPRESA = Posmovimientodetalle.EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = Posmovimientodetalle.DOCUMENTO) "
    "AND (Posmovimiento.CONSECUTIVO = Posmovimientodetalle.CONSECUTIVO) "
    "LEFT JOIN PRODUCTOS Productos ON (Posmovimientodetalle.PRODUCTO = Productos.PRODUCTO) "
    "LEFT JOIN PRODUCTOSVALORVENTA Productosvalorventa ON (Posmovimientodetalle.PRODUCTO = Productosvalorventa.PRODUCTO) "
    "AND (Posmovimientodetalle.UNIDADMOVIMIENTO = Productosvalorventa.UNIDAD) "
    "WHERE (Posmovimiento.CONSECUTIVO = :CONSECUTIVO) AND (Posmovimiento.EMPRESA = :EMPRESA) "
    "AND (Posmovimiento.DOCUMENTO = :DOCUMENTO) "
    "ORDER BY Posmovimientodetalle.LINEA";

// The business data of the letterhead, with the check digit its NIT has as a third party. Only the
// first row is read: the table is meant to hold one, and a second must not print every line twice.
const char* const kRegistroSql =
    "SELECT FIRST 1 Registro.NIT, Registro.NOMBRE, Registro.DIRECCION, Registro.TELEFONOS, Registro.EMAIL, "
    "Registro.LOGO, Proveedores.DV FROM REGISTRO Registro "
    "LEFT JOIN PROVEEDORES Proveedores ON (Registro.NIT = Proveedores.NIT)";

const char* const kResolucionSql = "SELECT RESOLUCIONFACTURACION FROM DOCUMENTOS WHERE DOCUMENTO = :DOCUMENTO";

constexpr double W = 195.9;  // printable width of both papers
const QString kDatePicture = QStringLiteral("dd  mmm  yyyy");

// A line's value net of IVA: what the invoice prints as its "Valor" and adds to its rate's base.
double netOfIva(const RowSource& row) { return numberOf(row, "SUBTOTAL") - numberOf(row, "VALORIVA"); }

struct BaseColumn {
    const char* caption;
    const char* total;
    double rate;  // 0: every rate not named by another column
};
const BaseColumn kBases[] = {{"Base 5% Iva", "Base5", 5},
                             {"Base 10% Iva", "Base10", 10},
                             {"Base 19% Iva", "Base19", 19},
                             {"Base 20% Iva", "Base20", 20},
                             {"Base Exenta", "BaseExenta", 0}};

bool isNamedRate(double rate)
{
    for (const BaseColumn& b : kBases)
        if (b.rate != 0 && rate == b.rate)
            return true;
    return false;
}

// A number in its shortest plain form; nothing for null.
QString plain(const QVariant& v) { return v.isNull() ? QString() : FloatToStr(v.toDouble()); }

QString textOfBlob(const QVariant& v)
{
    return v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
}

void buildHeader(Band& h)
{
    h.addImage(0, 0, 35, 25, QByteArray()).named(QStringLiteral("RegistroLogo"));
    h.addText(40, 0, 105, 5, QString()).named(QStringLiteral("RegistroNombre")).centre().bold().size(11);
    const char* letterhead[] = {"NitRegistro", "RegistroDireccion", "TelefonosRegistro", "MailRegistro"};
    double y = 6;
    for (const char* name : letterhead) {
        h.addText(40, y, 105, 4, QString()).named(QLatin1String(name)).centre().size(8);
        y += 4;
    }

    // On a reprint, under the letterhead: this paper is a copy.
    h.addText(40, 23, 105, 4.5, QString()).named(QStringLiteral("Reimpresion")).centre().bold().size(10);

    h.addText(148, 0, W - 148, 4, QStringLiteral("FACTURA DE")).centre().bold().size(9);
    h.addText(148, 4, W - 148, 4, QStringLiteral("VENTA No.")).centre().bold().size(9);
    h.addRect(155, 8.5, W - 162, 7);
    h.addText(155, 9.5, W - 162, 5, QString()).named(QStringLiteral("Numero")).centre().bold().size(12);
    h.addRect(148, 17, W - 148, 10);
    const double half = (W - 148) / 2;
    h.addText(148, 17.5, half, 3.5, QStringLiteral("Fecha Factura")).centre().size(6.5);
    h.addText(148, 21.5, half, 4, QString()).named(QStringLiteral("FechaFactura")).centre().size(8);
    h.addText(148 + half, 17.5, half, 3.5, QStringLiteral("Fecha Vencimiento")).centre().size(6.5);
    h.addText(148 + half, 21.5, half, 4, QString()).named(QStringLiteral("FechaVencimiento")).centre().size(8);

    h.addRect(0, 30, W, 17);
    h.addText(2, 31, 60, 3.5, QStringLiteral("Razon Social")).size(6.5);
    h.addField(2, 34.5, 122, 5, QStringLiteral("NOMBRECLIENTE")).bold().size(10);
    h.addText(2, 41.5, 17, 4, QStringLiteral("Direccion")).size(7);
    h.addField(19, 41.5, 106, 4, QStringLiteral("DIRECCIONCLIENTE")).size(8);
    h.addText(130, 31.5, 17, 4, QStringLiteral("Telefono")).size(7);
    h.addField(147, 31.5, W - 148, 4, QStringLiteral("TELEFONOCLIENTE")).size(8);
    h.addText(130, 36.5, 17, 4, QStringLiteral("Nit")).size(7);
    h.addText(147, 36.5, W - 148, 4, QString()).named(QStringLiteral("NitCliente")).size(8);

    h.addRect(0, 49, W, 6);
    h.addText(1, 50, 18, 4, QStringLiteral("Codigo")).bold().size(8);
    h.addText(20, 50, 88, 4, QStringLiteral("Descripcion")).bold().size(8);
    h.addText(109, 50, 22, 4, QStringLiteral("Cantidad")).right().bold().size(8);
    h.addText(132, 50, 25, 4, QStringLiteral("Valor Unidad")).right().bold().size(8);
    h.addText(158, 50, 12, 4, QStringLiteral("%Iva")).right().bold().size(8);
    h.addText(171, 50, W - 172, 4, QStringLiteral("Valor")).right().bold().size(8);
    h.setHeight(56);

    h.beforePrint = [](BandEvent& e) {
        Band& b = e.band;
        b.item(QStringLiteral("Numero")).setText(FormatFloat(QStringLiteral("000000"), numberOf(e.row, "CONSECUTIVO")));
        const QDateTime fecha = e.row.value(QStringLiteral("FECHA")).toDateTime();
        b.item(QStringLiteral("FechaFactura")).setText(FormatDateTime(kDatePicture, fecha));
        b.item(QStringLiteral("FechaVencimiento"))
            .setText(FormatDateTime(kDatePicture, fecha.addDays(qint64(numberOf(e.row, "PLAZO")))));
        b.item(QStringLiteral("NitCliente"))
            .setText(FormatFloat(QStringLiteral("###,###."), numberOf(e.row, "NIT")) + QLatin1Char('-') +
                     textOf(e.row, "DV"));
    };
}

void buildLines(Band& d)
{
    d.setHeight(4.5);
    d.addText(1, 0.5, 18, 4, QString()).named(QStringLiteral("Codigo")).size(8);
    d.addText(20, 0.5, 88, 4, QString()).named(QStringLiteral("Descripcion")).wrap().size(8);
    d.addField(109, 0.5, 22, 4, QStringLiteral("CANTIDAD"), kAmountPicture).right().size(8);
    d.addField(132, 0.5, 25, 4, QStringLiteral("PRECIOUNIDAD"), kAmountPicture).right().size(8);
    d.addField(158, 0.5, 12, 4, QStringLiteral("IVA"), QStringLiteral("00%")).zeroWhenNull().right().size(8);
    d.addField(171, 0.5, W - 172, 4, QString(), kAmountPicture).named(QStringLiteral("Valor")).right().size(8);
    d.beforePrint = [](BandEvent& e) {
        if (skipRowWithoutLine(e))
            return;
        e.band.item(QStringLiteral("Codigo")).setText(QLatin1Char('[') + textOf(e.row, "PRODUCTO") + QLatin1Char(']'));
        e.band.item(QStringLiteral("Descripcion"))
            .setText(textOf(e.row, "NOMBREPRODUCTO") + QLatin1Char(' ') + textOf(e.row, "UNIDAD") +
                     QStringLiteral(" * ") + plain(e.row.value(QStringLiteral("CANTIDADVENTA"))));
        e.band.item(QStringLiteral("Valor")).setValue(netOfIva(e.row));
    };
}

void buildTotals(Band& s)
{
    s.addLine(0, 1, W, 1);
    double x = 0;
    for (const BaseColumn& b : kBases) {
        s.addText(x, 2.5, 25, 4, QLatin1String(b.caption)).centre().size(7);
        s.addSystem(x, 6.5, 25, 4, ValueSource::Total, QLatin1String(b.total)).withPicture(kAmountPicture).centre().size(8);
        x += 26;
    }
    // Below the invoice's total, the rows that lead from it to what the customer pays now: the
    // service charge, the discount and what was paid before.
    const char* totals[][2] = {{"SUBTOTAL", "Subtotal"},   {"Iva", "Iva"},          {"TOTAL FACTURA", "TotalFactura"},
                               {"Servicio", "Servicio"},   {"Descuento -", "Descuento"}, {"Abono -", "Abono"},
                               {"Valor A Pagar", "Pagar"}};
    double y = 2.5;
    for (const auto& t : totals) {
        s.addText(140, y, 25, 3.4, QLatin1String(t[0])).bold().size(7.5);
        s.addField(165, y, W - 165, 3.4, QString(), kAmountPicture).named(QLatin1String(t[1])).right().size(7.5);
        y += 3.4;
    }
    s.addRect(0, 11.5, 130, 9);
    s.addText(1.5, 12.3, 127, 4, QString()).named(QStringLiteral("Son")).wrap().size(8);
    s.addText(0, 22, 136, 3, QString()).named(QStringLiteral("Resolucion")).centre().wrap().size(6);
    s.addText(0, 28, 108, 4, QString()).named(QStringLiteral("DescuentoPagoAnticipado")).size(7.5);
    s.addText(110, 28, W - 110, 4, QStringLiteral("Bod: Cajas [___]  Rollos [___]  Bolsas [___]  Planchas [___]"))
        .right()
        .size(7);
    s.addText(110, 32, W - 110, 4, QStringLiteral("Alm: Cajas [___]  Rollos [___]  Bolsas [___]  Planchas [___]"))
        .right()
        .size(7);
    s.addText(0, 38, 60, 4, QStringLiteral("Autorizo _________")).size(8);
    s.addText(68, 38, 60, 4, QStringLiteral("Separo _________")).size(8);
    s.addText(136, 38, W - 136, 4, QStringLiteral("Reviso _________")).size(8);
    s.setHeight(43);

    s.beforePrint = [](BandEvent& e) {
        Band& b = e.band;
        const double subtotal = numberOf(e.row, "TOTALSUBTOTAL"), iva = numberOf(e.row, "TOTALIVA");
        b.item(QStringLiteral("Subtotal")).setValue(subtotal - iva);
        b.item(QStringLiteral("Iva")).setValue(iva);
        const double total = numberOf(e.row, "TOTALNETO");
        b.item(QStringLiteral("TotalFactura")).setValue(total);
        b.item(QStringLiteral("Servicio")).setValue(numberOf(e.row, "VALORPROPINA"));
        b.item(QStringLiteral("Descuento")).setValue(numberOf(e.row, "DESCUENTO"));
        b.item(QStringLiteral("Abono")).setValue(numberOf(e.row, "ABONO"));
        b.item(QStringLiteral("Pagar")).setValue(amountToPay([&e](const char* f) { return numberOf(e.row, f); }));
        // The words state the invoice's total, the figure printed beside "TOTAL FACTURA".
        b.item(QStringLiteral("Son")).setText(QStringLiteral("Son: ") + MontoEscrito(total));
        b.item(QStringLiteral("DescuentoPagoAnticipado"))
            .setText(numberOf(e.row, "PLAZO") >= 1 ? QStringLiteral("Si PAGA Antes de _____________Tomar _____% De Descuento")
                                                   : QString());
    };
}

}  // namespace

PageInvoice::PageInvoice(Connection& c, double pageHeight)
    : db(c), QFact(c), QRegistro(c), rpt(QStringLiteral("FACTURA DE VENTA")), fact_(QFact)
{
    QFact.setObjectName(QStringLiteral("QFact"));
    QFact.setSql(QLatin1String(kDocumentSql));
    QRegistro.setObjectName(QStringLiteral("QRegistro"));
    QRegistro.setSql(QLatin1String(kRegistroSql));
    PageSetup& p = rpt.page();
    p.height = pageHeight;
    p.top = 5;
    p.bottom = 10;
    rpt.setSource(fact_);

    // The bases by rate start at 0 with every rendering.
    for (const BaseColumn& b : kBases) {
        const double rate = b.rate;
        rpt.addTotal(QLatin1String(b.total), [rate](const RowSource& row) {
            const double lineRate = numberOf(row, "IVA");
            const bool mine = rate == 0 ? !isNamedRate(lineRate) : lineRate == rate;
            return mine ? netOfIva(row) : 0.0;
        });
    }
    buildHeader(rpt.titleBand());
    buildLines(rpt.detail());
    buildTotals(rpt.summary());
}

void PageInvoice::setReprintMark(const QString& mark)
{
    rpt.titleBand().item(QStringLiteral("Reimpresion")).setText(mark).show(!mark.isEmpty());
}

bool PageInvoice::open(const SaleDocumentKey& key)
{
    Band& h = rpt.titleBand();
    QRegistro.Close();
    QRegistro.Open();
    // Without a business row the letterhead stays empty and the invoice still prints.
    const bool haveRegistro = !QRegistro.IsEmpty();
    auto registro = [&](const char* field) { return haveRegistro ? QRegistro[QLatin1String(field)].value() : QVariant(); };
    const QByteArray logo = registro("LOGO").toByteArray();
    // A logo that is not a picture is left out; the invoice prints without it.
    ReportItem& logoItem = h.item(QStringLiteral("RegistroLogo"));
    logoItem.imageData = logo;
    logoItem.show(!QImage::fromData(logo).isNull());
    h.item(QStringLiteral("RegistroNombre")).setText(registro("NOMBRE").toString());
    QString nit;
    if (!registro("NIT").isNull()) {
        // The business's own check digit: as it is recorded for its NIT among the third parties,
        // else worked out by the DIAN rule.
        const double number = registro("NIT").toDouble();
        QString dv = registro("DV").toString().trimmed();
        if (dv.isEmpty())
            dv = QString::number(nitCheckDigit(qint64(number)));
        nit = FormatFloat(QStringLiteral("###,###."), number) + QLatin1Char('-') + dv;
    }
    h.item(QStringLiteral("NitRegistro")).setText(QStringLiteral("Nit : ") + nit);
    h.item(QStringLiteral("RegistroDireccion"))
        .setText(QStringLiteral("Direccion ") + registro("DIRECCION").toString() + QStringLiteral("  "));
    h.item(QStringLiteral("TelefonosRegistro"))
        .setText(QStringLiteral("Telefonos ") + registro("TELEFONOS").toString() + QStringLiteral("  "));
    h.item(QStringLiteral("MailRegistro")).setText(registro("EMAIL").toString());

    rpt.summary().item(QStringLiteral("Resolucion"))
        .setText(textOfBlob(db.scalar(QLatin1String(kResolucionSql), {{QStringLiteral("DOCUMENTO"), key.documento}})));

    setDocumentKey(QFact, key);
    QFact.Open();
    if (QFact.IsEmpty())
        return false;
    if (const std::optional<StoredDocument> doc = electronicDocument(db, key)) {
        // The paper resolution of the document type would contradict the electronic
        // authorization the footer prints.
        rpt.summary().item(QStringLiteral("Resolucion")).setText(QString());
        addElectronicTitle(h, 0, W, 4.5, 9, *doc, false);
        addElectronicFooter(rpt.summary(), 0, W, 3.5, 7.5, 28, *doc, false);
    }
    return true;
}

}  // namespace kv
