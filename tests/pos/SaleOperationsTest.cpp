// Each sale action is all or nothing: a line and its document's totals are stored together or not
// at all, a station never waits for ever on another one's lock, the base units of a line follow
// its quantity, and an empty document can be given up only while it is empty.
#include "ShopFixture.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QSqlQuery>

using namespace kv;
using kvtest::SaleLine;

namespace {

class SaleOperationsTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        // ARROZ also sold by the dozen and by the 50 kg sack.
        db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR) "
                 "VALUES (1, 'DO', 12, 120000)");
        db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR) "
                 "VALUES (1, 'UN', 1, 11600)");
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        numero = kvtest::startDocument(*dm);
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    // A second station (a waiter's) on its own connection, on the same document.
    struct Station {
        Connection db{QStringLiteral("Mesero")};
        std::unique_ptr<TDmVentas> dm;
    };
    std::unique_ptr<Station> secondStation()
    {
        auto s = std::make_unique<Station>();
        s->db.setLocation(db->location());
        s->dm = std::make_unique<TDmVentas>(s->db);
        EXPECT_TRUE(s->dm->signOn(11));
        EXPECT_TRUE(s->dm->openDocument("01", "POS", numero));
        return s;
    }
    double stored(const char* sql) { return db->scalar(QString::fromLatin1(sql), {{"N", numero}}).toDouble(); }
    int lines() { return int(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N")); }
    double neto() { return stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N"); }

    std::unique_ptr<TDmVentas> dm;
    int numero = 0;
};

TEST_F(SaleOperationsTest, ALineWhoseTotalsCannotBeStoredIsNotStoredEither)
{
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000}));
    // From now on the header refuses every change, as a failing disk or a broken rule would.
    db->exec("CREATE EXCEPTION E_NO 'cabecera bloqueada'");
    db->exec("CREATE TRIGGER T_NO FOR POSMOVIMIENTO BEFORE UPDATE AS BEGIN EXCEPTION E_NO; END");

    struct Case {
        const char* what;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"add", [&] { kvtest::ringUp(*dm, {.producto = 4, .precio = 500}); }},
        {"change", [&] { dm->changeLine({{"CANTIDAD", 3.0}}); }},
        {"delete", [&] { dm->deleteLine(); }},
        {"grid edit", [&] {
             dm->TFac.Edit();
             dm->TFac["CANTIDAD"] = 5.0;
             dm->TFac.Post();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.act();
            ADD_FAILURE() << "stored";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.text().contains("cabecera bloqueada")) << e.text().toStdString();  // the database's own text
        }
        // The stored line is as it was, and so is what the cursors show.
        EXPECT_EQ(lines(), 1);
        EXPECT_DOUBLE_EQ(stored("SELECT CANTIDAD FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N"), 1);
        EXPECT_DOUBLE_EQ(neto(), 1000);
        EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), 1000);
        EXPECT_FALSE(dm->TIniFac.isEditing());
        if (dm->TFac.isEditing())  // a grid's row stays for the cashier to correct or cancel
            dm->TFac.Cancel();
        EXPECT_EQ(dm->TFac.bufferCount(), 1);
        EXPECT_DOUBLE_EQ(dm->TFac["CANTIDAD"].asFloat(), 1);
    }

    // Once the header takes changes again, the same actions go through.
    db->exec("DROP TRIGGER T_NO");
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 500}));
    EXPECT_DOUBLE_EQ(neto(), 1500);
}

TEST_F(SaleOperationsTest, BaseUnitsFollowTheQuantityOnEveryPost)
{
    // Two dozen are 24 units; changed to three dozen in code or in a grid, 36; a returned
    // dozen takes 12 units back. A unit the product has no packing for counts as one.
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 1, .precio = 120000, .cantidad = 2, .iva = 16, .unidad = "DO"}));
    EXPECT_DOUBLE_EQ(stored("SELECT CANTIDADRECIBIDA FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N"), 24);
    ASSERT_TRUE(dm->changeLine({{"CANTIDAD", 3.0}}));
    EXPECT_DOUBLE_EQ(stored("SELECT CANTIDADRECIBIDA FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N"), 36);
    dm->TFac.Edit();
    dm->TFac["CANTIDAD"] = 0.5;
    dm->TFac.Post();
    EXPECT_DOUBLE_EQ(dm->TFac["CANTIDADRECIBIDA"].asFloat(), 6);
    EXPECT_DOUBLE_EQ(stored("SELECT CANTIDADRECIBIDA FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N"), 6);

    dialogs.answers = {true};
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 1, .precio = 120000, .cantidad = -1, .iva = 16, .unidad = "DO"}));
    EXPECT_DOUBLE_EQ(dm->TFac["CANTIDADRECIBIDA"].asFloat(), -12);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 100, .cantidad = 7, .unidad = "CJ"}));
    EXPECT_DOUBLE_EQ(dm->TFac["CANTIDADRECIBIDA"].asFloat(), 7);
}

