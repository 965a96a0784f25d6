#include "catalog/UntCajas.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QVBoxLayout>

namespace kv {

CatalogList TFrmCajas::listDescription()
{
    return {QStringLiteral("CAJAS"), QStringLiteral("POSCAJAS"), QStringLiteral("CAJA"), QStringLiteral("NOMBRE"),
            {{QStringLiteral("Caja"), QStringLiteral("CAJA"), 0, 25, QString(), true},
             {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 32, 150}}};
}

namespace {
CatalogScreenDescription screenDescription()
{
    CatalogScreenDescription s;
    s.objectName = QStringLiteral("FrmCajas");
    s.caption = QStringLiteral("Cajas");
    s.titleLabel = QStringLiteral("C A J A S");
    s.table = QStringLiteral("POSCAJAS");
    s.datasetName = QStringLiteral("TCajas");
    s.keyField = QStringLiteral("CAJA");
    s.keyCaption = QStringLiteral("Caja  :");
    s.secondField = QStringLiteral("NOMBRE");
    s.secondCaption = QStringLiteral("Nombre :");
    s.gridColumns = {gridColumn(QStringLiteral("CAJA")), gridColumn(QStringLiteral("NOMBRE"))};
    s.list = TFrmCajas::listDescription();
    return s;
}
}  // namespace

TFrmCajas::TFrmCajas(Connection& db, QWidget* parent)
    : CatalogScreen(db, screenDescription(), parent),
      esquema_(addTable(QStringLiteral("TEsquema"), QStringLiteral("POSESQUEMA"), Rows::ReadOnly))
{
    DBEdit3 = edit(table(), QStringLiteral("DBEdit3"), QStringLiteral("EMPRESA"));
    addRow(QStringLiteral("Indice Parametros :"), DBEdit3);
    // How often the collection register of this register reads its list of open documents again;
    // empty or 0 keeps the usual ten seconds.
    DBEdit4 = edit(table(), QStringLiteral("DBEdit4"), QStringLiteral("REFRESCO"));
    addRow(QStringLiteral("Refresco (segundos) :"), DBEdit4);

    DBGrid2 = grid(esquema_, QStringLiteral("DBGrid2"), QStringLiteral("Parametros POS"),
                   {gridColumn(QStringLiteral("LLAVE"), QStringLiteral("Indice")),
                    gridColumn(QStringLiteral("SUCURSAL"), QStringLiteral("Sucursal")),
                    gridColumn(QStringLiteral("DOCUMENTO"), QStringLiteral("Documento")),
                    gridColumn(QStringLiteral("EMPRESA"), QStringLiteral("Empresa"))});
    DBGrid2->datasetModel()->setReadOnly(true);  // shown for reference only
    DBGrid2->setMaximumHeight(130);
    DBGrid2->setTabKeyNavigation(false);
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    extras()->addWidget(DBGrid2);
    openTables();
}

}  // namespace kv
