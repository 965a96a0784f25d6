#pragma once
// "Caja Dos", the counter register of cashier level "R": the customer typed starts a document,
// items are added by code, and Esc in the product box finishes the sale in its payment window.
//
// The screen goes back to waiting for a customer when it is first shown and after its payment
// window, never when it only regains the focus from a search or another of its windows, so a sale
// in progress is never hidden or left behind.
#include "pos/variants/ItemEntryScreen.h"

class QAction;

namespace kv {

class DbNavigator;

class TFrmVentaCaja2 : public ItemEntryScreen {
    Q_OBJECT
public:
    explicit TFrmVentaCaja2(TDmVentas& dm, QWidget* parent = nullptr);

    DbText* DBTextReferencia;     // "Referencia ": the customer's PADRE
    QPushButton* BtnCambioReferencia;  // "Cambio Referencia"
    DbNavigator* DBNavigator1;    // over the document headers
    QAction* AbrirCaja1;
    QAction* Arqueo1;
    QAction* ReimprimirFactura1;
    QAction* Egresos1;
    QAction* ModicarFactura1;

    void Edit1Enter() override;
    void Edit1Search();
    void DBGrid1DblClick() override;
    void BtnCambioReferenciaClick();

protected:
    void finishDocument() override;
    bool addAfterSearch() const override { return true; }
    void showEvent(QShowEvent* e) override;
};

}  // namespace kv
