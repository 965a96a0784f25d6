#include "pos/UntDmVentas.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <QDateTime>
#include <QElapsedTimer>
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
    // A header written again after a rolled-back attempt takes the number that is free now.
    TIniFac.BeforePost = [this](Dataset& ds) {
        if (ds.state() == DsState::Insert && attempt_ > 1)
            takeDocumentNumber(ds);
    };
    TIniFac.WriteOperation = [this](Dataset& ds, WriteKind, const std::function<void()>& write) {
        runSaleOperation(ds.state() != DsState::Insert, write);
    };
    TFac.AfterInsert = [this](Dataset& ds) { TFacAfterInsert(ds); };
    TFac.BeforePost = [this](Dataset& ds) { TFacBeforePost(ds); };
    TFac.AfterPost = [this](Dataset& ds) { TFacAfterPost(ds); };
    TFac.AfterDelete = [this](Dataset& ds) { TFacAfterPost(ds); };
    TFac.OnCalcFields = [this](Dataset& ds) { TFacCalcFields(ds); };
    TFac.WriteOperation = [this](Dataset& ds, WriteKind kind, const std::function<void()>& write) {
        writeLine(ds, kind, write);
    };

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

// ---------------------------------------------------------------- operations

void TDmVentas::runSaleOperation(bool lockHeader, const std::function<void()>& body)
{
    if (depth_ > 0) {
        body();
        return;
    }
    struct Depth {
        TDmVentas& m;
        explicit Depth(TDmVentas& m) : m(m) { ++m.depth_; }
        ~Depth()
        {
            --m.depth_;
            m.attempt_ = 0;
        }
    } depth(*this);
    QElapsedTimer clock;
    clock.start();
    const bool joined = DbPos.inTransaction();
    for (attempt_ = 1;; ++attempt_) {
        try {
            Transaction t(DbPos, waitLimitMs_);
            if (lockHeader)
                takeHeaderRow();
            body();
            t.commit();
            if (attempt_ > 1 && !TFac.isEditing())
                TFac.Refresh();  // the lines other stations added meanwhile show too
            return;
        } catch (const DbError& e) {
            // A Firebird transaction reads one snapshot: only a new transaction sees the number
            // or the totals another register committed meanwhile, so the whole operation runs again.
            // Inside a transaction of the caller's (a void, a transfer) the attempt cannot start
            // afresh: the caller's whole transaction fails and its owner decides.
            const bool again = (isDuplicateKey(e) || isConflict(e)) && !joined && attempt_ < kAttempts &&
                               clock.elapsed() < waitLimitMs_;
            undoAfterRollback(!again);
            if (again) {
                ++retries_;
                continue;
            }
            if (!isDuplicateKey(e) && !isConflict(e))
                throw;
            throw DbError(QStringLiteral("Otras cajas están usando el mismo número o el mismo documento; no se guardó "
                                         "nada. Intente de nuevo."),
                          e.code());
        } catch (...) {
            undoAfterRollback(true);
            throw;
        }
    }
}

void TDmVentas::takeHeaderRow()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        throw DbError(QStringLiteral("No hay un documento en curso"));
    // Taking the row makes a second station wait here (or fail with a conflict and start over)
    // until the first one's line and totals are committed. The same read brings the header as
    // stored now into the cursor, so the totals written after it start from what is stored.
    try {
        if (!TIniFac.isEditing()) {
            TIniFac.RefreshRecord(true);
            return;
        }
        QSqlQuery q = DbPos.exec(QStringLiteral("SELECT CONSECUTIVO FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA "
                                                "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO WITH LOCK"),
                                 documentKey());
        if (DbPos.next(q))
            return;
    } catch (const DbError& e) {
        if (e.code() != 0)
            throw;  // the engine's refusal (a conflict, a wait stopped) is handled by the operation
    }
    throw DbError(QStringLiteral("El documento %1 ya no existe; no se guardó nada.")
                      .arg(TIniFac[QStringLiteral("CONSECUTIVO")].asInteger()));
}

QVariantMap TDmVentas::documentKey()
{
    return {{QStringLiteral("EMPRESA"), TIniFac[QStringLiteral("EMPRESA")].value()},
            {QStringLiteral("DOCUMENTO"), TIniFac[QStringLiteral("DOCUMENTO")].value()},
            {QStringLiteral("CONSECUTIVO"), TIniFac[QStringLiteral("CONSECUTIVO")].value()}};
}

void TDmVentas::undoAfterRollback(bool final)
{
    // The row whose write failed is put back by its own dataset, to be written again or left for
    // the cashier; rows the operation changed in the other cursor lose those changes. Before
    // another attempt that is all: the attempt reads the header again as it takes it. When the
    // operation gives up, the header is read again so the screen shows what is stored.
    for (Dataset* ds : {&TFac, &TIniFac})
        if (!ds->writing() && ds->isEditing() && !(ds == &TIniFac && keepHeaderEdits_))
            ds->Cancel();
    if (final && !TIniFac.writing())
        TIniFac.RefreshRecord();
}

