#include "pos/UntVentaCajaVp.h"

#include "catalog/StockBalance.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "catalog/UntBuscarTercero.h"
#include "catalog/UntCrearClientes.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/UntCondicionesFactura.h"
#include "pos/UntDmVentas.h"
#include "pos/DocumentCorrections.h"
#include "pos/RegisterHeading.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaIncio.h"
#include "pos/UntVentaOrdenPagoPrn.h"
#include "pos/UntVentaPermiso.h"
#include "pos/UntVentasPagoVp.h"
#include "print/InvoicePrinting.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

namespace kv {

QString ProductoElegido;
double SaldoProducto = 0;
bool PagoCancelado = false;

namespace {

const QColor kYellow(255, 255, 0);
const QString kCounterCustomer = QStringLiteral("222222222");
const QString kBadQuantity = QStringLiteral("Cantidad no válida: digite las unidades con números y punto, mayor que 0");
const QString kBadPrice = QStringLiteral("Precio no válido: digite el valor con números y punto");

// A whole number the text names, as a product number; nothing for any other text.
std::optional<int> productNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

// The price typed in an input box: nothing when cancelled, and nothing after a clear message when
// it is not a number (no conversion error, no line).
std::optional<double> askPrice(const QString& caption, const QString& prompt)
{
    const std::optional<QString> typed = dialogs().input(caption, prompt);
    if (!typed)
        return std::nullopt;
    if (!IsNumber(*typed)) {
        ShowMessage(kBadPrice);
        return std::nullopt;
    }
    return StrToFloat(*typed);
}

}  // namespace

bool findProductByCode(TDmVentas& dm, const QString& code)
{
    const QString text = code.trimmed();
    if (text.isEmpty())
        return false;
    // One keyed read for the barcode and one for the number, whatever the cursor holds; the
    // cursor then goes to the product found.
    QVariant producto = dm.DbPos.scalar(QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE CODIGOBARRAS = :C"),
                                         {{QStringLiteral("C"), text}});
    if (producto.isNull()) {
        const std::optional<int> n = productNumber(text);
        if (!n)
            return false;
        producto = dm.DbPos.scalar(QStringLiteral("SELECT PRODUCTO FROM PRODUCTOS WHERE PRODUCTO = :P"),
                                    {{QStringLiteral("P"), *n}});
        if (producto.isNull())
            return false;
    }
    return dm.TProductos.Locate(QStringLiteral("PRODUCTO"), producto);
}

std::optional<double> quantityTyped(const QString& text)
{
    const QString qty = text.trimmed();
    if (!IsNumber(qty) || StrToFloat(qty) <= 0) {
        ShowMessage(kBadQuantity);
        return std::nullopt;
    }
    if (refuseHugeQuantity(StrToFloat(qty)))
        return std::nullopt;
    return StrToFloat(qty);
}

bool refuseHugeQuantity(double cantidad)
{
    if (std::fabs(cantidad) <= kMaxLineQuantity)
        return false;
    ShowMessage(QStringLiteral("Cantidad no válida: una línea lleva como máximo 99,999 unidades"));
    return true;
}

bool notAQuantityKey(const QKeyEvent* k)
{
    const QString t = k->text();
    return !t.isEmpty() && t[0].isPrint() && !QStringLiteral("0123456789.").contains(t);
}

void addPriceChangeKeys(KeyMap& keys, QLineEdit* cantidad, QLineEdit* valor, const std::function<void()>& ok,
                        const std::function<void()>& leave)
{
    using Key = KeyMap::Key;
    keys.add({{cantidad, Key::Enter,
               [valor] {
                   valor->setFocus();
                   valor->selectAll();
               }},
              {valor, Key::Enter, ok},
              {cantidad, Key::Escape, leave},
              {valor, Key::Escape, leave}});
}

void searchCustomerInto(DocumentModule& dm, QLineEdit* box, QWidget* parent)
{
    NitTerceroElegido = 0;
    {
        TFrmBuscarTercero dlg(dm.DbPos, parent);
        dlg.exec();
    }
    if (NitTerceroElegido != 0)
        box->setText(FloatToStr(NitTerceroElegido));
    box->setFocus();
}

bool acceptCustomer(DocumentModule& dm, const QString& typed, QWidget* parent,
                    const std::function<void(const QString&)>& status)
{
    if (findCustomer(dm, typed))
        return true;
    status(QStringLiteral("Entre Nit o Cedula Correcto"));
    TFrmCrearClientes::CrearCliente(dm.DbPos, typed, parent);
    if (findCustomer(dm, typed))
        return true;
    ShowMessage(QStringLiteral("Cliente no Existe"));
    return false;
}

bool findCustomer(DocumentModule& dm, const QString& typed)
{
    return IsNumber(typed) && dm.TCliente.Locate(QStringLiteral("NIT"), StrToFloat(typed));
}

// ---------------------------------------------------------------- PackingGroup

PackingGroup::PackingGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent)
{
    setAccessibleName(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    new QVBoxLayout(this);
}

void PackingGroup::setItems(const QStringList& captions)
{
    qDeleteAll(items_);
    items_.clear();
    for (const QString& c : captions) {
        auto* b = new QRadioButton(c, this);
        b->setAccessibleName(QString(c).remove(QLatin1Char('&')));
        // The group keeps the focus, so the keys of the next item scanned come to the screen.
        b->setFocusPolicy(Qt::NoFocus);
        layout()->addWidget(b);
        items_.append(b);
    }
}

int PackingGroup::itemIndex() const
{
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked())
            return i;
    return -1;
}

