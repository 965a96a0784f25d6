#include "orders/UntPedidoCajaArqueoRpt1.h"

namespace kv {

RegisterListing orderListing(Connection& db, const QString& title)
{
    RegisterListing l;
    l.title = title;
    l.headers = QStringLiteral("POSREMISIONES");
    // An order's NETO is already its value less its discount.
    l.amountColumns = QStringLiteral("H.NETO");
    l.amount = [](const RowSource& r) { return r.value(QStringLiteral("NETO")).toDouble(); };
    l.heading = letterheadLines(db);
    l.closedOnly = true;
    l.grandTotal = false;
    return l;
}

std::unique_ptr<Report> TFrmPedidoCajaArqueoRpt1::build(Connection& db, const QDate& day, double caja, const QDateTime& printTime)
{
    RegisterListing l = orderListing(db, QStringLiteral("COTIZACIONES DIARIAS POR CAJA"));
    l.caja = caja;
    return TFrmVentaCajaArqueoRpt3::build(db, {day, day, {}, {}, 0, printTime}, l);
}

void TFrmPedidoCajaArqueoRpt1::Imprimir(Connection& db, const QDate& day, double caja, QWidget* parent)
{
    previewReport(*build(db, day, caja), parent);
}

}  // namespace kv
