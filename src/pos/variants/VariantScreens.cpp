#include "pos/variants/VariantScreens.h"

#include "pos/UntVenta.h"
#include "pos/variants/UntFacturacion.h"

namespace kv {

void registerVariantScreens()
{
    registerSaleScreen(QStringLiteral("2"), [](TDmVentas& dm, QWidget* parent) {
        TFrmFacturacion screen(dm, parent);
        screen.exec();
    });
}

}  // namespace kv
