#pragma once
// The heading of the register's windows: the register's name and the signed-on cashier's name,
// side by side (LabelCaja, LabelCajero).
class QBoxLayout;
class QLabel;
class QWidget;

namespace kv {

class DocumentModule;

void addRegisterHeading(DocumentModule& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero);

}  // namespace kv
