#pragma once
// "PAGO EN CAJA": the receipt of a cash expense, on the 73 mm roll, shown in the print preview.
#include "data/Connection.h"
#include "report/Document.h"

#include <optional>

class QWidget;

namespace kv {

class TFrmVentaCajaEgresosRpt {
public:
    // The receipt of expense number `item`; nothing when there is no such expense.
    static std::optional<Document> Render(Connection& db, double item);
    static void Imprimir(Connection& db, double item, QWidget* parent = nullptr);
};

}  // namespace kv
