#include "pos/variants/UntVentaRegistradora.h"

#include "common/Dialogs.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/DocumentCorrections.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVenta.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaIncio.h"
#include "pos/variants/UntVentasPago.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace kv {

namespace {

// The open documents of one register. Each of the three conditions is a range of the index on
// (CAJA, STATUS), so the list is read from the few open documents, however many closed ones the
// register has made.
const char* kOpenDocuments =
    "SELECT M.EMPRESA, M.DOCUMENTO, M.CONSECUTIVO, M.FECHA, M.CLIENTE, "
    "COALESCE(P.NOMBRE, 'Cliente sin Nombre') AS NOMBRECLIENTE, M.NETO, M.VENDEDOR "
    "FROM POSMOVIMIENTO M LEFT JOIN PROVEEDORES P ON P.NIT = M.CLIENTE "
    "WHERE (M.CAJA = :CAJA AND M.STATUS IS NULL) OR (M.CAJA = :CAJA AND M.STATUS < 'I') "
    "OR (M.CAJA = :CAJA AND M.STATUS > 'I') "
    "ORDER BY M.CONSECUTIVO, M.EMPRESA, M.DOCUMENTO";

// A register without a period of its own (empty or 0) reads at the usual pace. Older databases get
// the column from "korvela-db update"; the program does not start on them before.
int refreshMs(TDmVentas& dm)
{
    const int seconds = dm.DbPos
                            .scalar(QStringLiteral("SELECT REFRESCO FROM POSCAJAS WHERE CAJA = :CAJA"),
                                    {{QStringLiteral("CAJA"), dm.TCajero[QStringLiteral("CAJA")].value()}})
                            .toInt();
    return seconds > 0 ? seconds * 1000 : TFrmVentaRegistradora::kRefrescoMs;
}

}  // namespace

TFrmVentaRegistradora::TFrmVentaRegistradora(TDmVentas& dm, QWidget* parent)
    : QDialog(parent), TFacturas(dm.DbPos), dm_(dm)
{
    setObjectName(QStringLiteral("TFrmVentaRegistradora"));
    setWindowTitle(QStringLiteral("Caja Principal"));
    TFacturas.setObjectName(QStringLiteral("TFacturas"));
    TFacturas.setSql(QString::fromLatin1(kOpenDocuments));
    TFacturas.setUpdateTable(QStringLiteral("POSMOVIMIENTO"));  // rows known by their key
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(refreshMs(dm_));
    connect(&Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    buildLayout();
    resize(900, 560);
}

TFrmVentaRegistradora::~TFrmVentaRegistradora()
{
    Timer1.stop();
    deleteChildWidgets(this);
}

void TFrmVentaRegistradora::Abrir(TDmVentas& dm, QWidget* parent)
{
    TFrmVentaRegistradora screen(dm, parent);
    screen.exec();
}

void TFrmVentaRegistradora::buildLayout()
{
    auto* main = new QVBoxLayout(this);
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* reimpresion = menu->addMenu(QStringLiteral("&Reimpresion Facturas"));
    reimpresion->setObjectName(QStringLiteral("ReimpresionFacturas1"));
    ImpresoraPos1 = reimpresion->addAction(QStringLiteral("Impresora &Pos"));
    MediaCarta1 = reimpresion->addAction(QStringLiteral("&Media carta"));
    Carta1 = reimpresion->addAction(QStringLiteral("&Carta"));
    ArqueoCaja1 = reimpresion->addAction(QStringLiteral("&Arqueo de Caja"));
    EgresoCaja1 = menu->addAction(QStringLiteral("&Egreso de Caja"));
    ModificaFactura1 = menu->addAction(QStringLiteral("&Modifica Factura"));
    ImpresoraPos1->setObjectName(QStringLiteral("ImpresoraPos1"));
    MediaCarta1->setObjectName(QStringLiteral("MediaCarta1"));
    Carta1->setObjectName(QStringLiteral("Carta1"));
    ArqueoCaja1->setObjectName(QStringLiteral("ArqueoCaja1"));
    EgresoCaja1->setObjectName(QStringLiteral("EgresoCaja1"));
    ModificaFactura1->setObjectName(QStringLiteral("ModificaFactura1"));
    main->setMenuBar(menu);

    const std::pair<QAction*, InvoicePaper> reprints[] = {
        {ImpresoraPos1, InvoicePaper::Roll}, {MediaCarta1, InvoicePaper::HalfLetter}, {Carta1, InvoicePaper::Letter}};
    for (const auto& [action, paper] : reprints)
        connect(action, &QAction::triggered, this, [this, paper = paper] {
            busy([&] { ReimprimeFactura(dm_, paper, this, InvoiceCaller::CollectionMenu); });
        });
    connect(ArqueoCaja1, &QAction::triggered, this, [this] { busy([this] { TFrmVentaCajaArqueo::Abrir(dm_, this); }); });
    connect(EgresoCaja1, &QAction::triggered, this, [this] { busy([this] { TFrmVentaCajaEgresos::Abrir(dm_, this); }); });
    connect(ModificaFactura1, &QAction::triggered, this, [this] {
        busy([this] {
            CambiaFactura(dm_, this);
            readList();  // a changed document shows its new total
        });
    });

    auto* heading = new QHBoxLayout;
    addRegisterHeading(dm_, this, heading, LabelCaja, LabelCajero);
    main->addLayout(heading);

    DBGrid1 = new DbGrid(TFacturas, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Facturas por cobrar"));
    DBGrid1->datasetModel()->setReadOnly(true);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setColumns({gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Número Factura")),
                         gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha"), QStringLiteral("dd mmm yyyy")),
                         gridColumn(QStringLiteral("CLIENTE"), QStringLiteral("Cliente"), QStringLiteral("###,###.")),
                         gridColumn(QStringLiteral("NOMBRECLIENTE"), QStringLiteral("Nombre Cliente"), QString(), 40),
                         gridColumn(QStringLiteral("NETO"), QStringLiteral("Valor Venta"), QStringLiteral("###,###.00")),
                         gridColumn(QStringLiteral("VENDEDOR"), QStringLiteral("Vendedor"), QStringLiteral("###,###."))});
    DBGrid1->installEventFilter(this);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { busy([this] { DBGrid1DblClick(); }); });
    main->addWidget(DBGrid1, 1);
}

void TFrmVentaRegistradora::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous() || shown_)
        return;
    shown_ = true;
    // The money put into the drawer, asked once a day; then the list.
    busy([this] { TFrmVentaCajaIncio::AbrirSiFalta(dm_, this); });
    guarded([this] { FormActivate(); });
    DBGrid1->setFocus();
}

