#pragma once
// The payment of "Caja Dos": its payment window on the module's current document. PagoCancelado
// tells afterwards whether the cashier declined to finish.
class QWidget;

namespace kv {

class TDmVentas;

void payCajaDos(TDmVentas& dm, QWidget* parent);

}  // namespace kv
