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

class DocumentModule;

// The module's register and cashier (the sales' or the orders').
void addRegisterHeading(DocumentModule& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero);
// Names given by a window that works for another module's cashier.
void addRegisterHeading(const QString& nombreCaja, const QString& nombreCajero, QWidget* parent, QBoxLayout* into,
                        QLabel*& caja, QLabel*& cajero);

// The menu bar of the sale screens (MainMenu1), set on `into`; each entry has its Alt+letter.
struct RegisterMenu {
    QAction* Informes1;          // "&Informes"
    QAction* ReimprimeFactura1;  // "&Reimprime Factura"
    QAction* CambiaFactura1;     // "&Cambia Factura"
    QAction* EgresoCaja1;        // "&Egreso de Caja"
    QAction* AnulaFacturas1;     // "&Anula Facturas"
};
RegisterMenu addRegisterMenu(QWidget* parent, QBoxLayout* into);

// The status bar of a register screen added at the end of `into`: a "Proceso" panel and the
// message panel (PanelMensaje) returned, which shows progress texts and the product last handled.
QLabel* addMessageStatusBar(QWidget* parent, QBoxLayout* into, QStatusBar*& bar);

}  // namespace kv
