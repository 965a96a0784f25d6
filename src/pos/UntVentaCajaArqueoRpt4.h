#pragma once
// "VENTAS DIARIAS POR CAJA" on the receipt roll: the cash count of one cashier's registers for a
// period. Per register and seller the documents with the amount each counts for; per register the
// opening amount, the cash paid out and what the drawer must hold:
//     TOTAL CAJA = opening amounts + the documents' amounts - expenses
// and what the drawer must hold in cash:
//     EFECTIVO EN CAJA = opening amounts + cash sales + cash collected on sales voided since
//                        - cash handed back on voids - expenses
// Opening amounts, expenses and the cash handed back are the cashier's own on that register over
// the same period as the documents. A register the cashier opened, paid from or handed money back
// at without selling still gets its count. Under it, the registers' trail of the period (voids,
// corrections, reprints, sign-ons) as a short list.
#include "pos/CashReports.h"

namespace kv {

class TFrmVentaCajaArqueoRpt4 {
public:
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p);
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr);
};

}  // namespace kv
