#include "pos/UntVentaCajaVp.h"

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
#include "pos/UntVentasPagoVp.h"
#include "print/InvoicePrinting.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
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

}  // namespace

std::optional<int> productNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

bool findProductByCode(TDmVentas& dm, const QString& code)
{
    const QString text = code.trimmed();
    if (text.isEmpty())
        return false;
    // One keyed read finds the product by its barcode or, when no barcode is the text, by its
    // number, whatever the cursor holds; the cursor then goes to the product found.
    const std::optional<int> n = productNumber(text);
    const QVariant producto = dm.DbPos.scalar(
        QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE CODIGOBARRAS = :C OR PRODUCTO = :P ORDER BY "
                       "CASE WHEN CODIGOBARRAS = :C THEN 0 ELSE 1 END"),
        {{QStringLiteral("C"), text}, {QStringLiteral("P"), n ? QVariant(*n) : QVariant()}});
    if (producto.isNull())
        return false;
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

std::optional<double> priceTyped(const QString& text)
{
    if (!IsNumber(text)) {
        ShowMessage(QStringLiteral("Precio no válido: digite el valor con números y punto"));
        return std::nullopt;
    }
    return StrToFloat(text);
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

// ---------------------------------------------------------------- the screen

TFrmVentaCajaVp::TFrmVentaCajaVp(TDmVentas& dm, QWidget* parent) : OwnKeysDialog(parent), dm_(dm), QVentasHoy(dm.DbPos)
{
    setObjectName(QStringLiteral("FrmVentaCajaVp"));
    setWindowTitle(QStringLiteral("Caja"));
    setAccessibleName(QStringLiteral("Caja"));
    // The base units of a product sold in the period: the product's lines whose document is dated
    // in it, read as one range of the (product, document date) index. The line carries its
    // document's date (kept by the database on every write), so neither the day's documents nor
    // the years of the product's lines are visited, and the sum is the one the header join gives.
    QVentasHoy.setSql(QStringLiteral(
        "SELECT SUM(D.CANTIDADRECIBIDA) VENDIDO FROM POSMOVIMIENTODETALLE D WHERE D.PRODUCTO = :PRODUCTO AND "
        "D.FECHADOCUMENTO >= :FECHAI AND D.FECHADOCUMENTO < :FECHAF"));
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
    BtnCondiciones = new QPushButton(QStringLiteral("Con&diciones"), GroupArticulos);
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
    // The step stays chosen for the following products of the document: while it is in force it
    // shows in large red letters, so the cashier does not give it to a product by mistake.
    LabelDescuento = new QLabel(GroupArticulos);
    LabelDescuento->setObjectName(QStringLiteral("LabelDescuento"));
    LabelDescuento->setAccessibleName(QStringLiteral("Descuento en curso"));
    {
        QFont f = LabelDescuento->font();
        f.setPointSizeF(f.pointSizeF() * 1.4);
        f.setBold(true);
        LabelDescuento->setFont(f);
        QPalette p = LabelDescuento->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        LabelDescuento->setPalette(p);
    }
    LabelDescuento->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ga->addWidget(LabelDescuento);
    connect(RadioDescuento, &RadioGroup::itemChosen, this, [this] { showDiscountStep(); });

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
    // A new customer starts without the previous document's product on show and without its
    // discount: a step chosen for one customer is never given to the next one unasked.
    for (DbText* t : {DBTextDescripcion, DBTextBarras, DBTextProducto})
        t->clear();
    RadioDescuento->setItemIndex(0);
    showDiscountStep();
    resetEntry();
}

void TFrmVentaCajaVp::showDiscountStep()
{
    const int paso = RadioDescuento->itemIndex();
    LabelDescuento->setText(paso > 0 ? QStringLiteral("Descuento %1 % en cada producto")
                                           .arg(RadioDescuento->button(paso)->text().remove(QLatin1Char('&')))
                                     : QString());
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
