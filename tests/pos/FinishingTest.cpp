// Esc in the product box: giving up an empty document, the three ways a seller who does not
// collect finishes (invoice, payment-order ticket, nothing), the payment window's hand-over and
// the ticket itself. Printing writes PDFs into a folder of the test's.
#include "RegisterFixture.h"

#include "platform/DbControls.h"
#include "platform/EnvScope.h"
#include "pos/UntVentaOrdenPagoPrn.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using kvtest::typeInto;

namespace {

class FinishingTest : public kvtest::RegisterTest {
protected:
    void SetUp() override
    {
        RegisterTest::SetUp();
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", pdfs.path().toUtf8());
        PaymentWindow = nullptr;
    }
    void TearDown() override
    {
        PaymentWindow = nullptr;
        printTo.reset();
        RegisterTest::TearDown();
    }
    void finish(std::initializer_list<bool> answers)
    {
        dialogs.answers = answers;
        QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    }
    int printed() const { return int(QDir(pdfs.path()).entryList({"*.pdf"}).size()); }
    int headers() { return db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO").toInt(); }

    QTemporaryDir pdfs;
    std::unique_ptr<EnvScope> printTo;
};

TEST_F(FinishingTest, AnEmptyDocumentGivenUpFreesItsNumber)
{
    startSale();
    finish({false});  // "Terminar Factura?" No
    EXPECT_TRUE(screen->selling());
    finish({true, false});  // No to freeing the number: the empty document stays on the screen
    EXPECT_EQ(dialogs.texts("confirm"), (QStringList{"Terminar Factura?", "Terminar Factura?",
                                                      "Factura aun no se ha Utilizado Quiere Liberar el Numero ? 1"}));
    EXPECT_TRUE(screen->selling());
    EXPECT_EQ(headers(), 1);
    finish({true, true});
    EXPECT_FALSE(screen->selling());
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    EXPECT_EQ(headers(), 0);
    startSale();
    EXPECT_EQ(db->scalar("SELECT CONSECUTIVO FROM POSMOVIMIENTO").toInt(), 1);
}

TEST_F(FinishingTest, ASellerWhoDoesNotCollectPrintsAsHisPrivilegeSays)
{
    setCashier("COBRA", "N");
    struct Case {
        const char* imprimir;
        int pdfs;
        QString customerBox;
    };
    const Case cases[] = {{"F", 1, "1"}, {"R", 1, "222222222"}, {"N", 0, "222222222"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imprimir);
        setCashier("IMPRIMIR", c.imprimir);
        const int before = printed();
        screen->EditCliente->setText("222222222");
        startSale();
        ringUp("4", 0, "3");
        finish({true});
        EXPECT_FALSE(screen->selling());
        EXPECT_EQ(printed() - before, c.pdfs);
        EXPECT_EQ(screen->EditCliente->text(), c.customerBox);
        EXPECT_TRUE(dialogs.texts("error").isEmpty()) << texts().toStdString();
    }
    // Every document stays open for the paying register.
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS IS NULL AND NETO = 6000").toInt(), 3);
}

TEST_F(FinishingTest, TheTicketShowsNumberCustomerDateAndTotalWithoutLines)
{
    startSale();
    ringUp("4", 1, "2");
    const auto doc = TFrmVentaOrdenPagoPrn::Render(*db, {"01", "POS", 1});
    ASSERT_TRUE(doc);
    const QString text = doc->toText();
    for (const char* expected : {"ORDEN PAGO", "Factura No.", "222,222,222-1  CLIENTES VARIOS", "VALOR FACTURA",
                                 "48,000.00"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("TINTO"));
    EXPECT_EQ(doc->pageCount(), 1);
    EXPECT_NEAR(doc->pageSize.width(), 73, 0.01);
    EXPECT_FALSE(TFrmVentaOrdenPagoPrn::Render(*db, {"02", "POS", 1}));
}

TEST_F(FinishingTest, ACashierWhoCollectsGoesToThePaymentWindowAndMayDecline)
{
    int opened = 0;
    PaymentWindow = [&](TDmVentas& dm, QWidget*) {
        ++opened;
        EXPECT_EQ(dm.TIniFac["NETO"].asFloat(), 2000 * opened);  // the lines added after a decline count
        PagoCancelado = opened == 1;  // declines the first time
    };
    startSale();
    ringUp("4");
    finish({true});
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(screen->selling());  // still on the document: more lines may follow
    ringUp("4");
    EXPECT_EQ(lines(), 2);
    finish({true});
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(screen->selling());
    EXPECT_EQ(printed(), 0);
}

TEST_F(FinishingTest, WithoutAPaymentWindowTheCollectingCashierGetsTheInvoiceInTheLayoutChosen)
{
    screen->RadioTipoFactura->button(1)->click();  // "Media Carta"
    startSale();
    ringUp("4");
    finish({true});
    EXPECT_FALSE(screen->selling());
    EXPECT_EQ(printed(), 1);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS IS NULL").toInt(), 1);
}

}  // namespace
