#include "backoffice/UntVentasTerBd.h"

namespace kv {

TFrmVentasTerBd::TFrmVentasTerBd(Connection& pos, Connection& removable, QWidget* parent)
    : CatalogTransferScreen(pos, removable, QStringLiteral("FrmVentasTerBd"), QStringLiteral("Terceros"),
                            QStringLiteral("PROVEEDORES"), QStringLiteral("Terceros"),
                            QStringLiteral("Terceros en Bd Removible"),
                            {gridColumn(QStringLiteral("NIT"), QStringLiteral("Nit"), QStringLiteral("###,###.")),
                             gridColumn(QStringLiteral("DV"), QStringLiteral("Dv")),
                             gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("Nombre"), QString(), 30),
                             gridColumn(QStringLiteral("DIRECCION"), QStringLiteral("Direccion")),
                             gridColumn(QStringLiteral("TELEFONO"), QStringLiteral("Telefono")),
                             gridColumn(QStringLiteral("CIUDAD"), QStringLiteral("Ciudad"))},
                            parent)
{
}

TransferResult TFrmVentasTerBd::download(DatabaseTransfer& t, const TransferProgress& progress)
{
    return t.downloadThirdParties(progress);
}

}  // namespace kv
