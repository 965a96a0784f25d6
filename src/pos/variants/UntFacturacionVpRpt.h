#pragma once
// The kitchen's ticket "COMANDA" of one batch added to a restaurant table, shown in the print
// preview from which it goes to the kitchen's printer.
#include "print/RollTicket.h"

class QWidget;

namespace kv {

struct TFrmFacturacionVpRpt {
    // False when the preview could not be made (the general error box has said why).
    static bool Imprimir(const KitchenTicket& ticket, QWidget* parent = nullptr);
};

}  // namespace kv
