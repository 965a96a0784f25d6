#include "pos/UntVentasPagoVp.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/ScreenKeys.h"
#include "pos/SalePayment.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "print/InvoicePrinting.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString kChangePicture = QStringLiteral("###,###.00");

// Payment types offered, in the order of the radio group.
const QStringList kTipos = {QStringLiteral("C"), QStringLiteral("E"), QStringLiteral("H"), QStringLiteral("T"),
                            QStringLiteral("t")};

// "Servicio": the percentage each item stores; "&Valor" stores 0 and leaves the amount to be typed.
const double kServicio[] = {0, 5, 10, 0};
constexpr int kServicioValor = 3;
const double kDescuento[] = {0, 5, 10, 20};

}  // namespace

TFrmVentasPagoVp::TFrmVentasPagoVp(TDmVentas& dm, QWidget* parent) : OwnKeysDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("TFrmVentasPagoVp"));
    setWindowTitle(QStringLiteral("Pago"));
    // No close button: the window is left by finishing or declining in "Dinero Recibido".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    buildLayout();

    Dataset& h = dm_.TIniFac;
    connect(RadioTipoPago, &RadioGroup::itemChosen, this, [this](int) { guarded([this] { RadioTipoPagoClick(); }); });
    // A choice that could not be stored shows what the document holds again.
    connect(RadioServicio, &RadioGroup::itemChosen, this, [this](int i) {
        if (!guarded([this, i] { RadioServicioClick(i); }))
            showServicio();
    });
    connect(RadioDescuento, &RadioGroup::itemChosen, this,
            [this](int i) { guarded([this, i] { RadioDescuentoClick(i); }); });
    connect(EditRecibido, &QLineEdit::textEdited, this, [this] {
        received_ = true;
        EditRecibidoChange();
    });
    // The amount to pay and the change follow every change of the header, typed or stored.
    for (auto signal : {&Dataset::reset, &Dataset::stateChanged})
        connect(&h, signal, this, [this] { showAmounts(); });
    connect(&h, &Dataset::rowChanged, this, [this] { showAmounts(); });
    connect(&h, &Dataset::currentChanged, this, [this] { showAmounts(); });
    EditRecibido->installEventFilter(this);
    // Enter in a box writes it and moves on, as Tab does; in "Dinero Recibido" it finishes.
    auto* keys = new ScreenKeys(this, ScreenKeys::EnterWhereNamed);
    for (QWidget* box : {DBEditAbono, DBEditPago, DBEditDescripcion, DBEditValorPropina, DBEditDescuento})
        keys->enterMovesTo(box, nullptr);

    showServicio();
    RadioDescuento->setItemIndex(0);
    RadioTipoPagoClick();
    showAmounts();
    EditRecibido->setFocus();
    EditRecibido->selectAll();
}

TFrmVentasPagoVp::~TFrmVentasPagoVp() { deleteChildWidgets(this); }

void TFrmVentasPagoVp::Pagar(TDmVentas& dm, QWidget* parent)
{
    TFrmVentasPagoVp w(dm, parent);
    w.exec();
}

