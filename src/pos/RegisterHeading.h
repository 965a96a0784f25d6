#pragma once
// The heading of the register's windows: the register's name and the signed-on cashier's name,
// side by side (LabelCaja, LabelCajero).
#include <QString>

class QBoxLayout;
class QLabel;
class QWidget;

namespace kv {

class DocumentModule;

// The module's register and cashier (the sales' or the orders').
void addRegisterHeading(DocumentModule& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero);
// Names given by a window that works for another module's cashier.
void addRegisterHeading(const QString& nombreCaja, const QString& nombreCajero, QWidget* parent, QBoxLayout* into,
                        QLabel*& caja, QLabel*& cajero);

}  // namespace kv
