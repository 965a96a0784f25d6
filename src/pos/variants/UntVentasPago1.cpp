#include "pos/variants/UntVentasPago1.h"

#include "common/Dates.h"
#include "common/Dialogs.h"
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

#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString kPicture = QStringLiteral("###,###.00");
const QStringList kTipos = {QStringLiteral("C"), QStringLiteral("k"), QStringLiteral("H"), QStringLiteral("T"),
                            QStringLiteral("O")};

// Cash and credit are paid in pesos and need no currency.
bool inPesos(const QString& tipo)
{
    return tipo == QLatin1String("C") || tipo == QLatin1String("k");
}

// The document's own currency: the one its document type gives every new document. The header's
// MONEDA may hold a currency chosen in an earlier payment window that was left unpaid.
QVariant documentCurrency(TDmVentas& dm)
{
    const QVariant documento = dm.TIniFac[QStringLiteral("DOCUMENTO")].value();
    if (documento.isNull() || !dm.TDocumentos.Locate(QStringLiteral("DOCUMENTO"), documento))
        return QVariant();
    return dm.TDocumentos[QStringLiteral("MONEDA")].value();
}

}  // namespace

TFrmVentasPago1::TFrmVentasPago1(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("TFrmVentasPago1"));
    setWindowTitle(QStringLiteral("Pago"));
    monedaDocumento_ = documentCurrency(dm_);
    buildLayout();

    Dataset& h = dm_.TIniFac;
    connect(RadioTipoPago, &RadioGroup::itemChosen, this, [this](int) { guarded([this] { RadioTipoPagoClick(); }); });
    // Another currency chosen brings its own rate of the day.
    connect(DBLookupMoneda, &QComboBox::activated, this, [this](int) {
        guarded([this] {
            takeRateOfToday();
            computeOtherCurrency();
        });
    });
    connect(EditPago, &QLineEdit::textEdited, this, [this] {
        received_ = true;
        EditPagoChange();
    });
    for (auto signal : {&Dataset::reset, &Dataset::stateChanged})
        connect(&h, signal, this, [this] { showAmounts(); });
    connect(&h, &Dataset::rowChanged, this, [this] { showAmounts(); });
    EditPago->installEventFilter(this);
    auto* keys = new ScreenKeys(this, ScreenKeys::EnterWhereNamed);
    for (QWidget* box : {static_cast<QWidget*>(DBEditTasa), static_cast<QWidget*>(DBEditDescripcion)})
        keys->onEnter(box, [this] { guarded([this] { ExchangeRateEnter(); }); });

    GroupOtraMoneda->setVisible(!inPesos(h[QStringLiteral("TIPODEPAGO")].asString()) &&
                                !h[QStringLiteral("TIPODEPAGO")].isNull());
    showAmounts();
}

TFrmVentasPago1::~TFrmVentasPago1() { deleteChildWidgets(this); }

