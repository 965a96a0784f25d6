#include "catalog/UntProductos.h"

#include "catalog/UntProductosExcel.h"
#include "platform/DialogParts.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace kv {

namespace {

// Accounts every new product starts with; the accountant changes them in Tavro when needed.
struct Default {
    const char* field;
    const char* value;
};
const Default kNewProduct[] = {
    {"UNIDAD", "UN"},
    {"UNIDADS", "UN"},
    {"CUENTACONTABLE", "14552503"},
    {"CUENTACONTABLECOSTO", "710103"},
    {"CUENTACONTABLEC", "1435010120"},
    {"CUENTACONTABLEV", "41354825"},
    {"CUENTACONTABLEV1", "41354825"},
    {"CUENTACONTABLEIVAV", "2408050516"},
    {"CUENTACONTABLEIVAC", "2408101016"},
};

const QString kMoney = QStringLiteral("###,###.00.");

// The unit cell of the prices grid: a pick list of the units, stored by code.
class UnitDelegate : public QStyledItemDelegate {
public:
    UnitDelegate(Dataset& units, QObject* parent) : QStyledItemDelegate(parent), units_(units) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        box->setAccessibleName(QStringLiteral("Unidad"));
        if (units_.active()) {
            while (units_.fetchMoreForward()) {
            }
            Field& code = units_.FieldByName(QStringLiteral("UNIDAD"));
            Field& name = units_.FieldByName(QStringLiteral("NOMBRE"));
            for (int i = 0; i < units_.bufferCount(); ++i) {
                const QString c = units_.displayTextAt(i, code.index());
                box->addItem(c + QStringLiteral("  ") + units_.displayTextAt(i, name.index()), c);
            }
        }
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = static_cast<QComboBox*>(editor);
        const int i = box->findData(index.data(Qt::EditRole).toString().trimmed());
        box->setCurrentIndex(i < 0 ? 0 : i);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
    }

private:
    Dataset& units_;
};

QWidget* tabPage(QTabWidget* tabs, const QString& name, const QString& caption)
{
    auto* page = new QWidget(tabs);
    page->setObjectName(name);
    page->setAccessibleName(caption);
    tabs->addTab(page, caption);
    return page;
}

}  // namespace

