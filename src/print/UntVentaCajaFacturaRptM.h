#pragma once
// The sale invoice on half-letter paper (215.9 x 139.7 mm).
#include "print/PageInvoice.h"

namespace kv {

class TFrmVentaCajaFacturaRptM : public PageInvoice {
public:
    explicit TFrmVentaCajaFacturaRptM(Connection& db) : PageInvoice(db, 139.7) {}
};

}  // namespace kv
