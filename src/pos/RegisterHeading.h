#pragma once
// The heading of the register's windows: the register's name and the signed-on cashier's name,
// side by side (LabelCaja, LabelCajero).
#include <QString>

class QAction;
class QBoxLayout;
class QLabel;
class QStatusBar;
class QWidget;

namespace kv {

class TDmVentas;

// The sales module's register and cashier.
void addRegisterHeading(TDmVentas& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero);
// Names given by a window that works for another module's cashier (the orders).
void addRegisterHeading(const QString& nombreCaja, const QString& nombreCajero, QWidget* parent, QBoxLayout* into,
                        QLabel*& caja, QLabel*& cajero);

// The menu bar of the sale screens (MainMenu1), set on `into`.
struct RegisterMenu {
    QAction* Informes1;          // "&Informes"
    QAction* ReimprimeFactura1;  // "&Reimprime Factura"
    QAction* CambiaFactura1;     // "&Cambia Factura"
    QAction* EgresoCaja1;        // "Egreso de Caja"
    QAction* AnulaFacturas1;     // "Anula Facturas"
};
RegisterMenu addRegisterMenu(QWidget* parent, QBoxLayout* into);

// The status bar of a register screen added at the end of `into`: a "Proceso" panel and the
// message panel (PanelMensaje) returned, which shows progress texts and the product last handled.
QLabel* addMessageStatusBar(QWidget* parent, QBoxLayout* into, QStatusBar*& bar);

}  // namespace kv
