#pragma once
// POS parameters (POSESQUEMA): program 5 of the module menu. Each row names the branch, document
// type and company a register sells under; a register points to its row by "Indice" (LLAVE).
#include "platform/DataScreen.h"
#include "platform/DbChoices.h"

class QLabel;

namespace kv {

class TFrmParametros : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmParametros(Connection& db, QWidget* parent = nullptr);

    Dataset& TEsquema() { return esquema_; }
    Dataset& TBodegas() { return bodegas_; }
    Dataset& TDocumentos() { return documentos_; }
    Dataset& TEmpresas() { return empresas_; }

    QLabel* Label1;
    DbNavigator* DBNavigator1;
    DbLookupComboBox* DBLookupComboBox1;  // "Sucursal : "
    DbLookupComboBox* DBLookupComboBox2;  // "Documento : "
    DbLookupComboBox* DBLookupComboBox3;  // "Empresa : "
    DbGrid* DBGrid1;
    QStatusBar* StatusBar1;

    void FormCreate() { openTables(); }
    void TEsquemaAfterInsert(Dataset& ds);

private:
    Dataset& documentos_;
    Dataset& bodegas_;
    Dataset& esquema_;
    Dataset& empresas_;
};

}  // namespace kv
