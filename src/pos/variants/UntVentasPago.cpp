#include "pos/variants/UntVentasPago.h"

#include "common/Numbers.h"
#include "common/SaleAmounts.h"
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

bool asksDescription(const QString& tipo)
{
    return tipo == QLatin1String("E") || tipo == QLatin1String("H") || tipo == QLatin1String("T");
}

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
    RadioTipoFactura->setItemIndex(0);
    RadioTipoPagoClick();
}

TFrmVentasPago::~TFrmVentasPago() { deleteChildWidgets(this); }

void TFrmVentasPago::buildLayout(const QString& nombreCliente)
{
    Dataset& h = dm_.TIniFac;
    auto* main = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    auto add = [&](const QString& caption, QWidget* control, const char* name) {
        control->setObjectName(QLatin1String(name));
        QLabel* l = captionFor(caption, control, this);
        grid->addWidget(l, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
        return l;
    };
    DBTextNeto = new DbText(h, QStringLiteral("NETO"), this);
    add(QStringLiteral("Valor Factura"), DBTextNeto, "DBTextNeto");
    LabelCliente = new QLabel(nombreCliente, this);
    LabelCliente->setObjectName(QStringLiteral("LabelCliente"));
    LabelCliente->setAccessibleName(nombreCliente);
    grid->addWidget(LabelCliente, row++, 1);
    main->addLayout(grid);

    RadioTipoPago = new DbRadioGroup(h, QStringLiteral("TIPODEPAGO"), QStringLiteral("Tipo de pago"),
                                     {QStringLiteral("&Contado"), QStringLiteral("C&rèdito"), QStringLiteral("C&heque"),
                                      QStringLiteral("&Tarjeta")},
                                     kTipos, 4, this);
    RadioTipoPago->setObjectName(QStringLiteral("RadioTipoPago"));
    main->addWidget(RadioTipoPago);

    grid = new QGridLayout;
    row = 0;
    DBEditDescripcion = new DbEdit(h, QStringLiteral("TIPODEPAGODES"), this);
    LabelDescripcion = add(QStringLiteral("Descripcion pago"), DBEditDescripcion, "DBEditDescripcion");
    LabelDescripcion->setObjectName(QStringLiteral("LabelDescripcion"));
    DBEditAbono = new DbEdit(h, QStringLiteral("ABONO"), this);
    add(QStringLiteral("&ABONO"), DBEditAbono, "DBEditAbono");
    DBEditPago = new DbEdit(h, QStringLiteral("PAGO"), this);
    DBEditPago->setReadOnly(true);  // what is left after ABONO, never typed
    add(QStringLiteral("PAGO"), DBEditPago, "DBEditPago");
    EditRecibido = new QLineEdit(QStringLiteral("0"), this);
    acceptAmountKeys(EditRecibido);
    QFont big = EditRecibido->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    EditRecibido->setFont(big);
    add(QStringLiteral("&Dinero Recibido"), EditRecibido, "EditRecibido");
    main->addLayout(grid);

    auto* cambio = new QLabel(QStringLiteral("C A M B I O (Diferencia)"), this);
    cambio->setAlignment(Qt::AlignCenter);
    main->addWidget(cambio);
    LabelCambio = new QLabel(QStringLiteral("00"), this);
    LabelCambio->setObjectName(QStringLiteral("LabelCambio"));
    LabelCambio->setAccessibleName(QStringLiteral("C A M B I O (Diferencia)"));
    LabelCambio->setAlignment(Qt::AlignCenter);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    LabelCambio->setFont(big);
    main->addWidget(LabelCambio);

    RadioTipoFactura = new RadioGroup(QStringLiteral("Tipo de Factura"),
                                      {QStringLiteral("Impresora Pos"), QStringLiteral("Media Carta"),
                                       QStringLiteral("Carta Completa")},
                                      3, this);
    RadioTipoFactura->setObjectName(QStringLiteral("RadioTipoFactura"));
    main->addWidget(RadioTipoFactura);
    setTabOrder(EditRecibido, RadioTipoFactura);
}

void TFrmVentasPago::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    EditRecibido->setFocus();
    EditRecibido->selectAll();
}

double TFrmVentasPago::amountToPay() const
{
    Dataset& h = dm_.TIniFac;
    if (!h.active() || h.IsEmpty())
        return 0;
    return kv::amountToPay([&h](const char* f) { return h[QLatin1String(f)].asFloat(); });
}

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
    const bool show = asksDescription(dm_.TIniFac[QStringLiteral("TIPODEPAGO")].asString());
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
    receivedAmount(EditRecibido->text());
    received_ = true;
    EditRecibidoChange();

    static const InvoicePaper papers[] = {InvoicePaper::Roll, InvoicePaper::HalfLetter, InvoicePaper::Letter};
    const InvoicePaper paper = papers[qBound(0, RadioTipoFactura->itemIndex(), 2)];
    const SaleClosing closing = closeSale(dm_, [&](const SaleDocumentKey& key) {
        return printInvoice(dm_.DbPos, key, invoicePrintFor(InvoiceCaller::CollectionPayment, paper), this);
    });
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
