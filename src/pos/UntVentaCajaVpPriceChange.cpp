// The main sale screen's "Cambio De Precio" group: a line of the grid changed in quantity and price, with a
// supervisor for a cashier who may not change prices, and the new price written back to the catalogue.
#include "pos/UntVentaCajaVp.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaPermiso.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace kv {

std::optional<PriceChange> priceChangeTyped(QLineEdit* cantidad, QLineEdit* valor)
{
    const QString cantidadText = cantidad->text().trimmed();
    if (!IsNumber(cantidadText) || StrToFloat(cantidadText) == 0) {
        ShowMessage(QStringLiteral("Cantidad no válida: digite un número distinto de 0"));
        cantidad->setFocus();
        return std::nullopt;
    }
    if (refuseHugeQuantity(StrToFloat(cantidadText))) {
        cantidad->setFocus();
        return std::nullopt;
    }
    const std::optional<double> precio = priceTyped(valor->text().trimmed());
    if (!precio) {
        valor->setFocus();
        return std::nullopt;
    }
    return PriceChange{StrToFloat(cantidadText), *precio};
}

void addPriceChangeKeys(KeyMap& keys, QLineEdit* cantidad, QLineEdit* valor, const std::function<void()>& ok,
                        const std::function<void()>& leave)
{
    using Key = KeyMap::Key;
    keys.add({{cantidad, Key::Enter,
               [valor] {
                   valor->setFocus();
                   valor->selectAll();
               }},
              {valor, Key::Enter, ok},
              {cantidad, Key::Escape, leave},
              {valor, Key::Escape, leave}});
}

// ---------------------------------------------------------------- changing a line

void TFrmVentaCajaVp::DBGrid1ChangeLine()
{
    if (dm_.TFac.IsEmpty())
        return;
    // A cashier who may not change prices needs a supervisor, who stays signed on for the change.
    if (dm_.TCajero.FieldByName(QStringLiteral("CAMBIAPRECIO")).asString() != QLatin1String("S")) {
        const bool granted = TFrmVentaPermiso::Pedir(dm_, this);
        showCashier();
        if (!granted)
            return;
    }
    EditCambioCantidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("CANTIDAD")).asFloat()));
    EditValorUnidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("PRECIOUNIDAD")).asFloat()));
    lockForPriceChange(true);
    GroupCambioPrecio->show();
    EditCambioCantidad->setFocus();
    EditCambioCantidad->selectAll();
}

void TFrmVentaCajaVp::lockForPriceChange(bool locked)
{
    for (QWidget* w : {static_cast<QWidget*>(BtnCondiciones), static_cast<QWidget*>(EditProducto),
                       static_cast<QWidget*>(RadioEmpaque), static_cast<QWidget*>(RadioDescuento),
                       static_cast<QWidget*>(EditCantidad), static_cast<QWidget*>(DBGrid1),
                       static_cast<QWidget*>(RadioTipoFactura)})
        w->setEnabled(!locked);
    for (QAction* a : {Informes1, ReimprimeFactura1, CambiaFactura1, EgresoCaja1, AnulaFacturas1})
        a->setEnabled(!locked);
}

void TFrmVentaCajaVp::endPriceChange()
{
    GroupCambioPrecio->hide();
    lockForPriceChange(false);
    // After a supervisor's change, or a change she left, a cashier signs in again before selling on.
    if (supervisorSignedOn(dm_)) {
        TFrmVentaPermiso1::Devolver(dm_, this);
        showCashier();
    }
    if (selling())
        EditProducto->setFocus();
}

void TFrmVentaCajaVp::BtnCambioOKClick()
{
    const std::optional<PriceChange> typed = priceChangeTyped(EditCambioCantidad, EditValorUnidad);
    if (!typed)
        return;
    const double precio = typed->precio;
    // What the line was sold at before the change: only a typed price that differs from it is a
    // new price for the catalogue (a quantity changed alone, or a price lowered by a discount
    // step and left as it was, is not).
    const double antes = dm_.TFac.FieldByName(QStringLiteral("PRECIOUNIDAD")).asFloat();
    const int producto = dm_.TFac.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
    const QString unidad = dm_.TFac.FieldByName(QStringLiteral("UNIDADMOVIMIENTO")).asString();
    bool changed = false;
    try {
        changed = dm_.changeLine({{QStringLiteral("CANTIDAD"), typed->cantidad},
                                  {QStringLiteral("PRECIOUNIDAD"), precio}});
    } catch (...) {
        endPriceChange();  // the database's refusal is shown once the supervisor handed back
        throw;
    }
    endPriceChange();
    if (changed && precio != antes && producto != 3900)
        writePriceBack(producto, unidad, precio);
}

void TFrmVentaCajaVp::writePriceBack(int producto, const QString& unidad, double precio)
{
    const QString columna = RadioPrecio->itemIndex() == 1 ? QStringLiteral("VALORVENTAEMPRESA")
                                                          : QStringLiteral("VALORVENTAMOSTRADOR");
    const QVariantMap p{{QStringLiteral("PRECIO"), precio},
                        {QStringLiteral("PRODUCTO"), producto},
                        {QStringLiteral("UNIDAD"), unidad}};
    Transaction t(dm_.DbPos);
    dm_.DbPos.exec(QStringLiteral("UPDATE PRODUCTOSVALORVENTA SET ") + columna +
                       QStringLiteral(" = :PRECIO WHERE PRODUCTO = :PRODUCTO AND UNIDAD = :UNIDAD"),
                   p);
    // The product's general price is a single unit's: a packing's price is not one.
    if (unidad == QLatin1String("UN"))
        dm_.DbPos.exec(QStringLiteral("UPDATE PRODUCTOS SET VALORUNIDAD = :PRECIO WHERE PRODUCTO = :PRODUCTO"), p);
    t.commit();
}

}  // namespace kv
