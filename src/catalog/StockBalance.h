#pragma once
// Stock balance of a product as the inventory program leaves it in SALDOS.
#include "data/Connection.h"

namespace kv {

// SALDO of the first SALDOS row of the product, whichever company it belongs to; 0 when the
// product has no row. One keyed read on the product's index.
double StockBalance(Connection& c, int producto);

}  // namespace kv
