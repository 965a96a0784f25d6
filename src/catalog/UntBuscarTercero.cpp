#include "catalog/UntBuscarTercero.h"

namespace kv {

double NitTerceroElegido = 0;
double PadreTerceroElegido = 0;

TFrmBuscarTercero::TFrmBuscarTercero(Connection& db, QWidget* parent)
    : ThirdPartySearch(db, NitTerceroElegido, PadreTerceroElegido, parent)
{
    setObjectName(QStringLiteral("FrmBuscarTercero"));
    setWindowTitle(QStringLiteral("FrmBuscarTercero"));
    setAccessibleName(QStringLiteral("FrmBuscarTercero"));
}

}  // namespace kv
