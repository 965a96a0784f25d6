// The full third party screen by keyboard: creating through the navigator, the NIT rules, the
// exact-NIT search box, referrers' names, and deletes refused while documents refer to the row.
#include "SearchFixtures.h"
#include "catalog/ThirdParties.h"
#include "catalog/UntCrearTerceros.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace kv;

namespace {

class CrearTercerosTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::addThirdParties(*db);
        screen = std::make_unique<TFrmCrearTerceros>(*db);
        screen->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    }
    void TearDown() override
    {
        screen.reset();
        DbTest::TearDown();
    }
    double currentNit() { return screen->TbProveedores.FieldByName("NIT").asFloat(); }
    QVariant stored(const char* column, double nit)
    {
        const QVariant v = db->scalar(QString("SELECT %1 FROM PROVEEDORES WHERE NIT = :N").arg(column), {{"N", nit}});
        return v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
    }
    void type(const char* column, const QString& text)
    {
        DbEdit* e = screen->edit(column);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    std::unique_ptr<TFrmCrearTerceros> screen;
};

TEST_F(CrearTercerosTest, NavigatorInsertGoesToTheNitAndPostsWhatWasTyped)
{
    EXPECT_EQ(screen->windowTitle(), "TERCEROS ");
    screen->PageControl1->setCurrentWidget(screen->TabVentas);
    screen->DBNavigator1->click(DbNavigator::Insert);
    EXPECT_EQ(screen->PageControl1->currentWidget(), screen->TabGenerales);
    EXPECT_TRUE(screen->edit("NIT")->hasFocus());
    QTest::keyClicks(screen->edit("NIT"), "900123456");
    type("NOMBRE", "DISTRIBUIDORA ANDINA SAS");
    type("FECHANACIMIENTO", "14/07/2001");
    screen->radio("CLASETERCERO")->button(1)->click();
    screen->radio("BLOQUEO")->button(2)->click();
    type("CUPO", "2500000");
    screen->DBNavigator1->click(DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(stored("NOMBRE", 900123456).toString(), "DISTRIBUIDORA ANDINA SAS");
    EXPECT_EQ(stored("CLASETERCERO", 900123456).toString(), "P");
    EXPECT_EQ(stored("BLOQUEO", 900123456).toString(), "A");
    EXPECT_EQ(stored("CUPO", 900123456).toDouble(), 2500000);
    screen->DBGrid1->setFocus();  // boxes show their pictures once left
    EXPECT_EQ(screen->edit("NIT")->text(), "900,123,456");
    EXPECT_EQ(screen->edit("FECHANACIMIENTO")->text(), "14 jul 2001");
    EXPECT_EQ(screen->edit("CUPO")->text(), "2,500,000.00");

    // Editing goes to the name.
    screen->DBNavigator1->click(DbNavigator::Edit);
    EXPECT_TRUE(screen->edit("NOMBRE")->hasFocus());
    screen->DBNavigator1->click(DbNavigator::Cancel);
}

TEST_F(CrearTercerosTest, NitsWithDotsLettersOrDecimalsOrNoneAreRefused)
{
    const int before = db->scalar("SELECT COUNT(*) FROM PROVEEDORES").toInt();
    for (const char* typed : {"900.123.456", "90012a", "12.5", "", "0"}) {
        SCOPED_TRACE(typed);
        dialogs.clear();
        screen->DBNavigator1->click(DbNavigator::Insert);
        QTest::keyClicks(screen->edit("NIT"), typed);
        type("NOMBRE", "PRUEBA");
        screen->DBNavigator1->click(DbNavigator::Post);
        EXPECT_FALSE(dialogs.texts("error").isEmpty());
        EXPECT_EQ(screen->TbProveedores.state(), DsState::Insert);
        screen->DBNavigator1->click(DbNavigator::Cancel);
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM PROVEEDORES").toInt(), before);
}

TEST_F(CrearTercerosTest, SearchBoxMovesToTheExactNitOnly)
{
    QTest::keyClicks(screen->EditBuscar, "300");
    EXPECT_EQ(currentNit(), 300);
    EXPECT_EQ(screen->edit("PADRE")->text(), "200");
    EXPECT_EQ(screen->edit("NombrePadre")->text(), "ARIAS ANA");
    EXPECT_EQ(screen->edit("NombreAbuelo")->text(), "ZAPATA LUIS");  // 200's own referrer
    QTest::keyClicks(screen->EditBuscar, "5");  // 3005: nobody, nothing moves
    EXPECT_EQ(currentNit(), 300);
    QTest::keyClick(screen->EditBuscar, Qt::Key_Down);
    EXPECT_EQ(currentNit(), 400);
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::keyClicks(screen->EditBuscar, "x");
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(currentNit(), 400);
}

TEST_F(CrearTercerosTest, ThirdPartiesThatDocumentsReferToAreNotDeleted)
{
    db->exec("INSERT INTO ORDENCOMPRA (EMPRESA, ORDENCOMPRA, PROVEEDOR) VALUES ('01', 1, 100)");
    db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, CLIENTE) VALUES ('01', 'PV', 1, 1, 200)");
    struct Case {
        double nit;
        QString why;
    };
    const Case cases[] = {{100, SupplierHasOrdersText()}, {200, ThirdPartyHasDocumentsText()}, {400, QString()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nit);
        dialogs.clear();
        dialogs.answers = {true};  // "¿Borrar el registro?"
        screen->EditBuscar->setText(QString::number(c.nit));
        ASSERT_EQ(currentNit(), c.nit);
        screen->DBNavigator1->click(DbNavigator::Delete);
        if (c.why.isEmpty()) {
            EXPECT_TRUE(stored("NIT", c.nit).isNull());
        } else {
            EXPECT_EQ(dialogs.texts("message"), QStringList{c.why});
            EXPECT_FALSE(stored("NIT", c.nit).isNull());
            EXPECT_EQ(currentNit(), c.nit);
        }
    }
}

TEST_F(CrearTercerosTest, AddressTabSavesThePendingChangeEscDropsItAndClosingAsks)
{
    screen->EditBuscar->setText("400");
    type("TELEFONO", "601 555 1234");
    screen->PageControl1->setCurrentWidget(screen->TabDirecciones);
    EXPECT_EQ(stored("TELEFONO", 400).toString(), "601 555 1234");
    EXPECT_EQ(screen->TbProveedores.state(), DsState::Browse);

    // Esc drops a change being typed; closing with one asks, and "Sí" saves it.
    screen->PageControl1->setCurrentWidget(screen->TabGenerales);
    type("CIUDAD", "CALI");
    QTest::keyClick(screen.get(), Qt::Key_Escape);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->TbProveedores.state(), DsState::Browse);
    type("CIUDAD", "SANTA MARTA");
    dialogs.replies = {Reply::Yes};
    screen->close();
    EXPECT_EQ(dialogs.texts("yesNoCancel"), QStringList{"¿Desea grabar los cambios?"});
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(stored("CIUDAD", 400).toString(), "SANTA MARTA");
}

}  // namespace
