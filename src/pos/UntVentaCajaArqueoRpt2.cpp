#include "pos/UntVentaCajaArqueoRpt2.h"

namespace kv {

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt2::build(Connection& db, const CashReportParams& p, const ListingFilter& only)
{
    return salesListing(db, p, SalesListingGroup::Referrer, only);
}

void TFrmVentaCajaArqueoRpt2::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent, const ListingFilter& only)
{
    previewReport(*build(db, p, only), parent);
}

}  // namespace kv
