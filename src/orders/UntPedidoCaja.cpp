#include "orders/UntPedidoCaja.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "orders/UntDmPedidos.h"
#include "orders/UntPedidoCajaArqueo.h"
#include "orders/UntPedidoCajaRpt.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/Spooler.h"
#include "pos/LineGridRules.h"
#include "pos/RegisterHeading.h"
#include "pos/SalePayment.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaSupervisor.h"
#include "pos/UntVentaCajaVp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kv {

namespace {
const QString kAmount = QStringLiteral("###,###.00");

// The order grid's columns; the product and the quantity are where the cashier types.
struct Column {
    const char* field;
    const char* title;
    bool editable;
};
const Column kColumns[] = {{"LINEA", "Item", false},
                           {"BUSCADOR", "Producto", true},
                           {"OBSERVACION", "Articulo", true},
                           {"CANTIDAD", "Cantidad", true},
                           {"PRECIOUNIDAD", "Precio Unidad", true},
                           {"PORCENTAJEDESCUENTO", "Descuento", true},
                           {"IVA", "Iva", false},
                           {"SUBTOTAL", "SubTotal", false},
                           {"VALORDESCUENTO", "Valor Descuento", false},
                           {"VALORIVA", "Valor Iva", false},
                           {"NETO", "NETO", false}};

void setTextColor(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (auto role : {QPalette::WindowText, QPalette::Text})
            p.setColor(group, role, c);
    w->setPalette(p);
}

void scaleFont(QWidget* w, double scale)
{
    QFont f = w->font();
    f.setPointSizeF(f.pointSizeF() * scale);
    f.setBold(true);
    w->setFont(f);
}
}  // namespace

TFrmPedidoCaja::TFrmPedidoCaja(TDmPedidos& dm, QWidget* parent) : OwnKeysDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmPedidoCaja"));
    setWindowTitle(QStringLiteral("Cotizaciones  Pedidos"));
    setAccessibleName(windowTitle());
    // Left through its menu or Esc only.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowMaximizeButtonHint) &
                   ~Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    buildLayout();

    LineGridRules::Setup rules;
    rules.completionField = QStringLiteral("CANTIDAD");
    rules.reportBadCode = true;
    rules.arrowsMoveRight = true;
    rules.appendPastEnd = true;
    rules.escapeKeepsTyping = true;
    rules.complete = [](Dataset& line, Dataset& product) {
        // Read before writing: each field written re-reads the line's product name.
        const QString code = LineGridRules::codeOf(product);
        const QVariant producto = product[QStringLiteral("PRODUCTO")].value();
        const double precio = product[QStringLiteral("VALORUNIDAD")].asFloat();
        const double iva = product[QStringLiteral("VALORIVA")].asFloat();
        line[QStringLiteral("BUSCADOR")] = code;
        line[QStringLiteral("PRODUCTO")] = producto;
        line[QStringLiteral("PRECIOUNIDAD")] = precio;
        line[QStringLiteral("IVA")] = iva;
        for (const char* f : {"DESCUENTO", "VALORIVA", "VALORDESCUENTO", "SUBTOTAL", "PORCENTAJEDESCUENTO"})
            line[QLatin1String(f)] = 0.0;
    };
    rules.showProductName = [this](const QString& nombre) { showMessagePanel(nombre); };
    rules_ = new LineGridRules(dm_, DBGrid1, rules, this);
    // An order closed meanwhile takes nothing more: once the refusal has been shown the screen
    // goes on to the next customer.
    connect(&dm_, &DocumentModule::closedDocumentRefused, this, [this] {
        if (stage_ != Stage::Customer)
            toCustomer();
    }, Qt::QueuedConnection);

    toCustomer();
}

TFrmPedidoCaja::~TFrmPedidoCaja() { deleteChildWidgets(this); }

