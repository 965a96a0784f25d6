#include "catalog/UntSucursales.h"

namespace kv {

CatalogList TFrmSucursales::listDescription()
{
    return {QStringLiteral("SUCURSALES"), QStringLiteral("BODEGAS"), QStringLiteral("BODEGA"), QStringLiteral("NOMBRE"),
            {{QStringLiteral("Codigo"), QStringLiteral("BODEGA"), 0, 25, QString(), true},
             {QStringLiteral("Descripción"), QStringLiteral("NOMBRE"), 32, 120}}};
}

namespace {
CatalogScreenDescription screenDescription()
{
    CatalogScreenDescription s;
    s.objectName = QStringLiteral("FrmSucursales");
    s.caption = QStringLiteral("Sucursales");
    s.titleLabel = QStringLiteral("S U C U R S A L E S");
    s.table = QStringLiteral("BODEGAS");
    s.datasetName = QStringLiteral("TBodegas");
    s.keyField = QStringLiteral("BODEGA");
    s.keyCaption = QStringLiteral("Código  :");
    s.secondField = QStringLiteral("NOMBRE");
    s.secondCaption = QStringLiteral("Descripcion:");
    s.gridColumns = {gridColumn(QStringLiteral("BODEGA")), gridColumn(QStringLiteral("NOMBRE"))};
    s.rangeFrom = QStringLiteral("01");
    s.rangeTo = QStringLiteral("99");
    s.list = TFrmSucursales::listDescription();
    return s;
}
}  // namespace

TFrmSucursales::TFrmSucursales(Connection& db, QWidget* parent) : CatalogScreen(db, screenDescription(), parent) {}

}  // namespace kv