void PackingGroup::setItemIndex(int i)
{
    if (i >= 0 && i < items_.size())
        items_[i]->setChecked(true);
}

void PackingGroup::keyPressEvent(QKeyEvent* e)
{
    const int n = count();
    if (n > 0 && (e->key() == Qt::Key_Down || e->key() == Qt::Key_Right)) {
        setItemIndex((itemIndex() + 1) % n);
        return;
    }
    if (n > 0 && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Left)) {
        setItemIndex((itemIndex() + n - 1) % n);
        return;
    }
    // An item's underlined letter chooses it, with or without Alt.
    const QString typed = e->text().toUpper();
    if (typed.size() == 1 && typed[0].isLetter()) {
        for (int i = 0; i < n; ++i) {
            const QString t = items_[i]->text();
            const int amp = int(t.indexOf(QLatin1Char('&')));
            if (amp >= 0 && amp + 1 < t.size() && t[amp + 1].toUpper() == typed[0]) {
                setItemIndex(i);
                return;
            }
        }
    }
    QGroupBox::keyPressEvent(e);
}

// ---------------------------------------------------------------- the screen

TFrmVentaCajaVp::TFrmVentaCajaVp(TDmVentas& dm, QWidget* parent) : OwnKeysDialog(parent), dm_(dm), QVentasHoy(dm.DbPos)
{
    setObjectName(QStringLiteral("FrmVentaCajaVp"));
    setWindowTitle(QStringLiteral("Caja"));
    setAccessibleName(QStringLiteral("Caja"));
    // The base units of a product sold today: today's headers on the date index, then their lines
    // by key. "+ 0" keeps the optimizer off the product index, which it would otherwise prefer and
    // which holds every line of the product since the shop opened (years of a best seller); the
    // header's side of the join is built, so that the engine cannot start from the lines either
    // (it would, on a database whose index statistics were never taken). Either way the panel
    // would slow down with every year stored instead of staying with the day's sales.
    QVentasHoy.setSql(QStringLiteral(
        "SELECT SUM(D.CANTIDADRECIBIDA) VENDIDO FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = "
        "H.EMPRESA || '' AND D.DOCUMENTO = H.DOCUMENTO || '' AND D.CONSECUTIVO = H.CONSECUTIVO + 0 WHERE "
        "H.FECHA >= :FECHAI AND H.FECHA < :FECHAF AND D.PRODUCTO + 0 = :PRODUCTO"));
    buildLayout();
    // A document closed meanwhile (voided here, collected at another register) takes nothing more:
    // once the refusal has been shown the screen waits for the next customer.
    connect(&dm_, &DocumentModule::closedDocumentRefused, this, [this] {
        if (selling())
            toWaiting();
    }, Qt::QueuedConnection);
}

TFrmVentaCajaVp::~TFrmVentaCajaVp() { deleteChildWidgets(this); }

