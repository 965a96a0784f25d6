#include "catalog/UntParametros.h"

#include "catalog/CatalogScreen.h"
#include "platform/DialogParts.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

TFrmParametros::TFrmParametros(Connection& db, QWidget* parent)
    : QDialog(parent),
      db_(db),
      esquema_(std::make_unique<Dataset>(db)),
      bodegas_(std::make_unique<Dataset>(db)),
      documentos_(std::make_unique<Dataset>(db)),
      empresas_(std::make_unique<Dataset>(db))
{
    setObjectName(QStringLiteral("FrmParametros"));
    setWindowTitle(QStringLiteral("Parametros POS"));
    setAccessibleName(QStringLiteral("Parametros POS"));
    esquema_->setObjectName(QStringLiteral("TEsquema"));
    esquema_->setTableName(QStringLiteral("POSESQUEMA"));
    esquema_->AfterInsert = [this](Dataset& ds) { TEsquemaAfterInsert(ds); };
    bodegas_->setObjectName(QStringLiteral("TBodegas"));
    bodegas_->setTableName(QStringLiteral("BODEGAS"));
    documentos_->setObjectName(QStringLiteral("TDocumentos"));
    documentos_->setTableName(QStringLiteral("DOCUMENTOS"));
    empresas_->setObjectName(QStringLiteral("TEmpresas"));
    empresas_->setTableName(QStringLiteral("EMPRESAS"));

    auto* main = new QVBoxLayout(this);
    DBNavigator1 = new DbNavigator(*esquema_, this);
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
        {&DBLookupComboBox1, "DBLookupComboBox1", "Sucursal : ", "SUCURSAL", bodegas_.get(), "BODEGA"},
        {&DBLookupComboBox2, "DBLookupComboBox2", "Documento : ", "DOCUMENTO", documentos_.get(), "DOCUMENTO"},
        {&DBLookupComboBox3, "DBLookupComboBox3", "Empresa : ", "EMPRESA", empresas_.get(), "EMPRESA"},
    };
    for (const Lookup& l : lookups) {
        auto* box = new DbLookupComboBox(*esquema_, QString::fromLatin1(l.field), *l.list, QString::fromLatin1(l.key),
                                         QStringLiteral("NOMBRE"), this);
        box->setObjectName(QString::fromLatin1(l.name));
        box->setMinimumWidth(280);
        form->addRow(captionFor(QString::fromLatin1(l.caption), box, this), box);
        *l.box = box;
    }
    main->addLayout(form);

    DBGrid1 = new DbGrid(*esquema_, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Parametros POS"));
    DBGrid1->setColumns({gridColumn(QStringLiteral("LLAVE"), QStringLiteral("Indice")),
                         gridColumn(QStringLiteral("SUCURSAL"), QStringLiteral("Sucursal")),
                         gridColumn(QStringLiteral("DOCUMENTO"), QStringLiteral("Documento")),
                         gridColumn(QStringLiteral("EMPRESA"), QStringLiteral("Empresa"))});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    addGridEditingKeys(DBGrid1);
    main->addWidget(DBGrid1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->addWidget(new QLabel(QStringLiteral("Parametros"), StatusBar1));
    main->addWidget(StatusBar1);

    connect(DBNavigator1, &DbNavigator::acted, this, [this] { DBLookupComboBox1->setFocus(); });
    resize(640, 460);
    guarded([this] { FormCreate(); });
}

TFrmParametros::~TFrmParametros() { deleteChildWidgets(this); }

void TFrmParametros::FormCreate()
{
    documentos_->Open();
    bodegas_->Open();
    esquema_->Open();
    empresas_->Open();
}

void TFrmParametros::TEsquemaAfterInsert(Dataset& ds) { ds.FieldByName(QStringLiteral("LLAVE")).setInteger(1); }

void TFrmParametros::done(int r)
{
    if (!postPendingRow(*esquema_))
        return;
    documentos_->Close();
    bodegas_->Close();
    esquema_->Close();
    empresas_->Close();
    QDialog::done(r);
}

}  // namespace kv
