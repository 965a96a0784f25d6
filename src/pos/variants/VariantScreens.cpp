#include "pos/variants/VariantScreens.h"

#include "pos/UntVenta.h"
#include "pos/variants/UntFacturacion.h"
#include "pos/variants/UntVentaCaja2.h"
#include "pos/variants/UntVentaCaja3.h"

namespace kv {

namespace {
template <class Screen>
SaleScreenOpener opener()
{
    return [](TDmVentas& dm, QWidget* parent) {
        Screen screen(dm, parent);
        screen.exec();
    };
}
}  // namespace

void registerVariantScreens()
{
    registerSaleScreen(QStringLiteral("2"), opener<TFrmFacturacion>());
    registerSaleScreen(QStringLiteral("R"), opener<TFrmVentaCaja2>());
    registerSaleScreen(QStringLiteral("8"), opener<TFrmVentaCaja3>());
}

}  // namespace kv
