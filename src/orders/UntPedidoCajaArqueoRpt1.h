#pragma once
// "COTIZACIONES DIARIAS POR CAJA": one register's orders of a day, per seller, each order's value
// in the column of its payment type, with the seller's and the register's totals and what the
// drawer holds with the register's opening amounts. It is the register listing of the sales
// (TFrmVentaCajaArqueoRpt3) over the order headers.
//
// Only paid orders count (STATUS "I"): a quotation nobody paid brought no money into the drawer.
// Every seller's orders are listed, whether or not he recorded an opening amount that day.
#include "pos/UntVentaCajaArqueoRpt3.h"

namespace kv {

// The register listing read from the order headers: their value is NETO, closed orders only,
// headed by the business's name and NIT.
RegisterListing orderListing(Connection& db, const QString& title);

class TFrmPedidoCajaArqueoRpt1 {
public:
    static std::unique_ptr<Report> build(Connection& db, const QDate& day, double caja, const QDateTime& printTime = {});
    // In the print preview.
    static void Imprimir(Connection& db, const QDate& day, double caja, QWidget* parent = nullptr);
};

}  // namespace kv
