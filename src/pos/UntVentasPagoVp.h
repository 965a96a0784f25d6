#pragma once
// The payment window "Pago" of the main sale screen, for a cashier who takes payment. It works on
// the current document of the sales module: how the customer pays, a service charge, a discount on
// the whole document, the money received and the change. Enter in "Dinero Recibido" finishes: the
// cash drawer opens, the payment is stored and the document closed in one statement, and only then
// is the invoice printed, so a printer that fails (or a register that goes down) after the drawer
// opened never leaves a paid sale open, and the invoice always shows the payment.
//
// Finishing (the main sale screen) opens it with one call, TFrmVentasPagoVp::Pagar(dm, parent), and
// reads its shared value PagoCancelado afterwards: true when the cashier answered No and stays on
// the document.
#include "platform/OwnKeysDialog.h"

#include <functional>

class QLabel;
class QLineEdit;

namespace kv {

class DbEdit;
class DbRadioGroup;
class DbText;
class RadioGroup;
class TDmVentas;

// Esc and the close button do not leave: only Enter in "Dinero Recibido" (paid) or declining the
// payment does.
class TFrmVentasPagoVp : public OwnKeysDialog {
    Q_OBJECT
public:
    explicit TFrmVentasPagoVp(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVentasPagoVp() override;

    // Opens the window modally on the module's current document.
    static void Pagar(TDmVentas& dm, QWidget* parent = nullptr);

    DbRadioGroup* RadioTipoPago;    // "Tipo de pago": Contado, Crèdito, Cheque, Tarjeta Credito, Tarjeta Debito
    RadioGroup* RadioServicio;      // "Servicio": No, 5%, 10%, Valor
    RadioGroup* RadioDescuento;     // "Porcentaje De Descuento": 0, 5, 10, 20
    DbText* DBTextNeto;             // "Valor Factura"
    DbEdit* DBEditAbono;            // "ABONO"
    DbEdit* DBEditPago;             // "PAGO"
    QLabel* LabelDescripcion;       // "Descripcion pago", shown for the payment types that ask for it
    DbEdit* DBEditDescripcion;
    DbEdit* DBEditValorPropina;     // "VALOR PROPINA"
    DbEdit* DBEditDescuento;        // "VALOR DESCUENTO"
    QLabel* LabelPagar;             // "Valor A Pagar": what the change is given on
    QLineEdit* EditRecibido;        // "Dinero Recibido"
    QLabel* LabelCambio;            // the change, under "C A M B I O (Diferencia)"
    RadioGroup* RadioTipoFactura;   // "Tipo de Factura": Impresora Pos, Media Carta, Carta Completa

    // The amount to pay of the header as it stands in the window.
    double amountToPay() const;

    // The window's steps, as its controls call them.
    void RadioTipoPagoClick();
    void RadioServicioClick(int item);
    void RadioDescuentoClick(int item);
    void EditRecibidoChange();
    void EditRecibidoEnter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void showAmounts();
    void showServicio();  // the "Servicio" item matching what the document holds
    // Stores the columns `set` works out from the document's amount as stored (with what was typed
    // in the boxes) and reads the header back.
    void storeHeader(const std::function<QVariantMap(double neto)>& set);
    // The closing statement, the drawer and the invoice, in that order; false when the window stays.
    bool finish();
    void leave(bool cancelled);

    TDmVentas& dm_;
    bool received_ = false;  // the money received was typed: the change is shown
};

}  // namespace kv