void TFrmVentaCajaVp::buildLayout()
{
    auto* main = new QVBoxLayout(this);

    const RegisterMenu menu = addRegisterMenu(this, main);
    Informes1 = menu.Informes1;
    ReimprimeFactura1 = menu.ReimprimeFactura1;
    CambiaFactura1 = menu.CambiaFactura1;
    EgresoCaja1 = menu.EgresoCaja1;
    AnulaFacturas1 = menu.AnulaFacturas1;
    connect(Informes1, &QAction::triggered, this, [this] { guarded([this] { Informes1Click(); }); });
    // Reprint, change and void work on the document whose number is typed and leave the screen on
    // the document being sold.
    connect(ReimprimeFactura1, &QAction::triggered, this,
            [this] { guarded([this] { ReimprimeFactura(dm_, chosenPaper(), this); }); });
    connect(CambiaFactura1, &QAction::triggered, this, [this] {
        guarded([this] {
            CambiaFactura(dm_, this);
            showCashier();
        });
    });
    connect(EgresoCaja1, &QAction::triggered, this, [this] { guarded([this] { TFrmVentaCajaEgresos::Abrir(dm_, this); }); });
    connect(AnulaFacturas1, &QAction::triggered, this, [this] { guarded([this] { AnulaFacturas(dm_, this); }); });

    // 1. Heading.
    auto* heading = new QHBoxLayout;
    LabelCaja = makeTitleLabel(QString(), this, 1.3);
    LabelCaja->setObjectName(QStringLiteral("LabelCaja"));
    LabelCajero = makeTitleLabel(QString(), this, 1.3);
    LabelCajero->setObjectName(QStringLiteral("LabelCajero"));
    heading->addWidget(LabelCaja);
    heading->addWidget(LabelCajero);
    main->addLayout(heading);

    // 2. Customer.
    GroupCliente = new QGroupBox(QStringLiteral("Cliente"), this);
    GroupCliente->setObjectName(QStringLiteral("GroupCliente"));
    GroupCliente->setAccessibleName(QStringLiteral("Cliente"));
    auto* gc = new QGridLayout(GroupCliente);
    EditCliente = new QLineEdit(kCounterCustomer, GroupCliente);
    EditCliente->setObjectName(QStringLiteral("EditCliente"));
    EditCliente->setToolTip(QStringLiteral("Enter: iniciar la factura; F2 o doble clic: buscar el cliente"));
    gc->addWidget(captionFor(QStringLiteral("Nit o Cèdula Cliente"), EditCliente, GroupCliente), 0, 0);
    gc->addWidget(EditCliente, 0, 1);
    DBTextNit = new DbText(dm_.TCliente, QStringLiteral("NIT"), GroupCliente);
    DBTextNit->setObjectName(QStringLiteral("DBTextNit"));
    DBTextNit->setAccessibleName(QStringLiteral("Nit"));
    DBTextNombre = new DbText(dm_.TCliente, QStringLiteral("NOMBRE"), GroupCliente);
    DBTextNombre->setObjectName(QStringLiteral("DBTextNombre"));
    DBTextNombre->setAccessibleName(QStringLiteral("Nombre"));
    gc->addWidget(DBTextNit, 1, 0);
    gc->addWidget(DBTextNombre, 1, 1);
    auto bigText = [this](DbText*& t, const QString& field, const QString& name, const QString& caption, double scale,
                          QGridLayout* g, int row) {
        t = new DbText(dm_.TIniFac, field, GroupCliente);
        t->setObjectName(name);
        QFont f = t->font();
        f.setPointSizeF(f.pointSizeF() * scale);
        f.setBold(scale > 1);
        t->setFont(f);
        g->addWidget(captionFor(caption, t, GroupCliente), row, 2);
        g->addWidget(t, row, 3);
    };
    bigText(DBTextFactura, QStringLiteral("CONSECUTIVO"), QStringLiteral("DBTextFactura"), QStringLiteral("Nùmero Factura"),
            2.0, gc, 0);
    bigText(DBTextPlazo, QStringLiteral("PLAZO"), QStringLiteral("DBTextPlazo"), QStringLiteral("Plazo (Credito)"), 1, gc, 1);
    bigText(DBTextReferencia, QStringLiteral("FACTURA"), QStringLiteral("DBTextReferencia"), QStringLiteral("Referencia"), 1,
            gc, 2);
    bigText(DBTextNeto, QStringLiteral("NETO"), QStringLiteral("DBTextNeto"), QStringLiteral("Valor a Pagar"), 2.0, gc, 3);
    // The group is disabled while selling, but the customer, the number and the amount to pay
    // stay as readable as when it was enabled; the amount in red.
    for (DbText* t : {DBTextNit, DBTextNombre, DBTextFactura, DBTextPlazo, DBTextReferencia, DBTextNeto}) {
        QPalette p = t->palette();
        const QColor c = t == DBTextNeto ? QColor(Qt::red) : p.color(QPalette::Active, QPalette::WindowText);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (auto role : {QPalette::WindowText, QPalette::Text})
                p.setColor(group, role, c);
        t->setPalette(p);
    }
    RadioPrecio = new RadioGroup(QStringLiteral("Precio"), {QStringLiteral("Mostrador"), QStringLiteral("Empresas")}, 2,
                                 GroupCliente);
    RadioPrecio->setObjectName(QStringLiteral("RadioPrecio"));
    RadioPrecio->setItemIndex(0);
    gc->addWidget(RadioPrecio, 2, 0, 2, 2);
    main->addWidget(GroupCliente);

    // 4. Articles.
    GroupArticulos = new QGroupBox(QStringLiteral("Articulos"), this);
    GroupArticulos->setObjectName(QStringLiteral("GroupArticulos"));
    GroupArticulos->setAccessibleName(QStringLiteral("Articulos"));
    auto* ga = new QVBoxLayout(GroupArticulos);
    auto* panel = new QHBoxLayout;
    auto productText = [this, panel](DbText*& t, const QString& field, const QString& name, const QString& caption) {
        t = new DbText(dm_.TProductos, field, GroupArticulos);
        t->setObjectName(name);
        panel->addWidget(captionFor(caption, t, GroupArticulos));
        panel->addWidget(t, 1);
    };
    productText(DBTextDescripcion, QStringLiteral("NOMBRE"), QStringLiteral("DBTextDescripcion"), QStringLiteral("Descripción"));
    productText(DBTextBarras, QStringLiteral("CODIGOBARRAS"), QStringLiteral("DBTextBarras"), QStringLiteral("Código Barras"));
    productText(DBTextProducto, QStringLiteral("PRODUCTO"), QStringLiteral("DBTextProducto"), QStringLiteral("Producto"));
    BtnCondiciones = new QPushButton(QStringLiteral("Condiciones"), GroupArticulos);
    BtnCondiciones->setObjectName(QStringLiteral("BtnCondiciones"));
    BtnCondiciones->setAccessibleName(QStringLiteral("Condiciones"));
    BtnCondiciones->setAutoDefault(false);
    panel->addWidget(BtnCondiciones);
    ga->addLayout(panel);
    connect(BtnCondiciones, &QPushButton::clicked, this, [this] { guarded([this] { BtnCondicionesClick(); }); });

    auto* entry = new QHBoxLayout;
    EditProducto = new QLineEdit(GroupArticulos);
    EditProducto->setObjectName(QStringLiteral("EditProducto"));
    EditProducto->setToolTip(QStringLiteral("Código, código de barras; vacío y Enter, F2 o doble clic: buscar; "
                                            "flecha abajo: las líneas (Enter cambia una, Esc vuelve); Esc: terminar la "
                                            "factura"));
    entry->addWidget(captionFor(QStringLiteral("Código Producto"), EditProducto, GroupArticulos));
    entry->addWidget(EditProducto);
    RadioEmpaque = new PackingGroup(QStringLiteral("Forma de Empaque a Vender"), GroupArticulos);
    RadioEmpaque->setObjectName(QStringLiteral("RadioEmpaque"));
    entry->addWidget(RadioEmpaque, 1);
    RadioDescuento = new RadioGroup(QStringLiteral("Porcentaje De Descuento"),
                                    {QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20")}, 4,
                                    GroupArticulos);
    RadioDescuento->setObjectName(QStringLiteral("RadioDescuento"));
    RadioDescuento->setItemIndex(0);
    EditCantidad = new QLineEdit(QStringLiteral("1"), GroupArticulos);
    EditCantidad->setObjectName(QStringLiteral("EditCantidad"));
    entry->addWidget(captionFor(QStringLiteral("Unidades"), EditCantidad, GroupArticulos));
    entry->addWidget(EditCantidad);
    entry->addWidget(RadioDescuento);
    ga->addLayout(entry);

    DBGrid1 = new DbGrid(dm_.TFac, GroupArticulos);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    auto col = [](const char* field, const char* title, bool readOnly) {
        GridColumn c = gridColumn(QLatin1String(field), QString::fromUtf8(title));
        c.readOnly = readOnly;
        return c;
    };
    DBGrid1->setColumns({col("LINEA", "", true), col("BUSCADOR", "Producto", true), col("NombreArticulo", "Articulo", true),
                         col("ValorConIva", "Valor Con Iva", true), col("PORCENTAJEDESCUENTO", "%Descuento", false),
                         col("CANTIDAD", "", false), col("UNIDADMOVIMIENTO", "", true), col("Por", "", true),
                         col("CANTIDADRECIBIDA", "Unidades Vendidas", true), col("SUBTOTAL", "Valor Articulo", true)});
    // A double click changes the line; cells are edited by typing or F2.
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    addGridEditingKeys(DBGrid1);
    ga->addWidget(DBGrid1, 1);
    // Moving along the lines, the product panel and the message panel follow the line's product.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!DBGrid1->hasFocus() || dm_.TFac.IsEmpty())
            return;
        guarded([this] {
            if (findProductByCode(dm_, dm_.TFac.FieldByName(QStringLiteral("BUSCADOR")).asString()))
                showMessagePanel(dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString());
        });
    });

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
    main->addWidget(GroupArticulos, 1);

    // 5. Invoice layout.
    RadioTipoFactura = new RadioGroup(QStringLiteral("Tipo de Factura"),
                                      {QStringLiteral("Impresora Pos"), QStringLiteral("Media Carta"),
                                       QStringLiteral("Carta Completa")},
                                      3, this);
    RadioTipoFactura->setObjectName(QStringLiteral("RadioTipoFactura"));
    RadioTipoFactura->setItemIndex(0);
    main->addWidget(RadioTipoFactura);
    // While waiting for a customer the room of the hidden articles stays empty below the rest.
    main->addStretch(0);
    for (QWidget* w : {static_cast<QWidget*>(GroupCliente), static_cast<QWidget*>(RadioTipoFactura)})
        w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // 3. Status bar.
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    auto panelLabel = [this](QLabel*& l, const QString& name, const QString& text, int stretch) {
        l = new QLabel(text, StatusBar1);
        l->setObjectName(name);
        l->setAccessibleName(name);
        StatusBar1->addWidget(l, stretch);
    };
    panelLabel(PanelProceso, QStringLiteral("PanelProceso"), QStringLiteral("Proceso"), 0);
    panelLabel(PanelMensaje, QStringLiteral("PanelMensaje"), QString(), 2);
    panelLabel(PanelSaldo, QStringLiteral("PanelSaldo"), QString(), 1);
    panelLabel(PanelFijo, QStringLiteral("PanelFijo"), QStringLiteral("Esc: Terminar Factura"), 0);
    main->addWidget(StatusBar1);

    setTabOrder(EditProducto, RadioEmpaque);
    setTabOrder(RadioEmpaque, EditCantidad);
    setTabOrder(EditCantidad, RadioDescuento);
    for (QWidget* w : {static_cast<QWidget*>(EditCliente), static_cast<QWidget*>(EditProducto),
                       static_cast<QWidget*>(RadioEmpaque), static_cast<QWidget*>(EditCantidad),
                       static_cast<QWidget*>(DBGrid1), static_cast<QWidget*>(DBGrid1->viewport()),
                       static_cast<QWidget*>(EditCambioCantidad), static_cast<QWidget*>(EditValorUnidad)})
        w->installEventFilter(this);
    setUpKeys();
    resize(900, 640);
}

