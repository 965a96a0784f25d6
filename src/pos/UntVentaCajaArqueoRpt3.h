#pragma once
// "VENTAS DIARIAS POR CAJA" on letter paper: a day's documents per register and seller, each one's
// amount in the column of its payment type (Contado, Cheques, Tarjeta, Otra Moneda), with totals
// per seller and per register and what each register's drawer holds with its opening amounts.
// Every document of the day is listed, whether or not its seller opened a register; the opening
// amounts are read with their own sum per register, so two opening rows never repeat a document.
//
// The day's order listings are the same layout over the order headers; RegisterListing says what
// differs.
#include "pos/CashReports.h"

#include <functional>
#include <optional>

namespace kv {

// What a listing by register and seller reads and prints. The defaults give the sales listing.
struct RegisterListing {
    QString title = QStringLiteral("VENTAS DIARIAS POR CAJA");
    QString headers = QStringLiteral("POSMOVIMIENTO");  // the document headers listed (H in the columns)
    // The columns `amount` reads, besides CONSECUTIVO, CLIENTE, CAJA, VENDEDOR and TIPODEPAGO.
    QString amountColumns = QStringLiteral("H.NETO, H.VALORPROPINA, H.DESCUENTO, H.ABONO");
    std::function<double(const RowSource&)> amount = documentAmount;
    QStringList heading;              // the lines under the title; empty: the business and the day
    std::optional<double> caja;       // only this register: its documents and opening amounts
    std::optional<double> vendedor;   // only this seller: his documents and his own opening amounts
    bool closedOnly = false;          // only documents closed (STATUS "I"), paid
    bool baseUnderRegister = false;   // "Valor Base de Caja" with the opening amount under the register
    bool grandTotal = true;           // the summary's "Total General"
};

class TFrmVentaCajaArqueoRpt3 {
public:
    // p.empresa and p.documento restrict the documents when they are not empty.
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p, const RegisterListing& what = {});
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr);

    // The column a payment type's amount goes into: 0 Contado, 1 Cheques, 2 Tarjeta, 3 Otra Moneda.
    static int paymentColumn(const QString& tipoDePago);
};

}  // namespace kv
