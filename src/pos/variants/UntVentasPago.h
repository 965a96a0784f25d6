#pragma once
// The payment window "Pago" of the collection register "Caja Principal". It works on the sales
// module's current document, the one the cashier chose in the register's list: how the customer
// pays, what was paid before (ABONO, which sets the amount due PAGO), the money received and the
// change, and the paper the invoice is printed on. Enter in "Dinero Recibido" finishes: drawer,
// payment stored with the document closed (only while it is still open: of two registers
// collecting the same document the second is told and stores nothing), then the invoice.
// exec() answers Accepted once the document is closed, here or at another register; Esc leaves it
// open with nothing typed here kept.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace kv {

class DbEdit;
class DbRadioGroup;
class DbText;
class RadioGroup;
class TDmVentas;

class TFrmVentasPago : public QDialog {
    Q_OBJECT
public:
    // `nombreCliente`: the customer's name as the register's list shows it.
    TFrmVentasPago(TDmVentas& dm, const QString& nombreCliente, QWidget* parent = nullptr);
    ~TFrmVentasPago() override;

    DbText* DBTextNeto;             // "Valor Factura"
    QLabel* LabelCliente;           // the customer's name
    DbRadioGroup* RadioTipoPago;    // "Tipo de pago": Contado, Crèdito, Cheque, Tarjeta
    QLabel* LabelDescripcion;       // "Descripcion pago", for credit, cheque and card
    DbEdit* DBEditDescripcion;
    DbEdit* DBEditAbono;            // "ABONO"
    DbEdit* DBEditPago;             // "PAGO": what is left to pay, NETO - ABONO
    QLineEdit* EditRecibido;        // "Dinero Recibido"
    QLabel* LabelCambio;            // the change, under "C A M B I O (Diferencia)"
    RadioGroup* RadioTipoFactura;   // "Tipo de Factura": Impresora Pos, Media Carta, Carta Completa

    double amountToPay() const;

    void RadioTipoPagoClick();
    void EditRecibidoChange();
    void EditRecibidoEnter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    void buildLayout(const QString& nombreCliente);
    void followAbono();  // the row rule: PAGO = NETO - ABONO

    TDmVentas& dm_;
    bool received_ = false;
    bool following_ = false;
};

}  // namespace kv
