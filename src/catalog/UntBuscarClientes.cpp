#include "catalog/UntBuscarClientes.h"

#include "catalog/UntCrearTerceros.h"
#include "platform/DbControls.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kv {

double NitClienteElegido = 0;
double PadreClienteElegido = 0;

TFrmBuscarClientes::TFrmBuscarClientes(Connection& db, QWidget* parent)
    : ThirdPartySearch(db, NitClienteElegido, PadreClienteElegido, parent), db_(db)
{
    setObjectName(QStringLiteral("FrmBuscarClientes"));
    setWindowTitle(QString());  // this window has never had a caption
    setAccessibleName(QStringLiteral("Buscar Clientes"));
    BtnCrearTerceros = new QPushButton(QStringLiteral("Crear &Terceros"), this);
    BtnCrearTerceros->setObjectName(QStringLiteral("BtnCrearTerceros"));
    BtnCrearTerceros->setAccessibleName(QStringLiteral("Crear Terceros"));
    BtnCrearTerceros->setAutoDefault(false);
    buttonRow_->insertWidget(0, BtnCrearTerceros);
    connect(BtnCrearTerceros, &QPushButton::clicked, this, &TFrmBuscarClientes::BtnCrearTercerosClick);
}

void TFrmBuscarClientes::BtnCrearTercerosClick()
{
    {
        TFrmCrearTerceros full(db_, this);
        full.exec();
    }
    // Third parties created or changed there show up in this list.
    guarded([this] { TbProveedores.Refresh(); });
    EditNit->setFocus();
}

}  // namespace kv
