#include "pos/SalePayment.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/Spooler.h"
#include "pos/UntDmVentas.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace kv {

namespace {
const QString kChangePicture = QStringLiteral("###,###.00");
}

double headerAmountToPay(Dataset& h)
{
    if (!h.active() || h.IsEmpty())
        return 0;
    return amountToPay([&h](const char* f) { return h[QLatin1String(f)].asFloat(); });
}

MoneyReceived addMoneyReceived(QWidget* window, QGridLayout* grid, QBoxLayout* into)
{
    MoneyReceived parts;
    parts.EditRecibido = new QLineEdit(QStringLiteral("0"), window);
    parts.EditRecibido->setObjectName(QStringLiteral("EditRecibido"));
    // Only digits, the point and the comma can be typed (the comma is then refused as a number).
    acceptAmountKeys(parts.EditRecibido);
    QFont big = parts.EditRecibido->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    parts.EditRecibido->setFont(big);
    const int row = grid->rowCount();
    grid->addWidget(captionFor(QStringLiteral("&Dinero Recibido"), parts.EditRecibido, window), row, 0);
    grid->addWidget(parts.EditRecibido, row, 1);
    into->addLayout(grid);

    auto* title = new QLabel(QStringLiteral("C A M B I O (Diferencia)"), window);
    title->setObjectName(QStringLiteral("LabelCambioTitulo"));
    title->setAlignment(Qt::AlignCenter);
    into->addWidget(title);
    parts.LabelCambio = new QLabel(QStringLiteral("00"), window);
    parts.LabelCambio->setObjectName(QStringLiteral("LabelCambio"));
    parts.LabelCambio->setAccessibleName(QStringLiteral("C A M B I O (Diferencia)"));
    parts.LabelCambio->setAlignment(Qt::AlignCenter);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    parts.LabelCambio->setFont(big);
    into->addWidget(parts.LabelCambio);
    return parts;
}

RadioGroup* addInvoicePaperChoice(QWidget* window, QBoxLayout* into)
{
    auto* choice = new RadioGroup(QStringLiteral("Tipo de Factura"),
                                  {QStringLiteral("Impresora Pos"), QStringLiteral("Media Carta"),
                                   QStringLiteral("Carta Completa")},
                                  3, window);
    choice->setObjectName(QStringLiteral("RadioTipoFactura"));
    choice->setItemIndex(0);
    into->addWidget(choice);
    return choice;
}

InvoicePaper chosenPaper(const RadioGroup* choice)
{
    static const InvoicePaper papers[] = {InvoicePaper::Roll, InvoicePaper::HalfLetter, InvoicePaper::Letter};
    return papers[qBound(0, choice->itemIndex(), 2)];
}

bool paymentAsksDescription(const QString& tipo)
{
    return tipo == QLatin1String("E") || tipo == QLatin1String("H") || tipo == QLatin1String("T");
}

double receivedAmount(const QString& text)
{
    if (text.contains(QLatin1Char(',')))
        throw ConversionError(QStringLiteral("'%1' no es un valor numérico válido").arg(text));
    return StrToFloat(text);
}

void acceptAmountKeys(QLineEdit* box)
{
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.,]*")), box));
}

void showChange(QLabel* label, double change)
{
    label->setText(FormatFloat(kChangePicture, change));
    label->setStyleSheet(change < 0 ? QStringLiteral("color: red") : QString());
}

void showChange(QLabel* label, const QString& received, double due)
{
    // While the box does not hold a number the change is not computed; Enter says why.
    double amount = 0;
    try {
        amount = receivedAmount(received);
    } catch (const ConversionError&) {
        label->setText(QString());
        return;
    }
    showChange(label, amount - due);
}

void openDrawerAfterPayment(const QString& noun, int consecutivo)
{
    const QString drawer = Spooler::openCashDrawer();
    if (!drawer.isEmpty())
        dialogs().error(QStringLiteral("%1 %2 quedó pagada, pero el cajón no abrió: %3. Abra el cajón con la llave.")
                            .arg(noun)
                            .arg(consecutivo)
                            .arg(drawer));
}

SaleClosing closeSale(TDmVentas& dm, const std::function<PrintResult(const SaleDocumentKey&)>& print, double received)
{
    Dataset& h = dm.TIniFac;
    const SaleDocumentKey key{h[QStringLiteral("EMPRESA")].asString(), h[QStringLiteral("DOCUMENTO")].asString(),
                              h[QStringLiteral("CONSECUTIVO")].asInteger()};

    // Cash handed over is kept with the payment; a payment in any other form has none. The amount
    // due is the one the closing checks is still the document's, so the change stored is right.
    QVariantMap money{{QStringLiteral("RECIBIDO"), QVariant()}, {QStringLiteral("CAMBIO"), QVariant()}};
    const double due = headerAmountToPay(h);
    if (h[QStringLiteral("TIPODEPAGO")].asString() == QLatin1String("C") && received > 0 && received >= due) {
        money[QStringLiteral("RECIBIDO")] = received;
        money[QStringLiteral("CAMBIO")] = R((received - due) * 100) / 100;
    }
    const DocumentModule::ClosingOutcome closing = dm.closeWithPayment(dm.TCajero[QStringLiteral("CEDULA")].value(), money);
    switch (closing.kind) {
    case DocumentModule::ClosingOutcome::Stopped:
        return SaleClosing::Stays;
    case DocumentModule::ClosingOutcome::ClosedElsewhere:
        ShowMessage(closing.message);
        return SaleClosing::ClosedElsewhere;
    case DocumentModule::ClosingOutcome::Changed:
        // The window stays on the document, showing what is to pay now.
        ShowMessage(closing.message + QStringLiteral(" Valor a pagar ahora: ") +
                    FormatFloat(QStringLiteral("###,###.00"), headerAmountToPay(h)));
        return SaleClosing::Stays;
    case DocumentModule::ClosingOutcome::Closed:
        break;
    }
    // The drawer opens only for a sale that is stored: a closing that failed (numbering used up, a
    // certificate that cannot be read, another register's change) opened nothing. A drawer that
    // does not open now leaves the sale paid; the cashier opens it by key.
    openDrawerAfterPayment(dm.tables().noun, key.consecutivo);
    if (print(key) != PrintResult::Printed)
        ShowMessage(QStringLiteral("La factura %1 quedó pagada y cerrada, pero no se imprimió. Puede reimprimirla.")
                        .arg(key.consecutivo));
    dm.TFac.Refresh();
    return SaleClosing::Closed;
}

}  // namespace kv
