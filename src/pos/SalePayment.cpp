#include "pos/SalePayment.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/Spooler.h"
#include "pos/UntDmVentas.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace kv {

namespace {
const QString kChangePicture = QStringLiteral("###,###.00");
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

SaleClosing closeSale(TDmVentas& dm, const std::function<PrintResult(const SaleDocumentKey&)>& print)
{
    Dataset& h = dm.TIniFac;
    const SaleDocumentKey key{h[QStringLiteral("EMPRESA")].asString(), h[QStringLiteral("DOCUMENTO")].asString(),
                              h[QStringLiteral("CONSECUTIVO")].asInteger()};

    // A document another register collected meanwhile is not collected twice: no drawer, nothing stored.
    QString closed = dm.closedBy();
    if (!closed.isEmpty()) {
        ShowMessage(closed);
        return SaleClosing::ClosedElsewhere;
    }
    // The drawer first: when it cannot open, nothing is stored and the cashier may try again.
    const QString drawer = Spooler::openCashDrawer();
    if (!drawer.isEmpty()) {
        dialogs().error(drawer);
        return SaleClosing::Stays;
    }
    closed = dm.closeWithPayment(dm.TCajero[QStringLiteral("CEDULA")].value());
    if (!closed.isEmpty()) {
        ShowMessage(closed);
        return SaleClosing::ClosedElsewhere;
    }
    if (print(key) != PrintResult::Printed)
        ShowMessage(QStringLiteral("La factura %1 quedó pagada y cerrada, pero no se imprimió. Puede reimprimirla.")
                        .arg(key.consecutivo));
    dm.TFac.Refresh();
    return SaleClosing::Closed;
}

}  // namespace kv