TFrmProductos::TFrmProductos(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmProductos"), QStringLiteral("Productos"), parent),
      grupos_(addTable(QStringLiteral("TbGrupos"), QStringLiteral("GRUPOS"), Rows::ReadOnly)),
      subgrupos_(addTable(QStringLiteral("TbSubGrupos"), QStringLiteral("SUBGRUPOS"), Rows::ReadOnly)),
      unidades_(addTable(QStringLiteral("TbUnidades"), QStringLiteral("UNIDADES"), Rows::ReadOnly)),
      productos_(addTable(QStringLiteral("TbProductos"), QStringLiteral("PRODUCTOS"))),
      chk_(addTable(QStringLiteral("ChkProductos"), QStringLiteral("PRODUCTOS"), Rows::ReadOnly)),
      precios_(addTable(QStringLiteral("TbPrecios"), QStringLiteral("PRODUCTOSVALORVENTA")))
{
    productos_.setIndexFieldNames(QStringLiteral("PRODUCTO"));
    productos_.setPageSize(40);  // a few screenfuls of the grid per read: 100,000 products are never read whole
    for (const char* f : {"VALORUNIDAD", "VALORPROMEDIO", "VALORIVA", "PRECIOCOMPRA"})
        productos_.FieldByName(QString::fromLatin1(f)).displayFormat = kMoney;
    // The refusals name the box the user sees. The code has no box: it is taken from the product
    // number when the row is posted, so an empty code means an empty "Producto".
    for (const char* f : {"PRODUCTO", "CODIGO"})
        productos_.FieldByName(QString::fromLatin1(f)).displayLabel = QStringLiteral("Producto");
    productos_.BeforeInsert = [this](Dataset& ds) { TbProductosBeforeInsert(ds); };
    productos_.BeforeEdit = [this](Dataset& ds) { TbProductosBeforeEdit(ds); };
    productos_.AfterEdit = [this](Dataset& ds) { TbProductosAfterEdit(ds); };
    productos_.BeforeCancel = [this](Dataset& ds) { TbProductosBeforeCancel(ds); };
    productos_.AfterInsert = [this](Dataset& ds) { TbProductosAfterInsert(ds); };
    productos_.BeforePost = [this](Dataset& ds) { TbProductosBeforePost(ds); };

    chk_.setIndexFieldNames(QStringLiteral("PRODUCTO"));
    chk_.setPageSize(1);  // only ever asked whether one number exists
    precios_.setMasterSource(&productos_, QStringLiteral("PRODUCTO"));
    for (const char* f : {"VALORVENTAMOSTRADOR", "VALORVENTAEMPRESA"})
        precios_.FieldByName(QString::fromLatin1(f)).displayFormat = kMoney;

    auto* main = new QVBoxLayout(this);

    // ---- top bar
    auto* top = new QHBoxLayout;
    DBNavigator1 = navigator(productos_);
    top->addWidget(DBNavigator1, 0, Qt::AlignVCenter);
    Edit1 = recordSearchBox(GroupBox1, QStringLiteral("Registro       #   ABC"), QStringLiteral("#"), &productos_, this);
    Edit1->installEventFilter(this);  // digits only
    auto* g1 = static_cast<QHBoxLayout*>(GroupBox1->layout());
    // Pasted text is held to digits too, as typed keys are.
    Edit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit1));
    Edit2 = named(new QLineEdit(GroupBox1), QStringLiteral("Edit2"), QStringLiteral("ABC"));
    Edit2->setPlaceholderText(QStringLiteral("ABC"));
    searchArrows(Edit2, productos_);
    g1->setStretchFactor(Edit1, 1);
    g1->addWidget(Edit2, 3);
    top->addWidget(GroupBox1, 1);
    GroupBox3 = new QGroupBox(QStringLiteral("Imprimir"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    auto* g3 = new QHBoxLayout(GroupBox3);
    SpeedButton1 = button(QStringLiteral("SpeedButton1"), QStringLiteral("E&xcel"), GroupBox3);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFrmProductos::SpeedButton1Click);
    g3->addWidget(SpeedButton1);
    top->addWidget(GroupBox3);
    main->addLayout(top);

    Label1 = makeTitleLabel(QStringLiteral("Precios Para EL POS"), this, 1.4);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    main->addWidget(Label1);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = tabPage(PageControl1, QStringLiteral("TabSheet1"), QStringLiteral("Datos Generales"));
    TabSheet2 = tabPage(PageControl1, QStringLiteral("TabSheet2"), QStringLiteral("Precios"));
    buildGeneralTab();
    buildPricesTab();
    PageControl1->setCurrentWidget(TabSheet2);
    main->addWidget(PageControl1);

    DBGrid1 = grid(productos_, QStringLiteral("DBGrid1"), QStringLiteral("Productos"),
                   {gridColumn(QStringLiteral("PRODUCTO"), QStringLiteral("Producto")),
                    gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("Nombre")),
                    gridColumn(QStringLiteral("UNIDAD"), QStringLiteral("Unidad")),
                    gridColumn(QStringLiteral("VALORUNIDAD"), QStringLiteral("Valor Unidad")),
                    gridColumn(QStringLiteral("CANTIDADSTOK"), QStringLiteral("Stok Minimo")),
                    gridColumn(QStringLiteral("CANTIDADMINIMA"), QStringLiteral("Stok Minimo")),
                    gridColumn(QStringLiteral("CANTIDADMAXIMA"), QStringLiteral("Stok Maximo")),
                    gridColumn(QStringLiteral("PUNTOPEDIDO"), QStringLiteral("Punto De Pedido"))});
    DBGrid1->setColumnWidth(1, 300);
    addGridEditingKeys(DBGrid1);
    main->addWidget(DBGrid1, 1);

    StatusBar1 = statusBar();
    main->addWidget(StatusBar1);

    connect(Edit1, &QLineEdit::textChanged, this, &TFrmProductos::Edit1Change);
    connect(Edit2, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const QString upper = typed.toUpper();
        if (upper != typed) {
            const int pos = Edit2->cursorPosition();
            Edit2->setText(upper);
            Edit2->setCursorPosition(pos);
        }
    });
    connect(Edit2, &QLineEdit::textChanged, this, &TFrmProductos::Edit2Change);
    connect(DBEdit3, &QLineEdit::textChanged, this, [this] { DBEdit3Change(); });
    connect(DBNavigator1, &DbNavigator::acted, this, [this] { DBNavigator1Click(); });

    // The name and the reference cannot be typed into until the row is inserted, edited or
    // cancelled once, so a stray key never puts a product into edit mode.
    DBEdit1->setEnabled(false);
    DBEdit2->setEnabled(false);

    // Enter takes the user through a new product's boxes in the order they are filled in.
    const std::pair<QWidget*, QWidget*> enterOrder[] = {
        {DBEdit8, DBEdit9},           {DBEdit9, DBEdit3},  {DBEdit3, DBLookupComboBox3},
        {DBLookupComboBox3, DBEdit1}, {DBLookupComboBox4, DBEdit1}, {DBEdit1, DBEdit2},
        {DBEdit15, DBEdit2},          {DBEdit2, DBEdit7},
    };
    for (auto [from, to] : enterOrder)
        keys()->enterMovesTo(from, to);
    DBEdit3->installEventFilter(this);  // the number check when the box is left

    resize(900, 760);
    guarded([this] { FormCreate(); });
}

