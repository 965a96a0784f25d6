#include "pos/UntDmVentas.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <QDateTime>

namespace kv {

double ClienteActual = 0;
bool LineaPermitida = false;
double UltimoPrecio = 0;
TDmVentas* DmVentas = nullptr;

namespace {
bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

const QString kAmount = QStringLiteral("###,###.00.");
}  // namespace

bool isDuplicateKey(const DbError& e)
{
    return e.text().contains(QLatin1String("violation of PRIMARY or UNIQUE KEY constraint"), Qt::CaseInsensitive);
}

double TDmVentas::ivaDivisor(double rate)
{
    // (100 + rate) / 100 rather than 1 + rate / 100: for a whole rate it is exactly the number
    // 1.16 (or 1.05) that shops have always divided by, and it stays right for any other rate.
    return (100.0 + rate) / 100.0;
}

TDmVentas::TDmVentas(Connection& dbPos, QObject* parent)
    : QObject(parent),
      DbPos(dbPos),
      TCajero(dbPos, this),
      TCaja(dbPos, this),
      TCajaw(dbPos, this),
      TCajas(dbPos, this),
      Parametros(dbPos, this),
      TIniFac(dbPos, this),
      TFac(dbPos, this),
      TCliente(dbPos, this),
      TProductos(dbPos, this),
      TbUnidades(dbPos, this),
      TMoneda(dbPos, this),
      TCambio(dbPos, this),
      TDocumentos(dbPos, this),
      Tarqueo(dbPos, this),
      QFac(dbPos, this),
      Qlinea(dbPos, this),
      SFac(dbPos, this)
{
    TCajero.setTableName(QStringLiteral("POSCAJEROS"));
    TCaja.setTableName(QStringLiteral("POSCAJAS"));
    TCaja.setMasterSource(&TCajero, QStringLiteral("CAJA"), QStringLiteral("CAJA"));
    TCajaw.setTableName(QStringLiteral("POSCAJAS"));
    TCajas.setTableName(QStringLiteral("POSCAJAS"));
    Parametros.setTableName(QStringLiteral("POSESQUEMA"));

    TIniFac.setTableName(QStringLiteral("POSMOVIMIENTO"));
    TIniFac.addCalcField(QStringLiteral("NombreCliente"), FieldType::String, 60);
    TFac.setTableName(QStringLiteral("POSMOVIMIENTODETALLE"));
    TFac.setMasterSource(&TIniFac, QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO"));
    TFac.addCalcField(QStringLiteral("NombreArticulo"), FieldType::String, 60);
    TFac.addCalcField(QStringLiteral("NETO"), FieldType::Float);
    TFac.addCalcField(QStringLiteral("Por"), FieldType::Float);
    TFac.addCalcField(QStringLiteral("ValorConIva"), FieldType::Float);

    TCliente.setTableName(QStringLiteral("PROVEEDORES"));
    TProductos.setTableName(QStringLiteral("PRODUCTOS"));
    TbUnidades.setTableName(QStringLiteral("PRODUCTOSVALORVENTA"));
    TMoneda.setTableName(QStringLiteral("MONEDA"));
    TCambio.setTableName(QStringLiteral("TASACAMBIO"));
    TDocumentos.setTableName(QStringLiteral("DOCUMENTOS"));
    Tarqueo.setTableName(QStringLiteral("POSARQUEO"));

    QFac.setSql(QStringLiteral("SELECT MAX(CONSECUTIVO)\nFROM POSMOVIMIENTO Posmovimiento\nWHERE  (EMPRESA = :EMPRESA) AND\n"
                               "(DOCUMENTO = :DOCUMENTO)"));
    Qlinea.setSql(QStringLiteral("SELECT MAX(LINEA)  FROM POSMOVIMIENTODETALLE\nWHERE EMPRESA = :EMPRESA\n"
                                 "AND DOCUMENTO = :DOCUMENTO\nAND CONSECUTIVO = :CONSECUTIVO"));
    SFac.setSql(QStringLiteral("SELECT SUM(VALORIVA) IVA,\nSUM(VALORDESCUENTO) DESCUENTO,\nSUM(SUBTOTAL) SUBTOTAL\n"
                               "FROM POSMOVIMIENTODETALLE\nWHERE EMPRESA = :EMPRESA\nAND DOCUMENTO = :DOCUMENTO\n"
                               "AND CONSECUTIVO = :CONSECUTIVO"));

    TIniFac.AfterInsert = [this](Dataset& ds) { TIniFacAfterInsert(ds); };
    TIniFac.OnCalcFields = [this](Dataset& ds) { TIniFacCalcFields(ds); };
    TIniFac.OnPostError = [this](Dataset& ds, const DbError& e) { return TIniFacPostError(ds, e); };
    TFac.AfterInsert = [this](Dataset& ds) { TFacAfterInsert(ds); };
    TFac.BeforePost = [this](Dataset& ds) { TFacBeforePost(ds); };
    TFac.AfterPost = [this](Dataset& ds) { TFacAfterPost(ds); };
    TFac.AfterDelete = [this](Dataset& ds) { TFacAfterPost(ds); };
    TFac.OnCalcFields = [this](Dataset& ds) { TFacCalcFields(ds); };
    TFac.OnPostError = [this](Dataset& ds, const DbError& e) { return TFacPostError(ds, e); };

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

// ---------------------------------------------------------------- sign-on

bool TDmVentas::findCashier(double cedula) { return TCajero.Locate(QStringLiteral("CEDULA"), cedula); }

void TDmVentas::selectCashierRegister()
{
    const QVariant caja = TCajero.FieldByName(QStringLiteral("CAJA")).value();
    const bool found = !isNull(caja) && TCajaw.Locate(QStringLiteral("CAJA"), caja);
    setParameterCompany(found ? TCajaw.FieldByName(QStringLiteral("EMPRESA")).value() : QVariant());
}

bool TDmVentas::signOn(double cedula)
{
    Parametros.Refresh();
    if (!findCashier(cedula))
        return false;
    selectCashierRegister();
    return true;
}

void TDmVentas::setParameterCompany(const QVariant& empresa)
{
    // A null company binds NULL, which no LLAVE equals: no parameter row is in force.
    Parametros.setFilter(QStringLiteral("LLAVE = :LLAVE"), {{QStringLiteral("LLAVE"), empresa}});
    if (!Parametros.active())
        Parametros.Open();
}

// ---------------------------------------------------------------- numbering

int TDmVentas::nextDocumentNumber(const QVariant& empresa, const QVariant& documento)
{
    QFac.Close();
    QFac.setParam(QStringLiteral("EMPRESA"), empresa);
    QFac.setParam(QStringLiteral("DOCUMENTO"), documento);
    QFac.Open();
    return QFac.fieldAt(0).asInteger() + 1;  // no document yet: the maximum is null, read as 0
}

int TDmVentas::nextLineNumber(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo)
{
    Qlinea.Close();
    Qlinea.setParam(QStringLiteral("EMPRESA"), empresa);
    Qlinea.setParam(QStringLiteral("DOCUMENTO"), documento);
    Qlinea.setParam(QStringLiteral("CONSECUTIVO"), consecutivo);
    Qlinea.Open();
    return Qlinea.fieldAt(0).asInteger() + 1;
}

// ---------------------------------------------------------------- header

void TDmVentas::TIniFacAfterInsert(Dataset& ds)
{
    const QVariant empresa = Parametros.FieldByName(QStringLiteral("EMPRESA")).value();
    const QVariant documento = Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value();
    const int numero = nextDocumentNumber(empresa, documento);
    // A document type missing from DOCUMENTOS gives the document no currency, rather than the
    // currency of whatever type the cursor happened to stand on.
    const bool tipo = !isNull(documento) && TDocumentos.Locate(QStringLiteral("DOCUMENTO"), documento);

    ds[QStringLiteral("EMPRESA")] = empresa;
    ds[QStringLiteral("DOCUMENTO")] = documento;
    ds[QStringLiteral("CONSECUTIVO")] = numero;  // voided documents keep their numbers: never reused
    ds[QStringLiteral("BODEGA")] = Parametros.FieldByName(QStringLiteral("SUCURSAL")).value();
    ds[QStringLiteral("CLIENTE")] = ClienteActual;
    const QVariant cedula = TCajero.FieldByName(QStringLiteral("CEDULA")).value();
    ds[QStringLiteral("VENDEDOR")] = cedula;
    ds[QStringLiteral("CAJERO")] = cedula;
    ds[QStringLiteral("CAJA")] = TCajero.FieldByName(QStringLiteral("CAJA")).value();
    ds[QStringLiteral("MONEDA")] = tipo ? TDocumentos.FieldByName(QStringLiteral("MONEDA")).value() : QVariant();
    ds[QStringLiteral("TASA")] = 1.0;
    ds[QStringLiteral("PLAZO")] = 0;
    ds[QStringLiteral("FECHA")] = QDateTime::currentDateTime();
    ds[QStringLiteral("TIPODEPAGO")] = QStringLiteral("C");
    ds[QStringLiteral("FACTURA")] = numero;
    headerRetries_ = 0;
}

DataAction TDmVentas::TIniFacPostError(Dataset& ds, const DbError& e)
{
    // Another register took the same number between our reading of the maximum and our write.
    // The number rule stays (the highest plus one: other programs read these numbers), so the
    // header takes the new highest number and is written again.
    if (ds.state() != DsState::Insert || !isDuplicateKey(e) || headerRetries_ >= kNumberRetries) {
        headerRetries_ = 0;
        return DataAction::Fail;
    }
    ++headerRetries_;
    ++numbersTakenAgain_;
    const int old = ds[QStringLiteral("CONSECUTIVO")].asInteger();
    const int numero = nextDocumentNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value());
    ds[QStringLiteral("CONSECUTIVO")] = numero;
    if (ds[QStringLiteral("FACTURA")].asInteger() == old)
        ds[QStringLiteral("FACTURA")] = numero;
    return DataAction::Retry;
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

// ---------------------------------------------------------------- lines

bool TDmVentas::findProduct(const QVariant& producto)
{
    if (isNull(producto))
        return false;
    if (TProductos.active() && !TProductos.IsEmpty() &&
        TProductos.FieldByName(QStringLiteral("PRODUCTO")).asLargeInt() == producto.toLongLong())
        return true;
    return TProductos.Locate(QStringLiteral("PRODUCTO"), producto);
}

void TDmVentas::TFacAfterInsert(Dataset& ds)
{
    if (!LineaPermitida) {
        // Only a sale screen's add-line routine adds lines; a grid moving below its last row
        // does not.
        ds.Cancel();
        throw Abort();
    }
    // The line's key comes from its header through the link; its number is taken within that
    // same document.
    ds[QStringLiteral("LINEA")] = nextLineNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value(),
                                                 ds[QStringLiteral("CONSECUTIVO")].value());
    ds[QStringLiteral("BODEGA")] = Parametros.FieldByName(QStringLiteral("SUCURSAL")).value();
    ds[QStringLiteral("UNIDADMOVIMIENTO")] = QStringLiteral("UN");
    ds[QStringLiteral("CANTIDAD")] = 1.0;
    ds[QStringLiteral("CANTIDADRECIBIDA")] = 1.0;
    lineRetries_ = 0;
}

void TDmVentas::TFacBeforePost(Dataset& ds)
{
    const double cantidad = ds[QStringLiteral("CANTIDAD")].asFloat();
    if (cantidad < 0 && !AskYesNo(QStringLiteral("Devolver Producto Producto ?"))) {
        ds.Cancel();  // a new line goes, an edited one gets its previous values back
        throw Abort();
    }
    const double precio = ds[QStringLiteral("PRECIOUNIDAD")].asFloat();
    UltimoPrecio = precio;
    const double subtotal = R(precio * cantidad * 100) / 100;
    ds[QStringLiteral("SUBTOTAL")] = subtotal;

    double valorIva = 0;
    double valorIpoconsumo = 0;
    const double iva = ds[QStringLiteral("IVA")].asFloat();
    const double ipoconsumo = ds[QStringLiteral("IPOCONSUMO")].asFloat();
    const double base = subtotal - ds[QStringLiteral("VALORDESCUENTO")].asFloat();
    // Returns (negative quantities) carry no taxes.
    if (iva > 0 && cantidad > 0) {
        const bool incluido = findProduct(ds[QStringLiteral("PRODUCTO")].value()) &&
                              TProductos.FieldByName(QStringLiteral("PRECIOMASIVA")).asString() == QLatin1String("S");
        if (incluido)
            valorIva = base - R(base / ivaDivisor(iva));  // the part without tax is a whole number
        else
            valorIva = R(base * iva / 100);
    }
    if (ipoconsumo > 0 && cantidad > 0)
        valorIpoconsumo = R(ipoconsumo * base / 100);
    ds[QStringLiteral("VALORIVA")] = valorIva;
    ds[QStringLiteral("VALORIPOCONSUMO")] = valorIpoconsumo;
}

DataAction TDmVentas::TFacPostError(Dataset& ds, const DbError& e)
{
    if (ds.state() != DsState::Insert || !isDuplicateKey(e) || lineRetries_ >= kNumberRetries) {
        lineRetries_ = 0;
        return DataAction::Fail;
    }
    ++lineRetries_;
    ++numbersTakenAgain_;
    ds[QStringLiteral("LINEA")] = nextLineNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value(),
                                                 ds[QStringLiteral("CONSECUTIVO")].value());
    return DataAction::Retry;
}

void TDmVentas::TFacAfterPost(Dataset&)
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return;
    // The totals are summed over the header's own document, the one the lines belong to.
    SFac.Close();
    SFac.setParam(QStringLiteral("EMPRESA"), TIniFac[QStringLiteral("EMPRESA")].value());
    SFac.setParam(QStringLiteral("DOCUMENTO"), TIniFac[QStringLiteral("DOCUMENTO")].value());
    SFac.setParam(QStringLiteral("CONSECUTIVO"), TIniFac[QStringLiteral("CONSECUTIVO")].value());
    SFac.Open();
    const double subtotal = SFac[QStringLiteral("SUBTOTAL")].asFloat();  // no lines: null, read as 0

    TIniFac.Edit();
    TIniFac[QStringLiteral("SUBTOTAL")] = subtotal;
    TIniFac[QStringLiteral("DESCUENTO")] = SFac[QStringLiteral("DESCUENTO")].asFloat();
    TIniFac[QStringLiteral("IVA")] = SFac[QStringLiteral("IVA")].asFloat();
    TIniFac[QStringLiteral("NETO")] = subtotal;
    TIniFac[QStringLiteral("PAGO")] = subtotal - TIniFac[QStringLiteral("ABONO")].asFloat();
    TIniFac.Post();
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