void TFrmPedidoCaja::buildLayout()
{
    auto* main = new QVBoxLayout(this);

    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* archivo = menu->addMenu(QStringLiteral("Archivo"));
    archivo->setObjectName(QStringLiteral("Archivo1"));
    auto action = [this, archivo](QAction*& a, const QString& caption, const QString& name, void (TFrmPedidoCaja::*slot)()) {
        a = archivo->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, slot] { guarded([this, slot] { (this->*slot)(); }); });
    };
    action(CambiosFactura1, QStringLiteral("Cambios a la factura"), QStringLiteral("CambiosFactura1"),
           &TFrmPedidoCaja::CambiosFactura1Click);
    action(AbrirCajon1, QStringLiteral("Abrir Cajon"), QStringLiteral("AbrirCajon1"), &TFrmPedidoCaja::AbrirCajon1Click);
    action(TotalCotizaciones1, QStringLiteral("Total Cotizaciones"), QStringLiteral("TotalCotizaciones1"),
           &TFrmPedidoCaja::TotalCotizaciones1Click);
    action(ReimprimirCotizacion1, QStringLiteral("Reimprimir Cotización"), QStringLiteral("ReimprimirCotizacion1"),
           &TFrmPedidoCaja::ReimprimirCotizacion1Click);
    action(Salir1, QStringLiteral("Salir"), QStringLiteral("Salir1"), &TFrmPedidoCaja::Salir1Click);
    main->setMenuBar(menu);

    addRegisterHeading(dm_, this, main, LabelCaja, LabelCajero);

    // Customer.
    GroupCliente = new QGroupBox(QStringLiteral("Cliente"), this);
    GroupCliente->setObjectName(QStringLiteral("GroupCliente"));
    GroupCliente->setAccessibleName(QStringLiteral("Cliente"));
    auto* gc = new QGridLayout(GroupCliente);
    DBTextFactura = new DbText(dm_.TIniFac, QStringLiteral("CONSECUTIVO"), GroupCliente);
    DBTextFactura->setObjectName(QStringLiteral("DBTextFactura"));
    scaleFont(DBTextFactura, 2.0);
    gc->addWidget(captionFor(QStringLiteral("Nùmero Factura"), DBTextFactura, GroupCliente), 0, 0);
    gc->addWidget(DBTextFactura, 1, 0);
    EditCliente = new QLineEdit(QStringLiteral("1111"), GroupCliente);
    EditCliente->setObjectName(QStringLiteral("EditCliente"));
    EditCliente->setToolTip(QStringLiteral("Enter: iniciar el pedido; doble clic: buscar el cliente; Esc: salir"));
    gc->addWidget(captionFor(QStringLiteral("Nit o Cèdula Cliente o Tarjeta "), EditCliente, GroupCliente), 0, 1);
    gc->addWidget(EditCliente, 1, 1);
    DBTextNit = new DbText(dm_.TCliente, QStringLiteral("NIT"), GroupCliente);
    DBTextNit->setObjectName(QStringLiteral("DBTextNit"));
    DBTextNit->setAccessibleName(QStringLiteral("Nit"));
    DBTextNombre = new DbText(dm_.TCliente, QStringLiteral("NOMBRE"), GroupCliente);
    DBTextNombre->setObjectName(QStringLiteral("DBTextNombre"));
    DBTextNombre->setAccessibleName(QStringLiteral("Nombre"));
    gc->addWidget(DBTextNit, 2, 1);
    gc->addWidget(DBTextNombre, 3, 1);
    CheckSinRecibo = new QCheckBox(QStringLiteral("Sin Recibo"), GroupCliente);
    CheckSinRecibo->setObjectName(QStringLiteral("CheckSinRecibo"));
    CheckSinRecibo->setAccessibleName(QStringLiteral("Sin Recibo"));
    gc->addWidget(CheckSinRecibo, 2, 0);
    GroupArticulo = new QGroupBox(QStringLiteral("Articulo"), GroupCliente);
    GroupArticulo->setObjectName(QStringLiteral("GroupArticulo"));
    GroupArticulo->setAccessibleName(QStringLiteral("Articulo"));
    auto* gart = new QGridLayout(GroupArticulo);
    DBTextArticulo = new DbText(dm_.TProductos, QStringLiteral("NOMBRE"), GroupArticulo);
    DBTextArticulo->setObjectName(QStringLiteral("DBTextArticulo"));
    DBTextArticulo->setAccessibleName(QStringLiteral("Articulo"));
    DBTextPrecio = new DbText(dm_.TProductos, QStringLiteral("VALORUNIDAD"), GroupArticulo);
    DBTextPrecio->setObjectName(QStringLiteral("DBTextPrecio"));
    gart->addWidget(DBTextArticulo, 0, 0, 1, 2);
    gart->addWidget(captionFor(QStringLiteral("Precio"), DBTextPrecio, GroupArticulo), 1, 0);
    gart->addWidget(DBTextPrecio, 1, 1);
    gc->addWidget(GroupArticulo, 0, 2, 4, 1);
    // Disabled while an order is taken, the customer and the number stay readable.
    for (QWidget* t : {static_cast<QWidget*>(DBTextFactura), static_cast<QWidget*>(DBTextNit),
                       static_cast<QWidget*>(DBTextNombre), static_cast<QWidget*>(DBTextArticulo),
                       static_cast<QWidget*>(DBTextPrecio)})
        setTextColor(t, t->palette().color(QPalette::Active, QPalette::WindowText));
    GroupCliente->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    main->addWidget(GroupCliente);

    // Lines.
    GroupArticulos = new QGroupBox(QStringLiteral("Articulos"), this);
    GroupArticulos->setObjectName(QStringLiteral("GroupArticulos"));
    GroupArticulos->setAccessibleName(QStringLiteral("Articulos"));
    auto* ga = new QVBoxLayout(GroupArticulos);
    DBGrid1 = new DbGrid(dm_.TFac, GroupArticulos);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    DBGrid1->setToolTip(QStringLiteral("Producto y Cantidad: teclee; doble clic en Producto: buscar; Esc: pagar"));
    QVector<GridColumn> columns;
    for (const Column& c : kColumns) {
        GridColumn g = gridColumn(QLatin1String(c.field), QString::fromUtf8(c.title));
        // The columns the module fills and the line number are only shown.
        g.readOnly = !c.editable;
        columns.append(g);
    }
    DBGrid1->setColumns(columns);
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // The two columns the cashier types into keep the entry colour; the others are shaded.
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field != QLatin1String("BUSCADOR") && columns[i].field != QLatin1String("CANTIDAD"))
            DBGrid1->shadeColumn(i);
    ga->addWidget(DBGrid1);
    main->addWidget(GroupArticulos, 1);

    // Totals and payment.
    GroupTotal = new QGroupBox(QStringLiteral("Total Facrtura"), this);
    GroupTotal->setObjectName(QStringLiteral("GroupTotal"));
    GroupTotal->setAccessibleName(QStringLiteral("Total Facrtura"));
    auto* gt = new QGridLayout(GroupTotal);
    RadioTipoPago = new DbRadioGroup(dm_.TIniFac, QStringLiteral("TIPODEPAGO"), QStringLiteral("Tipo de pago"),
                                     {QStringLiteral("&Contado"), QStringLiteral("C&heque"), QStringLiteral("&Tarjeta"),
                                      QStringLiteral("&Otra Moneda")},
                                     {QStringLiteral("C"), QStringLiteral("H"), QStringLiteral("T"), QStringLiteral("O")}, 1,
                                     GroupTotal);
    RadioTipoPago->setObjectName(QStringLiteral("RadioTipoPago"));
    gt->addWidget(RadioTipoPago, 0, 0, 3, 1);
    EditDatos = new DbEdit(dm_.TIniFac, QStringLiteral("TIPODEPAGODES"), GroupTotal);
    EditDatos->setObjectName(QStringLiteral("EditDatos"));
    gt->addWidget(captionFor(QStringLiteral("Datos"), EditDatos, GroupTotal), 0, 1);
    gt->addWidget(EditDatos, 0, 2);
    EditPago = new QLineEdit(QStringLiteral("0"), GroupTotal);
    EditPago->setObjectName(QStringLiteral("EditPago"));
    EditPago->setToolTip(QStringLiteral("Enter: pagar; + o - del teclado numérico: dejar el pedido sin pagar"));
    scaleFont(EditPago, 1.6);
    gt->addWidget(captionFor(QStringLiteral("PAGO"), EditPago, GroupTotal), 1, 1);
    gt->addWidget(EditPago, 1, 2);
    LabelDevolucion = new QLabel(QStringLiteral("00"), GroupTotal);
    LabelDevolucion->setObjectName(QStringLiteral("LabelDevolucion"));
    scaleFont(LabelDevolucion, 2.0);
    setTextColor(LabelDevolucion, Qt::red);
    gt->addWidget(captionFor(QStringLiteral("Devoluciòn"), LabelDevolucion, GroupTotal), 2, 1);
    gt->addWidget(LabelDevolucion, 2, 2);
    auto* valor = new QGroupBox(QStringLiteral("Valor factura"), GroupTotal);
    valor->setObjectName(QStringLiteral("GroupValor"));
    valor->setAccessibleName(QStringLiteral("Valor factura"));
    auto* gv = new QGridLayout(valor);
    auto amount = [this, valor, gv](DbText*& t, const QString& field, const QString& name, const QString& caption, int row) {
        t = new DbText(dm_.TIniFac, field, valor);
        t->setObjectName(name);
        scaleFont(t, 1.4);
        gv->addWidget(captionFor(caption, t, valor), row, 0);
        gv->addWidget(t, row, 1);
    };
    amount(DBTextValor, QStringLiteral("SUBTOTAL"), QStringLiteral("DBTextValor"), QStringLiteral("Valor Factura"), 0);
    amount(DBTextDescuento, QStringLiteral("DESCUENTO"), QStringLiteral("DBTextDescuento"), QStringLiteral("Descuento"), 1);
    amount(DBTextNeto, QStringLiteral("NETO"), QStringLiteral("DBTextNeto"), QStringLiteral("A Pagar"), 2);
    setTextColor(DBTextDescuento, Qt::red);
    gt->addWidget(valor, 0, 3, 3, 1);
    GroupTotal->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    main->addWidget(GroupTotal);
    main->addStretch(0);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    auto panel = [this](QLabel*& l, const QString& name, const QString& text, int stretch) {
        l = new QLabel(text, StatusBar1);
        l->setObjectName(name);
        l->setAccessibleName(name);
        StatusBar1->addWidget(l, stretch);
    };
    panel(PanelProceso, QStringLiteral("PanelProceso"), QStringLiteral("Proceso"), 0);
    panel(PanelMensaje, QStringLiteral("PanelMensaje"), QString(), 2);
    panel(PanelFijo, QStringLiteral("PanelFijo"), QStringLiteral("Esc: Pagar"), 0);
    main->addWidget(StatusBar1);

    using Key = KeyMap::Key;
    keys_.add({
        {EditCliente, Key::PlainEnter, [this] { EditClienteEnter(); }},
        {EditCliente, Key::Escape, [this] { EditClienteEscape(); }},
        {EditCliente, Key::DoubleClick, [this] { EditClienteSearch(); }},
        {DBGrid1, Key::Escape, [this] { DBGrid1Escape(); }},
        {EditPago, Key::PlainEnter, [this] { EditPagoEnter(); }},
        {EditPago, Key::KeypadPlusMinus, [this] { EditPagoLeave(); }},
    });
    for (QWidget* w : {static_cast<QWidget*>(EditCliente), static_cast<QWidget*>(DBGrid1),
                       static_cast<QWidget*>(EditPago)})
        w->installEventFilter(this);
    resize(1000, 700);
}