bool TDmVentas::confirmReturn(double cantidad)
{
    return cantidad >= 0 || AskYesNo(QStringLiteral("Devolver Producto Producto ?"));
}

void TDmVentas::writeLine(Dataset& ds, WriteKind kind, const std::function<void()>& write)
{
    if (depth_ == 0 && kind == WriteKind::Post && !confirmReturn(ds[QStringLiteral("CANTIDAD")].asFloat())) {
        ds.Cancel();  // a new line goes, an edited one gets its previous values back
        throw Abort();
    }
    runSaleOperation(true, write);
}

int TDmVentas::startDocument()
{
    TIniFac.Insert();
    try {
        TIniFac.Post();
    } catch (...) {
        TIniFac.Cancel();
        throw;
    }
    return TIniFac[QStringLiteral("CONSECUTIVO")].asInteger();
}

bool TDmVentas::openDocument(const QVariant& empresa, const QVariant& documento, const QVariant& consecutivo)
{
    return TIniFac.Locate(QStringLiteral("EMPRESA;DOCUMENTO;CONSECUTIVO"), {empresa, documento, consecutivo});
}

bool TDmVentas::addLine(const QVariantMap& values)
{
    if (!confirmReturn(values.value(QStringLiteral("CANTIDAD"), 1.0).toDouble()))
        return false;
    struct Allowed {
        bool before = LineaPermitida;
        Allowed() { LineaPermitida = true; }
        ~Allowed() { LineaPermitida = before; }
    } allowed;
    runSaleOperation(true, [&] {
        TFac.Insert();
        for (auto it = values.begin(); it != values.end(); ++it)
            TFac[it.key()] = it.value();
        TFac.Post();
    });
    return true;
}

void TDmVentas::onLine(const QVariant& linea)
{
    if (TFac[QStringLiteral("LINEA")].value() != linea && !TFac.Locate(QStringLiteral("LINEA"), linea))
        throw DbError(QStringLiteral("La línea %1 ya no existe").arg(linea.toInt()));
}

bool TDmVentas::changeLine(const QVariantMap& values)
{
    const QVariant cantidad = values.value(QStringLiteral("CANTIDAD"), TFac[QStringLiteral("CANTIDAD")].value());
    if (!confirmReturn(cantidad.toDouble()))
        return false;
    const QVariant linea = TFac[QStringLiteral("LINEA")].value();
    runSaleOperation(true, [&] {
        onLine(linea);
        TFac.Edit();
        for (auto it = values.begin(); it != values.end(); ++it)
            TFac[it.key()] = it.value();
        TFac.Post();
    });
    return true;
}

void TDmVentas::deleteLine()
{
    const QVariant linea = TFac[QStringLiteral("LINEA")].value();
    runSaleOperation(true, [&] {
        onLine(linea);
        TFac.Delete();
    });
}

bool TDmVentas::abandonEmptyDocument()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return false;
    Transaction t(DbPos, waitLimitMs_);
    const int gone = DbPos.exec(QStringLiteral("DELETE FROM POSMOVIMIENTO H WHERE H.EMPRESA = :EMPRESA AND H.DOCUMENTO = "
                                               ":DOCUMENTO AND H.CONSECUTIVO = :CONSECUTIVO AND NOT EXISTS (SELECT 1 FROM "
                                               "POSMOVIMIENTODETALLE D WHERE D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = "
                                               "H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO)"),
                                documentKey())
                         .numRowsAffected();
    t.commit();
    if (gone > 0)
        TIniFac.Refresh();
    return gone > 0;
}

// ---------------------------------------------------------------- payment

QString TDmVentas::closedBy()
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        return QStringLiteral("No hay un documento en curso.");
    const int numero = TIniFac[QStringLiteral("CONSECUTIVO")].asInteger();
    QSqlQuery q = DbPos.exec(QStringLiteral("SELECT M.STATUS, M.CAJERO, C.NOMBRE FROM POSMOVIMIENTO M LEFT JOIN "
                                            "POSCAJEROS C ON C.CEDULA = M.CAJERO WHERE M.EMPRESA = :EMPRESA AND "
                                            "M.DOCUMENTO = :DOCUMENTO AND M.CONSECUTIVO = :CONSECUTIVO"),
                             documentKey());
    if (!DbPos.next(q))
        return QStringLiteral("La factura %1 ya no existe; no se guardó el pago.").arg(numero);
    if (q.value(0).toString().trimmed() != QLatin1String("I"))
        return QString();
    QString quien = q.value(2).toString().trimmed();
    if (quien.isEmpty())
        quien = QStringLiteral("el cajero ") + FormatFloat(QStringLiteral("###,###."), q.value(1).toDouble());
    return QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) por %2; no se guardó el pago.")
        .arg(numero)
        .arg(quien);
}

