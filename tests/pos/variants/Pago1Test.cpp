// The "Caja Dos" payment window on real documents: the payment types it stores, the day's rate and
// the amount in another currency, a sale paid in dollars with the change in pesos, and closing in
// its safe order (drawer, payment stored with the document closed, then the receipt on request).
#include "PaymentFixture.h"
#include "common/Dates.h"
#include "common/SaleAmounts.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "pos/variants/UntVentasPago1.h"
#include "print/InvoicePrinting.h"
#include "support/Keyboard.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

using namespace kv;

namespace {

class Pago1Test : public kvtest::PaymentTest {
protected:
    void TearDown() override
    {
        window.reset();
        PaymentTest::TearDown();
    }
    void open(double amount)
    {
        window.reset();
        numero = sale(amount);
        window = std::make_unique<TFrmVentasPago1>(*dm);
        kvtest::showActive(window.get());
    }
    void choose(int item) { window->RadioTipoPago->button(item)->click(); }
    void chooseCurrency(const QString& code)
    {
        const int i = window->DBLookupMoneda->indexOfKey(code);
        ASSERT_GE(i, 0);
        window->DBLookupMoneda->setCurrentIndex(i);
        emit window->DBLookupMoneda->activated(i);
    }
    QVariant stored(const char* column) { return PaymentTest::stored(numero, column); }

    std::unique_ptr<TFrmVentasPago1> window;
    int numero = 0;
};

TEST(CurrencyAmounts, PesosAreDividedByTheRateOfOneUnitOfTheOtherCurrency)
{
    struct Case {
        double pesos, tasa;
        const char* moneda;
        double expected;
    };
    const Case cases[] = {
        {50000, 4000, "USD", 12.50},  // 50,000 pesos at 4,000 pesos a dollar
        {48500, 4000, "USD", 12.12},  // 12.125 to the cent, half to even
        {100000, 4280.5, "EUR", 23.36},
        {25000.4, 1, "1", 25000},     // the local currency: the amount brought to a whole number
        {10000, 0, "USD", 0},         // no rate: no amount, never a division by zero
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(amountInCurrency(c.pesos, c.tasa, QString::fromLatin1(c.moneda)), c.expected) << c.pesos;
    EXPECT_DOUBLE_EQ(pesosForCurrency(20, 4000, QStringLiteral("USD")), 80000);
}

TEST_F(Pago1Test, ASalePaidInDollarsTakesTheDaysRateAndGivesTheChangeInPesos)
{
    open(50000);
    EXPECT_FALSE(window->GroupOtraMoneda->isVisible());
    EXPECT_EQ(window->LabelPagar->text(), QStringLiteral("50,000.00"));
    EXPECT_EQ(QApplication::focusWidget(), window->EditPago);

    // The document's own currency has no rate today: rate 1, the amount as it is.
    choose(4);
    EXPECT_TRUE(window->GroupOtraMoneda->isVisible());
    EXPECT_EQ(window->LabelTasa->text(), QStringLiteral("No Hay Tasa ingresada Para Hoy ") +
                                             FormatDateTime(QStringLiteral("dd mmmm yyyy"), QDate::currentDate()));
    EXPECT_DOUBLE_EQ(dm->TIniFac["TASA"].asFloat(), 1);
    EXPECT_DOUBLE_EQ(dm->TIniFac["VALOROTRAMONEDA"].asFloat(), 50000);

    // Dollars: today's rate (not yesterday's), and what the customer owes in dollars.
    chooseCurrency(QStringLiteral("USD"));
    EXPECT_EQ(window->LabelTasa->text(), QStringLiteral("Valor Moneda A la Fecha 4,100.00 Cambio 4,000.00"));
    EXPECT_DOUBLE_EQ(dm->TIniFac["TASA"].asFloat(), 4000);
    EXPECT_EQ(window->DBTextOtraMoneda->text(), QStringLiteral("12.50"));

    // A rate typed and Enter: the amount follows and the header is stored.
    kvtest::typeInto(window->DBEditTasa, QStringLiteral("5000"), true);
    EXPECT_DOUBLE_EQ(stored("TASA").toDouble(), 5000);
    EXPECT_DOUBLE_EQ(stored("VALOROTRAMONEDA").toDouble(), 10);
    kvtest::typeInto(window->DBEditTasa, QStringLiteral("4000"), true);

    // Twenty dollars handed over: 80,000 pesos, 30,000 pesos back.
    kvtest::typeInto(window->EditPago, QStringLiteral("20"));
    EXPECT_EQ(window->LabelDevolucion->text(), QStringLiteral("30,000.00"));

    dialogs.answers.push_back(true);
    QTest::keyClick(window->EditPago, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList({"Imprimir Recibo ?"}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("O"));
    EXPECT_EQ(stored("MONEDA").toString(), QStringLiteral("USD"));
    EXPECT_DOUBLE_EQ(stored("TASA").toDouble(), 4000);
    EXPECT_DOUBLE_EQ(stored("VALOROTRAMONEDA").toDouble(), 12.5);
    EXPECT_EQ(pdfs(), 1);
    // The receipt is the "Caja Dos" one, without the reprint mark.
    const std::optional<Document> doc =
        renderInvoice(*db, {"01", "POS", numero}, invoicePrintFor(InvoiceCaller::CajaDosPayment));
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->findText(QStringLiteral("Reimpresion")).isEmpty());
}

TEST_F(Pago1Test, EachPaymentTypeStoresItsCodeAndNoReceiptStillClosesOnlyThatDocument)
{
    // The same number in another company stays open.
    struct Case {
        int item;
        const char* code;
        bool group;
    };
    for (const Case c : {Case{0, "C", false}, Case{1, "k", false}, Case{2, "H", true}, Case{3, "T", true}}) {
        SCOPED_TRACE(c.code);
        open(48500);
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, CAJA) VALUES ('02', 'POS', :N, 3, 1)",
                 {{"N", numero}});
        dialogs.clear();
        QFile::remove(drawerFile);
        choose(c.item);
        EXPECT_EQ(window->GroupOtraMoneda->isVisible(), c.group);
        kvtest::typeInto(window->EditPago, QStringLiteral("50000"));
        EXPECT_EQ(window->LabelDevolucion->text(), QStringLiteral("1,500.00"));  // pesos for every card too
        dialogs.answers.push_back(false);
        QTest::keyClick(window->EditPago, Qt::Key_Return);
        EXPECT_EQ(dialogs.texts(), QStringList({"Imprimir Recibo ?"}));
        EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
        EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
        EXPECT_EQ(stored("TIPODEPAGO").toString(), QLatin1String(c.code));
        EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = '02' AND CONSECUTIVO = :N",
                               {{"N", numero}})
                        .isNull());
    }
    EXPECT_EQ(pdfs(), 0);
}

