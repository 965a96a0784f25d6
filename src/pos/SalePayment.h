#pragma once
// What every payment window does the same way, whichever register it belongs to: the money
// received typed as a plain number, the change shown as the cashier types, and closing the sale in
// its safe order. In one transaction the document is taken, found still open and still of the
// amount the cashier collected, and the payment is stored with the document closed (a document
// another register closed or added to meanwhile stores nothing). Only once that is committed does
// the drawer open and the invoice print: a closing that fails opens no drawer, and a drawer or a
// printer that fails afterwards never leaves a paid sale open.
#include "print/InvoicePrinting.h"

#include <functional>

class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace kv {

class Dataset;
class RadioGroup;
class TDmVentas;

// What the customer pays for the header the cursor stands on (0 when there is none): NETO plus the
// service charge, less the discount and what was paid before.
double headerAmountToPay(Dataset& header);

// Credit, cheque and card payments ("E", "H", "T") take a description (bank, card, account).
bool paymentAsksDescription(const QString& tipo);

// The money received as typed. Only a plain number is taken: an empty box, or one with a comma
// (which could be a thousands separator or a mistyped decimal point), is refused like letters
// (ConversionError).
double receivedAmount(const QString& text);

// Lets the box take only digits, the point and the comma (the comma is then refused as a number).
void acceptAmountKeys(QLineEdit* box);

// Shows `received` - `due` with "###,###.00" in the label, in red when money is missing; an empty
// label while the text is no number.
void showChange(QLabel* label, const QString& received, double due);
// The same for an amount already read as a number.
void showChange(QLabel* label, double change);

// The money part of a payment window: "&Dinero Recibido" (a box taking only amount keys, in large
// type, added as the next row of `grid` and initially "0"), and below `grid` in `into` the change
// under "C A M B I O (Diferencia)" (initially "00").
struct MoneyReceived {
    QLineEdit* EditRecibido;
    QLabel* LabelCambio;
};
MoneyReceived addMoneyReceived(QWidget* window, QGridLayout* grid, QBoxLayout* into);

// "Tipo de Factura": "Impresora Pos", "Media Carta", "Carta Completa" (RadioTipoFactura), the first
// chosen, added to `into`; and the paper it stands for.
RadioGroup* addInvoicePaperChoice(QWidget* window, QBoxLayout* into);
InvoicePaper chosenPaper(const RadioGroup* choice);

enum class SaleClosing {
    Closed,          // this window closed the document (printed or not)
    ClosedElsewhere, // another register had closed it or it is gone: the cashier was told, nothing stored
    Stays,           // another register changed the amount to pay (the header shows the new one):
                     // nothing stored, the window stays for another try
};

// Opens the drawer for a sale whose payment is committed; when it does not open, tells the cashier
// that the sale is paid all the same and that the drawer opens by key.
void openDrawerAfterPayment(const QString& noun, int consecutivo);

// Closes the module's current document for the signed-on cashier with the payment its header holds:
// payment stored with the document closed, then the drawer, then `print` (which may ask first and answer
// Printed when nothing was wanted). A print that fails tells the cashier that the document is paid
// and can be reprinted. `received` is the money the customer handed over: for a cash payment that
// covers the amount, it and the change are stored with the payment, so the receipt shows them.
SaleClosing closeSale(TDmVentas& dm, const std::function<PrintResult(const SaleDocumentKey&)>& print,
                      double received = 0);

}  // namespace kv