void TFrmProductos::buildGeneralTab()
{
    auto* boxes = new QGridLayout(TabSheet1);
    auto edit = [this](const char* name, const char* field) {
        return DataScreen::edit(productos_, QString::fromLatin1(name), QString::fromLatin1(field), TabSheet1);
    };
    auto lookup = [this](const char* name, const char* field, Dataset& list, const char* key) {
        auto* c = new DbLookupComboBox(productos_, QString::fromLatin1(field), list, QString::fromLatin1(key),
                                       QStringLiteral("NOMBRE"), TabSheet1);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    DBEdit8 = edit("DBEdit8", "GRUPO");
    DBLookupComboBox1 = lookup("DBLookupComboBox1", "GRUPO", grupos_, "GRUPO");
    DBEdit9 = edit("DBEdit9", "SUBGRUPO");
    DBLookupComboBox2 = lookup("DBLookupComboBox2", "SUBGRUPO", subgrupos_, "SUBGRUPO");
    DBEdit3 = edit("DBEdit3", "PRODUCTO");
    DBEdit1 = edit("DBEdit1", "NOMBRE");
    DBEdit1->setCharCase(CharCase::Upper);
    DBLookupComboBox3 = lookup("DBLookupComboBox3", "UNIDAD", unidades_, "UNIDAD");
    DBLookupComboBox4 = lookup("DBLookupComboBox4", "UNIDADS", unidades_, "UNIDAD");
    DBEdit2 = edit("DBEdit2", "REFERENCIA");
    DBEdit15 = edit("DBEdit15", "CODIGOBARRAS");

    DBEdit8->setMaximumWidth(60);
    DBEdit9->setMaximumWidth(90);
    DBEdit3->setMaximumWidth(120);
    DBLookupComboBox2->setAccessibleName(QStringLiteral("Nombre SubGrupo"));
    int row = 0;
    boxes->addWidget(captionFor(QStringLiteral("Código Grupo :"), DBEdit8, TabSheet1), row, 0);
    boxes->addWidget(DBEdit8, row, 1);
    boxes->addWidget(DBLookupComboBox1, row++, 2);
    boxes->addWidget(captionFor(QStringLiteral("Código SubGrupo:"), DBEdit9, TabSheet1), row, 0);
    boxes->addWidget(DBEdit9, row, 1);
    boxes->addWidget(DBLookupComboBox2, row++, 2);
    DBLookupComboBox1->setAccessibleName(QStringLiteral("Nombre Grupo"));
    boxes->addWidget(captionFor(QStringLiteral("Producto"), DBEdit3, TabSheet1), row, 0);
    boxes->addWidget(DBEdit3, row++, 1);
    boxes->addWidget(captionFor(QStringLiteral("Nombre :"), DBEdit1, TabSheet1), row, 0);
    boxes->addWidget(DBEdit1, row++, 1, 1, 2);
    boxes->addWidget(captionFor(QStringLiteral("Unidad Entrada:"), DBLookupComboBox3, TabSheet1), row, 0);
    boxes->addWidget(DBLookupComboBox3, row++, 1, 1, 2);
    boxes->addWidget(captionFor(QStringLiteral("Unidad Salida:"), DBLookupComboBox4, TabSheet1), row, 0);
    boxes->addWidget(DBLookupComboBox4, row++, 1, 1, 2);
    boxes->addWidget(captionFor(QStringLiteral("Referencia:"), DBEdit2, TabSheet1), row, 0);
    boxes->addWidget(DBEdit2, row++, 1, 1, 2);
    boxes->addWidget(captionFor(QStringLiteral("Codigo Barras"), DBEdit15, TabSheet1), row, 0);
    boxes->addWidget(DBEdit15, row++, 1, 1, 2);
    boxes->setColumnStretch(2, 1);
    boxes->setRowStretch(row, 1);
}

void TFrmProductos::buildPricesTab()
{
    auto* lay = new QHBoxLayout(TabSheet2);
    auto* boxes = new QGridLayout;
    auto edit = [this](const char* name, const char* field) {
        auto* e = DataScreen::edit(productos_, QString::fromLatin1(name), QString::fromLatin1(field), TabSheet2);
        e->setMaximumWidth(140);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    DBEdit7 = edit("DBEdit7", "PRECIOCOMPRA");
    DBEdit10 = edit("DBEdit10", "VALORIVA");
    DBEdit12 = edit("DBEdit12", "CANTIDADEMPACADA");
    DBCheckBox1 = new DbCheckBox(productos_, QStringLiteral("PRECIOMASIVA"), QStringLiteral("Precio Incluido Iva  ?"),
                                 QStringLiteral("S"), QStringLiteral("N"), TabSheet2);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBEdit4 = edit("DBEdit4", "VALORUNIDAD");
    DBEdit5 = edit("DBEdit5", "IPOCONSUMO");
    int row = 0;
    for (auto [caption, box] : {std::pair{QStringLiteral("Precio Compra :"), DBEdit7},
                                std::pair{QStringLiteral("% Porcentaje Iva :"), DBEdit10},
                                std::pair{QStringLiteral("Cantidad Empacada  :"), DBEdit12}}) {
        boxes->addWidget(captionFor(caption, box, TabSheet2), row, 0);
        boxes->addWidget(box, row++, 1);
    }
    boxes->addWidget(DBCheckBox1, row++, 0, 1, 2);
    for (auto [caption, box] : {std::pair{QStringLiteral("Precio de venta  :"), DBEdit4},
                                std::pair{QStringLiteral("% Ipoconsumo :"), DBEdit5}}) {
        boxes->addWidget(captionFor(caption, box, TabSheet2), row, 0);
        boxes->addWidget(box, row++, 1);
    }
    boxes->setRowStretch(row, 1);
    lay->addLayout(boxes);

    // The prices per unit of packing the sale screens take ("Mostrador" and "Empresas" lists).
    auto* box = new QGroupBox(QStringLiteral("Precios por Unidad de Empaque"), TabSheet2);
    box->setObjectName(QStringLiteral("GroupBox2"));
    auto* bl = new QVBoxLayout(box);
    DBGrid2 = grid(precios_, QStringLiteral("DBGrid2"), QStringLiteral("Precios por Unidad de Empaque"),
                   {gridColumn(QStringLiteral("UNIDAD"), QStringLiteral("Unidad")),
                    gridColumn(QStringLiteral("CANTIDAD"), QStringLiteral("Cantidad")),
                    gridColumn(QStringLiteral("VALORVENTAMOSTRADOR"), QStringLiteral("Precio Mostrador")),
                    gridColumn(QStringLiteral("VALORVENTAEMPRESA"), QStringLiteral("Precio Empresas"))},
                   box);
    DBGrid2->setItemDelegateForColumn(0, new UnitDelegate(unidades_, DBGrid2));
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    DBGrid2->setMinimumHeight(120);
    addGridEditingKeys(DBGrid2);
    bl->addWidget(DBGrid2);
    lay->addWidget(box, 1);
}

// ---------------------------------------------------------------- life

void TFrmProductos::FormCreate()
{
    chk_.Open();
    productos_.Open();
}

void TFrmProductos::FormActivate() { openTables(); }

void TFrmProductos::showEvent(QShowEvent* e)
{
    DataScreen::showEvent(e);
    if (!focusPlaced_) {
        focusPlaced_ = true;
        Edit1->setFocus();  // opens ready for a search by number
    }
}

// ---------------------------------------------------------------- searches

namespace {
// Puts the products in another order for a search. A new order is read from its start, and the
// search that follows places the cursor; keeping the old row on the way (what a change of order
// does by itself) would cost reads of rows nobody looks at. The grid and the prices are told
// once, when the search has found its row.
class OrderSwitch {
public:
    OrderSwitch(Dataset& ds, Dataset& prices, const QString& order)
        : ds_(ds), prices_(prices), switching_(ds.active() && ds.indexFieldNames() != order)
    {
        if (!switching_) {
            ds_.setIndexFieldNames(order);
            return;
        }
        ds_.CheckBrowseMode();  // a pending row is posted first, as any move would
        ds_.DisableControls();
        try {
            ds_.Close();
            ds_.setIndexFieldNames(order);
            ds_.Open();
        } catch (...) {
            ds_.EnableControls();
            throw;
        }
    }
    ~OrderSwitch()
    {
        if (!switching_)
            return;
        ds_.EnableControls();
        guarded([this] { prices_.Open(); });
    }

private:
    Dataset& ds_;
    Dataset& prices_;
    bool switching_;
};
}  // namespace

bool TFrmProductos::Edit1KeyPress(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Backspace)
        return true;
    const QString t = key.text();
    if (t.isEmpty() || !t.at(0).isPrint())
        return true;  // not a typed character (arrows, Tab, Enter): not this handler's business
    return t.size() == 1 && t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9');
}

void TFrmProductos::Edit1Change(const QString& text)
{
    guarded([this, &text] {
        Dataset& p = productos_;
        const OrderSwitch order(p, precios_, QStringLiteral("PRODUCTO"));
        if (text.isEmpty()) {
            p.First();
            return;
        }
        // The nearest product: the first whose number is equal to or greater than the typed one.
        const qint64 n = text.toLongLong();
        if (n > INT_MAX)
            p.Last();
        else
            p.FindNearest({int(n)});
        fillGrid();
    });
}

void TFrmProductos::Edit2Change(const QString& text)
{
    guarded([this, &text] {
        Dataset& p = productos_;
        // The grid lists the products by name until the number search is used again.
        const OrderSwitch order(p, precios_, QStringLiteral("NOMBRE"));
        if (text.isEmpty())
            p.First();
        else
            p.FindNearest({text.toUpper()});
        fillGrid();
    });
}

void TFrmProductos::fillGrid()
{
    // Found near the end of the list, the product would sit alone at the top of the grid: the
    // products before it are read too, so the grid shows the ones around it.
    Dataset& p = productos_;
    if (p.bufferCount() < p.pageSize() && !p.allFetchedBackward())
        p.fetchMoreBackward();
}

// ---------------------------------------------------------------- product rows

void TFrmProductos::enableNameAndReference()
{
    DBEdit1->setEnabled(true);
    DBEdit2->setEnabled(true);
}

void TFrmProductos::TbProductosBeforeInsert(Dataset&) { enableNameAndReference(); }
void TFrmProductos::TbProductosBeforeEdit(Dataset&) { enableNameAndReference(); }
void TFrmProductos::TbProductosAfterEdit(Dataset&) { enableNameAndReference(); }
void TFrmProductos::TbProductosBeforeCancel(Dataset&) { enableNameAndReference(); }

void TFrmProductos::TbProductosAfterInsert(Dataset& ds)
{
    enableNameAndReference();
    for (const Default& d : kNewProduct)
        ds.FieldByName(QString::fromLatin1(d.field)).setString(QString::fromLatin1(d.value));
}

void TFrmProductos::TbProductosBeforePost(Dataset& ds)
{
    // No screen asks for the product code, which the table requires and keys on: a new product
    // without one takes its product number.
    Field& codigo = ds.FieldByName(QStringLiteral("CODIGO"));
    Field& producto = ds.FieldByName(QStringLiteral("PRODUCTO"));
    if (ds.state() == DsState::Insert && codigo.isNull() && !producto.isNull())
        codigo.setString(QString::number(producto.asLargeInt()));
}

void TFrmProductos::DBEdit3Exit()
{
    // Only a product being inserted is checked; renumbering an existing one is left to the key.
    if (productos_.state() != DsState::Insert)
        return;
    const QString typed = DBEdit3->text().trimmed();
    if (typed.isEmpty() || !IsNumber(typed))
        return;  // the box itself refuses what is not a number
    bool exists = false;
    if (!guarded([this, &typed, &exists] { exists = chk_.FindKey({StrToInt(typed)}); }))
        return;
    if (exists) {
        ShowMessage(duplicateNumberText());
        DBEdit3->setFocus();
    }
}

void TFrmProductos::barcodeDefault()
{
    Dataset& p = productos_;
    if (!p.isEditing())
        return;
    Field& barcode = p.FieldByName(QStringLiteral("CODIGOBARRAS"));
    const QString reference = p.FieldByName(QStringLiteral("REFERENCIA")).asString();
    if (barcode.isNull() && !reference.isEmpty())
        barcode.setString(reference);
}

void TFrmProductos::DBEdit3Change() { guarded([this] { barcodeDefault(); }); }

void TFrmProductos::DBNavigator1Click() { guarded([this] { barcodeDefault(); }); }

void TFrmProductos::SpeedButton1Click()
{
    TFrmProductosExcel f(db(), this);
    f.exec();
}

// ---------------------------------------------------------------- keys

bool TFrmProductos::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (watched == Edit1 && !Edit1KeyPress(*k))
            return true;  // letters and signs are not numbers: dropped
    } else if (event->type() == QEvent::FocusOut && watched == DBEdit3) {
        // Checked once the focus has settled, not in the middle of moving it; leaving because
        // another window took the focus is not leaving the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] { DBEdit3Exit(); });
    }
    return DataScreen::eventFilter(watched, event);
}

}  // namespace kv
