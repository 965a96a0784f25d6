#include "pos/UntDmVentas.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "einvoice/PosDocument.h"

#include <QDateTime>
#include <QSqlQuery>

namespace kv {

double ClienteActual = 0;
bool LineaPermitida = false;
double UltimoPrecio = 0;
TDmVentas* DmVentas = nullptr;

namespace {
bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

const QString kAmount = QStringLiteral("###,###.00.");
}  // namespace

double TDmVentas::ivaDivisor(double rate) { return taxDivisor(rate); }

TDmVentas::TDmVentas(Connection& dbPos, QObject* parent)
    : DocumentModule(dbPos,
                     {QStringLiteral("POSMOVIMIENTO"), QStringLiteral("POSMOVIMIENTODETALLE"), QStringLiteral("CAJERO"),
                      QStringLiteral("La factura")},
                     parent),
      TCajaw(dbPos, this),
      TCajas(dbPos, this),
      TbUnidades(dbPos, this),
      TMoneda(dbPos, this),
      TCambio(dbPos, this),
      TDocumentos(dbPos, this),
      Tarqueo(dbPos, this)
{
    TCajaw.setTableName(QStringLiteral("POSCAJAS"));
    TCajas.setTableName(QStringLiteral("POSCAJAS"));
    TIniFac.addCalcField(QStringLiteral("NombreCliente"), FieldType::String, 60);
    TFac.addCalcField(QStringLiteral("NombreArticulo"), FieldType::String, 60);
    TFac.addCalcField(QStringLiteral("NETO"), FieldType::Float);
    TFac.addCalcField(QStringLiteral("Por"), FieldType::Float);
    TFac.addCalcField(QStringLiteral("ValorConIva"), FieldType::Float);

    TbUnidades.setTableName(QStringLiteral("PRODUCTOSVALORVENTA"));
    TMoneda.setTableName(QStringLiteral("MONEDA"));
    TCambio.setTableName(QStringLiteral("TASACAMBIO"));
    TDocumentos.setTableName(QStringLiteral("DOCUMENTOS"));
    Tarqueo.setTableName(QStringLiteral("POSARQUEO"));

    TIniFac.OnCalcFields = [this](Dataset& ds) { TIniFacCalcFields(ds); };
    TFac.OnCalcFields = [this](Dataset& ds) { TFacCalcFields(ds); };

    DataModuleCreate();
    DmVentas = this;
}

TDmVentas::~TDmVentas()
{
    DataModuleDestroy();
    if (DmVentas == this)
        DmVentas = nullptr;
}

void TDmVentas::DataModuleCreate()
{
    for (Dataset* ds : {&TCajaw, &TbUnidades, &TDocumentos, &TCajas, &TProductos, &TCliente, &TCajero, &TCaja,
                        &Parametros, &TIniFac, &TFac, &Tarqueo, &TMoneda, &TCambio})
        ds->Open();

    for (const char* f : {"SUBTOTAL", "DESCUENTO", "IVA", "NETO", "TASA", "VALOROTRAMONEDA", "ABONO", "PAGO"})
        TIniFac.FieldByName(QLatin1String(f)).displayFormat = kAmount;
    TIniFac.FieldByName(QStringLiteral("VALORPROPINA")).displayFormat = QStringLiteral("###,###.");
    for (const char* f : {"PRECIOUNIDAD", "PORCENTAJEDESCUENTO", "VALORDESCUENTO", "VALORIVA", "IVA", "SUBTOTAL",
                          "DESCUENTO", "WKCAN", "WKIVA", "NETO", "ValorConIva"})
        TFac.FieldByName(QLatin1String(f)).displayFormat = kAmount;
}

void TDmVentas::DataModuleDestroy()
{
    for (Dataset* ds : {&SFac, &Qlinea, &QFac, &TCambio, &TMoneda, &Tarqueo, &TFac, &TIniFac, &Parametros, &TCaja,
                        &TCajero, &TCliente, &TProductos, &TCajas, &TDocumentos, &TbUnidades, &TCajaw})
        ds->Close();
}

// ---------------------------------------------------------------- the sale actions

bool TDmVentas::addLine(const QVariantMap& values, const std::function<bool()>& admit)
{
    struct Allowed {
        bool before = LineaPermitida;
        Allowed() { LineaPermitida = true; }
        ~Allowed() { LineaPermitida = before; }
    } allowed;
    return DocumentModule::addLine(values, admit);
}

bool TDmVentas::confirmQuantity(double cantidad)
{
    return cantidad >= 0 || AskYesNo(QStringLiteral("Devolver Producto Producto ?"));
}

DocumentModule::ClosingOutcome TDmVentas::closeWithPayment(const QVariant& cajero, const QVariantMap& money,
                                                            const std::function<bool()>& beforeStore)
{
    Closing closing;
    for (const char* f : {"TIPODEPAGO", "TIPODEPAGODES", "ABONO", "PAGO", "PROPINA", "VALORPROPINA", "DESCUENTO",
                          "MONEDA", "TASA", "VALOROTRAMONEDA"})
        closing.columns.insert(QLatin1String(f), TIniFac[QLatin1String(f)].value());
    closing.columns.insert(QStringLiteral("CAJERO"), cajero);
    closing.columns.insert(money);
    closing.unchanged.insert(QStringLiteral("NETO"), TIniFac[QStringLiteral("NETO")].asFloat());
    closing.beforeStore = beforeStore;
    const ClosingOutcome outcome = closeDocument(closing);
    // The amounts are the document's as stored now; what the cashier chose stays for the next try.
    if (outcome.kind == ClosingOutcome::Changed)
        keepChosen(closing, {QStringLiteral("TIPODEPAGO"), QStringLiteral("TIPODEPAGODES"), QStringLiteral("MONEDA"),
                             QStringLiteral("TASA")});
    return outcome;
}

TrailEntry TDmVentas::trailEntry(const QString& evento, const QVariant& empresa, const QVariant& documento,
                                 const QVariant& consecutivo)
{
    TrailEntry e;
    e.evento = evento;
    e.empresa = empresa;
    e.documento = documento;
    e.consecutivo = consecutivo;
    e.caja = TCajero.FieldByName(QStringLiteral("CAJA")).value();
    e.cajero = TCajero.FieldByName(QStringLiteral("CEDULA")).value();
    return e;
}

bool TDmVentas::correctableInPlace()
{
    QVariantMap key = documentKey();
    key.insert(QStringLiteral("TIPO"), kTipoDocumentoPos);
    return DbPos.scalar(QStringLiteral("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE EMPRESA = :EMPRESA AND "
                                       "DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO AND TIPO = :TIPO"),
                        key)
               .toInt() == 0;
}

void TDmVentas::closedDocumentCorrected(double before)
{
    const QVariantMap key = documentKey();
    TrailEntry e = trailEntry(QStringLiteral("CORRECCION"), key.value(QStringLiteral("EMPRESA")),
                              key.value(QStringLiteral("DOCUMENTO")), key.value(QStringLiteral("CONSECUTIVO")));
    e.valorAntes = before;
    e.valorDespues = amountToPay([this](const char* f) { return TIniFac[QLatin1String(f)].asFloat(); });
    e.detalle = QStringLiteral("Factura %1 cerrada: se cambiaron sus líneas")
                    .arg(key.value(QStringLiteral("CONSECUTIVO")).toInt());
    recordTrail(DbPos, e);
}

// ---------------------------------------------------------------- header

void TDmVentas::headerDefaults(Dataset& ds, int numero)
{
    // A document type missing from DOCUMENTOS gives the document no currency, rather than the
    // currency of whatever type the cursor happened to stand on.
    const QVariant documento = ds[QStringLiteral("DOCUMENTO")].value();
    const bool tipo = !isNull(documento) && TDocumentos.Locate(QStringLiteral("DOCUMENTO"), documento);
    ds[QStringLiteral("CLIENTE")] = ClienteActual;
    ds[QStringLiteral("CAJERO")] = TCajero.FieldByName(QStringLiteral("CEDULA")).value();
    ds[QStringLiteral("MONEDA")] = tipo ? TDocumentos.FieldByName(QStringLiteral("MONEDA")).value() : QVariant();
    ds[QStringLiteral("TASA")] = 1.0;
    ds[QStringLiteral("PLAZO")] = 0;
    ds[QStringLiteral("FACTURA")] = numero;
}

void TDmVentas::TIniFacCalcFields(Dataset& ds)
{
    const QVariant cliente = ds[QStringLiteral("CLIENTE")].value();
    bool found = false;
    if (!isNull(cliente)) {
        // Rows are calculated often (every field set): stay put when already on the customer.
        found = TCliente.active() && !TCliente.IsEmpty() &&
                TCliente.FieldByName(QStringLiteral("NIT")).asFloat() == cliente.toDouble();
        if (!found)
            found = TCliente.Locate(QStringLiteral("NIT"), cliente);
    }
    ds[QStringLiteral("NombreCliente")] =
        found ? TCliente.FieldByName(QStringLiteral("NOMBRE")).asString() : QStringLiteral("Nit O Cedula No Creada");
}

void TDmVentas::headerTotals(Dataset& header)
{
    const double subtotal = header[QStringLiteral("SUBTOTAL")].asFloat();
    header[QStringLiteral("NETO")] = subtotal;
    header[QStringLiteral("PAGO")] = subtotal - header[QStringLiteral("ABONO")].asFloat();
    // A service charge chosen as a percentage follows the document's amount (one typed as a value,
    // PROPINA 0, stays as typed).
    const double propina = header[QStringLiteral("PROPINA")].asFloat();
    if (propina > 0)
        header[QStringLiteral("VALORPROPINA")] = R(propina * subtotal / 100);
}

// ---------------------------------------------------------------- lines

void TDmVentas::lineDefaults(Dataset& ds)
{
    ds[QStringLiteral("UNIDADMOVIMIENTO")] = QStringLiteral("UN");
    ds[QStringLiteral("CANTIDAD")] = 1.0;
    ds[QStringLiteral("CANTIDADRECIBIDA")] = 1.0;
}

double TDmVentas::unitsPerPacking(const QVariant& producto, const QVariant& unidad)
{
    if (isNull(producto) || isNull(unidad))
        return 1;
    const double n = DbPos.scalar(QStringLiteral("SELECT CANTIDAD FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = :PRODUCTO "
                                                 "AND UNIDAD = :UNIDAD"),
                                  {{QStringLiteral("PRODUCTO"), producto}, {QStringLiteral("UNIDAD"), unidad}})
                         .toDouble();
    return n > 0 ? n : 1;
}

void TDmVentas::priceLine(Dataset& ds)
{
    // A return (negative quantity) was confirmed by the cashier before the operation's
    // transaction opened (confirmQuantity); a No never gets here.
    const double cantidad = ds[QStringLiteral("CANTIDAD")].asFloat();
    // The base units follow the quantity on every post, so a quantity changed in a grid or a
    // change window still counts the right units for the stock.
    ds[QStringLiteral("CANTIDADRECIBIDA")] =
        cantidad * unitsPerPacking(ds[QStringLiteral("PRODUCTO")].value(), ds[QStringLiteral("UNIDADMOVIMIENTO")].value());

    const double precio = ds[QStringLiteral("PRECIOUNIDAD")].asFloat();
    UltimoPrecio = precio;

    // What a stored sale line means, for every reader (receipts, invoices, reports, the voucher,
    // the electronic document):
    //  - PRECIOUNIDAD: the catalogue price of one unit of packing as the register charged it: with
    //    the IVA for a product whose price includes it (PRECIOMASIVA "S"), without it otherwise.
    //  - SUBTOTAL: what the line charges, every tax included: PRECIOUNIDAD × CANTIDAD to the cent,
    //    plus the IVA when that is added on top. SUBTOTAL - VALORDESCUENTO is what the customer pays.
    //  - IVA, VALORIVA: the IVA rate in percent (null or 0: none) and the IVA inside SUBTOTAL, for
    //    included and added IVA alike.
    //  - IPOCONSUMO, VALORIPOCONSUMO: the Ipoconsumo rate and the Ipoconsumo inside SUBTOTAL; a
    //    price always includes it.
    //  - The taxable base of both taxes: SUBTOTAL - VALORDESCUENTO - VALORIVA - VALORIPOCONSUMO; a
    //    tax is its base times its rate within the rounding (lineTaxes).
    //  Whether the IVA was included or added is PRECIOUNIDAD × CANTIDAD against SUBTOTAL; nothing
    //  else depends on it. The header's SUBTOTAL and NETO are the sum of the lines' SUBTOTAL (the
    //  amount of the document), its IVA the sum of VALORIVA; the Ipoconsumo is summed from the lines.
    // The IVA is added only for a product on file whose price leaves it out: a line whose product
    // is gone is never charged more than its price.
    const double iva = ds[QStringLiteral("IVA")].asFloat();
    const bool incluido = iva > 0 && (!findProduct(ds[QStringLiteral("PRODUCTO")].value()) ||
                                      TProductos.FieldByName(QStringLiteral("PRECIOMASIVA")).asString() == QLatin1String("S"));
    const LineTaxes t = lineTaxes(R(precio * cantidad * 100) / 100, ds[QStringLiteral("VALORDESCUENTO")].asFloat(), iva,
                                  incluido, ds[QStringLiteral("IPOCONSUMO")].asFloat());
    ds[QStringLiteral("SUBTOTAL")] = t.subtotal;
    ds[QStringLiteral("VALORIVA")] = t.valorIva;
    ds[QStringLiteral("VALORIPOCONSUMO")] = t.valorIpoconsumo;
}

// The tax rates a sale line takes from its product: its IVA rate whether the price includes the
// IVA or the IVA is added to it (the line pricing tells them apart), and its Ipoconsumo rate.
QVariantMap TDmVentas::taxRatesOf(Dataset& product)
{
    const auto rate = [&product](const char* field) {
        const double r = product.FieldByName(QLatin1String(field)).asFloat();
        return r > 0 ? QVariant(r) : QVariant();
    };
    return {{QStringLiteral("IVA"), rate("VALORIVA")}, {QStringLiteral("IPOCONSUMO"), rate("IPOCONSUMO")}};
}

void TDmVentas::TFacCalcFields(Dataset& ds)
{
    const bool found = findProduct(ds[QStringLiteral("PRODUCTO")].value());
    ds[QStringLiteral("NombreArticulo")] =
        found ? TProductos.FieldByName(QStringLiteral("NOMBRE")).asString() : QStringLiteral("Sin Articulo");
    const double subtotal = ds[QStringLiteral("SUBTOTAL")].asFloat();
    const double cantidad = ds[QStringLiteral("CANTIDAD")].asFloat();
    ds[QStringLiteral("NETO")] = subtotal - (ds[QStringLiteral("VALORIVA")].asFloat() - ds[QStringLiteral("VALORDESCUENTO")].asFloat());
    ds[QStringLiteral("Por")] = cantidad;
    // A line of quantity 0 has no unit price to show.
    ds[QStringLiteral("ValorConIva")] = cantidad != 0 ? subtotal / cantidad : 0.0;
}

}  // namespace kv
