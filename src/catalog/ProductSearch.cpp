#include "catalog/ProductSearch.h"

#include "catalog/StockBalance.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/DbGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

ProductSearch::ProductSearch(Connection& db, QWidget* parent) : QDialog(parent), TbProductos(db), db_(db)
{
    resize(980, 560);
    TbProductos.setObjectName(QStringLiteral("TbProductos"));
    TbProductos.setTableName(QStringLiteral("PRODUCTOS"));
    TbProductos.setPageSize(60);

    Label1 = new QLabel(QStringLiteral("Buscar Producto :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    EditNit = new QLineEdit(this);
    EditNit->setObjectName(QStringLiteral("EditNit"));
    EditNit->setAccessibleName(QStringLiteral("Buscar Producto :"));
    Label1->setBuddy(EditNit);
    EditNit->installEventFilter(this);
    Label2 = new QLabel(QStringLiteral("Saldo"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    LblSaldo = new QLabel(this);
    LblSaldo->setObjectName(QStringLiteral("LblSaldo"));
    LblSaldo->setMinimumWidth(110);
    LblSaldo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblSaldo->setFrameShape(QFrame::StyledPanel);

    DBGrid1 = new DbGrid(TbProductos, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Productos"));
    DBGrid1->datasetModel()->setReadOnly(true);
    DBGrid1->installEventFilter(this);

    makeOkCancel(this, BitBtn1, BitBtn2);

    top_ = new QHBoxLayout;
    top_->addWidget(Label1);
    top_->addWidget(EditNit, 1);
    top_->addWidget(Label2);
    top_->addWidget(LblSaldo);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top_);
    lay->addWidget(DBGrid1, 1);
    lay->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(&TbProductos, &Dataset::currentChanged, this, &ProductSearch::showSaldo);
    connect(&TbProductos, &Dataset::reset, this, &ProductSearch::showSaldo);
}

ProductSearch::~ProductSearch() { deleteChildWidgets(this); }

int ProductSearch::currentProducto() const
{
    auto& t = const_cast<Dataset&>(TbProductos);
    if (!t.active() || t.IsEmpty() || t.currentIndex() < 0)
        return 0;
    return t.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
}

QString ProductSearch::currentCodigoBarras() const
{
    auto& t = const_cast<Dataset&>(TbProductos);
    if (!t.active() || t.IsEmpty() || t.currentIndex() < 0)
        return QString();
    return t.FieldByName(QStringLiteral("CODIGOBARRAS")).asString();
}

void ProductSearch::showSaldo()
{
    // Only the product under the cursor: one keyed read per move, never one per grid row.
    saldo_ = 0;
    if (TbProductos.active() && !TbProductos.IsEmpty() && TbProductos.currentIndex() >= 0) {
        try {
            saldo_ = StockBalance(db_, currentProducto());
        } catch (const Failure&) {
            saldo_ = 0;  // a balance that cannot be read shows as none
        }
    }
    LblSaldo->setText(FormatFloat(QStringLiteral("###,###.00"), saldo_));
    LblSaldo->setAccessibleName(QStringLiteral("Saldo ") + LblSaldo->text());
}

bool ProductSearch::eventFilter(QObject* o, QEvent* e)
{
    if (searchBoxKey(o, e, EditNit, DBGrid1, TbProductos, [this] { accept(); }))
        return true;
    return QDialog::eventFilter(o, e);
}

void ProductSearch::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    EditNit->setFocus();
}

}  // namespace kv
