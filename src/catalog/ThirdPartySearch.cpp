#include "catalog/ThirdPartySearch.h"

#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/DbGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {
const char* const kOrderFields[] = {"NIT", "NOMBRE", "TELEFONO", "CIUDAD"};
}

ThirdPartySearch::ThirdPartySearch(Connection& db, double& nitOut, double& padreOut, QWidget* parent)
    : QDialog(parent), TbProveedores(db), nitOut_(nitOut), padreOut_(padreOut)
{
    resize(860, 520);
    TbProveedores.setObjectName(QStringLiteral("TbProveedores"));
    TbProveedores.setTableName(QStringLiteral("PROVEEDORES"));
    TbProveedores.setPageSize(60);
    TbProveedores.Open();  // key order, by NIT

    Label1 = new QLabel(QStringLiteral("Buscar nit: "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    EditNit = new QLineEdit(this);
    EditNit->setObjectName(QStringLiteral("EditNit"));
    EditNit->setAccessibleName(QStringLiteral("Buscar nit:"));
    Label1->setBuddy(EditNit);
    EditNit->installEventFilter(this);

    RadioGroup1 = new RadioGroup(QStringLiteral("Selección"),
                                 {QStringLiteral("Por Nit"), QStringLiteral("Por Nombre Razon Social"),
                                  QStringLiteral("Por Telefono"), QStringLiteral("Por Ciudad")},
                                 2, this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setItemIndex(PorNit);

    DBGrid1 = new DbGrid(TbProveedores, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Terceros"));
    DBGrid1->datasetModel()->setReadOnly(true);
    DBGrid1->setColumns({{QStringLiteral("NIT"), QStringLiteral("Nit"), QStringLiteral("###,###."), true, 14},
                         {QStringLiteral("DV"), QStringLiteral("Dv"), QString(), true, 3},
                         {QStringLiteral("NOMBRE"), QStringLiteral("Nombre"), QString(), true, 40},
                         {QStringLiteral("DIRECCION"), QStringLiteral("Direccion"), QString(), true, 26},
                         {QStringLiteral("TELEFONO"), QStringLiteral("Telefono"), QString(), true, 14},
                         {QStringLiteral("FAX"), QStringLiteral("Fax"), QString(), true, 10},
                         {QStringLiteral("CIUDAD"), QStringLiteral("Ciudad"), QString(), true, 14}});
    DBGrid1->installEventFilter(this);

    makeOkCancel(this, BitBtn1, BitBtn2);

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(EditNit, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(search, 1);
    top->addWidget(RadioGroup1);
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch();
    buttonRow_->addWidget(BitBtn1);
    buttonRow_->addWidget(BitBtn2);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(DBGrid1, 1);
    lay->addLayout(buttonRow_);

    connect(EditNit, &QLineEdit::textChanged, this, &ThirdPartySearch::EditNitChange);
    connect(RadioGroup1, &RadioGroup::itemChosen, this, &ThirdPartySearch::RadioGroup1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &ThirdPartySearch::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &ThirdPartySearch::BitBtn1Click);
}

ThirdPartySearch::~ThirdPartySearch() { deleteChildWidgets(this); }

void ThirdPartySearch::EditNitChange()
{
    // The nearest row: the first whose ordering column equals the text or sorts after it. In NIT
    // order the text must be a number; otherwise the conversion's message is shown and the box
    // keeps what was typed.
    const QString text = EditNit->text();
    guarded([this, &text] {
        if (text.isEmpty())
            TbProveedores.First();
        else
            TbProveedores.FindNearest({text});
    });
}

void ThirdPartySearch::RadioGroup1Click()
{
    const int i = RadioGroup1->itemIndex();
    if (i < 0 || i > PorCiudad)
        return;
    guarded([this, i] { TbProveedores.setIndexFieldNames(QString::fromLatin1(kOrderFields[i])); });
}

bool ThirdPartySearch::choose()
{
    if (!TbProveedores.active() || TbProveedores.IsEmpty() || TbProveedores.currentIndex() < 0)
        return false;
    nitOut_ = TbProveedores.FieldByName(QStringLiteral("NIT")).asFloat();
    padreOut_ = TbProveedores.FieldByName(QStringLiteral("PADRE")).asFloat();
    return true;
}

void ThirdPartySearch::BitBtn1Click()
{
    choose();
    accept();
}

bool ThirdPartySearch::eventFilter(QObject* o, QEvent* e)
{
    if (searchBoxKey(o, e, EditNit, DBGrid1, TbProveedores, [this] { BitBtn1Click(); }))
        return true;
    return QDialog::eventFilter(o, e);
}

void ThirdPartySearch::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    EditNit->setFocus();
}

}  // namespace kv