void TFrmVentasPagoVp::buildLayout()
{
    Dataset& h = dm_.TIniFac;
    auto* main = new QVBoxLayout(this);

    RadioTipoPago = new DbRadioGroup(h, QStringLiteral("TIPODEPAGO"), QStringLiteral("Tipo de pago"),
                                     {QStringLiteral("&Contado"), QStringLiteral("C&rèdito"), QStringLiteral("C&heque"),
                                      QStringLiteral("&Tarjeta Credito"), QStringLiteral("Tarjeta De&bito")},
                                     kTipos, 5, this);
    RadioTipoPago->setObjectName(QStringLiteral("RadioTipoPago"));
    RadioServicio = new RadioGroup(QStringLiteral("Servicio"),
                                   {QStringLiteral("&No"), QStringLiteral("&5%"), QStringLiteral("&10%"), QStringLiteral("&Valor")},
                                   4, this);
    RadioServicio->setObjectName(QStringLiteral("RadioServicio"));
    RadioDescuento = new RadioGroup(QStringLiteral("Porcentaje De Descuento"),
                                    {QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20")}, 4,
                                    this);
    RadioDescuento->setObjectName(QStringLiteral("RadioDescuento"));
    for (QWidget* w : {static_cast<QWidget*>(RadioTipoPago), static_cast<QWidget*>(RadioServicio),
                       static_cast<QWidget*>(RadioDescuento)})
        main->addWidget(w);

    auto* grid = new QGridLayout;
    auto add = [&](const QString& caption, QWidget* control, const char* name) {
        return addCaptionedRow(grid, caption, control, name, this);
    };
    DBTextNeto = new DbText(h, QStringLiteral("NETO"), this);
    add(QStringLiteral("Valor Factura"), DBTextNeto, "DBTextNeto");
    DBEditAbono = new DbEdit(h, QStringLiteral("ABONO"), this);
    add(QStringLiteral("ABONO"), DBEditAbono, "DBEditAbono");
    DBEditPago = new DbEdit(h, QStringLiteral("PAGO"), this);
    add(QStringLiteral("PAGO"), DBEditPago, "DBEditPago");
    DBEditDescripcion = new DbEdit(h, QStringLiteral("TIPODEPAGODES"), this);
    LabelDescripcion = add(QStringLiteral("Descripcion pago"), DBEditDescripcion, "DBEditDescripcion");
    LabelDescripcion->setObjectName(QStringLiteral("LabelDescripcion"));
    DBEditValorPropina = new DbEdit(h, QStringLiteral("VALORPROPINA"), this);
    add(QStringLiteral("VALOR PROPINA"), DBEditValorPropina, "DBEditValorPropina");
    DBEditDescuento = new DbEdit(h, QStringLiteral("DESCUENTO"), this);
    add(QStringLiteral("VALOR DESCUENTO"), DBEditDescuento, "DBEditDescuento");
    LabelPagar = new QLabel(this);
    LabelPagar->setFrameShape(QFrame::StyledPanel);
    add(QStringLiteral("Valor A Pagar"), LabelPagar, "LabelPagar");
    const MoneyReceived money = addMoneyReceived(this, grid, main);
    EditRecibido = money.EditRecibido;
    LabelCambio = money.LabelCambio;
    RadioTipoFactura = addInvoicePaperChoice(this, main);

    // Tab runs down the window as it is laid out, the money received before the invoice's paper.
    setTabOrder(DBEditDescuento, EditRecibido);
    setTabOrder(EditRecibido, RadioTipoFactura);
}

double TFrmVentasPagoVp::amountToPay() const { return headerAmountToPay(dm_.TIniFac); }

void TFrmVentasPagoVp::showServicio()
{
    Dataset& h = dm_.TIniFac;
    const double propina = h[QStringLiteral("PROPINA")].asFloat();
    RadioServicio->setItemIndex(propina == 5    ? 1
                                : propina == 10 ? 2
                                : h[QStringLiteral("VALORPROPINA")].asFloat() != 0 ? kServicioValor
                                                                                  : 0);
}

void TFrmVentasPagoVp::showAmounts()
{
    LabelPagar->setText(FormatFloat(kChangePicture, amountToPay()));
    EditRecibidoChange();
}

// ---------------------------------------------------------------- the steps

void TFrmVentasPagoVp::RadioTipoPagoClick()
{
    const bool show = paymentAsksDescription(dm_.TIniFac[QStringLiteral("TIPODEPAGO")].asString());
    LabelDescripcion->setVisible(show);
    DBEditDescripcion->setVisible(show);
}

void TFrmVentasPagoVp::storeHeader(const std::function<QVariantMap(double neto)>& set)
{
    Dataset& h = dm_.TIniFac;
    updateRecord(h);  // what was typed in the boxes goes with it
    // A percentage is taken of the amount as stored when it is stored, so a line another station
    // added since this window opened is counted.
    dm_.storeFromStoredNeto(set);
    h.RefreshRecord();
}

void TFrmVentasPagoVp::RadioServicioClick(int item)
{
    if (item < 0 || item > kServicioValor)
        return;
    storeHeader([item](double neto) {
        QVariantMap set{{QStringLiteral("PROPINA"), kServicio[item]}};
        if (item != kServicioValor)
            set.insert(QStringLiteral("VALORPROPINA"), R(kServicio[item] * neto / 100));
        return set;
    });
    if (item == kServicioValor)
        DBEditValorPropina->setFocus();
}

void TFrmVentasPagoVp::RadioDescuentoClick(int item)
{
    if (item < 0 || item > 3)
        return;
    storeHeader([item](double neto) {
        return QVariantMap{{QStringLiteral("DESCUENTO"), R(neto * kDescuento[item] / 100)}};
    });
}

void TFrmVentasPagoVp::EditRecibidoChange()
{
    if (!received_)
        return;  // "00" until the cashier types the money received
    showChange(LabelCambio, EditRecibido->text(), amountToPay());
}

void TFrmVentasPagoVp::EditRecibidoEnter()
{
    Dataset& h = dm_.TIniFac;
    updateRecord(h);  // a refused box shows its message and stops here, nothing stored
    const double recibido = receivedAmount(EditRecibido->text());
    received_ = true;
    EditRecibidoChange();

    QString question = QStringLiteral("Esta seguro(a) que desea Terminar?");
    const double falta = amountToPay() - recibido;
    if (h[QStringLiteral("TIPODEPAGO")].asString() == QLatin1String("C") && falta > 0)
        question = QStringLiteral("El dinero recibido no alcanza: faltan %1.\n").arg(FormatFloat(kChangePicture, falta)) +
                   question;
    if (!AskYesNo(question)) {
        // Nothing typed here is written; the service charge and discount chosen were stored already.
        if (h.isEditing())
            h.Cancel();
        leave(true);
        return;
    }
    if (finish())
        leave(false);
}

bool TFrmVentasPagoVp::finish()
{
    const InvoicePaper paper = chosenPaper(RadioTipoFactura);
    return closeSale(
               dm_,
               [&](const SaleDocumentKey& key) {
                   return printInvoice(dm_.DbPos, key, invoicePrintFor(InvoiceCaller::MainPayment, paper), this);
               },
               receivedAmount(EditRecibido->text())) != SaleClosing::Stays;
}

void TFrmVentasPagoVp::leave(bool cancelled)
{
    PagoCancelado = cancelled;
    accept();
}

// ---------------------------------------------------------------- keys and closing

bool TFrmVentasPagoVp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditRecibido && event->type() == QEvent::KeyPress && isPlainEnter(static_cast<QKeyEvent*>(event))) {
        guarded([this] { EditRecibidoEnter(); });
        return true;
    }
    return OwnKeysDialog::eventFilter(watched, event);
}

}  // namespace kv
