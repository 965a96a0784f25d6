#include "pos/variants/ItemEntryScreen.h"

#include "catalog/UntBuscarProductoAlf.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/LineGridRules.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/variants/UntVentaCajaCVP.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

namespace {

// What a line takes from its product: the price as the catalogue has it and the product's tax rates
// (the module takes the IVA out of a price that includes it and adds it to one that leaves it out),
// no discount, and the product's name.
QVariantMap lineFromProduct(Dataset& p)
{
    const int producto = p.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
    QVariantMap line{{QStringLiteral("BUSCADOR"), QString::number(producto)},
                     {QStringLiteral("PRODUCTO"), producto},
                     {QStringLiteral("PRECIOUNIDAD"), p.FieldByName(QStringLiteral("VALORUNIDAD")).asFloat()},
                     {QStringLiteral("DESCUENTO"), 0.0},
                     {QStringLiteral("VALORIVA"), 0.0},
                     {QStringLiteral("SUBTOTAL"), 0.0},
                     {QStringLiteral("VALORDESCUENTO"), 0.0},
                     {QStringLiteral("PORCENTAJEDESCUENTO"), 0.0},
                     {QStringLiteral("OBSERVACION"), p.FieldByName(QStringLiteral("NOMBRE")).asString()}};
    line.insert(TDmVentas::taxRatesOf(p));
    return line;
}

}  // namespace

ItemEntryScreen::ItemEntryScreen(TDmVentas& dm, const QString& name, const QString& title, const QString& edit1Caption,
                                 QWidget* parent)
    : OwnKeysDialog(parent), QCuantosProductos(dm.DbPos, this), dm_(dm)
{
    setObjectName(name);
    setWindowTitle(title);
    setAccessibleName(title);
    QCuantosProductos.setSql(QStringLiteral(
        "SELECT NOMBRE, VALORUNIDAD, PRODUCTO FROM PRODUCTOS Productos WHERE  CODIGOBARRAS = :CODIGOBARRAS "));
    main_ = new QVBoxLayout(this);
    // A document closed meanwhile (collected or voided at another register) takes nothing more,
    // whether an item, a line change or the exchange rate: once the refusal has been shown the
    // screen waits for the next customer or document.
    connect(&dm_, &DocumentModule::closedDocumentRefused, this, [this] {
        if (selling())
            toWaiting();
    }, Qt::QueuedConnection);
    auto* heading = new QHBoxLayout;
    addRegisterHeading(dm_, this, heading, LabelCaja, LabelCajero);
    main_->addLayout(heading);

    GroupCliente = new QGroupBox(QStringLiteral("Cliente"), this);
    GroupCliente->setObjectName(QStringLiteral("GroupCliente"));
    GroupCliente->setAccessibleName(QStringLiteral("Cliente"));
    clienteLayout_ = new QGridLayout(GroupCliente);
    Edit1 = new QLineEdit(GroupCliente);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    clienteLayout_->addWidget(captionFor(edit1Caption, Edit1, GroupCliente), 0, 0);
    clienteLayout_->addWidget(Edit1, 0, 1);
}

ItemEntryScreen::~ItemEntryScreen() { deleteChildWidgets(this); }