TEST_F(SaleOperationsTest, AStationWaitingForAnotherOnesLockGivesUpWithAMessageAndStoresNothing)
{
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000}));
    dm->setWaitLimitMs(400);
    {
        // Another station is in the middle of changing this document and holds its header.
        Connection other(QStringLiteral("Otra"));
        other.setLocation(db->location());
        Transaction busy(other);
        other.exec("UPDATE POSMOVIMIENTO SET OBSERVACIONES = 'MESA 4' WHERE CONSECUTIVO = :N", {{"N", numero}});

        QElapsedTimer clock;
        clock.start();
        try {
            kvtest::ringUp(*dm, {.producto = 4, .precio = 500});
            ADD_FAILURE() << "stored while the header was held";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::kWaitExpired) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains("no se guardó nada")) << e.text().toStdString();
        }
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_FALSE(dm->TFac.isEditing());
        EXPECT_EQ(dm->TFac.bufferCount(), 1);
    }  // the other station gives up its change

    EXPECT_EQ(lines(), 1);
    // Nothing of the stopped wait is left over for the next action.
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 500}));
    EXPECT_EQ(lines(), 2);
    EXPECT_DOUBLE_EQ(neto(), 1500);
}

TEST_F(SaleOperationsTest, TwoStationsOnOneDocumentKeepEveryLineAndTheRightTotal)
{
    // A waiter's station opens the same table's document; both ring up in turn, each on cursors
    // that do not show the other's last line.
    auto station = secondStation();
    TDmVentas& other = *station->dm;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000}));
        ASSERT_TRUE(kvtest::ringUp(other, {.producto = 4, .precio = 100}));
    }
    EXPECT_EQ(lines(), 6);
    EXPECT_DOUBLE_EQ(neto(), 3300);
    EXPECT_EQ(stored("SELECT COUNT(DISTINCT LINEA) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N"), 6);
    EXPECT_DOUBLE_EQ(other.TIniFac["NETO"].asFloat(), 3300);
}

TEST_F(SaleOperationsTest, AnEmptyDocumentIsGivenUpOnlyWhileItHasNoLine)
{
    // Another station's line arrived meanwhile: the document stays.
    ASSERT_TRUE(kvtest::ringUp(*secondStation()->dm, {.producto = 4, .precio = 100}));
    EXPECT_FALSE(dm->abandonEmptyDocument());
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N"), 1);

    const int empty = kvtest::startDocument(*dm);
    EXPECT_TRUE(dm->abandonEmptyDocument());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", empty}}).toInt(), 0);
    EXPECT_EQ(kvtest::startDocument(*dm), empty);  // the highest number, given up, comes back
}

TEST_F(SaleOperationsTest, LinesAndTotalsFollowTheHeaderWhenTheParameterRowPointsElsewhere)
{
    // A sign-on at this station put company 02's parameter row (document PRS) in force while
    // document 01 POS is still being sold.
    dm->setParameterCompany(2);
    ASSERT_EQ(dm->Parametros["DOCUMENTO"].asString(), QStringLiteral("PRS"));
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000}));
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 500}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND "
                         "CONSECUTIVO = :N AND LINEA IN (1, 2)",
                         {{"N", numero}})
                  .toInt(),
              2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA <> '01'").toInt(), 0);
    EXPECT_DOUBLE_EQ(neto(), 1500);
    EXPECT_DOUBLE_EQ(stored("SELECT SUBTOTAL FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N"), 1500);
}

}  // namespace
