// The main sale screen's add-line routine: the packing chosen, its price (asked when the product
// has none, or when it is an open price), the discount step, the stock check, and the line handed
// to the sales module, which prices and totals it in one operation.
#include "pos/UntVentaCajaVp.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "pos/UntDmVentas.h"

#include <QLineEdit>
#include <QSqlQuery>

namespace kv {

namespace {

// The price typed in an input box: nothing when cancelled, and nothing after a clear message when
// it is not a number (no conversion error, no line).
std::optional<double> askPrice(const QString& caption, const QString& prompt)
{
    const std::optional<QString> typed = dialogs().input(caption, prompt);
    if (!typed)
        return std::nullopt;
    return priceTyped(*typed);
}

}  // namespace

void TFrmVentaCajaVp::addLine(const QString& quantityText)
{
    // The quantity is checked before anything is asked or stored, so a wrong one changes nothing
    // and the cashier corrects it where he typed it.
    const std::optional<double> typedQuantity = quantityTyped(quantityText);
    if (!typedQuantity) {
        EditCantidad->setFocus();
        EditCantidad->selectAll();
        return;
    }
    const double cantidad = *typedQuantity;

    struct Routine {
        TFrmVentaCajaVp& s;
        explicit Routine(TFrmVentaCajaVp& s) : s(s) { LineaPermitida = true; }
        ~Routine()
        {
            LineaPermitida = false;
            s.resetEntry();
        }
    } routine(*this);

    // 1. The chosen packing sells its own unit; a product without packings sells "UN".
    QString unidad = QStringLiteral("UN");
    const int item = RadioEmpaque->itemIndex();
    if (item >= 0 && item < unidades_.size()) {
        ProductoElegido = productos_[item];
        unidad = unidades_[item];
    }

    // 2. The product. Without a packing listed (a product that has none) it is the one the code
    // box names.
    if (item < 0) {
        if (!findProductByCode(dm_, EditProducto->text())) {
            ShowMessage(QStringLiteral("No existe el Producto") + EditProducto->text());
            return;
        }
        ProductoElegido = dm_.TProductos.FieldByName(QStringLiteral("PRODUCTO")).asString();
    }
    const std::optional<int> elegido = productNumber(ProductoElegido);
    if (!elegido || !dm_.TProductos.Locate(QStringLiteral("PRODUCTO"), *elegido)) {
        ShowMessage(QStringLiteral("No existe el Producto") + EditProducto->text());
        return;
    }
    const int numero = *elegido;

    // 3. The price of the packing; asked once when the product has none for this unit.
    const QVariantMap key{{QStringLiteral("PRODUCTO"), numero}, {QStringLiteral("UNIDAD"), unidad}};
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA FROM "
                                                "PRODUCTOSVALORVENTA WHERE PRODUCTO = :PRODUCTO AND UPPER(UNIDAD) = "
                                                "UPPER(:UNIDAD)"),
                                 key);
    double porEmpaque = 1;
    double precio = 0;
    const bool empresas = RadioPrecio->itemIndex() == 1;
    if (dm_.DbPos.next(q)) {
        porEmpaque = q.value(0).isNull() ? 1 : q.value(0).toDouble();
        precio = q.value(empresas ? 2 : 1).toDouble();
    } else {
        const std::optional<double> typed = askPrice(QStringLiteral("Precio"), QStringLiteral("Valor Precio Unidad"));
        if (!typed)
            return;
        UltimoPrecio = *typed;
        dm_.DbPos.exec(QStringLiteral("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, "
                                      "VALORVENTAEMPRESA) VALUES (:PRODUCTO, :UNIDAD, 1, :PRECIO, :PRECIO)"),
                       {{QStringLiteral("PRODUCTO"), numero}, {QStringLiteral("UNIDAD"), unidad},
                        {QStringLiteral("PRECIO"), *typed}});
        precio = *typed;
    }
    UltimoPrecio = precio;

    // 5. An open-price product: the price and a description are asked.
    QString observacion;
    if (precio == 0) {
        const std::optional<double> typed = askPrice(QStringLiteral("Entre Valor"), QStringLiteral("Precio"));
        if (!typed)
            return;
        precio = *typed;
        observacion = dialogs().input(QStringLiteral("Descripcion Producto"), QStringLiteral("Deatelle")).value_or(QString());
    }

    // 6. The discount step lowers the price itself.
    const int paso = RadioDescuento->itemIndex();
    static const double pasos[] = {0, 5, 10, 20};
    if (paso > 0 && paso < 4)
        precio = R(precio - precio * pasos[paso] / 100);

    // 7-8. Stock, for document types that control it. The balance is read inside the line's own
    // transaction, after the product is taken (see stockForLine), so what is checked is what stands
    // when the line is stored: two registers can no longer both sell the last unit.
    const double base = cantidad * porEmpaque;
    const QVariant documento = dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value();
    const bool controla = dm_.TDocumentos.Locate(QStringLiteral("DOCUMENTO"), documento) &&
                          dm_.TDocumentos.FieldByName(QStringLiteral("CONTROLASALDO")).asString() == QLatin1String("S");

    // 9-13. The line, priced and totalled by the sales module in one operation.
    // The line carries the product's tax rates; the module adds an IVA the price leaves out.
    const QString nombre = dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString();
    QVariantMap line{{QStringLiteral("BUSCADOR"), QString::number(numero)},
                     {QStringLiteral("UNIDADMOVIMIENTO"), unidad},
                     {QStringLiteral("CANTIDADRECIBIDA"), base},
                     {QStringLiteral("PRODUCTO"), numero},
                     {QStringLiteral("PRECIOUNIDAD"), precio},
                     {QStringLiteral("CANTIDAD"), cantidad},
                     {QStringLiteral("PORCENTAJEDESCUENTO"), 0.0},
                     {QStringLiteral("DESCUENTO"), 0.0},
                     {QStringLiteral("VALORIVA"), 0.0},
                     {QStringLiteral("VALORDESCUENTO"), 0.0},
                     {QStringLiteral("SUBTOTAL"), 0.0},
                     {QStringLiteral("OBSERVACION"), observacion}};
    line.insert(TDmVentas::taxRatesOf(dm_.TProductos));
    double saldo = SaldoProducto;
    bool corto = false;
    const bool added = dm_.addLine(line, [&] {
        saldo = stockForLine(numero, controla);
        corto = controla && saldo < base;
        return !corto;
    });
    showStock(saldo);
    if (corto) {
        ShowMessage(QStringLiteral("Saldo Menor al Ofrecido ") + EditProducto->text());
        return;
    }
    if (!added)
        return;
    // 14.
    showMessagePanel(nombre);
}

}  // namespace kv
