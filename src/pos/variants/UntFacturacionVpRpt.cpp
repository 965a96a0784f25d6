#include "pos/variants/UntFacturacionVpRpt.h"

#include "platform/Printing.h"

namespace kv {

bool TFrmFacturacionVpRpt::Imprimir(const KitchenTicket& ticket, QWidget* parent)
{
    return preview(renderKitchenTicket(ticket), parent);
}

}  // namespace kv
