#include "catalog/UntParametros.h"

#include "platform/DialogParts.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

TFrmParametros::TFrmParametros(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmParametros"), QStringLiteral("Parametros POS"), parent),
      documentos_(addTable(QStringLiteral("TDocumentos"), QStringLiteral("DOCUMENTOS"), Rows::ReadOnly)),
      bodegas_(addTable(QStringLiteral("TBodegas"), QStringLiteral("BODEGAS"), Rows::ReadOnly)),
      esquema_(addTable(QStringLiteral("TEsquema"), QStringLiteral("POSESQUEMA"))),
      empresas_(addTable(QStringLiteral("TEmpresas"), QStringLiteral("EMPRESAS"), Rows::ReadOnly))
{
    esquema_.AfterInsert = [this](Dataset& ds) { TEsquemaAfterInsert(ds); };

    auto* main = new QVBoxLayout(this);
    DBNavigator1 = navigator(esquema_);
    main->addWidget(DBNavigator1, 0, Qt::AlignLeft);
    Label1 = makeTitleLabel(QStringLiteral("PARAMETROS   POS"), this);
    main->addWidget(Label1);

    auto* form = new QFormLayout;
    struct Lookup {
        DbLookupComboBox** box;
        const char* name;
        const char* caption;
        const char* field;
        Dataset* list;
        const char* key;
    };
    const Lookup lookups[] = {
        {&DBLookupComboBox1, "DBLookupComboBox1", "Sucursal : ", "SUCURSAL", &bodegas_, "BODEGA"},
        {&DBLookupComboBox2, "DBLookupComboBox2", "Documento : ", "DOCUMENTO", &documentos_, "DOCUMENTO"},
        {&DBLookupComboBox3, "DBLookupComboBox3", "Empresa : ", "EMPRESA", &empresas_, "EMPRESA"},
    };
    for (const Lookup& l : lookups) {
        auto* box = new DbLookupComboBox(esquema_, QString::fromLatin1(l.field), *l.list, QString::fromLatin1(l.key),
                                         QStringLiteral("NOMBRE"), this);
        box->setObjectName(QString::fromLatin1(l.name));
        box->setMinimumWidth(280);
        form->addRow(captionFor(QString::fromLatin1(l.caption), box, this), box);
        *l.box = box;
    }
    main->addLayout(form);

    DBGrid1 = grid(esquema_, QStringLiteral("DBGrid1"), QStringLiteral("Parametros POS"),
                   {gridColumn(QStringLiteral("LLAVE"), QStringLiteral("Indice")),
                    gridColumn(QStringLiteral("SUCURSAL"), QStringLiteral("Sucursal")),
                    gridColumn(QStringLiteral("DOCUMENTO"), QStringLiteral("Documento")),
                    gridColumn(QStringLiteral("EMPRESA"), QStringLiteral("Empresa"))});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    addGridEditingKeys(DBGrid1);
    main->addWidget(DBGrid1, 1);

    StatusBar1 = statusBar();
    StatusBar1->addWidget(new QLabel(QStringLiteral("Parametros"), StatusBar1));
    main->addWidget(StatusBar1);

    connect(DBNavigator1, &DbNavigator::acted, this, [this] { DBLookupComboBox1->setFocus(); });
    resize(640, 460);
    guarded([this] { FormCreate(); });
}

void TFrmParametros::TEsquemaAfterInsert(Dataset& ds) { ds.FieldByName(QStringLiteral("LLAVE")).setInteger(1); }

}  // namespace kv
