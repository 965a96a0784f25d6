#pragma once
// "Caja Principal": the collection register of a cashier of level "C". It enters no items: it
// lists the documents of its register that are still open (started by sellers and roaming sellers),
// reads the list again every few seconds, and collects a document (Enter) through its payment window
// or voids it (double click, or Delete from the keyboard). Its menus reprint in the three layouts and open the cash count, the
// cash expenses and the invoice change windows of the register's day.
//
// The document is taken by its key when the cashier chooses it and that key is used until the
// payment or the void is over; the list is not read again while any window of the screen is open,
// and reading it again keeps the cashier's row.
//
// The period of the reading is POSCAJAS.REFRESCO of the register, in seconds (set on the "Cajas"
// screen), when it holds a number above 0; otherwise ten seconds.
#include "data/Dataset.h"
#include "print/InvoicePrinting.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <optional>

class QAction;
class QLabel;

namespace kv {

class DbGrid;
class TDmVentas;


class TFrmVentaRegistradora : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentaRegistradora(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVentaRegistradora() override;

    // What the sign-on opens for level "C".
    static void Abrir(TDmVentas& dm, QWidget* parent);
    static constexpr int kRefrescoMs = 10000;

    Dataset TFacturas;  // the open documents of the register, with the customer's name
    QTimer Timer1;

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    DbGrid* DBGrid1;
    QAction* ImpresoraPos1;    // "Reimpresion Facturas" > "Impresora Pos"
    QAction* MediaCarta1;      //                         "Media carta"
    QAction* Carta1;           //                         "Carta"
    QAction* ArqueoCaja1;      //                         "Arqueo de Caja"
    QAction* EgresoCaja1;      // "Egreso de Caja"
    QAction* ModificaFactura1; // "Modifica Factura"

    // The steps, as the controls and the timer call them.
    void FormActivate();          // the list opens and the timer starts
    void Timer1Timer();           // the list is read again (unless a window of the screen is open)
    void DBGrid1Enter();          // collect the current document
    void DBGrid1DblClick();       // void the current document

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int r) override;

private:
    void buildLayout();
    std::optional<SaleDocumentKey> chosenDocument();
    // Runs a step with the timer held, so that nothing moves the list under an open window.
    void busy(const std::function<void()>& step);
    void readList();

    TDmVentas& dm_;
    int busy_ = 0;
    bool shown_ = false;
};

// Registers the screen for cashier level "C" (called at start-up next to registerPosPrograms).
void registerCollectionRegister();

}  // namespace kv
