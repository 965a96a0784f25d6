#pragma once
// The orders data module: orders and quotations kept in POSREMISIONES / POSREMISIONESDETALLE,
// numbered, priced and totalled by the same document module as the sales. What is the orders'
// own: the customer is the current TCliente row; lines get no default unit or quantity and are
// priced in whole pesos, the discount from its percentage, with no IVA; the header's NETO is
// SUBTOTAL + IVA - DESCUENTO; a stored line may be changed only by a supervisor or a chief
// cashier; closing an order stores its payment type.
//
// Making an order: signOn(cashier), put TCliente on the customer, startDocument(); lines through
// addLine() or the order screen's grid; closeOrder() once paid.
#include "pos/DocumentModule.h"

namespace kv {

class TDmPedidos : public DocumentModule {
    Q_OBJECT
public:
    // Builds the datasets on the POS connection and opens them (DataModuleCreate).
    explicit TDmPedidos(Connection& dbPos, QObject* parent = nullptr);
    ~TDmPedidos() override;

    // Stores the payment type and its description held in the current header and closes the
    // order (STATUS "I"), only while it is still open and its NETO is still the one the cursor
    // holds (what the cashier was shown and collected). Otherwise nothing is stored and the
    // outcome says who closed it, or that another station changed it (the header then shows the
    // new amount).
    ClosingOutcome closeOrder();

    void DataModuleCreate();
    void DataModuleDestroy();
    // A stored line is put into editing: only levels "S" and "J" may change it.
    void TFacAfterEdit(Dataset& ds);
    void TFacCalcFields(Dataset& ds);

protected:
    void headerDefaults(Dataset& header, int numero) override;
    void priceLine(Dataset& line) override;
    void headerTotals(Dataset& header) override;
};

// The module created at start-up (null until then).
extern TDmPedidos* DmPedidos;

}  // namespace kv
