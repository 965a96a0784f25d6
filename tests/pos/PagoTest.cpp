// The payment window on a real document: the service charge and discount rules, the one amount to
// pay that the change is given on, the money received, and finishing in its order (drawer, the
// payment stored with the document closed, then the invoice), with each failure leaving the sale
// as it should.
#include "ShopFixture.h"
#include "platform/EnvScope.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/UntVentasPagoVp.h"
#include "print/InvoicePrinting.h"
#include "support/Keyboard.h"
#include "support/QtPrinters.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>

using namespace kv;

namespace {

class PagoTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        drawerFile = dir.filePath(QStringLiteral("cajon.bin"));
        printDir = dir.filePath(QStringLiteral("facturas"));
        QDir().mkpath(printDir);
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", drawerFile.toUtf8());
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", printDir.toUtf8());
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        sale(25000);
    }
    void TearDown() override
    {
        window.reset();
        dm.reset();
        DbTest::TearDown();
    }
    // A new document with one line of that amount, and the window open on it.
    void sale(double amount)
    {
        window.reset();
        numero = kvtest::startDocument(*dm);
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = amount}));
        PagoCancelado = false;
        window = std::make_unique<TFrmVentasPagoVp>(*dm);
        kvtest::showActive(window.get());
    }
    // A column of the document as stored (text without the blanks of its char width).
    QVariant stored(const char* column)
    {
        const QVariant v = db->scalar(
            QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N").arg(QLatin1String(column)), {{"N", numero}});
        return !v.isNull() && v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
    }
    QByteArray drawerBytes()
    {
        QFile f(drawerFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int pdfs() const { return int(QDir(printDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }
    void choose(RadioGroup* group, int item) { group->button(item)->click(); }
    // Types the money received and presses Enter, answering the question with `yes`.
    void receive(const QString& text, bool yes = true)
    {
        dialogs.answers.push_back(yes);
        kvtest::typeInto(window->EditRecibido, text, true);
    }
    QString change() const { return window->LabelCambio->text(); }

    QString drawerFile, printDir;
    std::unique_ptr<EnvScope> raw, printTo;
    std::unique_ptr<TDmVentas> dm;
    std::unique_ptr<TFrmVentasPagoVp> window;
    int numero = 0;
};

TEST_F(PagoTest, ServiceChargeAndDiscountAreStoredAtOnceAndTheChangeIsGivenOnWhatIsToPay)
{
    EXPECT_EQ(change(), QStringLiteral("00"));  // until the money received is typed
    // 25,000 with "&10%": the receipt asks 27,500, so 30,000 received gives 2,500 back.
    choose(window->RadioServicio, 2);
    EXPECT_DOUBLE_EQ(stored("PROPINA").toDouble(), 10);
    EXPECT_DOUBLE_EQ(stored("VALORPROPINA").toDouble(), 2500);
    EXPECT_DOUBLE_EQ(stored("NETO").toDouble(), 25000);
    EXPECT_EQ(window->LabelPagar->text(), QStringLiteral("27,500.00"));
    kvtest::typeInto(window->EditRecibido, QStringLiteral("30000"));
    EXPECT_EQ(change(), QStringLiteral("2,500.00"));

    // A discount of 10 % lowers it; paying exactly what is asked gives no change, never a negative one.
    choose(window->RadioDescuento, 2);
    EXPECT_DOUBLE_EQ(stored("DESCUENTO").toDouble(), 2500);
    EXPECT_EQ(window->LabelPagar->text(), QStringLiteral("25,000.00"));
    kvtest::typeInto(window->EditRecibido, QStringLiteral("25000"));
    EXPECT_EQ(change(), QStringLiteral(".00"));
    kvtest::typeInto(window->EditRecibido, QStringLiteral("20000"));
    EXPECT_EQ(change(), QStringLiteral("-5,000.00"));
    choose(window->RadioDescuento, 0);
    EXPECT_DOUBLE_EQ(stored("DESCUENTO").toDouble(), 0);

    // What was paid before counts as soon as it is typed.
    kvtest::typeInto(window->DBEditAbono, QStringLiteral("7500"), true);
    EXPECT_EQ(window->LabelPagar->text(), QStringLiteral("20,000.00"));
    EXPECT_EQ(QApplication::focusWidget(), window->DBEditPago);  // Enter moved on
    EXPECT_EQ(change(), QStringLiteral(".00"));

    // "&Valor" stores 0 as the percentage and keeps the amount in "VALOR PROPINA" for typing.
    choose(window->RadioServicio, 3);
    EXPECT_DOUBLE_EQ(stored("PROPINA").toDouble(), 0);
    EXPECT_DOUBLE_EQ(stored("VALORPROPINA").toDouble(), 2500);
    EXPECT_EQ(QApplication::focusWidget(), window->DBEditValorPropina);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(PagoTest, FivePercentOfAnOddAmountRoundsHalfToEven)
{
    sale(25050);
    choose(window->RadioServicio, 1);
    EXPECT_DOUBLE_EQ(stored("VALORPROPINA").toDouble(), 1252);  // R(1,252.5)
}

TEST_F(PagoTest, ThePaymentDescriptionShowsOnlyForThePaymentTypesThatAskForIt)
{
    const bool shown[] = {false, true, true, true, false};  // C, E, H, T, t
    for (int i = 0; i < 5; ++i) {
        choose(window->RadioTipoPago, i);
        EXPECT_EQ(window->DBEditDescripcion->isVisible(), shown[i]) << i;
        EXPECT_EQ(window->LabelDescripcion->isVisible(), shown[i]) << i;
    }
}

TEST_F(PagoTest, MoneyReceivedThatIsNoPlainNumberIsRefusedWithNothingStored)
{
    choose(window->RadioTipoPago, 3);
    for (const char* text : {"", "30,000", "abc"}) {
        SCOPED_TRACE(text);
        dialogs.clear();
        if (QByteArray(text) == "abc") {
            // Letters cannot be typed; text that arrives some other way is refused on Enter.
            kvtest::typeInto(window->EditRecibido, QString());
            QTest::keyClicks(window->EditRecibido, QStringLiteral("abc"));
            EXPECT_EQ(window->EditRecibido->text(), QString());
            window->EditRecibido->setText(QStringLiteral("abc"));
            QTest::keyClick(window->EditRecibido, Qt::Key_Return);
        } else {
            kvtest::typeInto(window->EditRecibido, QString::fromLatin1(text), true);
        }
        EXPECT_EQ(change(), QString());
        ASSERT_EQ(dialogs.shown.size(), 1u) << dialogs.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("error"));
        EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("no es un valor numérico válido")));
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_TRUE(stored("STATUS").isNull());
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("C"));
}

TEST_F(PagoTest, FinishingOpensTheDrawerStoresThePaymentClosesTheSaleThenPrintsInTheChosenLayout)
{
    const char* layouts[] = {"FACTURA", "FACTURA DE VENTA", "FACTURA DE VENTA"};
    for (int paper = 0; paper < 3; ++paper) {
        SCOPED_TRACE(paper);
        if (paper > 0)
            sale(25000);
        dialogs.clear();
        QFile::remove(drawerFile);
        choose(window->RadioTipoPago, 3);
        kvtest::typeInto(window->DBEditDescripcion, QStringLiteral("VISA 4321"));
        choose(window->RadioServicio, 2);
        choose(window->RadioTipoFactura, paper);
        const int before = pdfs();
        receive(QStringLiteral("30000"));

        EXPECT_EQ(dialogs.texts(), QStringList({"Esta seguro(a) que desea Terminar?"}));
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(PagoCancelado);
        EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
        EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
        EXPECT_DOUBLE_EQ(stored("CAJERO").toDouble(), 11);
        EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("T"));
        EXPECT_EQ(stored("TIPODEPAGODES").toString(), QStringLiteral("VISA 4321"));
        EXPECT_DOUBLE_EQ(stored("VALORPROPINA").toDouble(), 2500);
        EXPECT_DOUBLE_EQ(stored("PAGO").toDouble(), 25000);
        EXPECT_TRUE(stored("RECIBIDO").isNull());  // a card payment hands over no cash
        // One invoice, in the layout chosen, showing the stored payment.
        ASSERT_EQ(pdfs(), before + 1);
        const std::optional<Document> doc =
            renderInvoice(*db, {"01", "POS", numero}, invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper(paper)));
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->title, QLatin1String(layouts[paper]));
        EXPECT_FALSE(doc->findText(QStringLiteral("27,500.00")).isEmpty());
        // The screen's copy of the header is what is stored: nothing left to post over it.
        EXPECT_FALSE(dm->TIniFac.isEditing());
        EXPECT_EQ(dm->TIniFac["STATUS"].asString(), QStringLiteral("I"));
    }
    // A register closed right after the sale keeps its payment type.
    dm.reset();
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("T"));
}

