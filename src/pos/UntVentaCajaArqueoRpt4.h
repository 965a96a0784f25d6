#pragma once
// "VENTAS DIARIAS POR CAJA" on the receipt roll: the cash count of one cashier's registers for a
// period. Per register and seller the documents with the amount each counts for; per register the
// opening amount, the cash paid out and what the drawer must hold:
//     TOTAL CAJA = opening amounts + the documents' amounts - expenses
// Opening amounts and expenses are the cashier's own on that register over the same period as the
// documents. A register the cashier opened or paid from without selling still gets its count.
#include "pos/CashReports.h"

namespace kv {

class TFrmVentaCajaArqueoRpt4 {
public:
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p);
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr);
};

}  // namespace kv
