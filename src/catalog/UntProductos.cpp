#include "catalog/UntProductos.h"

#include "catalog/CatalogScreen.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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
    : QDialog(parent),
      db_(db),
      productos_(std::make_unique<Dataset>(db)),
      chk_(std::make_unique<Dataset>(db)),
      grupos_(std::make_unique<Dataset>(db)),
      subgrupos_(std::make_unique<Dataset>(db)),
      unidades_(std::make_unique<Dataset>(db)),
      precios_(std::make_unique<Dataset>(db))
{
    setObjectName(QStringLiteral("FrmProductos"));
    setWindowTitle(QStringLiteral("Productos"));
    setAccessibleName(QStringLiteral("Productos"));

    productos_->setObjectName(QStringLiteral("TbProductos"));
    productos_->setTableName(QStringLiteral("PRODUCTOS"));
    productos_->setIndexFieldNames(QStringLiteral("PRODUCTO"));
    productos_->setPageSize(40);  // a few screenfuls of the grid per read: 100,000 products are never read whole
    for (const char* f : {"VALORUNIDAD", "VALORPROMEDIO", "VALORIVA", "PRECIOCOMPRA"})
        productos_->FieldByName(QString::fromLatin1(f)).displayFormat = kMoney;
    productos_->FieldByName(QStringLiteral("PRODUCTO")).displayLabel = QStringLiteral("Codigo del Producto");
    productos_->BeforeInsert = [this](Dataset& ds) { TbProductosBeforeInsert(ds); };
    productos_->BeforeEdit = [this](Dataset& ds) { TbProductosBeforeEdit(ds); };
    productos_->AfterEdit = [this](Dataset& ds) { TbProductosAfterEdit(ds); };
    productos_->BeforeCancel = [this](Dataset& ds) { TbProductosBeforeCancel(ds); };
    productos_->AfterInsert = [this](Dataset& ds) { TbProductosAfterInsert(ds); };
    productos_->BeforePost = [this](Dataset& ds) { TbProductosBeforePost(ds); };

    chk_->setObjectName(QStringLiteral("ChkProductos"));
    chk_->setTableName(QStringLiteral("PRODUCTOS"));
    chk_->setIndexFieldNames(QStringLiteral("PRODUCTO"));
    chk_->setPageSize(1);  // only ever asked whether one number exists
    grupos_->setObjectName(QStringLiteral("TbGrupos"));
    grupos_->setTableName(QStringLiteral("GRUPOS"));
    subgrupos_->setObjectName(QStringLiteral("TbSubGrupos"));
    subgrupos_->setTableName(QStringLiteral("SUBGRUPOS"));
    unidades_->setObjectName(QStringLiteral("TbUnidades"));
    unidades_->setTableName(QStringLiteral("UNIDADES"));
    precios_->setObjectName(QStringLiteral("TbPrecios"));
    precios_->setTableName(QStringLiteral("PRODUCTOSVALORVENTA"));
    precios_->setMasterSource(productos_.get(), QStringLiteral("PRODUCTO"));
    for (const char* f : {"VALORVENTAMOSTRADOR", "VALORVENTAEMPRESA"})
        precios_->FieldByName(QString::fromLatin1(f)).displayFormat = kMoney;

    auto* main = new QVBoxLayout(this);

    // ---- top bar
    auto* top = new QHBoxLayout;
    DBNavigator1 = new DbNavigator(*productos_, this);
    top->addWidget(DBNavigator1, 0, Qt::AlignVCenter);
    Edit1 = recordSearchBox(GroupBox1, QStringLiteral("Registro       #   ABC"), QStringLiteral("#"), this);
    auto* g1 = static_cast<QHBoxLayout*>(GroupBox1->layout());
    // Pasted text is held to digits too, as typed keys are.
    Edit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit1));
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setPlaceholderText(QStringLiteral("ABC"));
    Edit2->setAccessibleName(QStringLiteral("ABC"));
    Edit2->installEventFilter(this);
    g1->setStretchFactor(Edit1, 1);
    g1->addWidget(Edit2, 3);
    top->addWidget(GroupBox1, 1);
    main->addLayout(top);

    Label1 = new QLabel(QStringLiteral("Precios Para EL POS"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    Label1->setFont(big);
    main->addWidget(Label1);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = tabPage(PageControl1, QStringLiteral("TabSheet1"), QStringLiteral("Datos Generales"));
    TabSheet2 = tabPage(PageControl1, QStringLiteral("TabSheet2"), QStringLiteral("Precios"));
    buildGeneralTab();
    buildPricesTab();
    PageControl1->setCurrentWidget(TabSheet2);
    main->addWidget(PageControl1);

    DBGrid1 = new DbGrid(*productos_, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Productos"));
    DBGrid1->setColumns({gridColumn(QStringLiteral("PRODUCTO"), QStringLiteral("Producto")),
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

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
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

    resize(900, 760);
    guarded([this] { FormCreate(); });
}

TFrmProductos::~TFrmProductos() { deleteChildWidgets(this); }

void TFrmProductos::buildGeneralTab()
{
    auto* grid = new QGridLayout(TabSheet1);
    auto edit = [this](const char* name, const char* field) {
        auto* e = new DbEdit(*productos_, QString::fromLatin1(field), TabSheet1);
        e->setObjectName(QString::fromLatin1(name));
        e->installEventFilter(this);
        return e;
    };
    auto lookup = [this](const char* name, const char* field, Dataset& list, const char* key) {
        auto* c = new DbLookupComboBox(*productos_, QString::fromLatin1(field), list, QString::fromLatin1(key),
                                       QStringLiteral("NOMBRE"), TabSheet1);
        c->setObjectName(QString::fromLatin1(name));
        c->installEventFilter(this);
        return c;
    };
    DBEdit8 = edit("DBEdit8", "GRUPO");
    DBLookupComboBox1 = lookup("DBLookupComboBox1", "GRUPO", *grupos_, "GRUPO");
    DBEdit9 = edit("DBEdit9", "SUBGRUPO");
    DBLookupComboBox2 = lookup("DBLookupComboBox2", "SUBGRUPO", *subgrupos_, "SUBGRUPO");
    DBEdit3 = edit("DBEdit3", "PRODUCTO");
    DBEdit1 = edit("DBEdit1", "NOMBRE");
    DBEdit1->setCharCase(CharCase::Upper);
    DBLookupComboBox3 = lookup("DBLookupComboBox3", "UNIDAD", *unidades_, "UNIDAD");
    DBLookupComboBox4 = lookup("DBLookupComboBox4", "UNIDADS", *unidades_, "UNIDAD");
    DBEdit2 = edit("DBEdit2", "REFERENCIA");
    DBEdit15 = edit("DBEdit15", "CODIGOBARRAS");

    DBEdit8->setMaximumWidth(60);
    DBEdit9->setMaximumWidth(90);
    DBEdit3->setMaximumWidth(120);
    DBLookupComboBox2->setAccessibleName(QStringLiteral("Nombre SubGrupo"));
    int row = 0;
    grid->addWidget(captionFor(QStringLiteral("Código Grupo :"), DBEdit8, TabSheet1), row, 0);
    grid->addWidget(DBEdit8, row, 1);
    grid->addWidget(DBLookupComboBox1, row++, 2);
    grid->addWidget(captionFor(QStringLiteral("Código SubGrupo:"), DBEdit9, TabSheet1), row, 0);
    grid->addWidget(DBEdit9, row, 1);
    grid->addWidget(DBLookupComboBox2, row++, 2);
    DBLookupComboBox1->setAccessibleName(QStringLiteral("Nombre Grupo"));
    grid->addWidget(captionFor(QStringLiteral("Producto"), DBEdit3, TabSheet1), row, 0);
    grid->addWidget(DBEdit3, row++, 1);
    grid->addWidget(captionFor(QStringLiteral("Nombre :"), DBEdit1, TabSheet1), row, 0);
    grid->addWidget(DBEdit1, row++, 1, 1, 2);
    grid->addWidget(captionFor(QStringLiteral("Unidad Entrada:"), DBLookupComboBox3, TabSheet1), row, 0);
    grid->addWidget(DBLookupComboBox3, row++, 1, 1, 2);
    grid->addWidget(captionFor(QStringLiteral("Unidad Salida:"), DBLookupComboBox4, TabSheet1), row, 0);
    grid->addWidget(DBLookupComboBox4, row++, 1, 1, 2);
    grid->addWidget(captionFor(QStringLiteral("Referencia:"), DBEdit2, TabSheet1), row, 0);
    grid->addWidget(DBEdit2, row++, 1, 1, 2);
    grid->addWidget(captionFor(QStringLiteral("Codigo Barras"), DBEdit15, TabSheet1), row, 0);
    grid->addWidget(DBEdit15, row++, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
}

void TFrmProductos::buildPricesTab()
{
    auto* lay = new QHBoxLayout(TabSheet2);
    auto* grid = new QGridLayout;
    auto edit = [this](const char* name, const char* field) {
        auto* e = new DbEdit(*productos_, QString::fromLatin1(field), TabSheet2);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(140);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    DBEdit7 = edit("DBEdit7", "PRECIOCOMPRA");
    DBEdit10 = edit("DBEdit10", "VALORIVA");
    DBEdit12 = edit("DBEdit12", "CANTIDADEMPACADA");
    DBCheckBox1 = new DbCheckBox(*productos_, QStringLiteral("PRECIOMASIVA"), QStringLiteral("Precio Incluido Iva  ?"),
                                 QStringLiteral("S"), QStringLiteral("N"), TabSheet2);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBEdit4 = edit("DBEdit4", "VALORUNIDAD");
    DBEdit5 = edit("DBEdit5", "IPOCONSUMO");
    int row = 0;
    for (auto [caption, box] : {std::pair{QStringLiteral("Precio Compra :"), DBEdit7},
                                std::pair{QStringLiteral("% Porcentaje Iva :"), DBEdit10},
                                std::pair{QStringLiteral("Cantidad Empacada  :"), DBEdit12}}) {
        grid->addWidget(captionFor(caption, box, TabSheet2), row, 0);
        grid->addWidget(box, row++, 1);
    }
    grid->addWidget(DBCheckBox1, row++, 0, 1, 2);
    for (auto [caption, box] : {std::pair{QStringLiteral("Precio de venta  :"), DBEdit4},
                                std::pair{QStringLiteral("% Ipoconsumo :"), DBEdit5}}) {
        grid->addWidget(captionFor(caption, box, TabSheet2), row, 0);
        grid->addWidget(box, row++, 1);
    }
    grid->setRowStretch(row, 1);
    lay->addLayout(grid);

    // The prices per unit of packing the sale screens take ("Mostrador" and "Empresas" lists).
    auto* box = new QGroupBox(QStringLiteral("Precios por Unidad de Empaque"), TabSheet2);
    box->setObjectName(QStringLiteral("GroupBox2"));
    auto* bl = new QVBoxLayout(box);
    DBGrid2 = new DbGrid(*precios_, box);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setAccessibleName(QStringLiteral("Precios por Unidad de Empaque"));
    DBGrid2->setColumns({gridColumn(QStringLiteral("UNIDAD"), QStringLiteral("Unidad")),
                         gridColumn(QStringLiteral("CANTIDAD"), QStringLiteral("Cantidad")),
                         gridColumn(QStringLiteral("VALORVENTAMOSTRADOR"), QStringLiteral("Precio Mostrador")),
                         gridColumn(QStringLiteral("VALORVENTAEMPRESA"), QStringLiteral("Precio Empresas"))});
    DBGrid2->setItemDelegateForColumn(0, new UnitDelegate(*unidades_, DBGrid2));
    DBGrid2->horizontalHeader()->setStretchLastSection(true);
    DBGrid2->setMinimumHeight(120);
    addGridEditingKeys(DBGrid2);
    bl->addWidget(DBGrid2);
    lay->addWidget(box, 1);
}

// ---------------------------------------------------------------- life

void TFrmProductos::FormCreate()
{
    chk_->Open();
    productos_->Open();
}

void TFrmProductos::FormActivate()
{
    grupos_->Open();
    subgrupos_->Open();
    unidades_->Open();
    productos_->Open();
    chk_->Open();
    precios_->Open();
}

void TFrmProductos::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    guarded([this] { FormActivate(); });
    if (!focusPlaced_) {
        focusPlaced_ = true;
        Edit1->setFocus();  // opens ready for a search by number
    }
}

void TFrmProductos::done(int r)
{
    // A product typed and not yet posted is kept rather than lost with the screen; a refused post
    // keeps the screen open for correction.
    if (!postPendingRow(*precios_) || !postPendingRow(*productos_))
        return;
    precios_->Close();
    grupos_->Close();
    subgrupos_->Close();
    unidades_->Close();
    productos_->Close();
    chk_->Close();
    QDialog::done(r);
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
        Dataset& p = *productos_;
        const OrderSwitch order(p, *precios_, QStringLiteral("PRODUCTO"));
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
        Dataset& p = *productos_;
        // The grid lists the products by name until the number search is used again.
        const OrderSwitch order(p, *precios_, QStringLiteral("NOMBRE"));
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
    Dataset& p = *productos_;
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
    if (productos_->state() != DsState::Insert)
        return;
    const QString typed = DBEdit3->text().trimmed();
    if (typed.isEmpty() || !IsNumber(typed))
        return;  // the box itself refuses what is not a number
    bool exists = false;
    if (!guarded([this, &typed, &exists] { exists = chk_->FindKey({StrToInt(typed)}); }))
        return;
    if (exists) {
        ShowMessage(duplicateNumberText());
        DBEdit3->setFocus();
    }
}

void TFrmProductos::barcodeDefault()
{
    Dataset& p = *productos_;
    if (!p.isEditing())
        return;
    Field& barcode = p.FieldByName(QStringLiteral("CODIGOBARRAS"));
    const QString reference = p.FieldByName(QStringLiteral("REFERENCIA")).asString();
    if (barcode.isNull() && !reference.isEmpty())
        barcode.setString(reference);
}

void TFrmProductos::DBEdit3Change() { guarded([this] { barcodeDefault(); }); }

void TFrmProductos::DBNavigator1Click() { guarded([this] { barcodeDefault(); }); }

// ---------------------------------------------------------------- keys

QWidget* TFrmProductos::enterTarget(QObject* box) const
{
    if (box == DBEdit8)
        return DBEdit9;
    if (box == DBEdit9)
        return DBEdit3;
    if (box == DBEdit3)
        return DBLookupComboBox3;
    if (box == DBLookupComboBox3 || box == DBLookupComboBox4)
        return DBEdit1;
    if (box == DBEdit1 || box == DBEdit15)
        return DBEdit2;
    if (box == DBEdit2)
        return DBEdit7;
    return nullptr;
}

bool TFrmProductos::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (watched == Edit1 && !Edit1KeyPress(*k))
            return true;  // letters and signs are not numbers: dropped
        if (watched == Edit1 || watched == Edit2) {
            // The arrows in a search box move through the products, as the hint says.
            if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
                guarded([this, k] { k->key() == Qt::Key_Up ? productos_->Prior() : productos_->Next(); });
                return true;
            }
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (QWidget* next = enterTarget(watched)) {
                if (auto* box = qobject_cast<DbEdit*>(watched)) {
                    // The typed text goes into the row first; a refused text keeps the focus.
                    if (!guarded([box] { box->updateRecord(); }))
                        return true;
                }
                if (next == DBEdit7)
                    PageControl1->setCurrentWidget(TabSheet2);
                next->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == DBEdit3) {
        // Checked once the focus has settled, not in the middle of moving it; leaving because
        // another window took the focus is not leaving the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] { DBEdit3Exit(); });
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kv
