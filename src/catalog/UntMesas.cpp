#include "catalog/UntMesas.h"

#include "data/Schema.h"

namespace kv {

CatalogList TFrmMesas::listDescription()
{
    return {QStringLiteral("MESAS"), QStringLiteral("MESAS"), QStringLiteral("ESPACIO"), QStringLiteral("NUMERO"),
            {{QStringLiteral("Espacio Ubicacion"), QStringLiteral("ESPACIO"), 0, 70},
             {QStringLiteral("Numero"), QStringLiteral("NUMERO"), 75, 25}}};
}

namespace {
CatalogScreenDescription screenDescription()
{
    CatalogScreenDescription s;
    s.objectName = QStringLiteral("FrmMesas");
    s.caption = QStringLiteral("Mesas");
    s.titleLabel = QStringLiteral("M E S A S");
    s.table = QStringLiteral("MESAS");
    s.datasetName = QStringLiteral("TMesas");
    s.keyField = QStringLiteral("ESPACIO");
    s.keyCaption = QStringLiteral("Espacio  :");
    s.secondField = QStringLiteral("NUMERO");
    s.secondCaption = QStringLiteral("Numero :");
    s.gridColumns = {gridColumn(QStringLiteral("ESPACIO"), QStringLiteral("Espacio Ubicacion"), QString(), 22),
                     gridColumn(QStringLiteral("NUMERO"), QStringLiteral("Numero"))};
    s.searchable = false;
    s.rangeFrom = QString();
    s.rangeTo = QString();
    s.list = TFrmMesas::listDescription();
    s.ensureTable = [](Connection& c) { ensureMesas(c); };
    return s;
}
}  // namespace

TFrmMesas::TFrmMesas(Connection& db, QWidget* parent) : CatalogScreen(db, screenDescription(), parent) {}

}  // namespace kv
