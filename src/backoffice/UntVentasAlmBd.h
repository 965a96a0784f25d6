#pragma once
// "Pasar Movimiento de Korvela": "Subir" puts the inventory documents of a company, document type,
// warehouse and period into the removable database; "Bajar" loads the removable database's
// documents here as documents of the chosen company, type and warehouse (DatabaseTransfer). The
// page "Movimiento Translado" shows what the removable database holds.
#include "backoffice/TransferScreens.h"
#include "platform/DbChoices.h"

class QComboBox;
class QDateEdit;

namespace kv {

class TFrmVentasAlmBd : public DataScreen {
    Q_OBJECT
public:
    TFrmVentasAlmBd(Connection& pos, Connection& removable, QWidget* parent = nullptr);
    ~TFrmVentasAlmBd() override;

    DbText* DBText1;              // the company's name, in the panel "Empresa"
    DbNavigator* DBNavigator1;    // over EMPRESAS
    QDateEdit* EditFechaInicial;  // "Fecha Inicial"
    QDateEdit* EditFechaFinal;    // "Fecha Final"
    QComboBox* DBLookupComboBox1; // "Documento": DOCUMENTOS by name
    QComboBox* DBLookupComboBox2; // "Bodega": BODEGAS by name
    QPushButton* BtnSubir;
    QPushButton* BtnBajar;
    QTabWidget* PageControl1;
    DbGrid* DBGrid1;  // the removable MOVIMIENTO
    DbGrid* DBGrid2;  // the lines of its current row
    QLabel* Panel1;

public slots:
    void BtnSubirClick();
    void BtnBajarClick();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // The company, type and warehouse chosen; false (the missing one named) when one is not.
    bool chosen(QString& empresa, QString& documento, int& bodega);
    void refreshGrids();
    Connection& removable_;
    Dataset& empresas_;
    Dataset movimiento_;
    Dataset detalle_;
};

}  // namespace kv
