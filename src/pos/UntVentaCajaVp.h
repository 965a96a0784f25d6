#pragma once
// The main register screen "Caja" of sellers (level "V") and hotel cashiers (level "1"). The
// cashier types a customer's NIT to start a document, then rings up products line by line: the
// product by number, barcode or search, its packing, the quantity; the price comes from the
// packing's price in the chosen list, lowered by the discount step. Lines are corrected in the
// grid or in "Cambio De Precio"; Esc in the product box finishes the document.
//
// Every line added, changed or deleted goes through the sales module's all-or-nothing operations:
// a refused line leaves nothing stored and the screen ready for the next one.
//
// A barcode scanner types the code and Enter into the product box within a few milliseconds and
// the cashier scans the next item at once, so a code found as a barcode is rung up on that Enter
// (one unit of the product's base packing) instead of waiting for a packing and a quantity.
#include "data/Dataset.h"

#include "platform/KeyMap.h"
#include "platform/OwnKeysDialog.h"
#include <QGroupBox>

#include <functional>
#include <optional>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace kv {

class DbGrid;
class DbText;
enum class InvoicePaper;
class RadioGroup;
class DocumentModule;
class TDmVentas;

// Values of the screen shared with the dialogs it opens.
extern QString ProductoElegido;  // number of the product being added, as text
extern double SaldoProducto;     // its stock balance: SALDOS less today's sales
extern bool PagoCancelado;       // set by the payment window when the cashier declines to finish

// Puts the module's customer cursor on the NIT typed; false for text that is no NIT or a NIT not
// on file. A customer created since the cursor was read (by the quick customer window, by another
// register) is found too.
bool findCustomer(DocumentModule& dm, const QString& typed);

// The customer a sale screen starts a document for: found by the NIT typed, or else created in the
// quick customer window (`status` shows "Entre Nit o Cedula Correcto" first). When there is still
// none, "Cliente no Existe" is shown and false returned: no document may be started.
bool acceptCustomer(DocumentModule& dm, const QString& typed, QWidget* parent,
                    const std::function<void(const QString&)>& status);

// Puts the module's product cursor on the product the text names: barcode first, then number.
// Text that is neither names no product.
bool findProductByCode(TDmVentas& dm, const QString& code);
// A whole number the text names, as a product number; nothing for any other text.
std::optional<int> productNumber(const QString& text);

// The quantity typed for a new line: a number greater than 0 written with digits and the point,
// and no more than kMaxLineQuantity. Anything else is refused with a message and gives nothing.
std::optional<double> quantityTyped(const QString& text);
// A price typed by the cashier, written with digits and the point; anything else is refused with
// a message (no conversion error) and gives nothing.
std::optional<double> priceTyped(const QString& text);
// The most units one line may carry, either way: a larger quantity is a barcode scanned into the
// quantity box, not a sale.
constexpr double kMaxLineQuantity = 99999;
// True, after saying why, when the quantity is beyond kMaxLineQuantity either way.
bool refuseHugeQuantity(double cantidad);
// For a quantity box's key filter: a printable key other than a digit or the point.
bool notAQuantityKey(const QKeyEvent* k);

// The quantity and price typed in a "Cambio De Precio" group: a quantity other than 0 and within
// kMaxLineQuantity, a price written with digits and the point. Anything else is refused with a
// message, the cursor on the box to correct, and gives nothing.
struct PriceChange {
    double cantidad;
    double precio;
};
std::optional<PriceChange> priceChangeTyped(QLineEdit* cantidad, QLineEdit* valor);
// The keys of a "Cambio De Precio" group: Enter in its quantity moves on to its price, Enter in
// the price is OK, and Esc in either leaves the line as it was.
void addPriceChangeKeys(KeyMap& keys, QLineEdit* cantidad, QLineEdit* valor, const std::function<void()>& ok,
                        const std::function<void()>& leave);

// The customer search from a customer box: the NIT chosen replaces the box's text (a search closed
// without a choice leaves it); the box keeps the focus.
void searchCustomerInto(DocumentModule& dm, QLineEdit* box, QWidget* parent);

// "Forma de Empaque a Vender": the packings of the product being added, one radio item each. The
// group itself holds the focus: arrows move the choice, an item's underlined letter chooses it.
class PackingGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit PackingGroup(const QString& caption, QWidget* parent = nullptr);
    void setItems(const QStringList& captions);
    int count() const { return int(items_.size()); }
    int itemIndex() const;
    void setItemIndex(int i);
    QRadioButton* item(int i) const { return items_.value(i); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QList<QRadioButton*> items_;
};