void ItemEntryScreen::buildLayout(bool withDiscount)
{
    QGridLayout* gc = clienteLayout_;
    DBTextNit = new DbText(dm_.TCliente, QStringLiteral("NIT"), GroupCliente);
    DBTextNit->setObjectName(QStringLiteral("DBTextNit"));
    DBTextNit->setAccessibleName(QStringLiteral("Nit"));
    DBTextNombre = new DbText(dm_.TCliente, QStringLiteral("NOMBRE"), GroupCliente);
    DBTextNombre->setObjectName(QStringLiteral("DBTextNombre"));
    DBTextNombre->setAccessibleName(QStringLiteral("Nombre"));
    gc->addWidget(DBTextNit, 1, 0);
    gc->addWidget(DBTextNombre, 1, 1);
    auto big = [this, gc](DbText*& t, const QString& field, const QString& name, const QString& caption, int row) {
        t = new DbText(dm_.TIniFac, field, GroupCliente);
        t->setObjectName(name);
        QFont f = t->font();
        f.setPointSizeF(f.pointSizeF() * 2);
        f.setBold(true);
        t->setFont(f);
        gc->addWidget(captionFor(caption, t, GroupCliente), row, 2);
        gc->addWidget(t, row, 3);
    };
    big(DBTextFactura, QStringLiteral("CONSECUTIVO"), QStringLiteral("DBTextFactura"), QStringLiteral("Nùmero Factura"), 0);
    big(DBTextNeto, QStringLiteral("NETO"), QStringLiteral("DBTextNeto"), QStringLiteral("Valor a Pagar"), 1);
    main_->addWidget(GroupCliente);

    GroupArticulos = new QGroupBox(QStringLiteral("Articulos"), this);
    GroupArticulos->setObjectName(QStringLiteral("GroupArticulos"));
    GroupArticulos->setAccessibleName(QStringLiteral("Articulos"));
    auto* ga = new QVBoxLayout(GroupArticulos);
    auto* entry = new QHBoxLayout;
    EditProducto = new QLineEdit(GroupArticulos);
    EditProducto->setObjectName(QStringLiteral("EditProducto"));
    EditProducto->setToolTip(QStringLiteral("Código o código de barras y Enter; vacío y Enter, F2 o doble clic: buscar; "
                                            "flechas: la cantidad; Esc: terminar la factura"));
    entry->addWidget(captionFor(QStringLiteral("Codigo Producto"), EditProducto, GroupArticulos));
    entry->addWidget(EditProducto, 2);
    EditCantidad = new QLineEdit(QStringLiteral("1"), GroupArticulos);
    EditCantidad->setObjectName(QStringLiteral("EditCantidad"));
    entry->addWidget(captionFor(QStringLiteral("Cantidad"), EditCantidad, GroupArticulos));
    entry->addWidget(EditCantidad, 1);
    ga->addLayout(entry);

    DBGrid1 = new DbGrid(dm_.TFac, GroupArticulos);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    auto col = [](const char* field, const char* title, bool readOnly) {
        GridColumn c = gridColumn(QLatin1String(field), QString::fromUtf8(title));
        c.readOnly = readOnly;
        return c;
    };
    QVector<GridColumn> columns{col("LINEA", "LINEA", true), col("BUSCADOR", "Producto", false),
                                col("OBSERVACION", "Articulo", false)};
    if (withDiscount)
        columns << col("PORCENTAJEDESCUENTO", "%Descuento", false);
    columns << col("CANTIDAD", "", false) << col("NETO", "Valor Articulo", true);
    DBGrid1->setColumns(columns);
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    ga->addWidget(DBGrid1, 1);

    GroupCambioPrecio = new QGroupBox(QStringLiteral("Cambio De Precio"), GroupArticulos);
    GroupCambioPrecio->setObjectName(QStringLiteral("GroupCambioPrecio"));
    GroupCambioPrecio->setAccessibleName(QStringLiteral("Cambio De Precio"));
    auto* gp = new QHBoxLayout(GroupCambioPrecio);
    EditCambioCantidad = new QLineEdit(GroupCambioPrecio);
    EditCambioCantidad->setObjectName(QStringLiteral("EditCambioCantidad"));
    EditValorUnidad = new QLineEdit(GroupCambioPrecio);
    EditValorUnidad->setObjectName(QStringLiteral("EditValorUnidad"));
    BtnCambioOK = new QPushButton(QStringLiteral("&OK"), GroupCambioPrecio);
    BtnCambioOK->setObjectName(QStringLiteral("BtnCambioOK"));
    BtnCambioOK->setAccessibleName(QStringLiteral("OK"));
    BtnCambioOK->setAutoDefault(false);
    gp->addWidget(captionFor(QStringLiteral("Cantidad"), EditCambioCantidad, GroupCambioPrecio));
    gp->addWidget(EditCambioCantidad);
    gp->addWidget(captionFor(QStringLiteral("Valor Unidad"), EditValorUnidad, GroupCambioPrecio));
    gp->addWidget(EditValorUnidad);
    gp->addWidget(BtnCambioOK);
    GroupCambioPrecio->hide();
    ga->addWidget(GroupCambioPrecio);
    connect(BtnCambioOK, &QPushButton::clicked, this, [this] { guarded([this] { BtnCambioOKClick(); }); });
    main_->addWidget(GroupArticulos, 1);
    // While waiting for a customer or a number the room of the hidden items stays empty below.
    main_->addStretch(0);
    GroupCliente->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    for (QLabel* l : {LabelCaja, LabelCajero})
        l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    PanelMensaje = addMessageStatusBar(this, main_, StatusBar1);

    setUpGridRules();
    setUpKeys();
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(EditProducto),
                       static_cast<QWidget*>(EditCantidad), static_cast<QWidget*>(DBGrid1),
                       static_cast<QWidget*>(DBGrid1->viewport()), static_cast<QWidget*>(EditCambioCantidad),
                       static_cast<QWidget*>(EditValorUnidad)})
        w->installEventFilter(this);
}

