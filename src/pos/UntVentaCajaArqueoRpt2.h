#pragma once
// "VENTAS DIARIAS POR ODONTOLOGO" on letter paper: the lines sold in a period grouped by the third
// party who referred the customer (the customer's PADRE), with a total per referrer.
#include "pos/UntVentaCajaArqueoRpt1.h"

namespace kv {

class TFrmVentaCajaArqueoRpt2 {
public:
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p, const ListingFilter& only = {});
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr,
                         const ListingFilter& only = {});
};

}  // namespace kv