class TFrmVentaCajaVp : public OwnKeysDialog {
    Q_OBJECT
public:
    explicit TFrmVentaCajaVp(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVentaCajaVp() override;

    TDmVentas& dm() const { return dm_; }

    QLabel* LabelCaja;          // register name
    QLabel* LabelCajero;        // cashier name
    QGroupBox* GroupCliente;    // "Cliente"
    QLineEdit* EditCliente;     // "Nit o Cèdula Cliente"
    DbText* DBTextNit;
    DbText* DBTextNombre;
    DbText* DBTextFactura;      // "Nùmero Factura"
    DbText* DBTextPlazo;        // "Plazo (Credito)"
    DbText* DBTextReferencia;   // "Referencia"
    DbText* DBTextNeto;         // "Valor a Pagar"
    RadioGroup* RadioPrecio;    // "Precio": Mostrador, Empresas
    QStatusBar* StatusBar1;
    QLabel* PanelProceso;
    QLabel* PanelMensaje;
    QLabel* PanelSaldo;
    QLabel* PanelFijo;
    QGroupBox* GroupArticulos;  // "Articulos"
    DbText* DBTextDescripcion;  // "Descripción"
    DbText* DBTextBarras;       // "Código Barras"
    DbText* DBTextProducto;     // "Producto"
    QPushButton* BtnCondiciones;
    QLineEdit* EditProducto;    // product code
    PackingGroup* RadioEmpaque; // "Forma de Empaque a Vender"
    RadioGroup* RadioDescuento; // "Porcentaje De Descuento": 0, 5, 10, 20
    QLabel* LabelDescuento;     // the step in force, in large red letters; empty at 0
    QLineEdit* EditCantidad;    // "Unidades"
    DbGrid* DBGrid1;
    QGroupBox* GroupCambioPrecio;  // "Cambio De Precio"
    QLineEdit* EditCambioCantidad; // "Cantidad"
    QLineEdit* EditValorUnidad;    // "Valor Unidad"
    QPushButton* BtnCambioOK;      // "&OK"
    RadioGroup* RadioTipoFactura;  // "Tipo de Factura"
    QAction* Informes1;
    QAction* ReimprimeFactura1;
    QAction* CambiaFactura1;
    QAction* EgresoCaja1;
    QAction* AnulaFacturas1;

    // True while a document is being sold (the "Articulos" group shown).
    bool selling() const;

    // The packings listed for the product being added: product number and unit code per item.
    const QStringList& packingUnits() const { return unidades_; }

    // The screen's steps, as its keys call them.
    void EditClienteEnter();
    void EditClienteEscape();
    void EditClienteSearch();
    void EditProductoEnter();
    void EditProductoSearch();
    void RadioEmpaqueEnter();
    void EditCantidadEnter();
    void DBGrid1ChangeLine();
    void BtnCambioOKClick();
    void BtnCondicionesClick();
    void Informes1Click();
    void TerminarFactura();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void buildLayout();
    void setUpKeys();
    void listPackings();
    void clearPackings();
    // The product's stock balance less today's sales, and the panel that shows it.
    double stockNow(int producto);
    // The balance for a line about to be stored, read inside the line's transaction; with
    // `controlada` (the document type controls stock) the product is taken first.
    double stockForLine(int producto, bool controlada);
    void showStock(double saldo);
    // The add-line routine; quantityText is what the quantity box holds.
    void addLine(const QString& quantityText);
    void resetEntry();
    void toWaiting();
    void toSelling();
    void changeLinePrice();
    // Leaves "Cambio De Precio" (after OK, a refused change or Esc): the rest of the screen works
    // again and a supervisor who signed in for the change hands back to a cashier.
    void endPriceChange();
    // While "Cambio De Precio" is open its OK and Esc are the only ways on: the entry, the lines
    // and the menu wait, so nobody sells or corrects on under the supervisor's name.
    void lockForPriceChange(bool locked);
    void writePriceBack(int producto, const QString& unidad, double precio);
    void printForCollection();
    // The paper chosen in "Tipo de Factura".
    InvoicePaper chosenPaper() const;
    // The register's and the signed-on cashier's names in the heading (a supervisor's sign-in
    // changes who that is).
    void showCashier();
    void showMessagePanel(const QString& text);
    void setYellow(QWidget* w, bool on);
    // Shows the discount step in force beside the entry.
    void showDiscountStep();

    TDmVentas& dm_;
    Dataset QVentasHoy;
    QStringList productos_;  // per packing item: its product number
    QStringList unidades_;   // per packing item: its unit code
    KeyMap keys_;
};

}  // namespace kv
