#pragma once
// Quick customer creation with surnames and given names ("Datos del Cliente"), opened by the sale
// screens when the NIT typed in their customer box is not on file:
//
//     if (TFrmCrearClientes::CrearCliente(db, customerBox->text(), this)) { ...look the NIT up again... }
//
// The name is built from the surnames and names when the row is posted; a new row starts in
// BOGOTA, COLOMBIA. "Odontologo" and "Vendedor" are picked with the third party search (double
// click on the box).
#include "catalog/QuickCustomer.h"

namespace kv {

class TFrmCrearClientes : public QuickCustomerDialog {
    Q_OBJECT
public:
    explicit TFrmCrearClientes(Connection& db, QWidget* parent = nullptr);

    // The whole quick-creation contract: checks the typed NIT (a message and false when it is not
    // one), opens the window modally on a new row for it, and posts the row when it closes.
    static bool CrearCliente(Connection& db, const QString& typedNit, QWidget* parent = nullptr);

    // NOMBRE from its parts, surnames first, each joined with one blank (empty parts included).
    static QString NombreCompleto(const QString& apellido1, const QString& apellido2, const QString& nombre1,
                                  const QString& nombre2);

public slots:
    void DBEditPADREDblClick();
    void DBEditVENDEDORDblClick();

protected:
    void beforePost() override;
};

}  // namespace kv