void TFrmVentaCajaVp::setUpKeys()
{
    using Key = KeyMap::Key;
    // The lines grid takes Esc and Enter only while it has the focus itself and no line is being
    // typed: the Enter that closes a cell's editor also travels up to the grid.
    auto gridBrowsing = [this] { return QApplication::focusWidget() == DBGrid1 && !dm_.TFac.isEditing(); };
    keys_.add({
        {EditCliente, Key::PlainEnter, [this] { EditClienteEnter(); }},
        {EditCliente, Key::Escape, [this] { EditClienteEscape(); }},
        {EditCliente, Key::F2, [this] { EditClienteSearch(); }},
        {EditCliente, Key::DoubleClick, [this] { EditClienteSearch(); }},
        {EditProducto, Key::Enter, [this] { EditProductoEnter(); }},
        {EditProducto, Key::Escape, [this] { TerminarFactura(); }},
        {EditProducto, Key::F2, [this] { EditProductoSearch(); }},
        {EditProducto, Key::DoubleClick, [this] { EditProductoSearch(); }},
        // to the lines, without a mouse
        {EditProducto, Key::Down, [this] { DBGrid1->setFocus(Qt::TabFocusReason); }},
        {RadioEmpaque, Key::Enter, [this] { RadioEmpaqueEnter(); }},
        {EditCantidad, Key::Enter, [this] { EditCantidadEnter(); }},
        {DBGrid1, Key::Escape, [this] { EditProducto->setFocus(); }, gridBrowsing},
        {DBGrid1, Key::Enter, [this] { DBGrid1ChangeLine(); }, gridBrowsing},
        {DBGrid1->viewport(), Key::DoubleClick, [this] { DBGrid1ChangeLine(); }},
    });
    addPriceChangeKeys(keys_, EditCambioCantidad, EditValorUnidad, [this] { BtnCambioOKClick(); },
                       [this] { endPriceChange(); });
}

