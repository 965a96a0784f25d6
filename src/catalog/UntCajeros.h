#pragma once
// Cashiers (POSCAJEROS): program 2 of the module menu. Beyond the template: the password, the
// level that picks the sale screen, whether he is still active, the assigned register, the three
// privileges, and the address, telephone and e-mail of the third party whose NIT is the cashier's
// identity number.
#include "catalog/CatalogScreen.h"
#include "platform/DbChoices.h"

namespace kv {

class TFrmCajeros : public CatalogScreen {
    Q_OBJECT
public:
    explicit TFrmCajeros(Connection& db, QWidget* parent = nullptr);
    static CatalogList listDescription();

    Dataset& TCajero() { return table(); }
    Dataset& TCajas() { return cajas_; }
    Dataset& TProveedores() { return proveedores_; }

    DbEdit* DBEdit3;                        // "Clave :"
    DbCheckBox* DBCheckBox1;                // "Activo :" (unchecked: "N", the cashier may not sign on)
    DbRadioGroup* DBRadioGroup1;            // "Nivel de Autonomia"
    DbLookupComboBox* DBLookupComboBox1;    // "Caja Asignada  :"
    DbRadioGroup* DBRadioGroup2;            // "Privilegio de Recibir Pago"
    DbRadioGroup* DBRadioGroup3;            // "Privilegio de Imprision"
    DbRadioGroup* DBRadioGroup4;            // "Privilegio Para Cambiar Precio "
    DbText* DBText1;                        // "Direcciòn"
    DbText* DBText2;                        // "Tèlefonos"
    DbText* DBText3;                        // "Email"

private:
    Dataset& cajas_;
    Dataset& proveedores_;
};

}  // namespace kv
