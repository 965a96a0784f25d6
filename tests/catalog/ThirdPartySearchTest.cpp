// The two third party searches driven from the keyboard as the sale and order screens open them:
// nearest match in each order, Enter/OK/cancel and the shared values, bad search text.
#include "SearchFixtures.h"
#include "CallerHarness.h"
#include "catalog/UntBuscarClientes.h"
#include "catalog/UntBuscarTercero.h"
#include "catalog/UntCrearTerceros.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kv;

namespace {

class ThirdPartySearchTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::addThirdParties(*db);
        NitTerceroElegido = PadreTerceroElegido = NitClienteElegido = PadreClienteElegido = 0;
    }
    static double currentNit(ThirdPartySearch& s) { return s.TbProveedores.FieldByName("NIT").asFloat(); }
};

TEST_F(ThirdPartySearchTest, EveryKeystrokeMovesToTheNearestRowInTheChosenOrder)
{
    struct Case {
        ThirdPartySearch::Orden orden;
        const char* typed;
        double nit;
    };
    const Case cases[] = {
        {ThirdPartySearch::PorNit, "150", 200},          {ThirdPartySearch::PorNit, "1", 100},
        {ThirdPartySearch::PorNit, "999", 400},           // past the end: the last row
        {ThirdPartySearch::PorNombre, "M", 400},          {ThirdPartySearch::PorNombre, "O'", 300},
        {ThirdPartySearch::PorNombre, "ZZ", 100},         {ThirdPartySearch::PorTelefono, "3", 200},
        {ThirdPartySearch::PorTelefono, "6", 300},        {ThirdPartySearch::PorCiudad, "C", 100},
        {ThirdPartySearch::PorCiudad, "BO", 200},
    };
    TFrmBuscarTercero dlg(*db);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    ASSERT_TRUE(dlg.EditNit->hasFocus());
    EXPECT_EQ(currentNit(dlg), 100);  // opens in NIT order on the first row
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dlg.RadioGroup1->button(c.orden)->click();
        dlg.EditNit->clear();
        QTest::keyClicks(dlg.EditNit, c.typed);
        EXPECT_EQ(currentNit(dlg), c.nit);
        EXPECT_EQ(dlg.DBGrid1->currentIndex().row(), dlg.TbProveedores.currentIndex());
    }
    EXPECT_TRUE(dialogs.shown.empty());

    // Arrows in the box walk the current order (city: BARRANQUILLA, BOGOTA, CALI, MEDELLIN).
    dlg.EditNit->clear();
    QTest::keyClick(dlg.EditNit, Qt::Key_Down);
    QTest::keyClick(dlg.EditNit, Qt::Key_Down);
    EXPECT_EQ(currentNit(dlg), 100);
    QTest::keyClick(dlg.EditNit, Qt::Key_Up);
    EXPECT_EQ(currentNit(dlg), 200);
}

TEST_F(ThirdPartySearchTest, LettersInNitOrderAreRefusedAndTheBoxKeepsThem)
{
    TFrmBuscarTercero dlg(*db);
    dlg.show();
    QTest::keyClicks(dlg.EditNit, "300");
    EXPECT_EQ(currentNit(dlg), 300);
    QTest::keyClicks(dlg.EditNit, "x");
    EXPECT_EQ(dlg.EditNit->text(), "300x");
    EXPECT_EQ(dialogs.texts("error"), QStringList{"'300x' no es un valor numérico válido"});
    EXPECT_EQ(currentNit(dlg), 300);
}

TEST_F(ThirdPartySearchTest, SaleScreenGetsTheChosenNitAndACancelledSearchGivesThePreviousOne)
{
    kvtest::CallerHarness sale(*db);
    sale.show();

    // Cancelling the very first search writes 0 into the customer box.
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) { QTest::keyClick(d, Qt::Key_Escape); });
    QTest::mouseDClick(sale.customerBox, Qt::LeftButton);
    EXPECT_EQ(sale.customerBox->text(), "0");

    // Enter in the search box chooses: NIT and its referrer.
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) {
        d->RadioGroup1->button(ThirdPartySearch::PorNombre)->click();
        QTest::keyClicks(d->EditNit, "ARI");
        QTest::keyClick(d->EditNit, Qt::Key_Return);
    });
    QTest::mouseDClick(sale.customerBox, Qt::LeftButton);
    EXPECT_EQ(sale.customerBox->text(), "200");
    EXPECT_EQ(PadreTerceroElegido, 100);

    // A search moved elsewhere and then cancelled hands back the previous choice.
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) {
        QTest::keyClicks(d->EditNit, "400");
        QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
    });
    QTest::mouseDClick(sale.customerBox, Qt::LeftButton);
    EXPECT_EQ(sale.customerBox->text(), "200");

    // OK chooses as well.
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) {
        QTest::keyClicks(d->EditNit, "300");
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseDClick(sale.customerBox, Qt::LeftButton);
    EXPECT_EQ(sale.customerBox->text(), "300");
    EXPECT_EQ(PadreTerceroElegido, 200);
    EXPECT_EQ(NitClienteElegido, 0);  // the order screen's values are another pair
}

TEST_F(ThirdPartySearchTest, OrderScreenSearchSetsItsOwnValuesAndCanCreateAThirdParty)
{
    kvtest::CallerHarness order(*db);
    order.show();
    NitTerceroElegido = 77;
    bool created = false;
    kvtest::whenShown<TFrmBuscarClientes>([this, &created](TFrmBuscarClientes* d) {
        EXPECT_EQ(d->windowTitle(), "");
        // "Crear Terceros" opens the full screen; a third party added there can be found on return.
        kvtest::whenShown<TFrmCrearTerceros>([&created](TFrmCrearTerceros* full) {
            full->DBNavigator1->click(DbNavigator::Insert);
            QTest::keyClicks(full->edit("NIT"), "5000");
            QTest::keyClicks(full->edit("NOMBRE"), "NUEVO TERCERO");
            full->DBNavigator1->click(DbNavigator::Post);
            created = true;
            QTest::keyClick(full, Qt::Key_Escape);
        });
        QTest::mouseClick(d->BtnCrearTerceros, Qt::LeftButton);
        QTest::keyClicks(d->EditNit, "5000");
        EXPECT_EQ(currentNit(*d), 5000);
        QTest::keyClick(d->EditNit, Qt::Key_Return);
    });
    QTest::mouseDClick(order.orderCustomerBox, Qt::LeftButton);
    EXPECT_TRUE(created);
    EXPECT_EQ(order.orderCustomerBox->text(), "5000");
    EXPECT_EQ(NitClienteElegido, 5000);
    EXPECT_EQ(PadreClienteElegido, 0);
    EXPECT_EQ(NitTerceroElegido, 77);
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
}

}  // namespace
