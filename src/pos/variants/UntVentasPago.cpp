#include "pos/variants/UntVentasPago.h"

#include "common/Numbers.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/FieldLink.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/SalePayment.h"
#include "pos/UntDmVentas.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv {

namespace {

const QStringList kTipos = {QStringLiteral("C"), QStringLiteral("E"), QStringLiteral("H"), QStringLiteral("T")};

}  // namespace

TFrmVentasPago::TFrmVentasPago(TDmVentas& dm, const QString& nombreCliente, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("TFrmVentasPago"));
    setWindowTitle(QStringLiteral("Pago"));
    buildLayout(nombreCliente);

    Dataset& h = dm_.TIniFac;
    connect(RadioTipoPago, &RadioGroup::itemChosen, this, [this](int) { guarded([this] { RadioTipoPagoClick(); }); });
    connect(EditRecibido, &QLineEdit::textEdited, this, [this] {
        received_ = true;
        EditRecibidoChange();
    });
    connect(&h, &Dataset::rowChanged, this, [this] { followAbono(); });
    connect(&h, &Dataset::stateChanged, this, [this] { EditRecibidoChange(); });
    EditRecibido->installEventFilter(this);
    auto* keys = new ScreenKeys(this, ScreenKeys::EnterWhereNamed);
    for (QWidget* box : {DBEditDescripcion, DBEditAbono})
        keys->enterMovesTo(box, nullptr);
    RadioTipoPagoClick();
}

TFrmVentasPago::~TFrmVentasPago() { deleteChildWidgets(this); }

void TFrmVentasPago::buildLayout(const QString& nombreCliente)
{
    Dataset& h = dm_.TIniFac;
    auto* main = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto add = [&](const QString& caption, QWidget* control, const char* name) {
        return addCaptionedRow(grid, caption, control, name, this);
    };
    DBTextNeto = new DbText(h, QStringLiteral("NETO"), this);
    add(QStringLiteral("Valor Factura"), DBTextNeto, "DBTextNeto");
    LabelCliente = new QLabel(nombreCliente, this);
    LabelCliente->setObjectName(QStringLiteral("LabelCliente"));
    LabelCliente->setAccessibleName(nombreCliente);
    grid->addWidget(LabelCliente, grid->rowCount(), 1);
    main->addLayout(grid);

    RadioTipoPago = new DbRadioGroup(h, QStringLiteral("TIPODEPAGO"), QStringLiteral("Tipo de pago"),
                                     {QStringLiteral("&Contado"), QStringLiteral("C&rèdito"), QStringLiteral("C&heque"),
                                      QStringLiteral("&Tarjeta")},
                                     kTipos, 4, this);
    RadioTipoPago->setObjectName(QStringLiteral("RadioTipoPago"));
    main->addWidget(RadioTipoPago);

    grid = new QGridLayout;
    DBEditDescripcion = new DbEdit(h, QStringLiteral("TIPODEPAGODES"), this);
    LabelDescripcion = add(QStringLiteral("Descripcion pago"), DBEditDescripcion, "DBEditDescripcion");
    LabelDescripcion->setObjectName(QStringLiteral("LabelDescripcion"));
    DBEditAbono = new DbEdit(h, QStringLiteral("ABONO"), this);
    add(QStringLiteral("&ABONO"), DBEditAbono, "DBEditAbono");
    DBEditPago = new DbEdit(h, QStringLiteral("PAGO"), this);
    DBEditPago->setReadOnly(true);  // what is left after ABONO, never typed
    add(QStringLiteral("PAGO"), DBEditPago, "DBEditPago");
    const MoneyReceived money = addMoneyReceived(this, grid, main);
    EditRecibido = money.EditRecibido;
    LabelCambio = money.LabelCambio;
    RadioTipoFactura = addInvoicePaperChoice(this, main);
    setTabOrder(EditRecibido, RadioTipoFactura);
}

void TFrmVentasPago::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    EditRecibido->setFocus();
    EditRecibido->selectAll();
}

double TFrmVentasPago::amountToPay() const { return headerAmountToPay(dm_.TIniFac); }

void TFrmVentasPago::followAbono()
{
    Dataset& h = dm_.TIniFac;
    if (!following_ && h.isEditing()) {
        following_ = true;
        const double pago = h[QStringLiteral("NETO")].asFloat() - h[QStringLiteral("ABONO")].asFloat();
        if (h[QStringLiteral("PAGO")].asFloat() != pago || h[QStringLiteral("PAGO")].isNull())
            guarded([&] { h[QStringLiteral("PAGO")] = pago; });
        following_ = false;
    }
    EditRecibidoChange();
}

void TFrmVentasPago::RadioTipoPagoClick()
{
    const bool show = paymentAsksDescription(dm_.TIniFac[QStringLiteral("TIPODEPAGO")].asString());
    LabelDescripcion->setVisible(show);
    DBEditDescripcion->setVisible(show);
}

void TFrmVentasPago::EditRecibidoChange()
{
    if (received_)
        showChange(LabelCambio, EditRecibido->text(), amountToPay());
}

void TFrmVentasPago::EditRecibidoEnter()
{
    Dataset& h = dm_.TIniFac;
    updateRecord(h);  // a refused box shows its message and stops here, nothing stored
    const double recibido = receivedAmount(EditRecibido->text());
    received_ = true;
    EditRecibidoChange();

    const InvoicePaper paper = chosenPaper(RadioTipoFactura);
    const SaleClosing closing = closeSale(
        dm_,
        [&](const SaleDocumentKey& key) {
            return printInvoice(dm_.DbPos, key, invoicePrintFor(InvoiceCaller::CollectionPayment, paper), this);
        },
        recibido);
    if (closing != SaleClosing::Stays)
        accept();
}

void TFrmVentasPago::reject()
{
    guarded([this] {
        if (dm_.TIniFac.isEditing())
            dm_.TIniFac.Cancel();
    });
    QDialog::reject();
}

bool TFrmVentasPago::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditRecibido && event->type() == QEvent::KeyPress && isPlainEnter(static_cast<QKeyEvent*>(event))) {
        guarded([this] { EditRecibidoEnter(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kv