void ItemEntryScreen::setUpGridRules()
{
    LineGridRules::Setup setup;
    setup.completionField = QStringLiteral("OBSERVACION");  // entering "Articulo"
    setup.complete = [this](Dataset& line, Dataset& product) {
        // The line takes the product as a line added by its code does, in one step of the module;
        // its quantity stays.
        QVariantMap values = lineFromProduct(product);
        values[QStringLiteral("CANTIDAD")] = line.FieldByName(QStringLiteral("CANTIDAD")).asFloat();
        line.Cancel();
        dm_.changeLine(values);
    };
    setup.showProductName = [this](const QString& nombre) { showMessagePanel(nombre); };
    rules_ = new LineGridRules(dm_, DBGrid1, setup, this);
}

bool ItemEntryScreen::selling() const { return !GroupArticulos->isHidden(); }

void ItemEntryScreen::showCashier()
{
    LabelCaja->setText(dm_.TCaja.FieldByName(QStringLiteral("NOMBRE")).asString());
    LabelCajero->setText(dm_.TCajero.FieldByName(QStringLiteral("NOMBRE")).asString());
}

void ItemEntryScreen::showMessagePanel(const QString& text) { PanelMensaje->setText(text); }

void ItemEntryScreen::toWaiting()
{
    GroupCambioPrecio->hide();
    GroupArticulos->hide();
    GroupArticulos->setEnabled(false);
    GroupCliente->setEnabled(true);
    Edit1->setFocus();
    Edit1->selectAll();
}

void ItemEntryScreen::toSelling()
{
    GroupArticulos->setEnabled(true);
    GroupArticulos->show();
    resetEntry();
}

void ItemEntryScreen::resetEntry()
{
    EditProducto->clear();
    EditCantidad->setText(QStringLiteral("1"));
    EditProducto->setFocus();
}

void ItemEntryScreen::Edit1Escape()
{
    if (!AskYesNo(QStringLiteral("Salir de Facturacion?")))
        return;
    leave();
}

// ---------------------------------------------------------------- items

void ItemEntryScreen::EditProductoEnter()
{
    if (EditProducto->text().trimmed().isEmpty()) {
        TFrmBuscarProductoAlf dlg(dm_.DbPos, this);
        dlg.exec();
        EditProducto->setText(CodigoBuscado);
        if (CodigoBuscado.isEmpty()) {
            EditProducto->setFocus();
            return;
        }
    }
    addItem();
}

void ItemEntryScreen::EditProductoSearch(bool thenAdd)
{
    TFrmBuscarProductoAlf dlg(dm_.DbPos, this);
    dlg.exec();
    EditProducto->setText(CodigoBuscado);
    EditProducto->setFocus();
    if (thenAdd && !CodigoBuscado.isEmpty())
        addItem();
}

void ItemEntryScreen::EditProductoEscape()
{
    if (!AskYesNo(QStringLiteral("Terminar Factura?")))
        return;
    finishDocument();
}

bool ItemEntryScreen::findItem(QString& code)
{
    QCuantosProductos.Close();
    QCuantosProductos.setParam(QStringLiteral("CODIGOBARRAS"), code);
    QCuantosProductos.Open();
    const bool shared = QCuantosProductos.recordCount() > 1;
    QCuantosProductos.Close();
    if (shared) {
        // Several products carry this barcode: the cashier says which one.
        TFrmBuscarProductoAlf dlg(dm_.DbPos, this);
        dlg.EditNit->setText(code);
        dlg.EditNitChange();
        dlg.exec();
        if (ProductoBuscadoAlf == 0)
            return false;
        code = QString::number(ProductoBuscadoAlf);
        return dm_.TProductos.Locate(QStringLiteral("PRODUCTO"), ProductoBuscadoAlf);
    }
    return findProductByCode(dm_, code);
}

void ItemEntryScreen::addItem()
{
    QString code = EditProducto->text().trimmed();
    if (code.isEmpty())
        return;
    // The quantity first: a wrong one is corrected where it was typed, and nothing is stored.
    const std::optional<double> typed = quantityTyped(EditCantidad->text());
    if (!typed) {
        EditCantidad->setFocus();
        EditCantidad->selectAll();
        return;
    }
    double cantidad = *typed;
    const QString typedCode = code;
    if (!findItem(code)) {
        ShowMessage(QStringLiteral("No existe el Producto") + typedCode);
        EditProducto->clear();
        EditProducto->setFocus();
        return;
    }
    QVariantMap values = lineFromProduct(dm_.TProductos);
    const QString nombre = values.value(QStringLiteral("OBSERVACION")).toString();
    if (values.value(QStringLiteral("PRECIOUNIDAD")).toDouble() == 0) {
        // An open-price item: its price (and, if the cashier changes it there, its quantity).
        const std::optional<TFrmVentaCajaCVP::Values> v = TFrmVentaCajaCVP::Pedir(nombre, 0, cantidad, this);
        EditProducto->setFocus();
        if (!v)
            return;
        values[QStringLiteral("PRECIOUNIDAD")] = v->precio;
        cantidad = v->cantidad;
    }
    values[QStringLiteral("CANTIDAD")] = cantidad;
    if (!dm_.addLine(values))
        return;
    showMessagePanel(nombre);
    resetEntry();
}