QString TDmVentas::closeWithPayment(const QVariant& cajero)
{
    if (!TIniFac.active() || TIniFac.IsEmpty())
        throw DbError(QStringLiteral("No hay un documento en curso"));
    QVariantMap values = documentKey();
    for (const char* f : {"TIPODEPAGO", "TIPODEPAGODES", "ABONO", "PAGO", "PROPINA", "VALORPROPINA", "DESCUENTO",
                          "MONEDA", "TASA", "VALOROTRAMONEDA"})
        values.insert(QLatin1String(f), TIniFac[QLatin1String(f)].value());
    values.insert(QStringLiteral("CAJERO"), cajero);
    int closed = 0;
    struct Keep {
        bool& flag;
        explicit Keep(bool& f) : flag(f) { flag = true; }
        ~Keep() { flag = false; }
    } keep(keepHeaderEdits_);
    // The open state is checked by the statement itself, on the row it takes: of two registers
    // collecting the same document, the second changes no row.
    runSaleOperation(false, [&] {
        closed = DbPos.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET TIPODEPAGO = :TIPODEPAGO, TIPODEPAGODES = "
                                           ":TIPODEPAGODES, ABONO = :ABONO, PAGO = :PAGO, PROPINA = :PROPINA, "
                                           "VALORPROPINA = :VALORPROPINA, DESCUENTO = :DESCUENTO, MONEDA = :MONEDA, "
                                           "TASA = :TASA, VALOROTRAMONEDA = :VALOROTRAMONEDA, STATUS = 'I', "
                                           "CAJERO = :CAJERO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                                           "CONSECUTIVO = :CONSECUTIVO AND STATUS IS DISTINCT FROM 'I'"),
                             values)
                     .numRowsAffected();
    });
    if (TIniFac.isEditing())
        TIniFac.Cancel();
    TIniFac.RefreshRecord();
    return closed > 0 ? QString() : closedBy();
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
}

void TDmVentas::takeDocumentNumber(Dataset& ds)
{
    const int old = ds[QStringLiteral("CONSECUTIVO")].asInteger();
    const int numero = nextDocumentNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value());
    ds[QStringLiteral("CONSECUTIVO")] = numero;
    if (ds[QStringLiteral("FACTURA")].asInteger() == old)
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

void TDmVentas::TFacBeforePost(Dataset& ds)
{
    // A return (negative quantity) was confirmed by the cashier before the operation's
    // transaction opened (confirmReturn); a No never gets here.
    const double cantidad = ds[QStringLiteral("CANTIDAD")].asFloat();
    if (ds.state() == DsState::Insert && attempt_ > 1)  // written again after a rolled-back attempt
        ds[QStringLiteral("LINEA")] = nextLineNumber(ds[QStringLiteral("EMPRESA")].value(), ds[QStringLiteral("DOCUMENTO")].value(),
                                                     ds[QStringLiteral("CONSECUTIVO")].value());
    // The base units follow the quantity on every post, so a quantity changed in a grid or a
    // change window still counts the right units for the stock.
    ds[QStringLiteral("CANTIDADRECIBIDA")] =
        cantidad * unitsPerPacking(ds[QStringLiteral("PRODUCTO")].value(), ds[QStringLiteral("UNIDADMOVIMIENTO")].value());

    const double precio = ds[QStringLiteral("PRECIOUNIDAD")].asFloat();
    UltimoPrecio = precio;
    const double subtotal = R(precio * cantidad * 100) / 100;
    ds[QStringLiteral("SUBTOTAL")] = subtotal;

    double valorIva = 0;
    double valorIpoconsumo = 0;
    const double iva = ds[QStringLiteral("IVA")].asFloat();
    const double ipoconsumo = ds[QStringLiteral("IPOCONSUMO")].asFloat();
    const double base = subtotal - ds[QStringLiteral("VALORDESCUENTO")].asFloat();
    // A return carries its taxes with their sign, computed as for a sale (R is symmetric), so a
    // sale and its return leave the document's tax at 0 as well as its total.
    if (iva > 0 && cantidad != 0) {
        const bool incluido = findProduct(ds[QStringLiteral("PRODUCTO")].value()) &&
                              TProductos.FieldByName(QStringLiteral("PRECIOMASIVA")).asString() == QLatin1String("S");
        if (incluido)
            valorIva = base - R(base / ivaDivisor(iva));  // the part without tax is a whole number
        else
            valorIva = R(base * iva / 100);
    }
    if (ipoconsumo > 0 && cantidad != 0)
        valorIpoconsumo = R(ipoconsumo * base / 100);
    ds[QStringLiteral("VALORIVA")] = valorIva;
    ds[QStringLiteral("VALORIPOCONSUMO")] = valorIpoconsumo;
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
    // A service charge chosen as a percentage follows the document's amount (one typed as a value,
    // PROPINA 0, stays as typed).
    const double propina = TIniFac[QStringLiteral("PROPINA")].asFloat();
    if (propina > 0)
        TIniFac[QStringLiteral("VALORPROPINA")] = R(propina * subtotal / 100);
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
