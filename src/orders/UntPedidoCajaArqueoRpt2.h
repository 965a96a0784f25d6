#pragma once
// "VENTAS DIARIAS POR CAJERO": one cashier's paid orders of a day, per register, in the layout of
// the listing by register; under each register its opening amount ("Valor Base de Caja"), the
// cashier's own opening rows of that day summed.
#include "orders/UntPedidoCajaArqueoRpt1.h"

namespace kv {

class TFrmPedidoCajaArqueoRpt2 {
public:
    static std::unique_ptr<Report> build(Connection& db, const QDate& day, double cajero, const QDateTime& printTime = {});
    // In the print preview.
    static void Imprimir(Connection& db, const QDate& day, double cajero, QWidget* parent = nullptr);
};

}  // namespace kv
