#include "pos/RegisterHeading.h"

#include "platform/DialogParts.h"
#include "pos/DocumentModule.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

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

RegisterMenu addRegisterMenu(QWidget* parent, QBoxLayout* into)
{
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [bar](const char* caption, const char* name) {
        QAction* a = bar->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    RegisterMenu m{item("&Informes", "Informes1"), item("&Reimprime Factura", "ReimprimeFactura1"),
                   item("&Cambia Factura", "CambiaFactura1"), item("&Egreso de Caja", "EgresoCaja1"),
                   item("&Anula Facturas", "AnulaFacturas1")};
    into->setMenuBar(bar);
    return m;
}

QLabel* addMessageStatusBar(QWidget* parent, QBoxLayout* into, QStatusBar*& bar)
{
    bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->addWidget(new QLabel(QStringLiteral("Proceso"), bar));
    auto* mensaje = new QLabel(bar);
    mensaje->setObjectName(QStringLiteral("PanelMensaje"));
    mensaje->setAccessibleName(QStringLiteral("PanelMensaje"));
    bar->addWidget(mensaje, 1);
    into->addWidget(bar);
    return mensaje;
}

}  // namespace kv
