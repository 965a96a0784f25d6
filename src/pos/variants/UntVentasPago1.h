#pragma once
// The payment window "Pago" of "Caja Dos". It works on the sales module's current document: how the
// customer pays (cash, credit, Diners, Visa or another currency), the money received and the change.
// Choosing a card or another currency shows the currency, the day's rate and the amount in that
// currency; paying in another currency takes the money received in that currency and gives the
// change in pesos. Enter in "PAGO" finishes: drawer, payment stored with the document closed, then
// the question "Imprimir Recibo ?" and the "Caja Dos" receipt.
//
//     TFrmVentasPago1 pago(dm, this);
//     if (pago.exec() == QDialog::Accepted) ...  // the document is closed (here or at another register)
//
// Closing the window any other way (Esc, the close button) leaves the document open.
#include <QDialog>
#include <QVariant>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace kv {

class DbEdit;
class DbLookupComboBox;
class DbRadioGroup;
class DbText;
class TDmVentas;

class TFrmVentasPago1 : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentasPago1(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVentasPago1() override;

    QLabel* LabelPagar;            // "A Pagar"
    DbRadioGroup* RadioTipoPago;   // "Tipo de pago": Contado, Crèdito, Diners, Tarjeta Visa, Otra Moneda
    QLineEdit* EditPago;           // "PAGO": the money received
    QLabel* LabelDevolucion;       // "Devolucion": the change, in pesos
    QGroupBox* GroupOtraMoneda;    // "Otra Moneda o Tarjeta"
    DbLookupComboBox* DBLookupMoneda;  // the currency (MONEDA)
    DbEdit* DBEditTasa;            // "Tasa de Cambio "
    DbEdit* DBEditDescripcion;     // TIPODEPAGODES
    DbText* DBTextOtraMoneda;      // "Valor Otra Moneda"
    QLabel* LabelTasa;             // the day's rate, or that there is none

    // What the customer pays, in pesos.
    double amountToPay() const;
    // True while the money received is counted in the chosen currency.
    bool paysInOtherCurrency() const;

    // The window's steps, as its controls call them.
    void RadioTipoPagoClick();    // the exchange-rate step
    void ExchangeRateEnter();     // Enter in the rate or the description
    void EditPagoChange();
    void EditPagoEnter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;
    void reject() override;  // leaves the document open, with nothing typed here kept

private:
    void buildLayout();
    void showAmounts();
    // Looks up today's rate of the header's currency and puts it in the header.
    void takeRateOfToday();
    // The header back in the document's own currency, at rate 1 and no other-currency amount.
    void payInOwnCurrency();
    void computeOtherCurrency();
    void postHeader();

    TDmVentas& dm_;
    QVariant monedaDocumento_;  // the document's own currency, given back when cash or credit is chosen
    bool received_ = false;     // the money received was typed: the change is shown
};

}  // namespace kv
