#pragma once
// "Cotizaciones  Pedidos": the order screen. It takes one order after another in three stages:
//  - customer: the customer's identity typed and Enter starts an order (a customer not on file
//    is offered to the quick customer window; if still missing, no order is started);
//  - lines: the order's lines typed into the grid under the shared line-grid rules (completion
//    on entering "Cantidad"); Esc stores a line that has a product and goes to the payment;
//  - payment: the payment type and its description, the amount tendered and Enter: the amount
//    is read, the drawer opens, the payment type is stored and the order closed, the change is
//    shown and the receipt printed ("Sin Recibo": none). Keypad + or - leaves the order as it is.
// Every row goes through the orders module; the screen keeps nothing but its stage.
#include "print/InvoicePrinting.h"

#include "platform/KeyMap.h"
#include "platform/OwnKeysDialog.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStatusBar;

namespace kv {

class DbEdit;
class DbGrid;
class DbRadioGroup;
class DbText;
class LineGridRules;
class TDmPedidos;

class TFrmPedidoCaja : public OwnKeysDialog {
    Q_OBJECT
public:
    explicit TFrmPedidoCaja(TDmPedidos& dm, QWidget* parent = nullptr);
    ~TFrmPedidoCaja() override;

    enum class Stage { Customer, Lines, Payment };
    Stage stage() const { return stage_; }

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QGroupBox* GroupCliente;      // "Cliente"
    DbText* DBTextFactura;        // "Nùmero Factura"
    QLineEdit* EditCliente;       // "Nit o Cèdula Cliente o Tarjeta "
    DbText* DBTextNit;
    DbText* DBTextNombre;
    QCheckBox* CheckSinRecibo;    // "Sin Recibo"
    QGroupBox* GroupArticulo;     // "Articulo"
    DbText* DBTextArticulo;
    DbText* DBTextPrecio;         // "Precio"
    QGroupBox* GroupArticulos;    // "Articulos"
    DbGrid* DBGrid1;
    QGroupBox* GroupTotal;        // "Total Facrtura"
    DbRadioGroup* RadioTipoPago;  // "Tipo de pago"
    DbEdit* EditDatos;            // "Datos"
    QLineEdit* EditPago;          // "PAGO"
    QLabel* LabelDevolucion;      // the change, under "Devoluciòn"
    DbText* DBTextValor;          // "Valor Factura"
    DbText* DBTextDescuento;      // "Descuento"
    DbText* DBTextNeto;           // "A Pagar"
    QStatusBar* StatusBar1;
    QLabel* PanelProceso;
    QLabel* PanelMensaje;
    QLabel* PanelFijo;
    QAction* CambiosFactura1;     // "Cambios a la factura"
    QAction* AbrirCajon1;         // "Abrir Cajon"
    QAction* TotalCotizaciones1;  // "Total Cotizaciones"
    QAction* ReimprimirCotizacion1;  // "Reimprimir Cotización"
    QAction* Salir1;              // "Salir"

    LineGridRules& gridRules() const { return *rules_; }

    // The screen's steps, as its keys and menu call them.
    void EditClienteEnter();
    void EditClienteEscape();
    void EditClienteSearch();
    void DBGrid1Escape();
    void EditPagoEnter();
    void EditPagoLeave();  // keypad + or -
    void CambiosFactura1Click();
    void AbrirCajon1Click();
    void ReimprimirCotizacion1Click();
    void TotalCotizaciones1Click();
    void Salir1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void toCustomer();
    void toLines();
    void toPayment();
    // A line being typed: stored when it names a product, dropped otherwise. False when storing
    // it was refused (the message was shown; the line stays for correction).
    bool settlePendingLine();
    void showMessagePanel(const QString& text);
    void leave(bool storePending);
    // The current order's whole key (company, document type, number).
    SaleDocumentKey orderKey();

    TDmPedidos& dm_;
    LineGridRules* rules_ = nullptr;
    Stage stage_ = Stage::Customer;
    KeyMap keys_;
};

}  // namespace kv
