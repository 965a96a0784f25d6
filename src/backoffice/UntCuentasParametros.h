#pragma once
// "Cuentas Parametros": the accounts of the concepts the accounting posting does not take from
// the products, on the first row of CUENTASTAVRO (typing into an empty table creates it).
#include "platform/DataScreen.h"

namespace kv {

class TFrmCuentasParametros : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmCuentasParametros(Connection& db, QWidget* parent = nullptr);

    Dataset& TCuentas;
    DbEdit* DBEdit1;  // "Ventas de Contado Efectivo"
    DbEdit* DBEdit2;  // "Ventas de Cheque"
    DbEdit* DBEdit3;  // "tarjeta de Credito"
    DbEdit* DBEdit4;  // "tarjeta Debito"
    DbEdit* DBEdit5;  // "Ipoconsumo"
    DbEdit* DBEdit6;  // "Servicio"
    DbEdit* DBEdit7;  // "Descuento"
    DbEdit* DBEdit8;  // "Empresa Contabiliza"
    QPushButton* BitBtn1;  // "&Salir"
};

}  // namespace kv