// ---------------------------------------------------------------- changing a line

void ItemEntryScreen::showPriceBox()
{
    if (dm_.TFac.IsEmpty())
        return;
    EditCambioCantidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("CANTIDAD")).asFloat()));
    EditValorUnidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("PRECIOUNIDAD")).asFloat()));
    lockForPriceChange(true);
    GroupCambioPrecio->show();
    EditCambioCantidad->setFocus();
    EditCambioCantidad->selectAll();
}

void ItemEntryScreen::BtnCambioOKClick()
{
    const std::optional<PriceChange> typed = priceChangeTyped(EditCambioCantidad, EditValorUnidad);
    if (!typed)
        return;
    try {
        dm_.changeLine({{QStringLiteral("CANTIDAD"), typed->cantidad}, {QStringLiteral("PRECIOUNIDAD"), typed->precio}});
    } catch (...) {
        endPriceChange();  // a supervisor hands back before the refusal is shown
        throw;
    }
    endPriceChange();
}

void ItemEntryScreen::lockForPriceChange(bool locked)
{
    for (QWidget* w : {static_cast<QWidget*>(EditProducto), static_cast<QWidget*>(EditCantidad),
                       static_cast<QWidget*>(DBGrid1)})
        w->setEnabled(!locked);
    if (QMenuBar* menu = findChild<QMenuBar*>())
        menu->setEnabled(!locked);
}

void ItemEntryScreen::endPriceChange()
{
    GroupCambioPrecio->hide();
    lockForPriceChange(false);
    afterPriceChange();
    if (selling())
        EditProducto->setFocus();
}

// ---------------------------------------------------------------- keys

void ItemEntryScreen::setUpKeys()
{
    using Key = KeyMap::Key;
    // The lines grid takes Esc and Enter only while it has the focus itself and no line is being
    // typed: the Enter that closes a cell's editor also travels up to the grid.
    auto gridBrowsing = [this] { return QApplication::focusWidget() == DBGrid1 && !dm_.TFac.isEditing(); };
    auto toQuantity = [this] {
        EditCantidad->setFocus();
        EditCantidad->selectAll();
    };
    auto toProduct = [this] { EditProducto->setFocus(); };
    keys_.add({
        {Edit1, Key::PlainEnter, [this] { Edit1Enter(); }},
        {Edit1, Key::Escape, [this] { Edit1Escape(); }},
        {EditProducto, Key::Enter, [this] { EditProductoEnter(); }},
        {EditProducto, Key::Escape, [this] { EditProductoEscape(); }},
        {EditProducto, Key::F2, [this] { EditProductoSearch(addAfterSearch()); }},
        {EditProducto, Key::DoubleClick, [this] { EditProductoSearch(addAfterSearch()); }},
        {EditProducto, Key::Arrow, toQuantity},
        {EditCantidad, Key::Enter, toProduct},
        {EditCantidad, Key::Arrow, toProduct},
        {EditCantidad, Key::Escape, toProduct},
        {DBGrid1, Key::Escape, toProduct, gridBrowsing},
        {DBGrid1, Key::Enter, [this] { DBGrid1DblClick(); }, gridBrowsing},
        {DBGrid1->viewport(), Key::DoubleClick, [this] { DBGrid1DblClick(); }},
    });
    addPriceChangeKeys(keys_, EditCambioCantidad, EditValorUnidad, [this] { BtnCambioOKClick(); },
                       [this] { endPriceChange(); });
}

bool ItemEntryScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Coming into the lines, the cursor stands on the "Producto" column.
    if (event->type() == QEvent::FocusIn && watched == DBGrid1 && !dm_.TFac.isEditing() && !dm_.TFac.IsEmpty())
        DBGrid1->setCurrentIndex(DBGrid1->model()->index(qMax(0, DBGrid1->currentIndex().row()), 1));
    if (keys_.handle(watched, event))
        return true;
    // The quantity box takes only digits and the point; editing keys pass.
    if (watched == EditCantidad && event->type() == QEvent::KeyPress)
        return notAQuantityKey(static_cast<QKeyEvent*>(event));
    return false;
}

}  // namespace kv