TEST_F(PagoTest, TheCashReceivedAndTheChangeAreStoredWithACashPaymentAndPrinted)
{
    choose(window->RadioTipoPago, 0);
    choose(window->RadioServicio, 2);  // 10 %: 27,500 to pay
    receive(QStringLiteral("30000"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_DOUBLE_EQ(stored("RECIBIDO").toDouble(), 30000);
    EXPECT_DOUBLE_EQ(stored("CAMBIO").toDouble(), 2500);
    const std::optional<Document> doc =
        renderInvoice(*db, {"01", "POS", numero}, invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Roll));
    ASSERT_TRUE(doc);
    const QStringList texts = doc->texts();
    const int at = int(texts.indexOf(QStringLiteral("EFECTIVO")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(texts.mid(at, 4), QStringList({"EFECTIVO", "30,000.00", "Cambio", "2,500.00"}));
}

TEST_F(PagoTest, CashShortOfWhatIsToPayIsSaidInTheQuestionAndNoLeavesEverythingAsItWas)
{
    kvtest::typeInto(window->DBEditAbono, QStringLiteral("1000"));
    receive(QStringLiteral("20000"), false);
    EXPECT_EQ(dialogs.texts(),
              QStringList({"El dinero recibido no alcanza: faltan 4,000.00.\nEsta seguro(a) que desea Terminar?"}));
    EXPECT_TRUE(PagoCancelado);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_EQ(pdfs(), 0);
    EXPECT_TRUE(stored("STATUS").isNull());
    EXPECT_TRUE(stored("ABONO").isNull());
    EXPECT_FALSE(dm->TIniFac.isEditing());
}

TEST_F(PagoTest, ADrawerThatCannotOpenLeavesTheSalePaidAndSaysToOpenItByKey)
{
    // The drawer opens only once the payment is stored; when it then fails the sale is paid all
    // the same, printed, and the cashier is told to use the key.
    EnvScope broken("KORVELA_RAW_TO", "/no/such/folder/cajon.bin");
    choose(window->RadioTipoPago, 1);
    receive(QStringLiteral("25000"));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("error"));
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(QStringLiteral("La factura %1 quedó pagada, pero el cajón no abrió").arg(numero)))
        << dialogs.shown[1].text.toStdString();
    EXPECT_TRUE(dialogs.shown[1].text.contains(QStringLiteral("/no/such/folder/cajon.bin")));
    EXPECT_TRUE(dialogs.shown[1].text.endsWith(QStringLiteral("Abra el cajón con la llave.")));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_EQ(pdfs(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(PagoCancelado);
}

TEST_F(PagoTest, PercentagesAreTakenOfTheAmountAsStoredNotAsShown)
{
    // Another station adds 5,000 to the document while this window is open on 25,000.
    TDmVentas other(*db);
    ASSERT_TRUE(other.signOn(22));
    other.setParameterCompany(1);
    ASSERT_TRUE(other.openDocument("01", "POS", numero));
    ASSERT_TRUE(kvtest::ringUp(other, {.producto = 4, .precio = 5000}));
    ASSERT_DOUBLE_EQ(stored("NETO").toDouble(), 30000);

    const struct {
        RadioGroup* group;
        int item;
        const char* column;
        double expected;
    } cases[] = {{window->RadioServicio, 2, "VALORPROPINA", 3000},  // 10 %
                 {window->RadioServicio, 1, "VALORPROPINA", 1500},  // 5 %
                 {window->RadioDescuento, 3, "DESCUENTO", 6000}};   // 20 %
    for (const auto& c : cases) {
        choose(c.group, c.item);
        EXPECT_DOUBLE_EQ(stored(c.column).toDouble(), c.expected) << c.column;
    }
    // The window shows the amount it was taken of.
    EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), 30000);
    EXPECT_DOUBLE_EQ(stored("NETO").toDouble(), 30000);
}

TEST_F(PagoTest, APrinterFailingAfterThePaymentLeavesTheSaleClosedPaidAndReprintable)
{
    // The invoice cannot be written where printing goes.
    const QString notADir = dir.filePath(QStringLiteral("archivo"));
    QFile(notADir).open(QIODevice::WriteOnly);
    EnvScope broken("KORVELA_PRINT_TO", notADir.toUtf8());
    choose(window->RadioTipoPago, 3);
    receive(QStringLiteral("25000"));

    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("T"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(PagoCancelado);
    const QStringList shown = dialogs.texts();
    ASSERT_EQ(shown.size(), 3) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("error"));
    EXPECT_EQ(shown[2], QStringLiteral("La factura %1 quedó pagada y cerrada, pero no se imprimió. Puede reimprimirla.")
                            .arg(numero));

    // Printing works again: the reprint shows the stored payment.
    EnvScope fixed("KORVELA_PRINT_TO", printDir.toUtf8());
    EXPECT_EQ(printInvoice(*db, {"01", "POS", numero}, invoicePrintFor(InvoiceCaller::MainReprint)), PrintResult::Printed);
    EXPECT_EQ(pdfs(), 1);
}

TEST_F(PagoTest, ADocumentAnotherRegisterCollectedIsNotCollectedTwice)
{
    // Another register collects it while this window is open.
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 22, TIPODEPAGO = 'E' WHERE CONSECUTIVO = :N", {{"N", numero}});
    choose(window->RadioTipoPago, 3);
    receive(QStringLiteral("25000"));
    const QString told =
        QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) por CAJERO 22; no se guardó el pago.").arg(numero);
    EXPECT_EQ(dialogs.texts(), QStringList({"Esta seguro(a) que desea Terminar?", told}));
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("E"));
    EXPECT_DOUBLE_EQ(stored("CAJERO").toDouble(), 22);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(PagoCancelado);  // the document is finished: the sale screen goes back to waiting

    // The closing statement itself checks: a register that got past the first look changes nothing.
    sale(1000);
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 22 WHERE CONSECUTIVO = :N", {{"N", numero}});
    dm->TIniFac.Edit();
    dm->TIniFac["TIPODEPAGO"] = QStringLiteral("H");
    EXPECT_EQ(dm->closeWithPayment(11).message, QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) por CAJERO 22; no "
                                                       "se guardó el pago.")
                                            .arg(numero));
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("C"));
    EXPECT_DOUBLE_EQ(stored("CAJERO").toDouble(), 22);
}

