#pragma once
// The product catalogue (PRODUCTOS): program 8 of the module menu. One product at a time in two
// tabs (general data, prices), a grid of all products below, and two incremental searches, by
// number and by name. The prices tab also keeps the product's sale prices per unit of packing
// (PRODUCTOSVALORVENTA), which the sale screens read.
#include "platform/DataScreen.h"
#include "platform/DbChoices.h"

class QGroupBox;
class QLabel;
class QStatusBar;
class QTabWidget;

namespace kv {

class TFrmProductos : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmProductos(Connection& db, QWidget* parent = nullptr);

    Dataset& TbProductos() { return productos_; }
    Dataset& ChkProductos() { return chk_; }
    Dataset& TbGrupos() { return grupos_; }
    Dataset& TbSubGrupos() { return subgrupos_; }
    Dataset& TbUnidades() { return unidades_; }
    Dataset& TbPrecios() { return precios_; }

    DbNavigator* DBNavigator1;
    QGroupBox* GroupBox1;   // "Registro       #   ABC"
    QLineEdit* Edit1;       // number search
    QLineEdit* Edit2;       // name search
    QGroupBox* GroupBox3;   // "Imprimir"
    QPushButton* SpeedButton1;  // "Excel": the products into a spreadsheet
    QLabel* Label1;         // "Precios Para EL POS"
    QTabWidget* PageControl1;
    QWidget* TabSheet1;     // "Datos Generales"
    QWidget* TabSheet2;     // "Precios"
    DbEdit* DBEdit8;                      // GRUPO
    DbLookupComboBox* DBLookupComboBox1;  // group names
    DbEdit* DBEdit9;                      // SUBGRUPO
    DbLookupComboBox* DBLookupComboBox2;  // subgroup names
    DbEdit* DBEdit3;                      // PRODUCTO
    DbEdit* DBEdit1;                      // NOMBRE
    DbLookupComboBox* DBLookupComboBox3;  // UNIDAD
    DbLookupComboBox* DBLookupComboBox4;  // UNIDADS
    DbEdit* DBEdit2;                      // REFERENCIA
    DbEdit* DBEdit15;                     // CODIGOBARRAS
    DbEdit* DBEdit7;                      // PRECIOCOMPRA
    DbEdit* DBEdit10;                     // VALORIVA
    DbEdit* DBEdit12;                     // CANTIDADEMPACADA
    DbCheckBox* DBCheckBox1;              // PRECIOMASIVA
    DbEdit* DBEdit4;                      // VALORUNIDAD
    DbEdit* DBEdit5;                      // IPOCONSUMO
    DbGrid* DBGrid2;                      // prices per unit of packing
    DbGrid* DBGrid1;                      // all products
    QStatusBar* StatusBar1;

    void FormCreate();
    void FormActivate();
    // True when the key typed in the number search is taken: digits and Backspace only.
    static bool Edit1KeyPress(const QKeyEvent& key);
    void Edit1Change(const QString& text);
    void Edit2Change(const QString& text);
    void TbProductosBeforeInsert(Dataset& ds);
    void TbProductosBeforeEdit(Dataset& ds);
    void TbProductosAfterEdit(Dataset& ds);
    void TbProductosBeforeCancel(Dataset& ds);
    void TbProductosAfterInsert(Dataset& ds);
    void TbProductosBeforePost(Dataset& ds);
    void DBEdit3Exit();
    void DBEdit3Change();
    void DBNavigator1Click();
    void SpeedButton1Click();

    static QString duplicateNumberText() { return QStringLiteral("Codigo del Producto Ya Existe"); }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGeneralTab();
    void buildPricesTab();
    void enableNameAndReference();
    void barcodeDefault();
    void fillGrid();

    bool focusPlaced_ = false;
    // In the order they open: the lists first, the products, then the prices under them.
    Dataset& grupos_;
    Dataset& subgrupos_;
    Dataset& unidades_;
    Dataset& productos_;
    Dataset& chk_;
    Dataset& precios_;
};

}  // namespace kv
