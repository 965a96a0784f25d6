#pragma once
// "RESUMEN GENERAL DE VENTAS" on the receipt roll: one company's sales of a period in a few lines.
// Sales, opening amounts and expenses are all taken over the same period, the opening amounts and
// expenses of the company's registers only (those whose parameter row is of that company):
//     TOTAL CAJA = sales + opening amounts - expenses - abonos
// where a document's sale is NETO + service charge - discount, the abono being taken off below.
#include "pos/CashReports.h"

namespace kv {

class TFrmVentaCajaArqueoRpt5 {
public:
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p);
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr);
};

}  // namespace kv
