#include "orders/UntPedidoCajaArqueoRpt2.h"

namespace kv {

std::unique_ptr<Report> TFrmPedidoCajaArqueoRpt2::build(Connection& db, const QDate& day, double cajero, const QDateTime& printTime)
{
    RegisterListing l = orderListing(db, QStringLiteral("VENTAS DIARIAS POR CAJERO"));
    l.vendedor = cajero;
    l.baseUnderRegister = true;
    return TFrmVentaCajaArqueoRpt3::build(db, {day, day, {}, {}, 0, printTime}, l);
}

void TFrmPedidoCajaArqueoRpt2::Imprimir(Connection& db, const QDate& day, double cajero, QWidget* parent)
{
    previewReport(*build(db, day, cajero), parent);
}

}  // namespace kv
