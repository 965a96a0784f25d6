#pragma once
// POS parameters (POSESQUEMA): program 5 of the module menu. Each row names the branch, document
// type and company a register sells under; a register points to its row by "Indice" (LLAVE).
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QDialog>
#include <memory>

class QLabel;
class QStatusBar;

namespace kv {

class TFrmParametros : public QDialog {
    Q_OBJECT
public:
    explicit TFrmParametros(Connection& db, QWidget* parent = nullptr);
    ~TFrmParametros() override;

    Dataset& TEsquema() { return *esquema_; }
    Dataset& TBodegas() { return *bodegas_; }
    Dataset& TDocumentos() { return *documentos_; }
    Dataset& TEmpresas() { return *empresas_; }

    QLabel* Label1;
    DbNavigator* DBNavigator1;
    DbLookupComboBox* DBLookupComboBox1;  // "Sucursal : "
    DbLookupComboBox* DBLookupComboBox2;  // "Documento : "
    DbLookupComboBox* DBLookupComboBox3;  // "Empresa : "
    DbGrid* DBGrid1;
    QStatusBar* StatusBar1;

    void FormCreate();
    void TEsquemaAfterInsert(Dataset& ds);

protected:
    // FormClose: the row being inserted or edited is posted before the tables close; when the
    // database refuses it, its message is shown and the screen stays open.
    void done(int r) override;

private:
    Connection& db_;
    std::unique_ptr<Dataset> esquema_, bodegas_, documentos_, empresas_;
};

}  // namespace kv