void TFrmVentaRegistradora::FormActivate()
{
    TFacturas.Close();
    TFacturas.setParam(QStringLiteral("CAJA"), dm_.TCajero[QStringLiteral("CAJA")].value());
    TFacturas.Open();
    Timer1.start();
}

void TFrmVentaRegistradora::readList()
{
    if (TFacturas.active())
        TFacturas.Refresh();  // keeps the current row while it is still listed
}

void TFrmVentaRegistradora::Timer1Timer()
{
    // A question, the payment window or a report is open: the list stays as the cashier chose it.
    QWidget* modal = QApplication::activeModalWidget();
    if (busy_ > 0 || (modal && modal != this))
        return;
    readList();
}

void TFrmVentaRegistradora::busy(const std::function<void()>& step)
{
    ++busy_;
    guarded(step);
    --busy_;
}

std::optional<SaleDocumentKey> TFrmVentaRegistradora::chosenDocument()
{
    if (!TFacturas.active() || TFacturas.IsEmpty() || TFacturas.currentIndex() < 0)
        return std::nullopt;
    return SaleDocumentKey{TFacturas[QStringLiteral("EMPRESA")].asString(), TFacturas[QStringLiteral("DOCUMENTO")].asString(),
                           TFacturas[QStringLiteral("CONSECUTIVO")].asInteger()};
}

void TFrmVentaRegistradora::DBGrid1Enter()
{
    const std::optional<SaleDocumentKey> key = chosenDocument();
    if (!key)
        return;
    const QString nombre = TFacturas[QStringLiteral("NOMBRECLIENTE")].asString();
    struct Reread {
        TFrmVentaRegistradora* screen;
        ~Reread() { guarded([this] { screen->readList(); }); }
    } reread{this};

    if (!dm_.openDocument(key->empresa, key->documento, key->consecutivo)) {
        ShowMessage(QStringLiteral("La factura %1 ya no existe.").arg(key->consecutivo));
        return;
    }
    const QString closed = dm_.closedBy();
    if (!closed.isEmpty()) {
        ShowMessage(closed);
        return;
    }
    // Collecting starts from the whole amount: what was paid before is typed again in the window.
    Dataset& h = dm_.TIniFac;
    h.Edit();
    h[QStringLiteral("ABONO")] = 0.0;
    h[QStringLiteral("PAGO")] = h[QStringLiteral("NETO")].asFloat();
    h.Post();
    TFrmVentasPago pago(dm_, nombre, this);
    pago.exec();
}

void TFrmVentaRegistradora::DBGrid1DblClick()
{
    const std::optional<SaleDocumentKey> key = chosenDocument();
    if (!key)
        return;
    struct Reread {
        TFrmVentaRegistradora* screen;
        ~Reread() { guarded([this] { screen->readList(); }); }
    } reread{this};
    if (!confirmVoid(dm_, *key))
        return;
    if (voidDocument(dm_, *key, true))
        ShowMessage(QStringLiteral("Factura %1 anulada").arg(key->consecutivo));
    else
        ShowMessage(QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) en otra caja; no se anuló.")
                        .arg(key->consecutivo));
}

bool TFrmVentaRegistradora::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isPlainEnter(key)) {
            busy([this] { DBGrid1Enter(); });
            return true;
        }
        // The keyboard's way to what a double click does.
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            busy([this] { DBGrid1DblClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmVentaRegistradora::done(int r)
{
    Timer1.stop();
    QDialog::done(r);
}

void registerCollectionRegister()
{
    registerSaleScreen(QStringLiteral("C"), [](TDmVentas& dm, QWidget* parent) { TFrmVentaRegistradora::Abrir(dm, parent); });
}

}  // namespace kv