bool TFrmVentaCajaVp::selling() const { return !GroupArticulos->isHidden(); }

void TFrmVentaCajaVp::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        guarded([this] { FormShow(); });
}

void TFrmVentaCajaVp::FormShow()
{
    // The money put into the drawer, asked once a day of a cashier who takes payment.
    TFrmVentaCajaIncio::AbrirSiFalta(dm_, this);
    showCashier();
    // The screen opens on no document: the last one in the headers' order may be another
    // register's (the restaurant's bill), nothing of this cashier's. The number and total show
    // from his first document on; after each sale the one just finished stays on display.
    for (DbText* t : {DBTextFactura, DBTextPlazo, DBTextReferencia, DBTextNeto})
        t->clear();
    toWaiting();
}

void TFrmVentaCajaVp::setYellow(QWidget* w, bool on)
{
    QPalette p = w->palette();
    const QPalette::ColorRole role = qobject_cast<QLineEdit*>(w) ? QPalette::Base : QPalette::Window;
    p.setColor(role, on ? kYellow : QApplication::palette(w).color(role));
    w->setPalette(p);
}

bool TFrmVentaCajaVp::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        if (qobject_cast<QLineEdit*>(w))
            setYellow(w, type == QEvent::FocusIn);
        // Coming into the lines, the cursor stands on the "Producto" column of the current line.
        if (w == DBGrid1 && type == QEvent::FocusIn && !dm_.TFac.isEditing() && !dm_.TFac.IsEmpty())
            DBGrid1->setCurrentIndex(DBGrid1->model()->index(qMax(0, DBGrid1->currentIndex().row()), 1));
        if (w == RadioEmpaque) {
            if (type == QEvent::FocusIn) {
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                // Coming back from a message box or a menu is not a new product.
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                    guarded([this] { listPackings(); });
            } else {
                setYellow(RadioEmpaque, false);
            }
        }
        return false;
    }
    if (keys_.handle(watched, event))
        return true;
    // The quantity box takes only digits and the point; editing keys pass.
    if (w == EditCantidad && type == QEvent::KeyPress)
        return notAQuantityKey(static_cast<QKeyEvent*>(event));
    return false;
}

void TFrmVentaCajaVp::showMessagePanel(const QString& text) { PanelMensaje->setText(text); }

// ---------------------------------------------------------------- waiting and selling

void TFrmVentaCajaVp::toWaiting()
{
    GroupCambioPrecio->hide();
    GroupArticulos->hide();
    GroupArticulos->setEnabled(false);
    GroupCliente->setEnabled(true);
    EditCliente->setEnabled(true);
    EditCliente->setFocus();
    EditCliente->selectAll();
}

void TFrmVentaCajaVp::toSelling()
{
    GroupCliente->setEnabled(false);
    GroupArticulos->setEnabled(true);
    GroupArticulos->show();
    resetEntry();
}

void TFrmVentaCajaVp::EditClienteEnter()
{
    showMessagePanel(QStringLiteral("Ventas"));
    const QString typed = EditCliente->text().trimmed();
    if (!acceptCustomer(dm_, typed, this, [this](const QString& t) { showMessagePanel(t); })) {
        EditCliente->setFocus();
        return;
    }
    ClienteActual = StrToFloat(typed);
    dm_.startDocument();
    toSelling();
}

void TFrmVentaCajaVp::EditClienteEscape()
{
    if (!AskYesNo(QStringLiteral("Salir de Facturacion?")))
        return;
    leave();
}

void TFrmVentaCajaVp::EditClienteSearch() { searchCustomerInto(dm_, EditCliente, this); }

// ---------------------------------------------------------------- products and packings

void TFrmVentaCajaVp::EditProductoSearch()
{
    TFrmBuscarProductoAlf dlg(dm_.DbPos, this);
    dlg.exec();
    EditProducto->setText(CodigoBuscado);
    RadioEmpaque->setFocus(Qt::TabFocusReason);
}

void TFrmVentaCajaVp::EditProductoEnter()
{
    const QString code = EditProducto->text().trimmed();
    if (code.isEmpty()) {
        EditProductoSearch();
        return;
    }
    // A barcode is rung up at once: it is what the scanner typed, and the next scan follows.
    if (!dm_.DbPos.scalar(QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE CODIGOBARRAS = :C"),
                          {{QStringLiteral("C"), code}})
             .isNull()) {
        listPackings();
        RadioEmpaque->setItemIndex(0);
        addLine(QStringLiteral("1"));
        return;
    }
    RadioEmpaque->setFocus(Qt::TabFocusReason);
}

void TFrmVentaCajaVp::clearPackings()
{
    RadioEmpaque->setItems({});
    productos_.clear();
    unidades_.clear();
}

