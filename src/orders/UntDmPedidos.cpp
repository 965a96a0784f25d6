#include "orders/UntDmPedidos.h"

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"

namespace kv {

TDmPedidos* DmPedidos = nullptr;

TDmPedidos::TDmPedidos(Connection& dbPos, QObject* parent)
    : DocumentModule(dbPos,
                     {QStringLiteral("POSREMISIONES"), QStringLiteral("POSREMISIONESDETALLE"), QStringLiteral("VENDEDOR"),
                      QStringLiteral("La cotización")},
                     parent)
{
    TFac.addCalcField(QStringLiteral("NombreArticulo"), FieldType::String, 60);
    TFac.addCalcField(QStringLiteral("NETO"), FieldType::Float);
    TFac.AfterEdit = [this](Dataset& ds) { TFacAfterEdit(ds); };
    TFac.OnCalcFields = [this](Dataset& ds) { TFacCalcFields(ds); };
    DataModuleCreate();
    DmPedidos = this;
}

TDmPedidos::~TDmPedidos()
{
    DataModuleDestroy();
    if (DmPedidos == this)
        DmPedidos = nullptr;
}

void TDmPedidos::DataModuleCreate()
{
    for (Dataset* ds : {&TProductos, &TCliente, &TCajero, &TCaja, &Parametros, &TIniFac, &TFac})
        ds->Open();

    const QString amount = QStringLiteral("###,###.00.");
    for (const char* f : {"SUBTOTAL", "DESCUENTO", "IVA", "NETO"})
        TIniFac.FieldByName(QLatin1String(f)).displayFormat = amount;
    for (const char* f :
         {"PRECIOUNIDAD", "PORCENTAJEDESCUENTO", "VALORDESCUENTO", "VALORIVA", "IVA", "SUBTOTAL", "DESCUENTO"})
        TFac.FieldByName(QLatin1String(f)).displayFormat = amount;
    TCliente.FieldByName(QStringLiteral("NIT")).displayFormat = QStringLiteral("###,###.");
    const std::pair<const char*, const char*> titles[] = {
        {"LINEA", "Item"},           {"CANTIDAD", "Cantidad"},  {"PRECIOUNIDAD", "Precio Unidad"},
        {"PORCENTAJEDESCUENTO", "Descuento"}, {"IVA", "Iva"},   {"SUBTOTAL", "SubTotal"},
        {"VALORDESCUENTO", "Valor Descuento"}, {"VALORIVA", "Valor Iva"}};
    for (const auto& [field, title] : titles)
        TFac.FieldByName(QLatin1String(field)).displayLabel = QString::fromUtf8(title);
}

void TDmPedidos::DataModuleDestroy()
{
    for (Dataset* ds : {&SFac, &Qlinea, &QFac, &TFac, &TIniFac, &Parametros, &TCaja, &TCajero, &TCliente, &TProductos})
        ds->Close();
}

DocumentModule::ClosingOutcome TDmPedidos::closeOrder()
{
    Closing closing;
    closing.columns = {{QStringLiteral("TIPODEPAGO"), TIniFac[QStringLiteral("TIPODEPAGO")].value()},
                       {QStringLiteral("TIPODEPAGODES"), TIniFac[QStringLiteral("TIPODEPAGODES")].value()}};
    closing.unchanged.insert(QStringLiteral("NETO"), TIniFac[QStringLiteral("NETO")].asFloat());
    ClosingOutcome outcome = closeDocument(closing);
    // The amount is the order's as stored now; the payment type chosen stays for the next try.
    if (outcome.kind == ClosingOutcome::Changed)
        keepChosen(closing, {QStringLiteral("TIPODEPAGO"), QStringLiteral("TIPODEPAGODES")});
    return outcome;
}

void TDmPedidos::headerDefaults(Dataset& header, int)
{
    // The customer is the one the screen put the customer cursor on; an order records no
    // cashier, currency, term or invoice number.
    header[QStringLiteral("CLIENTE")] = TCliente.IsEmpty() ? QVariant() : TCliente[QStringLiteral("NIT")].value();
}

void TDmPedidos::priceLine(Dataset& line)
{
    // Orders are quoted in whole pesos. A price that includes its IVA is quoted as it is (the
    // line's IVA is its rate, for information); an IVA the price leaves out is added, as the
    // registers add it, so the order's NETO (SUBTOTAL + IVA - DESCUENTO) is what the sale will
    // charge. VALORIVA of an order line is thus only ever the IVA added on top of SUBTOTAL.
    const double gross = R(line[QStringLiteral("CANTIDAD")].asFloat() * line[QStringLiteral("PRECIOUNIDAD")].asFloat());
    const double descuento = R(line[QStringLiteral("PORCENTAJEDESCUENTO")].asFloat() * gross / 100);
    const double iva = line[QStringLiteral("IVA")].asFloat();
    const bool incluido = iva > 0 && findProduct(line[QStringLiteral("PRODUCTO")].value()) &&
                          TProductos[QStringLiteral("PRECIOMASIVA")].asString() == QLatin1String("S");
    line[QStringLiteral("VALORDESCUENTO")] = descuento;
    line[QStringLiteral("VALORIVA")] = incluido ? 0.0 : lineTaxes(gross, descuento, iva, false, 0).valorIva;
    line[QStringLiteral("SUBTOTAL")] = gross;
}

void TDmPedidos::headerTotals(Dataset& header)
{
    header[QStringLiteral("NETO")] = header[QStringLiteral("SUBTOTAL")].asFloat() + header[QStringLiteral("IVA")].asFloat() -
                                     header[QStringLiteral("DESCUENTO")].asFloat();
}

void TDmPedidos::TFacAfterEdit(Dataset& ds)
{
    const QString nivel = TCajero.IsEmpty() ? QString() : TCajero[QStringLiteral("NIVEL")].asString().trimmed();
    if (nivel == QLatin1String("S") || nivel == QLatin1String("J"))
        return;
    ShowMessage(QStringLiteral("No se pueden hacer Modificaciones"));
    ds.Cancel();
    throw Abort();
}

void TDmPedidos::TFacCalcFields(Dataset& ds)
{
    ds[QStringLiteral("NombreArticulo")] = findProduct(ds[QStringLiteral("PRODUCTO")].value())
                                                   ? TProductos[QStringLiteral("NOMBRE")].asString()
                                                   : QStringLiteral("Sin Articulo");
    ds[QStringLiteral("NETO")] = ds[QStringLiteral("SUBTOTAL")].asFloat() + ds[QStringLiteral("VALORIVA")].asFloat() -
                                 ds[QStringLiteral("VALORDESCUENTO")].asFloat();
}

}  // namespace kv