void TFrmVentasPago1::buildLayout()
{
    Dataset& h = dm_.TIniFac;
    auto* main = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    LabelPagar = new QLabel(this);
    LabelPagar->setObjectName(QStringLiteral("LabelPagar"));
    LabelPagar->setFrameShape(QFrame::StyledPanel);
    QFont big = LabelPagar->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    LabelPagar->setFont(big);
    top->addWidget(captionFor(QStringLiteral("A Pagar"), LabelPagar, this), 0, 0);
    top->addWidget(LabelPagar, 0, 1);
    main->addLayout(top);

    RadioTipoPago = new DbRadioGroup(h, QStringLiteral("TIPODEPAGO"), QStringLiteral("Tipo de pago"),
                                     {QStringLiteral("&Contado"), QStringLiteral("C&rèdito"), QStringLiteral("&Diners"),
                                      QStringLiteral("&Tarjeta Visa"), QStringLiteral("&Otra Moneda")},
                                     kTipos, 5, this);
    RadioTipoPago->setObjectName(QStringLiteral("RadioTipoPago"));
    main->addWidget(RadioTipoPago);

    GroupOtraMoneda = new QGroupBox(QStringLiteral("Otra Moneda o Tarjeta"), this);
    GroupOtraMoneda->setObjectName(QStringLiteral("GroupOtraMoneda"));
    auto* g = new QGridLayout(GroupOtraMoneda);
    auto add = [&](const QString& caption, QWidget* control, const char* name) {
        addCaptionedRow(g, caption, control, name, GroupOtraMoneda);
    };
    DBLookupMoneda = new DbLookupComboBox(h, QStringLiteral("MONEDA"), dm_.TMoneda, QStringLiteral("CODIGOMONEDA"),
                                          QStringLiteral("DESCRIPCION"), GroupOtraMoneda);
    add(QStringLiteral("&Moneda"), DBLookupMoneda, "DBLookupMoneda");
    DBEditTasa = new DbEdit(h, QStringLiteral("TASA"), GroupOtraMoneda);
    add(QStringLiteral("Tasa de Cambio "), DBEditTasa, "DBEditTasa");
    DBEditDescripcion = new DbEdit(h, QStringLiteral("TIPODEPAGODES"), GroupOtraMoneda);
    add(QStringLiteral("Descripcion"), DBEditDescripcion, "DBEditDescripcion");
    DBTextOtraMoneda = new DbText(h, QStringLiteral("VALOROTRAMONEDA"), GroupOtraMoneda);
    add(QStringLiteral("Valor Otra Moneda"), DBTextOtraMoneda, "DBTextOtraMoneda");
    LabelTasa = new QLabel(GroupOtraMoneda);
    LabelTasa->setObjectName(QStringLiteral("LabelTasa"));
    g->addWidget(LabelTasa, g->rowCount(), 0, 1, 2);
    main->addWidget(GroupOtraMoneda);

    auto* pago = new QGridLayout;
    EditPago = new QLineEdit(QStringLiteral("0"), this);
    EditPago->setObjectName(QStringLiteral("EditPago"));
    acceptAmountKeys(EditPago);
    EditPago->setFont(big);
    pago->addWidget(captionFor(QStringLiteral("&PAGO"), EditPago, this), 0, 0);
    pago->addWidget(EditPago, 0, 1);
    LabelDevolucion = new QLabel(QStringLiteral("00"), this);
    LabelDevolucion->setObjectName(QStringLiteral("LabelDevolucion"));
    LabelDevolucion->setFont(big);
    pago->addWidget(captionFor(QStringLiteral("Devolucion"), LabelDevolucion, this), 1, 0);
    pago->addWidget(LabelDevolucion, 1, 1);
    main->addLayout(pago);
}

void TFrmVentasPago1::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    EditPago->setFocus();
    EditPago->selectAll();
}

double TFrmVentasPago1::amountToPay() const { return headerAmountToPay(dm_.TIniFac); }

bool TFrmVentasPago1::paysInOtherCurrency() const
{
    Dataset& h = dm_.TIniFac;
    return h[QStringLiteral("TIPODEPAGO")].asString() == QLatin1String("O") &&
           !isLocalCurrency(h[QStringLiteral("MONEDA")].asString());
}

void TFrmVentasPago1::showAmounts()
{
    LabelPagar->setText(FormatFloat(kPicture, amountToPay()));
    EditPagoChange();
}

// ---------------------------------------------------------------- the exchange rate

void TFrmVentasPago1::RadioTipoPagoClick()
{
    Dataset& h = dm_.TIniFac;
    if (inPesos(h[QStringLiteral("TIPODEPAGO")].asString())) {
        payInOwnCurrency();
        GroupOtraMoneda->hide();
        showAmounts();
        return;
    }
    takeRateOfToday();
    computeOtherCurrency();
    GroupOtraMoneda->show();
    showAmounts();
}

void TFrmVentasPago1::payInOwnCurrency()
{
    // Paid in pesos: the document's own currency, at no rate.
    Dataset& h = dm_.TIniFac;
    if (!h.isEditing())
        h.Edit();
    h[QStringLiteral("MONEDA")] = monedaDocumento_;
    h[QStringLiteral("TASA")] = 1.0;
    h[QStringLiteral("VALOROTRAMONEDA")] = QVariant();
}

