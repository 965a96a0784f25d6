#pragma once
// "Excel Movimiento" of the products (opened by "Excel" on the products screen): the checked
// columns of the catalogue for a range of product numbers, listed by "Validar" and copied into a
// new spreadsheet by "Copiar a Excel", optionally with each product's prices per unit of packing.
#include "catalog/ProductExport.h"
#include "platform/DataScreen.h"

class QCheckBox;
class QLabel;
class QTabWidget;

namespace kv {

class TFrmProductosExcel : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmProductosExcel(Connection& db, QWidget* parent = nullptr);
    ~TFrmProductosExcel() override;

    Dataset QProductos;             // the list of the last "Validar"
    QList<QCheckBox*> CheckBoxes;   // "Datos a Exportar", in the order of ProductExport::columns()
    QCheckBox* CbPrecios;           // "Precios"
    QLineEdit* Edit1;               // first product number
    QLineEdit* Edit2;               // last product number
    RadioGroup* RadioGroup1;        // "Orden": "Alfabetico", "Númerico"
    QPushButton* BtnValidar;        // "Validar"
    QPushButton* BtnCopiar;         // "Copiar a Excel"
    QTabWidget* PageControl1;       // "Movimiento Pos"
    DbGrid* DBGrid1;
    QStatusBar* StatusBar1;
    QLabel* Panel1;                 // "Proceso"
    QLabel* Panel2;                 // progress text

    QCheckBox* checkBox(const QString& caption) const;
    QString lastFile() const { return lastFile_; }

    // The choice as the boxes stand; false (with a message) when the range is not two whole
    // numbers.
    bool choice(ProductExportChoice& c) const;

public slots:
    void BtnValidarClick();
    void BtnCopiarClick();

private:
    ProductExportChoice validated_;
    bool hasValidated_ = false;
    QString lastFile_;
};

}  // namespace kv