void TFrmVentaCajaVp::listPackings()
{
    if (!findProductByCode(dm_, EditProducto->text())) {
        // Whatever was typed (letters, "12a", a number no product has) is said plainly.
        const QString typed = EditProducto->text();
        clearPackings();
        EditProducto->clear();
        EditProducto->setFocus();
        if (!typed.trimmed().isEmpty())
            ShowMessage(QStringLiteral("No existe el Producto") + typed);
        return;
    }
    setYellow(RadioEmpaque, RadioEmpaque->hasFocus());
    const int producto = dm_.TProductos.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
    ProductoElegido = QString::number(producto);
    showMessagePanel(dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString());
    clearPackings();
    refreshStock(producto);

    // The base unit first, then the bigger packings by their number of units, so that the item
    // selected at first is the single unit at its own price.
    QSqlQuery q = dm_.DbPos.exec(
        QStringLiteral("SELECT V.UNIDAD, U.NOMBRE, V.CANTIDAD, V.VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA V LEFT "
                       "JOIN UNIDADES U ON U.UNIDAD = V.UNIDAD WHERE V.PRODUCTO = :PRODUCTO ORDER BY CASE WHEN V.UNIDAD "
                       "= :BASE THEN 0 ELSE 1 END, V.CANTIDAD, V.UNIDAD"),
        {{QStringLiteral("PRODUCTO"), producto},
         {QStringLiteral("BASE"), dm_.TProductos.FieldByName(QStringLiteral("UNIDAD")).asString()}});
    QStringList captions;
    while (dm_.DbPos.next(q)) {
        const QString unidad = q.value(0).toString().trimmed();
        QString nombre = q.value(1).toString().trimmed();
        if (nombre.isEmpty())
            nombre = unidad;
        captions << QLatin1Char('&') + nombre + QStringLiteral(" *") + FloatToStr(q.value(2).toDouble()) +
                        QStringLiteral(" [") + FormatFloat(QStringLiteral("###,###.00"), q.value(3).toDouble()) +
                        QLatin1Char(']');
        productos_ << ProductoElegido;
        unidades_ << unidad;
    }
    RadioEmpaque->setItems(captions);
    RadioEmpaque->setItemIndex(0);
}

void TFrmVentaCajaVp::refreshStock(int producto)
{
    const QDate today = QDate::currentDate();
    QVentasHoy.Close();
    QVentasHoy.setParam(QStringLiteral("PRODUCTO"), producto);
    QVentasHoy.setParam(QStringLiteral("FECHAI"), QDateTime(today, QTime(0, 0)));
    QVentasHoy.setParam(QStringLiteral("FECHAF"), QDateTime(today.addDays(1), QTime(0, 0)));
    QVentasHoy.Open();
    SaldoProducto = StockBalance(dm_.DbPos, producto) - QVentasHoy.FieldByName(QStringLiteral("VENDIDO")).asFloat();
    PanelSaldo->setText(QStringLiteral("Saldo =[") + FormatFloat(QStringLiteral("###,###.00"), SaldoProducto) +
                        QLatin1Char(']'));
}

void TFrmVentaCajaVp::RadioEmpaqueEnter()
{
    EditCantidad->setFocus();
    EditCantidad->selectAll();
}

void TFrmVentaCajaVp::EditCantidadEnter() { guarded([this] { addLine(EditCantidad->text()); }); }

void TFrmVentaCajaVp::resetEntry()
{
    EditProducto->clear();
    clearPackings();
    EditProducto->setFocus();
}

// ---------------------------------------------------------------- the add-line routine