TEST_F(PagoTest, AClosingKeptWaitingByAnotherRegisterStoresNothingAndKeepsWhatWasTypedForAnotherTry)
{
    dm->setWaitLimitMs(400);
    choose(window->RadioTipoPago, 3);
    kvtest::typeInto(window->DBEditDescripcion, QStringLiteral("VISA 4321"));
    {
        // Another register is in the middle of changing this document and holds its header.
        Connection other(QStringLiteral("Otra"));
        other.setLocation(db->location());
        Transaction busy(other);
        other.exec("UPDATE POSMOVIMIENTO SET OBSERVACIONES = 'MESA 4' WHERE CONSECUTIVO = :N", {{"N", numero}});
        receive(QStringLiteral("25000"));
        ASSERT_EQ(dialogs.shown.size(), 2u) << dialogs.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("error"));
        EXPECT_TRUE(dialogs.shown[1].text.contains(QStringLiteral("no se guardó nada"))) << dialogs.last().toStdString();
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_TRUE(stored("STATUS").isNull());
    EXPECT_EQ(pdfs(), 0);
    EXPECT_EQ(dm->TIniFac["TIPODEPAGO"].asString(), QStringLiteral("T"));
    EXPECT_EQ(window->DBEditDescripcion->text(), QStringLiteral("VISA 4321"));

    receive(QStringLiteral("25000"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_EQ(stored("TIPODEPAGODES").toString(), QStringLiteral("VISA 4321"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(pdfs(), 1);
}

TEST_F(PagoTest, APaymentPaysWhatTheDocumentHoldsWhenAnotherStationAddsALineMeanwhile)
{
    choose(window->RadioTipoPago, 3);
    kvtest::typeInto(window->DBEditDescripcion, QStringLiteral("VISA 4321"));
    {
        // A waiter's station rings one more dish into the document while the window is open.
        Connection otherDb(QStringLiteral("Mesero"));
        otherDb.setLocation(db->location());
        TDmVentas other(otherDb);
        ASSERT_TRUE(other.signOn(11));
        ASSERT_TRUE(other.openDocument("01", "POS", numero));
        ASSERT_TRUE(kvtest::ringUp(other, {.producto = 4, .precio = 5000}));
    }
    receive(QStringLiteral("25000"));
    // Nothing stored, no drawer, nothing printed; the window shows what is to pay now.
    EXPECT_EQ(dialogs.last(), QStringLiteral("La factura %1 cambió en otra caja mientras se cobraba; no se guardó el pago. "
                                             "Valor a pagar ahora: 30,000.00")
                                  .arg(numero));
    EXPECT_TRUE(stored("STATUS").isNull());
    EXPECT_DOUBLE_EQ(stored("NETO").toDouble(), 30000);
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_EQ(pdfs(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->LabelPagar->text(), QStringLiteral("30,000.00"));
    EXPECT_EQ(change(), QStringLiteral("-5,000.00"));
    // The payment type and its description the cashier chose are still there for the next try.
    EXPECT_EQ(dm->TIniFac["TIPODEPAGO"].asString(), QStringLiteral("T"));
    EXPECT_EQ(window->DBEditDescripcion->text(), QStringLiteral("VISA 4321"));

    receive(QStringLiteral("30000"));
    EXPECT_EQ(stored("STATUS").toString(), QStringLiteral("I"));
    EXPECT_DOUBLE_EQ(stored("PAGO").toDouble(), 30000);
    EXPECT_EQ(stored("TIPODEPAGO").toString(), QStringLiteral("T"));
    EXPECT_EQ(stored("TIPODEPAGODES").toString(), QStringLiteral("VISA 4321"));
    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PagoTest, EscAndClosingDoNotLeaveTheWindow)
{
    QTest::keyClick(window->EditRecibido, Qt::Key_Escape);
    window->close();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PagoTest, AServiceChargeChosenAsAPercentageFollowsLinesAddedAfterADeclinedPaymentAndTheDiscountStays)
{
    choose(window->RadioServicio, 2);
    choose(window->RadioDescuento, 1);
    receive(QStringLiteral("0"), false);
    ASSERT_TRUE(PagoCancelado);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 5000}));
    EXPECT_DOUBLE_EQ(stored("NETO").toDouble(), 30000);
    EXPECT_DOUBLE_EQ(stored("VALORPROPINA").toDouble(), 3000);
    // The discount the cashier gave on the whole document is not lost to the next line's re-total.
    EXPECT_DOUBLE_EQ(stored("DESCUENTO").toDouble(), 1250);
}

TEST_F(PagoTest, FinishingOpensTheWindowWithOneCall)
{
    window.reset();
    dialogs.answers.push_back(false);
    kvtest::whenShown<TFrmVentasPagoVp>([](TFrmVentasPagoVp* w) { QTest::keyClick(w->EditRecibido, Qt::Key_Return); });
    PagoCancelado = false;
    TFrmVentasPagoVp::Pagar(*dm);
    EXPECT_TRUE(PagoCancelado);
}

}  // namespace
