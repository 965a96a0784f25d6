// Esc in the product box: giving up an empty document, the three ways a seller who does not
// collect finishes (invoice, payment-order ticket, nothing), the payment window's hand-over and
// the ticket itself. Printing writes PDFs into a folder of the test's.
#include "RegisterFixture.h"

#include "platform/DbControls.h"
#include "platform/EnvScope.h"
#include "pos/UntVentaOrdenPagoPrn.h"
#include "pos/UntVentasPagoVp.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
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
        rawTo = std::make_unique<EnvScope>("KORVELA_RAW_TO", pdfs.filePath("cajon.bin").toUtf8());
    }
    void TearDown() override
    {
        rawTo.reset();
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
    std::unique_ptr<EnvScope> printTo, rawTo;
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
    // The payment window confirms with Enter in "Dinero Recibido"; the money received is left at 0.
    int opened = 0;
    auto pay = [&] {
        kvtest::whenShown<TFrmVentasPagoVp>([&](TFrmVentasPagoVp* w) {
            ++opened;
            EXPECT_EQ(w->LabelPagar->text(), opened == 1 ? QStringLiteral("2,000.00") : QStringLiteral("4,000.00"));
            QTest::keyClick(w->EditRecibido, Qt::Key_Return);
        });
    };
    startSale();
    ringUp("4");
    pay();
    finish({true, false});  // "Terminar Factura?" Yes, then No in the payment window
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(screen->selling());  // still on the document: more lines may follow
    kvtest::showActive(screen.get());  // the offscreen platform gives the keyboard back to no window
    ringUp("4");
    EXPECT_EQ(lines(), 2);
    pay();
    finish({true, true});
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(screen->selling());
    // Paid and closed by the payment window, which printed the roll receipt.
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS = 'I' AND CAJERO = 11").toInt(), 1);
    EXPECT_EQ(printed(), 1);
}

}  // namespace
