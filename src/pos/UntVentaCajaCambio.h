#pragma once
// "Cambios a  la Factura": the lines of a document in a grid, where a cashier who may change
// prices (or a supervisor) corrects the product, quantity, price or discount of a line. It works
// on the current document of the module it is given: a sale's, or an order's on the order screen.
// Every changed line is posted through that module's operation, so the line and its document's
// totals are stored together and never mix with a document on another register.
//
// The grid's rules are the shared line-grid rules (pos/LineGridRules.h): the product is looked up
// again only when a line's code (BUSCADOR) changed since the window opened or since its last
// look-up, as the cursor enters the quantity column; the line then takes the product's catalogue
// price and rate, the unit "UN" and no discount. A quantity or price typed for the same product is
// kept.
//
// Keys: Up and Down move to the next column; Enter stores the line being edited; Esc drops an
// edit in progress, and closes the window when there is none.
#include "pos/DocumentModule.h"

#include <QDialog>

namespace kv {

class DbGrid;
class LineGridRules;
class TDmVentas;

class TFrmVentaCajaCambio : public QDialog {
    Q_OBJECT
public:
    // The window works on the module's current document.
    explicit TFrmVentaCajaCambio(DocumentModule& dm, QWidget* parent = nullptr);
    ~TFrmVentaCajaCambio() override;

    DbGrid* DBGrid1;

    // The grid's columns, by field.
    int column(const QString& field) const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void done(int r) override;

private:
    DocumentModule& dm_;
    // Correcting the lines of a paid document is this window's purpose: the module lets it.
    DocumentModule::Correction correction_;
    LineGridRules* rules_;
};

// "AUTORIZACION SUPERVISOR", opened by a double click on a line's quantity: it names who is
// signed on to authorise the change and is simply closed.
class TFrmAutorizacionSupervisor : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAutorizacionSupervisor(DocumentModule& dm, QWidget* parent = nullptr);
};

// "&Cambia Factura" of the sale screen: for a cashier who may change prices (CAMBIAPRECIO "S";
// others are told they may not), asks the number ("Modificar") and opens the change window on that
// document. A sale whose electronic document was issued is not changed: the window edits a new
// sale made from it, which replaces it once the cashier confirms (pos/DocumentCorrections.h); the
// cashier is told both numbers and the money to hand back or collect. The sales module is put back
// on the document it stood on before.
void CambiaFactura(TDmVentas& dm, QWidget* parent);

}  // namespace kv
