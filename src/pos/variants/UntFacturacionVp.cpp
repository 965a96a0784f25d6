#include "pos/variants/UntFacturacionVp.h"

#include "catalog/StockBalance.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QVBoxLayout>

#include <climits>

namespace kv {

namespace {
// The groups of the menu's dishes and drinks, shown until the waiter searches by name.
const QString kMenuGroups = QStringLiteral("(GRUPO = '02' OR GRUPO = '12')");
}  // namespace

TFrmFacturacionVp::TFrmFacturacionVp(Connection& db, const QString& factura, const QString& mesa, QWidget* parent)
    : QDialog(parent), TbProductos(db, this), db_(db)
{
    setObjectName(QStringLiteral("FrmFacturacionVp"));
    setWindowTitle(QStringLiteral("Factura %1 - %2").arg(factura, mesa));
    setAccessibleName(windowTitle());
    TbProductos.setTableName(QStringLiteral("PRODUCTOS"));

    auto* main = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    ComboGrupo = new QComboBox(this);
    ComboGrupo->setObjectName(QStringLiteral("ComboGrupo"));
    top->addWidget(captionFor(QStringLiteral("&Grupo"), ComboGrupo, this), 0, 0);
    top->addWidget(ComboGrupo, 0, 1);
    EditBuscar = new QLineEdit(this);
    EditBuscar->setObjectName(QStringLiteral("EditBuscar"));
    top->addWidget(captionFor(QStringLiteral("&Buscar Producto :"), EditBuscar, this), 1, 0);
    top->addWidget(EditBuscar, 1, 1);
    main->addLayout(top);

    DBGrid1 = new DbGrid(TbProductos, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Productos"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setColumns({gridColumn(QStringLiteral("PRODUCTO")), gridColumn(QStringLiteral("NOMBRE")),
                         gridColumn(QStringLiteral("UNIDAD")),
                         gridColumn(QStringLiteral("VALORUNIDAD"), QString(), QStringLiteral("###,###.00.")),
                         gridColumn(QStringLiteral("VALORIVA"), QString(), QStringLiteral("###,###.")),
                         gridColumn(QStringLiteral("IPOCONSUMO"))});
    main->addWidget(DBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    LabelSaldo = new QLabel(this);
    LabelSaldo->setObjectName(QStringLiteral("LabelSaldo"));
    bottom->addWidget(captionFor(QStringLiteral("Saldo"), LabelSaldo, this));
    bottom->addWidget(LabelSaldo);
    SpinCantidad = new QSpinBox(this);
    SpinCantidad->setObjectName(QStringLiteral("SpinCantidad"));
    SpinCantidad->setRange(INT_MIN, INT_MAX);
    SpinCantidad->setValue(0);
    bottom->addWidget(captionFor(QStringLiteral("&Cantidad"), SpinCantidad, this));
    bottom->addWidget(SpinCantidad);
    EditObservacion = new QLineEdit(this);
    EditObservacion->setObjectName(QStringLiteral("EditObservacion"));
    bottom->addWidget(captionFor(QStringLiteral("&Observacion"), EditObservacion, this));
    bottom->addWidget(EditObservacion, 1);
    main->addLayout(bottom);
    auto* buttons = new QHBoxLayout;
    makeOkCancel(this, BitBtn1, BitBtn2);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    main->addLayout(buttons);

    // The subgroups are a short list, read once; the first by number is the one shown at first.
    QSqlQuery q = db_.exec(QStringLiteral("SELECT SUBGRUPO, NOMBRE FROM SUBGRUPOS ORDER BY NOMBRE"));
    int first = -1;
    int firstCode = INT_MAX;
    while (db_.next(q)) {
        const int code = q.value(0).toInt();
        ComboGrupo->addItem(q.value(1).toString().trimmed(), code);
        if (code < firstCode) {
            firstCode = code;
            first = ComboGrupo->count() - 1;
        }
    }
    ComboGrupo->setCurrentIndex(first);
    TbProductos.setFilter(QStringLiteral("SUBGRUPO = :SUBGRUPO AND ") + kMenuGroups,
                          {{QStringLiteral("SUBGRUPO"), first >= 0 ? ComboGrupo->itemData(first) : QVariant()}});
    TbProductos.Open();

    connect(ComboGrupo, &QComboBox::activated, this, [this] { guarded([this] { ComboGrupoChange(); }); });
    connect(EditBuscar, &QLineEdit::textEdited, this, [this] { guarded([this] { EditBuscarChange(); }); });
    connect(&TbProductos, &Dataset::currentChanged, this, [this] { guarded([this] { showSaldo(); }); });
    connect(&TbProductos, &Dataset::reset, this, [this] { guarded([this] { showSaldo(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    EditBuscar->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    showSaldo();
    EditBuscar->setFocus();
    resize(760, 520);
}

TFrmFacturacionVp::~TFrmFacturacionVp()
{
    disconnect(&TbProductos, nullptr, this, nullptr);
    deleteChildWidgets(this);
}

std::optional<TFrmFacturacionVp::Choice> TFrmFacturacionVp::Elegir(Connection& db, const QString& factura,
                                                                   const QString& mesa, QWidget* parent)
{
    TFrmFacturacionVp dlg(db, factura, mesa, parent);
    dlg.exec();
    return dlg.choice();
}

void TFrmFacturacionVp::ComboGrupoChange()
{
    TbProductos.setFilter(QStringLiteral("SUBGRUPO = :SUBGRUPO AND ") + kMenuGroups,
                          {{QStringLiteral("SUBGRUPO"), ComboGrupo->currentData()}});
    EditBuscar->clear();
}

void TFrmFacturacionVp::EditBuscarChange()
{
    // Names beginning with the text, in upper case as the catalogue keeps them, across the groups.
    const QString text = EditBuscar->text().toUpper();
    if (text != EditBuscar->text())
        EditBuscar->setText(text);
    TbProductos.setFilter(QStringLiteral("NOMBRE STARTING WITH :NOMBRE"), {{QStringLiteral("NOMBRE"), text}});
}

void TFrmFacturacionVp::showSaldo()
{
    if (!TbProductos.active() || TbProductos.IsEmpty()) {
        LabelSaldo->clear();
        return;
    }
    LabelSaldo->setText(FormatFloat(QStringLiteral("###,###.00"),
                                    StockBalance(db_, TbProductos.FieldByName(QStringLiteral("PRODUCTO")).asInteger())));
}

void TFrmFacturacionVp::BitBtn1Click()
{
    if (!TbProductos.active() || TbProductos.IsEmpty()) {
        ShowMessage(QStringLiteral("Escoja un producto de la lista"));
        EditBuscar->setFocus();
        return;
    }
    // A batch of nothing would send the kitchen an empty order and leave a line of 0 on the bill.
    if (SpinCantidad->value() == 0) {
        ShowMessage(QStringLiteral("Digite la cantidad"));
        SpinCantidad->setFocus();
        SpinCantidad->selectAll();
        return;
    }
    choice_ = Choice{TbProductos.FieldByName(QStringLiteral("PRODUCTO")).asInteger(), SpinCantidad->value(),
                     EditObservacion->text()};
    accept();
}

bool TFrmFacturacionVp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditBuscar || watched == DBGrid1) {
        if (searchBoxKey(watched, event, EditBuscar, DBGrid1, TbProductos, [this] { guarded([this] { BitBtn1Click(); }); }))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kv
