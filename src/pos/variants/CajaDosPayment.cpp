#include "pos/variants/CajaDosPayment.h"

#include "pos/UntVentasPagoVp.h"

namespace kv {

void payCajaDos(TDmVentas& dm, QWidget* parent)
{
    // Until the foreign-currency payment window of this register is in the program, the register's
    // main payment window takes the payment.
    TFrmVentasPagoVp::Pagar(dm, parent);
}

}  // namespace kv