void TFrmVentasPago1::takeRateOfToday()
{
    Dataset& h = dm_.TIniFac;
    const QDate today = QDate::currentDate();
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT VALOR, TASACAMBIO FROM TASACAMBIO WHERE CODIGOMONEDA = "
                                                ":MONEDA AND FECHA >= :DESDE AND FECHA < :HASTA"),
                                 {{QStringLiteral("MONEDA"), h[QStringLiteral("MONEDA")].asString()},
                                  {QStringLiteral("DESDE"), QDateTime(today, QTime(0, 0))},
                                  {QStringLiteral("HASTA"), QDateTime(today.addDays(1), QTime(0, 0))}});
    if (!h.isEditing())
        h.Edit();
    if (dm_.DbPos.next(q)) {
        LabelTasa->setText(QStringLiteral("Valor Moneda A la Fecha ") + FormatFloat(kPicture, q.value(0).toDouble()) +
                           QStringLiteral(" Cambio ") + FormatFloat(kPicture, q.value(1).toDouble()));
        h[QStringLiteral("TASA")] = q.value(1).toDouble();
    } else {
        LabelTasa->setText(QStringLiteral("No Hay Tasa ingresada Para Hoy ") +
                           FormatDateTime(QStringLiteral("dd mmmm yyyy"), today));
        h[QStringLiteral("TASA")] = 1.0;
    }
}

void TFrmVentasPago1::computeOtherCurrency()
{
    Dataset& h = dm_.TIniFac;
    if (!h.isEditing())
        h.Edit();
    h[QStringLiteral("VALOROTRAMONEDA")] = amountInCurrency(amountToPay(), h[QStringLiteral("TASA")].asFloat(),
                                                            h[QStringLiteral("MONEDA")].asString());
    showAmounts();
}

void TFrmVentasPago1::postHeader()
{
    Dataset& h = dm_.TIniFac;
    if (h.isEditing())
        h.Post();
}

void TFrmVentasPago1::ExchangeRateEnter()
{
    // A rate that is no number keeps its box and shows why; nothing is posted.
    updateRecord(dm_.TIniFac);
    computeOtherCurrency();
    postHeader();
}

// ---------------------------------------------------------------- money received and closing

void TFrmVentasPago1::EditPagoChange()
{
    if (!received_)
        return;  // "00" until the cashier types the money received
    if (!paysInOtherCurrency()) {
        showChange(LabelDevolucion, EditPago->text(), amountToPay());
        return;
    }
    double recibido = 0;
    try {
        recibido = receivedAmount(EditPago->text());
    } catch (const ConversionError&) {
        LabelDevolucion->setText(QString());
        return;
    }
    Dataset& h = dm_.TIniFac;
    const double pesos =
        pesosForCurrency(recibido, h[QStringLiteral("TASA")].asFloat(), h[QStringLiteral("MONEDA")].asString());
    showChange(LabelDevolucion, pesos - amountToPay());
}

void TFrmVentasPago1::EditPagoEnter()
{
    Dataset& h = dm_.TIniFac;
    updateRecord(h);  // a refused box shows its message and stops here, nothing stored
    const double recibido = receivedAmount(EditPago->text());
    received_ = true;
    EditPagoChange();
    // A rate typed without Enter still counts; cash and credit are stored in the document's own
    // currency whatever an earlier, unpaid try left on the header.
    if (!inPesos(h[QStringLiteral("TIPODEPAGO")].asString()))
        computeOtherCurrency();
    else
        payInOwnCurrency();

    const SaleClosing closing = closeSale(dm_, [this](const SaleDocumentKey& key) {
        if (!AskYesNo(QStringLiteral("Imprimir Recibo ?")))
            return PrintResult::Printed;
        return printInvoice(dm_.DbPos, key, invoicePrintFor(InvoiceCaller::CajaDosPayment), this);
    }, recibido);
    if (closing != SaleClosing::Stays)
        accept();
}

void TFrmVentasPago1::reject()
{
    guarded([this] {
        if (dm_.TIniFac.isEditing())
            dm_.TIniFac.Cancel();
    });
    QDialog::reject();
}

bool TFrmVentasPago1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditPago && event->type() == QEvent::KeyPress && isPlainEnter(static_cast<QKeyEvent*>(event))) {
        guarded([this] { EditPagoEnter(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kv