void TFrmPedidoCaja::showMessagePanel(const QString& text) { PanelMensaje->setText(text); }

// ---------------------------------------------------------------- stages

void TFrmPedidoCaja::toCustomer()
{
    stage_ = Stage::Customer;
    CambiosFactura1->setEnabled(false);
    EditPago->clear();
    LabelDevolucion->clear();
    GroupArticulos->hide();
    GroupTotal->hide();
    GroupCliente->setEnabled(true);
    EditCliente->setFocus();
    EditCliente->selectAll();
}

void TFrmPedidoCaja::toLines()
{
    stage_ = Stage::Lines;
    GroupCliente->setEnabled(false);
    GroupTotal->hide();
    GroupArticulos->show();
    GroupArticulos->setEnabled(true);
    rules_->reset();
    // The cashier types the first line straight away.
    rules_->startLine();
}

void TFrmPedidoCaja::toPayment()
{
    stage_ = Stage::Payment;
    CambiosFactura1->setEnabled(true);
    GroupArticulos->setEnabled(false);
    GroupTotal->show();
    EditPago->setFocus();
    EditPago->selectAll();
}

// ---------------------------------------------------------------- customer

void TFrmPedidoCaja::EditClienteEnter()
{
    showMessagePanel(QStringLiteral("Ventas"));
    const QString typed = EditCliente->text().trimmed();
    StrToFloat(typed);  // text that is no number is refused with the conversion's own message
    // An order is never made out to whoever the customer cursor stood on before.
    if (!acceptCustomer(dm_, typed, this, [this](const QString& t) { showMessagePanel(t); })) {
        EditCliente->setFocus();
        return;
    }
    CambiosFactura1->setEnabled(false);
    dm_.startDocument();
    toLines();
}

