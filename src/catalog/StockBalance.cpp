#include "catalog/StockBalance.h"

namespace kv {

double StockBalance(Connection& c, int producto)
{
    const QVariant v = c.scalar(QStringLiteral("SELECT FIRST 1 SALDO FROM SALDOS WHERE PRODUCTO = :PRODUCTO"),
                                {{QStringLiteral("PRODUCTO"), producto}});
    return v.isNull() ? 0.0 : v.toDouble();
}

}  // namespace kv
