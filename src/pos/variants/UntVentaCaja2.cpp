#include "pos/variants/UntVentaCaja2.h"

#include "catalog/UntBuscarTercero.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/variants/UntVentasPago1.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

TFrmVentaCaja2::TFrmVentaCaja2(TDmVentas& dm, QWidget* parent)
    : ItemEntryScreen(dm, QStringLiteral("FrmVentaCaja2"), QStringLiteral("Caja Dos"),
                      QStringLiteral("Nit o Cèdula Cliente o Tarjeta "), parent)
{
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* archivo = menu->addMenu(QStringLiteral("&Archivo"));
    AbrirCaja1 = archivo->addAction(QStringLiteral("A&brir Caja"));
    Arqueo1 = archivo->addAction(QStringLiteral("A&rqueo"));
    ReimprimirFactura1 = archivo->addAction(QStringLiteral("Re&imprimir Factura"));
    Egresos1 = archivo->addAction(QStringLiteral("&Egresos"));
    ModicarFactura1 = menu->addAction(QStringLiteral("&Modicar Factura"));
    AbrirCaja1->setObjectName(QStringLiteral("AbrirCaja1"));
    Arqueo1->setObjectName(QStringLiteral("Arqueo1"));
    ReimprimirFactura1->setObjectName(QStringLiteral("ReimprimirFactura1"));
    Egresos1->setObjectName(QStringLiteral("Egresos1"));
    ModicarFactura1->setObjectName(QStringLiteral("ModicarFactura1"));
    AbrirCaja1->setEnabled(false);  // the opening amount is asked when the register's day starts
    mainLayout()->setMenuBar(menu);
    connect(Arqueo1, &QAction::triggered, this, [this] { guarded([this] { TFrmVentaCajaArqueo::Abrir(dm_, this); }); });
    connect(ReimprimirFactura1, &QAction::triggered, this, [this] {
        guarded([this] { ReimprimeFactura(dm_, InvoicePaper::Roll, this, InvoiceCaller::CajaDosReprint); });
    });
    connect(Egresos1, &QAction::triggered, this, [this] { guarded([this] { TFrmVentaCajaEgresos::Abrir(dm_, this); }); });
    connect(ModicarFactura1, &QAction::triggered, this, [this] {
        guarded([this] {
            CambiaFactura(dm_, this);
            showCashier();
        });
    });

    Edit1->setText(QStringLiteral("222222222"));
    Edit1->setToolTip(QStringLiteral("Enter: iniciar la factura; F2 o doble clic: buscar el cliente; Esc: salir"));
    QGridLayout* gc = clienteLayout();
    DBTextReferencia = new DbText(dm_.TCliente, QStringLiteral("PADRE"), GroupCliente);
    DBTextReferencia->setObjectName(QStringLiteral("DBTextReferencia"));
    gc->addWidget(captionFor(QStringLiteral("Referencia "), DBTextReferencia, GroupCliente), 2, 0);
    gc->addWidget(DBTextReferencia, 2, 1);
    BtnCambioReferencia = new QPushButton(QStringLiteral("Cambio &Referencia"), GroupCliente);
    BtnCambioReferencia->setObjectName(QStringLiteral("BtnCambioReferencia"));
    BtnCambioReferencia->setAccessibleName(QStringLiteral("Cambio Referencia"));
    BtnCambioReferencia->setAutoDefault(false);
    gc->addWidget(BtnCambioReferencia, 2, 2);
    connect(BtnCambioReferencia, &QPushButton::clicked, this, [this] { guarded([this] { BtnCambioReferenciaClick(); }); });
    // The headers are only looked through here: documents are made and changed by their own steps.
    DBNavigator1 = new DbNavigator(dm_.TIniFac, GroupCliente);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    for (DbNavigator::Button b : {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Edit, DbNavigator::Post,
                                  DbNavigator::Cancel})
        DBNavigator1->button(b)->hide();
    gc->addWidget(DBNavigator1, 3, 0, 1, 4);
    buildLayout(true);
    keys_.add({{Edit1, KeyMap::Key::F2, [this] { Edit1Search(); }},
               {Edit1, KeyMap::Key::DoubleClick, [this] { Edit1Search(); }}});
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TFrmVentaCaja2::showEvent(QShowEvent* e)
{
    ItemEntryScreen::showEvent(e);
    if (e->spontaneous())
        return;
    // First showing: the register's heading, the last document on display, waiting for a customer.
    guarded([this] {
        showCashier();
        dm_.TIniFac.Last();
        toWaiting();
    });
}

void TFrmVentaCaja2::Edit1Enter()
{
    showMessagePanel(QStringLiteral("Ventas"));
    const QString typed = Edit1->text().trimmed();
    // A customer still missing after the customer window (it was cancelled) starts no document.
    if (!acceptCustomer(dm_, typed, this, [this](const QString& t) { showMessagePanel(t); })) {
        Edit1->setFocus();
        return;
    }
    ClienteActual = StrToFloat(typed);
    dm_.startDocument();
    GroupCliente->setEnabled(false);
    toSelling();
}

void TFrmVentaCaja2::Edit1Search() { searchCustomerInto(dm_, Edit1, this); }

void TFrmVentaCaja2::BtnCambioReferenciaClick()
{
    if (dm_.TCliente.IsEmpty())
        return;
    NitTerceroElegido = 0;
    TFrmBuscarTercero dlg(dm_.DbPos, this);
    dlg.exec();
    // Only a third party really chosen becomes the customer's reference; a closed search changes
    // nothing.
    if (dlg.result() != QDialog::Accepted || NitTerceroElegido == 0)
        return;
    dm_.TCliente.Edit();
    dm_.TCliente.FieldByName(QStringLiteral("PADRE")).setValue(NitTerceroElegido);
    dm_.TCliente.Post();
}

void TFrmVentaCaja2::DBGrid1DblClick()
{
    if (dm_.TCajero.FieldByName(QStringLiteral("CAMBIAPRECIO")).asString() == QLatin1String("S"))
        showPriceBox();
}

void TFrmVentaCaja2::finishDocument()
{
    bool paid = false;
    {
        TFrmVentasPago1 pago(dm_, this);
        paid = pago.exec() == QDialog::Accepted;
    }
    dm_.TFac.Refresh();
    // Left without paying: the cashier either stays on the document to add or correct items, or
    // leaves it open (to be collected at the collection register, as the main register leaves a
    // seller's document) and serves the next customer or leaves the screen.
    if (!paid && !AskYesNo(QStringLiteral("La factura %1 no se pagó. ¿Dejarla abierta y atender otro cliente?")
                               .arg(dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger()))) {
        EditProducto->setFocus();
        return;
    }
    toWaiting();
}

}  // namespace kv