void TFrmPedidoCaja::EditClienteEscape()
{
    if (AskYesNo(QStringLiteral("Salir de Facturacion?")))
        leave(false);
}

void TFrmPedidoCaja::EditClienteSearch() { searchCustomerInto(dm_, EditCliente, this); }

// ---------------------------------------------------------------- lines

bool TFrmPedidoCaja::settlePendingLine()
{
    Dataset& line = dm_.TFac;
    if (!line.isEditing())
        return true;
    // A line whose code names a product but was not completed yet is completed first, so that
    // what the cashier typed is stored priced.
    if (line[QStringLiteral("PRODUCTO")].isNull() && !line[QStringLiteral("BUSCADOR")].asString().trimmed().isEmpty())
        rules_->completeCurrentLine();
    if (line[QStringLiteral("PRODUCTO")].isNull()) {
        line.Cancel();  // nobody typed a product into it
        return true;
    }
    return guarded([&line] { line.Post(); });
}

void TFrmPedidoCaja::DBGrid1Escape()
{
    if (!settlePendingLine())
        return;
    toPayment();
}

// ---------------------------------------------------------------- payment

void TFrmPedidoCaja::EditPagoEnter()
{
    // The amount is read before anything happens: a box that holds no number stores nothing.
    const double pago = StrToFloat(EditPago->text().trimmed());
    // The payment type and its description are stored, and the order closed, before the drawer
    // opens and the change is shown: an order is counted as paid only once it is, and only for
    // the amount the cashier was shown.
    const SaleDocumentKey key = orderKey();
    const DocumentModule::ClosingOutcome closed = dm_.closeOrder();
    if (closed.kind == DocumentModule::ClosingOutcome::Changed) {
        ShowMessage(closed.message + QStringLiteral(" Valor a pagar ahora: ") +
                    FormatFloat(kAmount, dm_.TIniFac[QStringLiteral("NETO")].asFloat()));
        EditPago->setFocus();
        EditPago->selectAll();
        return;
    }
    if (closed.kind != DocumentModule::ClosingOutcome::Closed) {
        ShowMessage(closed.message);
        toCustomer();
        return;
    }
    const double neto = dm_.TIniFac[QStringLiteral("NETO")].asFloat();
    openDrawerAfterPayment(dm_.tables().noun, key.consecutivo);
    const QString change = FormatFloat(kAmount, pago - neto);
    LabelDevolucion->setText(change);
    ShowMessage(QStringLiteral("Devuloción (") + change + QStringLiteral(")"));
    // "Sin Recibo": nothing is printed (a receipt without the order's data would be paper only).
    if (!CheckSinRecibo->isChecked())
        TFrmPedidoCajaRpt::Imprimir(dm_.DbPos, key, InvoiceCaller::OrderPayment, this);
    toCustomer();
}

