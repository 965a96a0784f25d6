#pragma once
// "VENTAS DIARIAS POR TIPO DE PAGO" on letter paper: every line sold in a period by the company and
// document type given, grouped by payment type, with a total per type and a general total.
// The listing by referring third party (TFrmVentaCajaArqueoRpt2) is the same listing grouped by
// the customer's PADRE instead; both are laid out here.
#include "pos/CashReports.h"

namespace kv {

// The back office's listings of one register's or one cashier's documents (0: all of them).
struct ListingFilter {
    double caja = 0;
    double cajero = 0;
};

class TFrmVentaCajaArqueoRpt1 {
public:
    static std::unique_ptr<Report> build(Connection& db, const CashReportParams& p, const ListingFilter& only = {});
    static void Imprimir(Connection& db, const CashReportParams& p, QWidget* parent = nullptr,
                         const ListingFilter& only = {});
};

enum class SalesListingGroup { PaymentType, Referrer };
std::unique_ptr<Report> salesListing(Connection& db, const CashReportParams& p, SalesListingGroup group,
                                     const ListingFilter& only = {});

}  // namespace kv
