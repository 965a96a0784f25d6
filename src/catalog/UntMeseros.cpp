#include "catalog/UntMeseros.h"

#include "data/Schema.h"

namespace kv {

CatalogList TFrmMeseros::listDescription()
{
    return {QStringLiteral("MESEROS"), QStringLiteral("MESERO"), QStringLiteral("CEDULA"), QStringLiteral("NOMBRE"),
            {{QStringLiteral("Cedula"), QStringLiteral("CEDULA"), 0, 30, QStringLiteral("###,###."), true},
             {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 36, 120}}};
}

namespace {
CatalogScreenDescription screenDescription()
{
    CatalogScreenDescription s;
    s.objectName = QStringLiteral("FrmMeseros");
    s.caption = QStringLiteral("Meseros");
    s.titleLabel = QStringLiteral("M E S E R O S");
    s.table = QStringLiteral("MESERO");
    s.datasetName = QStringLiteral("TMesero");
    s.keyField = QStringLiteral("CEDULA");
    s.keyCaption = QStringLiteral("Mesero  :");
    s.secondField = QStringLiteral("NOMBRE");
    s.secondCaption = QStringLiteral("Nombre :");
    s.gridColumns = {gridColumn(QStringLiteral("CEDULA"), QStringLiteral("Cedula"), QString(), 14), gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("Nombre"))};
    s.searchable = false;
    s.rangeTo = QStringLiteral("9999999999");
    s.list = TFrmMeseros::listDescription();
    s.ensureTable = [](Connection& c) { ensureMesero(c); };
    return s;
}
}  // namespace

TFrmMeseros::TFrmMeseros(Connection& db, QWidget* parent) : CatalogScreen(db, screenDescription(), parent) {}

}  // namespace kv