void TFrmPedidoCaja::EditPagoLeave()
{
    // The order stays as stored, unpaid; a payment type chosen meanwhile is not kept.
    if (dm_.TIniFac.isEditing())
        dm_.TIniFac.Cancel();
    toCustomer();
}

// ---------------------------------------------------------------- menu

void TFrmPedidoCaja::CambiosFactura1Click()
{
    if (stage_ != Stage::Payment)
        return;
    // A supervisor signs on to the orders module and changes this order's lines; afterwards the
    // order's own seller is the module's cashier again.
    const QVariant vendedor = dm_.TIniFac[QStringLiteral("VENDEDOR")].value();
    {
        TFrmVentaCajaSupervisor dlg(dm_, [this] {
            TFrmVentaCajaCambio changes(dm_, this);
            changes.exec();
        }, this);
        dlg.exec();
    }
    dm_.findCashier(vendedor.toDouble());
    dm_.TIniFac.RefreshRecord();
    EditPago->setFocus();
}

void TFrmPedidoCaja::AbrirCajon1Click()
{
    const QString drawer = Spooler::openCashDrawer();
    if (!drawer.isEmpty())
        dialogs().error(drawer);
}

void TFrmPedidoCaja::ReimprimirCotizacion1Click()
{
    const std::optional<QString> typed = dialogs().input(QStringLiteral("Reimprimir"), QStringLiteral("Número de Factura"));
    if (!typed)
        return;
    // A number that is not one is refused with the conversion's message; one with no order shows
    // an empty receipt. The order is taken under the company and document type in force.
    SaleDocumentKey key;
    key.empresa = dm_.Parametros[QStringLiteral("EMPRESA")].asString();
    key.documento = dm_.Parametros[QStringLiteral("DOCUMENTO")].asString();
    key.consecutivo = StrToInt(typed->trimmed());
    TFrmPedidoCajaRpt::Imprimir(dm_.DbPos, key, InvoiceCaller::OrderReprint, this);
}

