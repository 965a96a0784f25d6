#include "pos/variants/UntFacturacion.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "data/Schema.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/DocumentCorrections.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/UntVentasPagoVp.h"
#include "pos/variants/DocumentLookup.h"
#include "pos/variants/UntFacturacionVp.h"
#include "pos/variants/UntFacturacionVpRpt.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>


namespace kv {

namespace {
const QString kFacturaNoExiste = QStringLiteral("Factura No Existe");
}  // namespace

TFrmFacturacion::TFrmFacturacion(TDmVentas& dm, QWidget* parent)
    : QDialog(parent),
      TPedido(dm.DbPos, this),
      QGrupoM(dm.DbPos, this),
      QMesas1(dm.DbPos, this),
      QMesas2(dm.DbPos, this),
      QMesas3(dm.DbPos, this),
      QMesas4(dm.DbPos, this),
      QMesas{&QMesas1, &QMesas2, &QMesas3, &QMesas4},
      TMesero(dm.DbPos, this),
      dm_(dm)
{
    setObjectName(QStringLiteral("FrmFacturacion"));
    setWindowTitle(QStringLiteral("Ventas"));
    setAccessibleName(QStringLiteral("Ventas"));
    // An older database may not have the restaurant's tables yet.
    ensureMesas(dm_.DbPos);
    ensureMesero(dm_.DbPos);
    // A table shows one bill at a time: the module's header cursor reads only a few headers
    // around the one it looks for, instead of a page with their customers looked up row by row.
    // Set back when the screen closes.
    headerPageSize_ = dm_.TIniFac.pageSize();
    dm_.TIniFac.setPageSize(kRowsAround);
    TPedido.setTableName(QStringLiteral("MESAS"));
    QGrupoM.setSql(QStringLiteral("SELECT ESPACIO FROM MESAS Mesas GROUP BY ESPACIO"));
    for (Dataset* q : QMesas)
        q->setSql(QStringLiteral("SELECT ESPACIO,NUMERO FROM MESAS Mesas WHERE  ESPACIO = :ESPACIO  ORDER BY NUMERO"));
    TMesero.setTableName(QStringLiteral("MESERO"));
    buildLayout();
    // A bill closed meanwhile (collected at another register) takes nothing more: once the refusal
    // has been shown, the table is shown as it is now, free.
    connect(&dm_, &DocumentModule::closedDocumentRefused, this, [this] {
        if (documentOpen_)
            guarded([this] { showTable(); });
    }, Qt::QueuedConnection);
    FormCreate();
    setWindowState(windowState() | Qt::WindowMaximized);
}

TFrmFacturacion::~TFrmFacturacion()
{
    deleteChildWidgets(this);
    // The module's cursors stay on the document shown; a pending header change is not kept.
    if (dm_.TIniFac.isEditing())
        dm_.TIniFac.Cancel();
    dm_.TIniFac.setPageSize(headerPageSize_);
}

void TFrmFacturacion::buildLayout()
{
    auto* main = new QVBoxLayout(this);
    const RegisterMenu menu = addRegisterMenu(this, main);
    Informes1 = menu.Informes1;
    ReimprimeFactura1 = menu.ReimprimeFactura1;
    CambiaFactura1 = menu.CambiaFactura1;
    EgresoCaja1 = menu.EgresoCaja1;
    AnulaFacturas1 = menu.AnulaFacturas1;
    // These three have no work on this screen; shown disabled so that nobody waits for them.
    for (QAction* a : {CambiaFactura1, EgresoCaja1, AnulaFacturas1})
        a->setEnabled(false);
    connect(Informes1, &QAction::triggered, this, [this] { guarded([this] { Informes1Click(); }); });
    connect(ReimprimeFactura1, &QAction::triggered, this, [this] { guarded([this] { ReimprimeFactura1Click(); }); });

    auto* heading = new QHBoxLayout;
    addRegisterHeading(dm_, this, heading, LabelCaja, LabelCajero);
    main->addLayout(heading);

    auto* body = new QHBoxLayout;
    main->addLayout(body, 1);

    // The tables, one tab per area.
    GroupMesas = new QGroupBox(QStringLiteral("Mesas"), this);
    GroupMesas->setObjectName(QStringLiteral("GroupMesas"));
    GroupMesas->setAccessibleName(QStringLiteral("Mesas"));
    auto* gm = new QVBoxLayout(GroupMesas);
    PageMesas = new QTabWidget(GroupMesas);
    PageMesas->setObjectName(QStringLiteral("PageMesas"));
    PageMesas->setAccessibleName(QStringLiteral("Espacios"));
    for (int i = 0; i < kAreas; ++i) {
        DBGridMesas[i] = new DbGrid(*QMesas[i], PageMesas);
        DBGridMesas[i]->setObjectName(QStringLiteral("DBGridMesas%1").arg(i + 1));
        DBGridMesas[i]->setAccessibleName(QStringLiteral("Mesas %1").arg(i + 1));
        DBGridMesas[i]->setColumns({gridColumn(QStringLiteral("NUMERO"), QStringLiteral("Mesa"))});
        DBGridMesas[i]->setEditTriggers(QAbstractItemView::NoEditTriggers);
        DBGridMesas[i]->setToolTip(QStringLiteral("Enter o doble clic: abrir la mesa"));
        DBGridMesas[i]->installEventFilter(this);
        DBGridMesas[i]->viewport()->installEventFilter(this);
        PageMesas->addTab(DBGridMesas[i], QString());
    }
    gm->addWidget(PageMesas);
    body->addWidget(GroupMesas, 1);

    auto* right = new QVBoxLayout;
    body->addLayout(right, 3);

    GroupCliente = new QGroupBox(QStringLiteral("Cliente"), this);
    GroupCliente->setObjectName(QStringLiteral("GroupCliente"));
    GroupCliente->setAccessibleName(QStringLiteral("Cliente"));
    auto* gc = new QGridLayout(GroupCliente);
    EditCliente = new QLineEdit(QStringLiteral("222222222"), GroupCliente);
    EditCliente->setObjectName(QStringLiteral("EditCliente"));
    EditCliente->setToolTip(QStringLiteral("Enter: abrir la factura de la mesa; F2 o doble clic: buscar el cliente"));
    gc->addWidget(captionFor(QStringLiteral("Nit o Cèdula Cliente"), EditCliente, GroupCliente), 0, 0);
    gc->addWidget(EditCliente, 0, 1);
    DBTextMesa = new DbText(TPedido, QStringLiteral("NUMERO"), GroupCliente);
    DBTextMesa->setObjectName(QStringLiteral("DBTextMesa"));
    gc->addWidget(captionFor(QStringLiteral("Mesa"), DBTextMesa, GroupCliente), 0, 2);
    gc->addWidget(DBTextMesa, 0, 3);

    PanelFactura = new QWidget(GroupCliente);
    PanelFactura->setObjectName(QStringLiteral("PanelFactura"));
    auto* pf = new QGridLayout(PanelFactura);
    pf->setContentsMargins(0, 0, 0, 0);
    auto text = [this, pf](DbText*& t, const QString& field, const QString& name, const QString& caption, int row,
                           int col, double scale) {
        t = new DbText(dm_.TIniFac, field, PanelFactura);
        t->setObjectName(name);
        if (scale > 1) {
            QFont f = t->font();
            f.setPointSizeF(f.pointSizeF() * scale);
            f.setBold(true);
            t->setFont(f);
        }
        pf->addWidget(captionFor(caption, t, PanelFactura), row, col);
        pf->addWidget(t, row, col + 1);
    };
    text(DBTextCliente, QStringLiteral("NombreCliente"), QStringLiteral("DBTextCliente"), QStringLiteral("Cliente"), 0, 0, 1);
    text(DBTextFactura, QStringLiteral("CONSECUTIVO"), QStringLiteral("DBTextFactura"), QStringLiteral("Factura"), 0, 2, 1.5);
    DBLookupMesero = new DbLookupComboBox(dm_.TIniFac, QStringLiteral("VENDEDOR"), TMesero, QStringLiteral("CEDULA"),
                                          QStringLiteral("NOMBRE"), PanelFactura);
    DBLookupMesero->setObjectName(QStringLiteral("DBLookupMesero"));
    pf->addWidget(captionFor(QStringLiteral("&Mesero"), DBLookupMesero, PanelFactura), 1, 0);
    pf->addWidget(DBLookupMesero, 1, 1);
    DBEditPersonas = new DbEdit(dm_.TIniFac, QStringLiteral("PERSONAS"), PanelFactura);
    DBEditPersonas->setObjectName(QStringLiteral("DBEditPersonas"));
    pf->addWidget(captionFor(QStringLiteral("&Personas"), DBEditPersonas, PanelFactura), 1, 2);
    pf->addWidget(DBEditPersonas, 1, 3);
    text(DBTextNeto, QStringLiteral("NETO"), QStringLiteral("DBTextNeto"), QStringLiteral("Valor a Pagar"), 2, 0, 2);
    BtnFacturar = new QPushButton(QStringLiteral("&Facturar"), PanelFactura);
    BtnFacturar->setObjectName(QStringLiteral("BtnFacturar"));
    BtnFacturar->setAccessibleName(QStringLiteral("Facturar"));
    BtnFacturar->setAutoDefault(false);
    pf->addWidget(BtnFacturar, 2, 3);
    gc->addWidget(PanelFactura, 1, 0, 1, 4);
    gc->setRowStretch(2, 1);  // with no bill shown, the customer box stays at the top
    right->addWidget(GroupCliente);

    BtnMas = new QPushButton(QStringLiteral("&+"), this);
    BtnMas->setObjectName(QStringLiteral("BtnMas"));
    BtnMas->setAccessibleName(QStringLiteral("Agregar"));
    BtnMas->setToolTip(QStringLiteral("Agregar artículos a la mesa"));
    BtnMas->setAutoDefault(false);
    right->addWidget(BtnMas, 0, Qt::AlignLeft);

    DBGrid1 = new DbGrid(dm_.TFac, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    auto col = [](const char* field, bool readOnly) {
        GridColumn c = gridColumn(QLatin1String(field));
        c.readOnly = readOnly;
        return c;
    };
    DBGrid1->setColumns({col("LINEA", true), col("BUSCADOR", true), col("NombreArticulo", true), col("CANTIDAD", false),
                         col("SUBTOTAL", true)});
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                             QAbstractItemView::DoubleClicked);
    right->addWidget(DBGrid1, 1);

    PanelMensaje = addMessageStatusBar(this, main, StatusBar1);

    connect(BtnMas, &QPushButton::clicked, this, [this] { guarded([this] { BtnMasClick(); }); });
    connect(BtnFacturar, &QPushButton::clicked, this, [this] { guarded([this] { BtnFacturarClick(); }); });
    // The waiter and the number of guests are stored as soon as they are chosen or typed.
    auto storeHeader = [this] {
        guarded([this] {
            if (dm_.TIniFac.isEditing())
                dm_.TIniFac.Post();
        });
    };
    connect(DBLookupMesero, &QComboBox::activated, this, storeHeader);
    connect(DBEditPersonas, &QLineEdit::editingFinished, this, storeHeader);
    EditCliente->installEventFilter(this);
    resize(1000, 680);
}

void TFrmFacturacion::FormCreate()
{
    // The first four areas name the tabs in the order the query gives them.
    QGrupoM.Open();
    QStringList areas;
    for (QGrupoM.First(); !QGrupoM.Eof() && areas.size() < kAreas; QGrupoM.Next())
        areas << QGrupoM.fieldAt(0).asString();
    QGrupoM.Close();
    for (int i = 0; i < kAreas; ++i) {
        PageMesas->setTabText(i, areas.value(i));
        QMesas[i]->setParam(QStringLiteral("ESPACIO"), i < areas.size() ? QVariant(areas[i]) : QVariant());
        QMesas[i]->Open();
    }
    TPedido.Open();
    TMesero.Open();
    DBLookupMesero->reloadList();
    showDocument(false);
    // The waiter starts by choosing a table.
    PageMesas->setCurrentIndex(0);
    DBGridMesas[0]->setFocus();
}

bool TFrmFacturacion::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < kAreas; ++i) {
        const bool onGrid = watched == DBGridMesas[i] || watched == DBGridMesas[i]->viewport();
        if (!onGrid)
            continue;
        const bool enter = event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event));
        if (enter || event->type() == QEvent::MouseButtonDblClick) {
            guarded([this, i] { selectTable(i); });
            return true;
        }
        return false;
    }
    if (watched == EditCliente) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            guarded([this] { EditClienteSearch(); });
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (isPlainEnter(k)) {
                guarded([this] { EditClienteEnter(); });
                return true;
            }
            if (k->key() == Qt::Key_F2) {
                guarded([this] { EditClienteSearch(); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmFacturacion::showMessagePanel(const QString& text) { PanelMensaje->setText(text); }

// ---------------------------------------------------------------- tables

void TFrmFacturacion::selectTable(int area)
{
    Dataset& mesas = *QMesas[area];
    if (!mesas.active() || mesas.IsEmpty())
        return;
    const QVariant espacio = mesas.FieldByName(QStringLiteral("ESPACIO")).value();
    const QVariant numero = mesas.FieldByName(QStringLiteral("NUMERO")).value();
    const QString key = QStringLiteral("ESPACIO;NUMERO");
    if (!TPedido.Locate(key, {espacio, numero})) {
        TPedido.Insert();
        TPedido[QStringLiteral("ESPACIO")] = espacio;
        TPedido[QStringLiteral("NUMERO")] = numero;
        TPedido[QStringLiteral("PEDIDO")] = 0;
        TPedido.Post();
    }
    tableChosen_ = true;
    showTable();
}

int TFrmFacturacion::openDocumentOfTable()
{
    TPedido.RefreshRecord();
    const int pedido = TPedido.FieldByName(QStringLiteral("PEDIDO")).asInteger();
    if (pedido == 0)
        return 0;
    const std::optional<bool> closed = documentClosed(dm_, tableBill());
    if (closed && !*closed)
        return pedido;
    if (!closed)
        ShowMessage(kFacturaNoExiste);
    // Collected or voided (here or at another register), or gone: the table is free again.
    moveTable(pedido, 0);
    return 0;
}

SaleDocumentKey TFrmFacturacion::tableBill()
{
    Dataset& p = TPedido[QStringLiteral("EMPRESA")].isNull() ? dm_.Parametros : TPedido;
    return {p[QStringLiteral("EMPRESA")].asString(), p[QStringLiteral("DOCUMENTO")].asString(),
            TPedido[QStringLiteral("PEDIDO")].asInteger()};
}

bool TFrmFacturacion::moveTable(const QVariant& from, int to)
{
    const bool changed = markTable(from, to);
    TPedido.RefreshRecord();
    return changed;
}

bool TFrmFacturacion::markTable(const QVariant& from, int to)
{
    const bool occupied = to > 0;
    const int changed = dm_.DbPos
                            .exec(QStringLiteral("UPDATE MESAS SET PEDIDO = :HACIA, EMPRESA = :EMPRESA, DOCUMENTO = :DOCUMENTO "
                                                 "WHERE ESPACIO = :ESPACIO AND NUMERO = :NUMERO AND COALESCE(PEDIDO, 0) = :DESDE"),
                                  {{QStringLiteral("HACIA"), to},
                                   {QStringLiteral("EMPRESA"), occupied ? dm_.TIniFac[QStringLiteral("EMPRESA")].value() : QVariant()},
                                   {QStringLiteral("DOCUMENTO"),
                                    occupied ? dm_.TIniFac[QStringLiteral("DOCUMENTO")].value() : QVariant()},
                                   {QStringLiteral("ESPACIO"), TPedido.FieldByName(QStringLiteral("ESPACIO")).value()},
                                   {QStringLiteral("NUMERO"), TPedido.FieldByName(QStringLiteral("NUMERO")).value()},
                                   {QStringLiteral("DESDE"), from.toInt()}})
                            .numRowsAffected();
    return changed > 0;
}

void TFrmFacturacion::showTable()
{
    const int pedido = openDocumentOfTable();
    const SaleDocumentKey bill = tableBill();
    const bool shown = documentOpen_ && dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger() == pedido;
    if (pedido > 0 && dm_.openDocument(bill.empresa, bill.documento, pedido)) {
        // Moving to another bill reads its lines; the bill already shown is read again for the
        // lines other stations added.
        if (shown)
            dm_.TFac.Refresh();
        showDocument(true);
        BtnMas->setFocus();
        return;
    }
    showDocument(false);
    EditCliente->setFocus();
    EditCliente->selectAll();
}

void TFrmFacturacion::showDocument(bool open)
{
    documentOpen_ = open;
    PanelFactura->setVisible(open);
    DBGrid1->setVisible(open);
    BtnFacturar->setVisible(open);
}

QString TFrmFacturacion::tableText()
{
    return TPedido.FieldByName(QStringLiteral("ESPACIO")).asString() + QStringLiteral(" Mesa ") +
           TPedido.FieldByName(QStringLiteral("NUMERO")).asString();
}

// ---------------------------------------------------------------- a table's document

void TFrmFacturacion::EditClienteEnter()
{
    showMessagePanel(QStringLiteral("Ventas"));
    if (!tableChosen_) {
        ShowMessage(QStringLiteral("Escoja primero la mesa"));
        PageMesas->currentWidget()->setFocus();
        return;
    }
    // A table with an open bill keeps it: a second bill would never be charged.
    const int abierta = openDocumentOfTable();
    if (abierta > 0) {
        ShowMessage(QStringLiteral("La mesa %1 ya tiene abierta la factura %2")
                        .arg(TPedido.FieldByName(QStringLiteral("NUMERO")).asString())
                        .arg(abierta));
        showTable();
        return;
    }
    const QString typed = EditCliente->text().trimmed();
    if (!acceptCustomer(dm_, typed, this, [this](const QString& t) { showMessagePanel(t); })) {
        EditCliente->setFocus();
        return;
    }
    ClienteActual = StrToFloat(typed);
    // The bill and the table that points to it are stored together: a bill no table points to is
    // never left behind, and a table another station took a moment ago takes no number.
    struct TableTaken {};
    try {
        dm_.startDocument([this](int numero) {
            if (!markTable(0, numero))
                throw TableTaken();
        });
    } catch (const TableTaken&) {
        ShowMessage(QStringLiteral("Otra caja acaba de abrir una factura para esta mesa; se muestra esa factura."));
        showTable();
        return;
    }
    TPedido.RefreshRecord();
    dm_.TFac.Refresh();
    showDocument(true);
    BtnMas->setFocus();
}

void TFrmFacturacion::EditClienteSearch() { searchCustomerInto(dm_, EditCliente, this); }

void TFrmFacturacion::BtnMasClick()
{
    if (!documentOpen_) {
        ShowMessage(QStringLiteral("La mesa no tiene una factura abierta: digite el cliente para abrirla"));
        return;
    }
    const int numero = dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger();
    if (openDocumentOfTable() != numero) {
        ShowMessage(QStringLiteral("La factura %1 de esta mesa ya fue cerrada en otra caja; la mesa está libre.").arg(numero));
        showTable();
        return;
    }
    const std::optional<TFrmFacturacionVp::Choice> choice =
        TFrmFacturacionVp::Elegir(dm_.DbPos, QString::number(numero), tableText(), this);
    BtnMas->setFocus();
    if (!choice)
        return;
    if (!dm_.TProductos.Locate(QStringLiteral("PRODUCTO"), choice->producto)) {
        ShowMessage(QStringLiteral("No existe el Producto") + QString::number(choice->producto));
        return;
    }
    const double precio = dm_.TProductos.FieldByName(QStringLiteral("VALORUNIDAD")).asFloat();
    const QString nombre = dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString();
    UltimoPrecio = precio;
    // The line carries the dish's tax rates, as on the main register: the Ipoconsumo is inside the
    // menu price, an IVA the price leaves out is added to the bill.
    QVariantMap line{{QStringLiteral("BUSCADOR"), QString::number(choice->producto)},
                     {QStringLiteral("PRODUCTO"), choice->producto},
                     {QStringLiteral("UNIDADMOVIMIENTO"), QStringLiteral("UN")},
                     {QStringLiteral("CANTIDADRECIBIDA"), choice->cantidad},
                     {QStringLiteral("CANTIDAD"), choice->cantidad},
                     {QStringLiteral("PRECIOUNIDAD"), precio}};
    line.insert(TDmVentas::taxRatesOf(dm_.TProductos));
    if (!dm_.addLine(line))
        return;
    showMessagePanel(nombre);
    // The kitchen gets the batch once it is on the bill, so nothing is cooked that is not charged.
    const QString mesero = dm_.DbPos
                               .scalar(QStringLiteral("SELECT NOMBRE FROM MESERO WHERE CEDULA = :CEDULA"),
                                       {{QStringLiteral("CEDULA"), dm_.TIniFac.FieldByName(QStringLiteral("VENDEDOR")).value()}})
                               .toString();
    TFrmFacturacionVpRpt::Imprimir({choice->cantidad, nombre, choice->observacion, numero, tableText(),
                                    QDateTime::currentDateTime(), mesero},
                                   this);
    BtnMas->setFocus();
}

void TFrmFacturacion::BtnFacturarClick()
{
    if (!documentOpen_)
        return;
    const int numero = dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger();
    if (openDocumentOfTable() != numero) {
        ShowMessage(QStringLiteral("La factura %1 de esta mesa ya fue cerrada en otra caja; la mesa está libre.").arg(numero));
        showTable();
        return;
    }
    if (dm_.TIniFac.isEditing())
        dm_.TIniFac.Post();
    PagoCancelado = false;
    TFrmVentasPagoVp::Pagar(dm_, this);
    if (PagoCancelado) {
        BtnMas->setFocus();
        return;
    }
    // Only a bill that is closed now frees its table (openDocumentOfTable sets it free).
    showTable();
}

// ---------------------------------------------------------------- menu

void TFrmFacturacion::Informes1Click() { TFrmVentaCajaArqueo::AbrirSiCobra(dm_, this); }

void TFrmFacturacion::ReimprimeFactura1Click()
{
    ReimprimeFactura(dm_, InvoicePaper::Roll, this, InvoiceCaller::RestaurantReprint);
}

}  // namespace kv
