#include "catalog/UntCrearTercero.h"

namespace kv {

TFrmCrearTercero::TFrmCrearTercero(Connection& db, QWidget* parent) : QuickCustomerDialog(db, Kind::OneName, parent)
{
    setObjectName(QStringLiteral("FrmCrearTercero"));
}

bool TFrmCrearTercero::CrearTercero(Connection& db, const QString& typedNit, QWidget* parent)
{
    TFrmCrearTercero dlg(db, parent);
    return runQuickCreation(dlg, typedNit);
}

}  // namespace kv
