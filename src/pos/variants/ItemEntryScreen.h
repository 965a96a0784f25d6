#pragma once
// What the item-entry registers "Caja Dos" and "Caja Tres" share: the customer or document group
// with the document's number and total, the item group with the product code, the quantity and
// the document's lines, the price-change box, and the routine that adds an item by its code.
//
// An item is added in one step of the sales module: the quantity is read before anything is
// stored, so a quantity that is not a number is refused with a message and leaves no line behind;
// the price is the catalogue's VALORUNIDAD as it is, and the line carries the product's IVA and
// Ipoconsumo rates (the module takes an included IVA out of the price and adds one the price leaves
// out). A line's product changed in the grid is completed by the same rule. New lines come only from the product box,
// where the code and the quantity are checked: the grid does not start lines of its own.
#include "data/Dataset.h"

#include "platform/KeyMap.h"
#include "platform/OwnKeysDialog.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

namespace kv {

class DbGrid;
class DbText;
class LineGridRules;
class TDmVentas;

class ItemEntryScreen : public OwnKeysDialog {
    Q_OBJECT
public:
    ~ItemEntryScreen() override;

    TDmVentas& dm() const { return dm_; }

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QGroupBox* GroupCliente;      // "Cliente"
    QLineEdit* Edit1;
    DbText* DBTextNit;
    DbText* DBTextNombre;
    DbText* DBTextFactura;        // "Nùmero Factura"
    DbText* DBTextNeto;           // "Valor a Pagar"
    QGroupBox* GroupArticulos;    // "Articulos"
    QLineEdit* EditProducto;      // "Codigo Producto"
    QLineEdit* EditCantidad;      // "Cantidad"
    DbGrid* DBGrid1;
    QGroupBox* GroupCambioPrecio; // "Cambio De Precio"
    QLineEdit* EditCambioCantidad;
    QLineEdit* EditValorUnidad;
    QPushButton* BtnCambioOK;
    QStatusBar* StatusBar1;
    QLabel* PanelMensaje;         // the second panel: progress texts, the product last handled

    Dataset QCuantosProductos;

    // True while a document is open for items (the "Articulos" group shown).
    bool selling() const;

    // The screen's steps, as its keys call them.
    virtual void Edit1Enter() = 0;
    void Edit1Escape();
    void EditProductoEnter();
    void EditProductoEscape();
    void EditProductoSearch(bool thenAdd);
    virtual void DBGrid1DblClick() = 0;
    void BtnCambioOKClick();
    // The add-line routine with the product code and quantity boxes as they are.
    void addItem();

protected:
    ItemEntryScreen(TDmVentas& dm, const QString& name, const QString& title, const QString& edit1Caption,
                    QWidget* parent);

    // Builds the screen; `withDiscount` adds the "%Descuento" column.
    void buildLayout(bool withDiscount);
    // Where a screen puts its own controls in the "Cliente" group (row 3 on).
    QGridLayout* clienteLayout() const { return clienteLayout_; }
    QVBoxLayout* mainLayout() const { return main_; }

    // "Terminar Factura?" answered Yes.
    virtual void finishDocument() = 0;
    // A double click in the product box adds the item found ("Caja Dos") or only puts its number
    // in the box ("Caja Tres").
    virtual bool addAfterSearch() const = 0;
    // After "Cambio De Precio" was left, by OK (whether the change was stored or refused) or Esc.
    virtual void afterPriceChange() {}

    void toWaiting();
    void toSelling();
    void showPriceBox();
    // Leaves "Cambio De Precio": the rest of the screen works again, then afterPriceChange().
    void endPriceChange();
    void showCashier();
    void showMessagePanel(const QString& text);

    bool eventFilter(QObject* watched, QEvent* event) override;

    TDmVentas& dm_;
    // The screen's keys; a register adds its own.
    KeyMap keys_;

private:
    // The product the code names; a barcode several products share is settled in the
    // alphabetical search. False (and the code named) when there is none.
    bool findItem(QString& code);
    void resetEntry();
    // While "Cambio De Precio" is open its OK and Esc are the only ways on.
    void lockForPriceChange(bool locked);

    // The column rules of the lines grid: a product code changed in the grid completes its line.
    void setUpGridRules();
    void setUpKeys();

    LineGridRules* rules_ = nullptr;
    QVBoxLayout* main_ = nullptr;
    QGridLayout* clienteLayout_ = nullptr;
};

}  // namespace kv