TEST_F(Pago1Test, GoingBackToCashForgetsTheCurrencyAndLeavingWithoutEnterLeavesTheDocumentOpen)
{
    open(50000);
    choose(4);
    chooseCurrency(QStringLiteral("USD"));
    choose(0);
    EXPECT_FALSE(window->GroupOtraMoneda->isVisible());
    EXPECT_EQ(dm->TIniFac["MONEDA"].asString(), QStringLiteral("COP"));
    EXPECT_DOUBLE_EQ(dm->TIniFac["TASA"].asFloat(), 1);
    kvtest::typeInto(window->EditPago, QStringLiteral("60000"));
    EXPECT_EQ(window->LabelDevolucion->text(), QStringLiteral("10,000.00"));

    choose(4);
    chooseCurrency(QStringLiteral("USD"));
    QTest::keyClick(window->EditPago, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(dm->TIniFac.isEditing());
    EXPECT_TRUE(stored("STATUS").isNull());
    EXPECT_EQ(stored("MONEDA").toString(), QStringLiteral("COP"));
    EXPECT_TRUE(drawerBytes().isEmpty());
}

TEST_F(Pago1Test, CashAfterAnUnpaidTryInDollarsIsStoredInTheDocumentsOwnCurrency)
{
    open(50000);
    // A first try in dollars: the rate typed and Enter store them on the document; then the
    // window is left without paying.
    choose(4);
    chooseCurrency(QStringLiteral("USD"));
    kvtest::typeInto(window->DBEditTasa, QStringLiteral("4000"), true);
    ASSERT_EQ(stored("MONEDA").toString(), QStringLiteral("USD"));
    QTest::keyClick(window->EditPago, Qt::Key_Escape);

    // The customer pays cash at the next try.
    window = std::make_unique<TFrmVentasPago1>(*dm);
    kvtest::showActive(window.get());
    choose(0);
    kvtest::typeInto(window->EditPago, QStringLiteral("50000"));
    dialogs.answers.push_back(false);
    QTest::keyClick(window->EditPago, Qt::Key_Return);
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("C"));
    EXPECT_EQ(stored("MONEDA").toString(), QStringLiteral("COP"));
    EXPECT_DOUBLE_EQ(stored("TASA").toDouble(), 1);
    EXPECT_TRUE(stored("VALOROTRAMONEDA").isNull());
}

TEST_F(Pago1Test, AReceiptThatCannotPrintLeavesTheSalePaidClosedAndReprintable)
{
    open(50000);
    const QString notADir = dir.filePath(QStringLiteral("archivo"));
    QFile(notADir).open(QIODevice::WriteOnly);
    EnvScope broken("KORVELA_PRINT_TO", notADir.toUtf8());
    dialogs.answers.push_back(true);
    kvtest::typeInto(window->EditPago, QStringLiteral("50000"), true);
    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.last(),
              QStringLiteral("La factura %1 quedó pagada y cerrada, pero no se imprimió. Puede reimprimirla.").arg(numero));
}

TEST_F(Pago1Test, MoneyReceivedThatIsNoPlainNumberIsRefusedWithNothingStored)
{
    open(50000);
    kvtest::typeInto(window->EditPago, QStringLiteral("50,000"), true);
    EXPECT_EQ(window->LabelDevolucion->text(), QString());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("error"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_TRUE(stored("STATUS").isNull());
}

}  // namespace
