#pragma once
// The heading of the register's windows: the register's name and the signed-on cashier's name,
// side by side (LabelCaja, LabelCajero).
#include <QString>

class QBoxLayout;
class QLabel;
class QWidget;

namespace kv {

class TDmVentas;

// The sales module's register and cashier.
void addRegisterHeading(TDmVentas& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero);
// Names given by a window that works for another module's cashier (the orders).
void addRegisterHeading(const QString& nombreCaja, const QString& nombreCajero, QWidget* parent, QBoxLayout* into,
                        QLabel*& caja, QLabel*& cajero);

}  // namespace kv
