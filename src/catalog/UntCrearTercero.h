#pragma once
// Quick customer creation with one name box ("Datos del Cliente"), opened by the order screen when
// the NIT typed in its customer box is not on file:
//
//     if (TFrmCrearTercero::CrearTercero(db, customerBox->text(), this)) { ...look the NIT up again... }
#include "catalog/QuickCustomer.h"

namespace kv {

class TFrmCrearTercero : public QuickCustomerDialog {
    Q_OBJECT
public:
    explicit TFrmCrearTercero(Connection& db, QWidget* parent = nullptr);

    // The whole quick-creation contract, as TFrmCrearClientes::CrearCliente.
    static bool CrearTercero(Connection& db, const QString& typedNit, QWidget* parent = nullptr);
};

}  // namespace kv
