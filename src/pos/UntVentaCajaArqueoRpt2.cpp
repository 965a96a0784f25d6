#include "pos/UntVentaCajaArqueoRpt2.h"

#include "pos/UntVentaCajaArqueoRpt1.h"

namespace kv {

std::unique_ptr<Report> TFrmVentaCajaArqueoRpt2::build(Connection& db, const CashReportParams& p)
{
    return salesListing(db, p, SalesListingGroup::Referrer);
}

void TFrmVentaCajaArqueoRpt2::Imprimir(Connection& db, const CashReportParams& p, QWidget* parent)
{
    previewReport(*build(db, p), parent);
}

}  // namespace kv
