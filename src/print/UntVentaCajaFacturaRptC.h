#pragma once
// The sale invoice on letter paper (215.9 x 279.4 mm).
#include "print/PageInvoice.h"

namespace kv {

class TFrmVentaCajaFacturaRptC : public PageInvoice {
public:
    explicit TFrmVentaCajaFacturaRptC(Connection& db) : PageInvoice(db, 279.4) {}
};

}  // namespace kv
