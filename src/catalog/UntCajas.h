#pragma once
// Registers (POSCAJAS): program 3 of the module menu. Beyond the template, the register's
// "Indice Parametros" (the POSESQUEMA row it sells under), the collection register's reading period
// in seconds, and, for reference, a grid of the parameter rows.
#include "catalog/CatalogScreen.h"

namespace kv {

class TFrmCajas : public CatalogScreen {
    Q_OBJECT
public:
    explicit TFrmCajas(Connection& db, QWidget* parent = nullptr);
    static CatalogList listDescription();

    Dataset& TEsquema() { return esquema_; }

    DbEdit* DBEdit3;   // "Indice Parametros :"
    DbEdit* DBEdit4;   // "Refresco (segundos) :" (REFRESCO: the collection register's reading period)
    DbGrid* DBGrid2;   // the parameter rows

private:
    Dataset& esquema_;
};

}  // namespace kv