void TFrmPedidoCaja::TotalCotizaciones1Click()
{
    // The listings are those of the signed-on seller and his register, headed with their names.
    OrderCashier who;
    who.caja = dm_.TCajero[QStringLiteral("CAJA")].asFloat();
    who.nombreCaja = dm_.TCaja.IsEmpty() ? QString() : dm_.TCaja[QStringLiteral("NOMBRE")].asString();
    who.cedula = dm_.TCajero[QStringLiteral("CEDULA")].asFloat();
    who.nombreCajero = dm_.TCajero[QStringLiteral("NOMBRE")].asString();
    TFrmPedidoCajaArqueo::Abrir(dm_.DbPos, who, this);
}

SaleDocumentKey TFrmPedidoCaja::orderKey()
{
    SaleDocumentKey key;
    if (dm_.TIniFac.IsEmpty())
        return key;
    key.empresa = dm_.TIniFac[QStringLiteral("EMPRESA")].asString();
    key.documento = dm_.TIniFac[QStringLiteral("DOCUMENTO")].asString();
    key.consecutivo = dm_.TIniFac[QStringLiteral("CONSECUTIVO")].asInteger();
    return key;
}

void TFrmPedidoCaja::Salir1Click() { leave(true); }

void TFrmPedidoCaja::leave(bool storePending)
{
    if (storePending && stage_ == Stage::Lines && !settlePendingLine())
        return;
    if (dm_.TFac.isEditing())
        dm_.TFac.Cancel();
    if (dm_.TIniFac.isEditing())
        dm_.TIniFac.Cancel();
    OwnKeysDialog::leave();
}

bool TFrmPedidoCaja::eventFilter(QObject* watched, QEvent* event)
{
    return keys_.handle(watched, event) || OwnKeysDialog::eventFilter(watched, event);
}

}  // namespace kv