void TFrmVentaCajaVp::addLine(const QString& quantityText)
{
    // The quantity is checked before anything is asked or stored, so a wrong one changes nothing
    // and the cashier corrects it where he typed it.
    const std::optional<double> typedQuantity = quantityTyped(quantityText);
    if (!typedQuantity) {
        EditCantidad->setFocus();
        EditCantidad->selectAll();
        return;
    }
    const double cantidad = *typedQuantity;

    struct Routine {
        TFrmVentaCajaVp& s;
        explicit Routine(TFrmVentaCajaVp& s) : s(s) { LineaPermitida = true; }
        ~Routine()
        {
            LineaPermitida = false;
            s.resetEntry();
        }
    } routine(*this);

    // 1. The chosen packing sells its own unit; a product without packings sells "UN".
    QString unidad = QStringLiteral("UN");
    const int item = RadioEmpaque->itemIndex();
    if (item >= 0 && item < unidades_.size()) {
        ProductoElegido = productos_[item];
        unidad = unidades_[item];
    }

    // 2. The product. Without a packing listed (a product that has none) it is the one the code
    // box names.
    if (item < 0) {
        if (!findProductByCode(dm_, EditProducto->text())) {
            ShowMessage(QStringLiteral("No existe el Producto") + EditProducto->text());
            return;
        }
        ProductoElegido = dm_.TProductos.FieldByName(QStringLiteral("PRODUCTO")).asString();
    }
    const std::optional<int> elegido = productNumber(ProductoElegido);
    if (!elegido || !dm_.TProductos.Locate(QStringLiteral("PRODUCTO"), *elegido)) {
        ShowMessage(QStringLiteral("No existe el Producto") + EditProducto->text());
        return;
    }
    const int numero = *elegido;

    // 3. The price of the packing; asked once when the product has none for this unit.
    const QVariantMap key{{QStringLiteral("PRODUCTO"), numero}, {QStringLiteral("UNIDAD"), unidad}};
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA FROM "
                                                "PRODUCTOSVALORVENTA WHERE PRODUCTO = :PRODUCTO AND UPPER(UNIDAD) = "
                                                "UPPER(:UNIDAD)"),
                                 key);
    double porEmpaque = 1;
    double precio = 0;
    const bool empresas = RadioPrecio->itemIndex() == 1;
    if (dm_.DbPos.next(q)) {
        porEmpaque = q.value(0).isNull() ? 1 : q.value(0).toDouble();
        precio = q.value(empresas ? 2 : 1).toDouble();
    } else {
        const std::optional<double> typed = askPrice(QStringLiteral("Precio"), QStringLiteral("Valor Precio Unidad"));
        if (!typed)
            return;
        UltimoPrecio = *typed;
        dm_.DbPos.exec(QStringLiteral("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, "
                                      "VALORVENTAEMPRESA) VALUES (:PRODUCTO, :UNIDAD, 1, :PRECIO, :PRECIO)"),
                       {{QStringLiteral("PRODUCTO"), numero}, {QStringLiteral("UNIDAD"), unidad},
                        {QStringLiteral("PRECIO"), *typed}});
        precio = *typed;
    }
    UltimoPrecio = precio;

    // 5. An open-price product: the price and a description are asked.
    QString observacion;
    if (precio == 0) {
        const std::optional<double> typed = askPrice(QStringLiteral("Entre Valor"), QStringLiteral("Precio"));
        if (!typed)
            return;
        precio = *typed;
        observacion = dialogs().input(QStringLiteral("Descripcion Producto"), QStringLiteral("Deatelle")).value_or(QString());
    }

    // 6. The discount step lowers the price itself.
    const int paso = RadioDescuento->itemIndex();
    static const double pasos[] = {0, 5, 10, 20};
    if (paso > 0 && paso < 4)
        precio = R(precio - precio * pasos[paso] / 100);

    // 7-8. Stock, for document types that control it.
    refreshStock(numero);
    const double base = cantidad * porEmpaque;
    const QVariant documento = dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).value();
    if (dm_.TDocumentos.Locate(QStringLiteral("DOCUMENTO"), documento) &&
        dm_.TDocumentos.FieldByName(QStringLiteral("CONTROLASALDO")).asString() == QLatin1String("S") &&
        SaldoProducto < base) {
        ShowMessage(QStringLiteral("Saldo Menor al Ofrecido ") + EditProducto->text());
        return;
    }

    // 9-13. The line, priced and totalled by the sales module in one operation.
    const bool ivaIncluido = dm_.TProductos.FieldByName(QStringLiteral("PRECIOMASIVA")).asString() == QLatin1String("S");
    const double tasa = dm_.TProductos.FieldByName(QStringLiteral("VALORIVA")).asFloat();
    const QString nombre = dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString();
    dm_.addLine({{QStringLiteral("BUSCADOR"), QString::number(numero)},
                 {QStringLiteral("UNIDADMOVIMIENTO"), unidad},
                 {QStringLiteral("CANTIDADRECIBIDA"), base},
                 {QStringLiteral("PRODUCTO"), numero},
                 {QStringLiteral("IVA"), ivaIncluido && tasa > 0 ? QVariant(tasa) : QVariant()},
                 {QStringLiteral("PRECIOUNIDAD"), precio},
                 {QStringLiteral("CANTIDAD"), cantidad},
                 {QStringLiteral("PORCENTAJEDESCUENTO"), 0.0},
                 {QStringLiteral("DESCUENTO"), 0.0},
                 {QStringLiteral("VALORIVA"), 0.0},
                 {QStringLiteral("VALORDESCUENTO"), 0.0},
                 {QStringLiteral("SUBTOTAL"), 0.0},
                 {QStringLiteral("OBSERVACION"), observacion}});
    // 14.
    showMessagePanel(nombre);
}

// ---------------------------------------------------------------- changing a line

void TFrmVentaCajaVp::DBGrid1ChangeLine()
{
    if (dm_.TFac.IsEmpty())
        return;
    // A cashier who may not change prices needs a supervisor, who stays signed on for the change.
    if (dm_.TCajero.FieldByName(QStringLiteral("CAMBIAPRECIO")).asString() != QLatin1String("S")) {
        const bool granted = TFrmVentaPermiso::Pedir(dm_, this);
        showCashier();
        if (!granted)
            return;
    }
    EditCambioCantidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("CANTIDAD")).asFloat()));
    EditValorUnidad->setText(FloatToStr(dm_.TFac.FieldByName(QStringLiteral("PRECIOUNIDAD")).asFloat()));
    lockForPriceChange(true);
    GroupCambioPrecio->show();
    EditCambioCantidad->setFocus();
    EditCambioCantidad->selectAll();
}

void TFrmVentaCajaVp::lockForPriceChange(bool locked)
{
    for (QWidget* w : {static_cast<QWidget*>(BtnCondiciones), static_cast<QWidget*>(EditProducto),
                       static_cast<QWidget*>(RadioEmpaque), static_cast<QWidget*>(RadioDescuento),
                       static_cast<QWidget*>(EditCantidad), static_cast<QWidget*>(DBGrid1),
                       static_cast<QWidget*>(RadioTipoFactura)})
        w->setEnabled(!locked);
    for (QAction* a : {Informes1, ReimprimeFactura1, CambiaFactura1, EgresoCaja1, AnulaFacturas1})
        a->setEnabled(!locked);
}

void TFrmVentaCajaVp::endPriceChange()
{
    GroupCambioPrecio->hide();
    lockForPriceChange(false);
    // After a supervisor's change, or a change she left, a cashier signs in again before selling on.
    if (supervisorSignedOn(dm_)) {
        TFrmVentaPermiso1::Devolver(dm_, this);
        showCashier();
    }
    if (selling())
        EditProducto->setFocus();
}

