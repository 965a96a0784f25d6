#pragma once
// "VENTAS DIARIAS POR CAJA" on letter paper: a day's documents per register and seller, each one's
// amount in the column of its payment type (Contado, Cheques, Tarjeta, Otra Moneda), with totals
// per seller and per register and what each register's drawer holds with its opening amounts.
// Every document of the day is listed, whether or not its seller opened a register; the opening
// amounts are read with their own sum per register, so two opening rows never repeat a document.
#include "pos/CashReports.h"

namespace kv {

class TFrmVentaCajaArqueoRpt3 {
public:
    // p.empresa and p.documento restrict the documents when they are not empty.
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p);
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr);

    // The column a payment type's amount goes into: 0 Contado, 1 Cheques, 2 Tarjeta, 3 Otra Moneda.
    static int paymentColumn(const QString& tipoDePago);
};

}  // namespace kv
