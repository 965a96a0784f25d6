#include "pos/RegisterHeading.h"

#include "platform/DialogParts.h"
#include "pos/DocumentModule.h"

#include <QBoxLayout>
#include <QLabel>

namespace kv {

void addRegisterHeading(DocumentModule& dm, QWidget* parent, QBoxLayout* into, QLabel*& caja, QLabel*& cajero)
{
    addRegisterHeading(dm.TCaja.FieldByName(QStringLiteral("NOMBRE")).asString(),
                       dm.TCajero.FieldByName(QStringLiteral("NOMBRE")).asString(), parent, into, caja, cajero);
}

void addRegisterHeading(const QString& nombreCaja, const QString& nombreCajero, QWidget* parent, QBoxLayout* into,
                        QLabel*& caja, QLabel*& cajero)
{
    auto* heading = new QHBoxLayout;
    caja = makeTitleLabel(nombreCaja, parent, 1.2);
    caja->setObjectName(QStringLiteral("LabelCaja"));
    cajero = makeTitleLabel(nombreCajero, parent, 1.2);
    cajero->setObjectName(QStringLiteral("LabelCajero"));
    heading->addWidget(caja);
    heading->addWidget(cajero);
    into->addLayout(heading);
}

}  // namespace kv