void TFrmVentaCajaVp::BtnCambioOKClick()
{
    const QString cantidadText = EditCambioCantidad->text().trimmed();
    const QString precioText = EditValorUnidad->text().trimmed();
    if (!IsNumber(cantidadText) || StrToFloat(cantidadText) == 0) {
        ShowMessage(QStringLiteral("Cantidad no válida: digite un número distinto de 0"));
        EditCambioCantidad->setFocus();
        return;
    }
    if (refuseHugeQuantity(StrToFloat(cantidadText))) {
        EditCambioCantidad->setFocus();
        return;
    }
    if (!IsNumber(precioText)) {
        ShowMessage(kBadPrice);
        EditValorUnidad->setFocus();
        return;
    }
    const double precio = StrToFloat(precioText);
    // What the line was sold at before the change: only a typed price that differs from it is a
    // new price for the catalogue (a quantity changed alone, or a price lowered by a discount
    // step and left as it was, is not).
    const double antes = dm_.TFac.FieldByName(QStringLiteral("PRECIOUNIDAD")).asFloat();
    const int producto = dm_.TFac.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
    const QString unidad = dm_.TFac.FieldByName(QStringLiteral("UNIDADMOVIMIENTO")).asString();
    bool changed = false;
    try {
        changed = dm_.changeLine({{QStringLiteral("CANTIDAD"), StrToFloat(cantidadText)},
                                  {QStringLiteral("PRECIOUNIDAD"), precio}});
    } catch (...) {
        endPriceChange();  // the database's refusal is shown once the supervisor handed back
        throw;
    }
    endPriceChange();
    if (changed && precio != antes && producto != 3900)
        writePriceBack(producto, unidad, precio);
}

void TFrmVentaCajaVp::writePriceBack(int producto, const QString& unidad, double precio)
{
    const QString columna = RadioPrecio->itemIndex() == 1 ? QStringLiteral("VALORVENTAEMPRESA")
                                                          : QStringLiteral("VALORVENTAMOSTRADOR");
    const QVariantMap p{{QStringLiteral("PRECIO"), precio},
                        {QStringLiteral("PRODUCTO"), producto},
                        {QStringLiteral("UNIDAD"), unidad}};
    Transaction t(dm_.DbPos);
    dm_.DbPos.exec(QStringLiteral("UPDATE PRODUCTOSVALORVENTA SET ") + columna +
                       QStringLiteral(" = :PRECIO WHERE PRODUCTO = :PRODUCTO AND UNIDAD = :UNIDAD"),
                   p);
    // The product's general price is a single unit's: a packing's price is not one.
    if (unidad == QLatin1String("UN"))
        dm_.DbPos.exec(QStringLiteral("UPDATE PRODUCTOS SET VALORUNIDAD = :PRECIO WHERE PRODUCTO = :PRODUCTO"), p);
    t.commit();
}

void TFrmVentaCajaVp::BtnCondicionesClick()
{
    TFrmCondicionesFactura dlg(dm_, this);
    dlg.exec();
    EditProducto->setFocus();
}

void TFrmVentaCajaVp::Informes1Click() { TFrmVentaCajaArqueo::AbrirSiCobra(dm_, this); }

void TFrmVentaCajaVp::showCashier()
{
    LabelCaja->setText(dm_.TCaja.FieldByName(QStringLiteral("NOMBRE")).asString());
    LabelCajero->setText(dm_.TCajero.FieldByName(QStringLiteral("NOMBRE")).asString());
}

// ---------------------------------------------------------------- finishing

void TFrmVentaCajaVp::TerminarFactura()
{
    if (!AskYesNo(QStringLiteral("Terminar Factura?")))
        return;
    const QVariantMap key{{QStringLiteral("EMPRESA"), dm_.TIniFac.FieldByName(QStringLiteral("EMPRESA")).value()},
                          {QStringLiteral("DOCUMENTO"), dm_.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).value()},
                          {QStringLiteral("CONSECUTIVO"), dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).value()}};
    const int items = dm_.DbPos
                          .scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = :EMPRESA "
                                                 "AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO"),
                                  key)
                          .toInt();
    if (items == 0) {
        const QString numero = key.value(QStringLiteral("CONSECUTIVO")).toString();
        if (!AskYesNo(QStringLiteral("Factura aun no se ha Utilizado Quiere Liberar el Numero ? ") + numero))
            return;
        if (!dm_.abandonEmptyDocument()) {
            // Another station added a line meanwhile: the document is in use after all.
            dm_.TFac.Refresh();
            ShowMessage(QStringLiteral("La factura %1 ya tiene líneas; no se liberó el número.").arg(numero));
            return;
        }
        dm_.TFac.Refresh();
        toWaiting();
        return;
    }
    dm_.TFac.Refresh();

    if (dm_.TCajero.FieldByName(QStringLiteral("COBRA")).asString() == QLatin1String("S")) {
        PagoCancelado = false;
        TFrmVentasPagoVp::Pagar(dm_, this);
        if (PagoCancelado) {
            EditProducto->setFocus();
            return;
        }
        toWaiting();
        return;
    }
    const QString imprimir = dm_.TCajero.FieldByName(QStringLiteral("IMPRIMIR")).asString();
    if (imprimir == QLatin1String("F")) {
        printForCollection();
        EditCliente->setText(QStringLiteral("1"));
    } else if (imprimir == QLatin1String("R")) {
        TFrmVentaOrdenPagoPrn::Imprimir(dm_.DbPos, {dm_.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString(),
                                                    dm_.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString(),
                                                    dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger()});
    }
    toWaiting();
}

InvoicePaper TFrmVentaCajaVp::chosenPaper() const
{
    static const InvoicePaper papers[] = {InvoicePaper::Roll, InvoicePaper::HalfLetter, InvoicePaper::Letter};
    return papers[qBound(0, RadioTipoFactura->itemIndex(), 2)];
}

void TFrmVentaCajaVp::printForCollection()
{
    printInvoice(dm_.DbPos,
                 {dm_.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString(),
                  dm_.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString(),
                  dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger()},
                 invoicePrintFor(InvoiceCaller::MainScreen, chosenPaper()), this);
}

}  // namespace kv
