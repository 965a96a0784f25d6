// The sales data module on a real embedded database: numbering and header defaults, line pricing,
// header totals after every change, the refusals, and numbers taken again when another register
// got there first.
#include "ShopFixture.h"
#include "data/DatasetModel.h"
#include "support/TestDb.h"

#include <QDateTime>
#include <QSqlQuery>
#include <cmath>

using namespace kv;
using kvtest::SaleLine;

namespace {

class DmVentasTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        dm = std::make_unique<TDmVentas>(*db);
        LineaPermitida = false;
        ASSERT_TRUE(dm->signOn(11));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }

    int start(double cliente = 222222222) { return kvtest::startDocument(*dm, cliente); }
    bool ring(const SaleLine& l) { return kvtest::ringUp(*dm, l); }

    QVariant header(const char* column, int numero, const char* empresa = "01", const char* documento = "POS")
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE EMPRESA = :E AND DOCUMENTO = :D "
                                         "AND CONSECUTIVO = :N").arg(QLatin1String(column)),
                          {{"E", empresa}, {"D", documento}, {"N", numero}});
    }
    int count(const QString& sql, const QVariantMap& p = {}) { return db->scalar(sql, p).toInt(); }

    // The stored header of the current document carries the sums of its stored lines.
    void expectTotalsMatchLines()
    {
        SCOPED_TRACE("header totals");
        const QVariantMap key{{"E", dm->TIniFac["EMPRESA"].value()},
                              {"D", dm->TIniFac["DOCUMENTO"].value()},
                              {"N", dm->TIniFac["CONSECUTIVO"].value()}};
        QSqlQuery s = db->exec("SELECT COALESCE(SUM(SUBTOTAL), 0), COALESCE(SUM(VALORDESCUENTO), 0), "
                               "COALESCE(SUM(VALORIVA), 0) FROM POSMOVIMIENTODETALLE "
                               "WHERE EMPRESA = :E AND DOCUMENTO = :D AND CONSECUTIVO = :N", key);
        ASSERT_TRUE(s.next());
        QSqlQuery h = db->exec("SELECT SUBTOTAL, DESCUENTO, IVA, NETO, PAGO, COALESCE(ABONO, 0) FROM POSMOVIMIENTO "
                               "WHERE EMPRESA = :E AND DOCUMENTO = :D AND CONSECUTIVO = :N", key);
        ASSERT_TRUE(h.next());
        EXPECT_DOUBLE_EQ(h.value(0).toDouble(), s.value(0).toDouble());
        EXPECT_DOUBLE_EQ(h.value(1).toDouble(), s.value(1).toDouble());
        EXPECT_DOUBLE_EQ(h.value(2).toDouble(), s.value(2).toDouble());
        EXPECT_DOUBLE_EQ(h.value(3).toDouble(), s.value(0).toDouble());
        EXPECT_DOUBLE_EQ(h.value(4).toDouble(), s.value(0).toDouble() - h.value(5).toDouble());
        // The module's own cursor shows what is stored.
        EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), h.value(3).toDouble());
    }

    std::unique_ptr<TDmVentas> dm;
};

TEST_F(DmVentasTest, NewHeaderTakesItsDefaultsFromTheRegisterCashierAndDocumentType)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(dm->TIniFac["NombreCliente"].asString(), "CLIENTES VARIOS");
    EXPECT_EQ(dm->TCaja["NOMBRE"].asString(), "CAJA 1");  // the register follows the cashier

    QSqlQuery q = db->exec("SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, CLIENTE, VENDEDOR, CAJERO, CAJA, MONEDA, "
                           "TASA, PLAZO, FECHA, TIPODEPAGO, FACTURA, STATUS, NETO, ABONO FROM POSMOVIMIENTO");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString().trimmed(), "01");
    EXPECT_EQ(q.value(1).toString().trimmed(), "POS");
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toInt(), 3);
    EXPECT_EQ(q.value(4).toDouble(), 222222222.0);
    EXPECT_EQ(q.value(5).toDouble(), 11.0);
    EXPECT_EQ(q.value(6).toDouble(), 11.0);
    EXPECT_EQ(q.value(7).toDouble(), 1.0);
    EXPECT_EQ(q.value(8).toString(), "COP");
    EXPECT_EQ(q.value(9).toDouble(), 1.0);
    EXPECT_EQ(q.value(10).toInt(), 0);
    EXPECT_GE(q.value(11).toDateTime(), before);
    EXPECT_LE(q.value(11).toDateTime(), QDateTime::currentDateTime().addSecs(1));
    EXPECT_EQ(q.value(12).toString().trimmed(), "C");
    EXPECT_EQ(q.value(13).toInt(), 1);
    EXPECT_TRUE(q.value(14).isNull());  // open: not yet collected
    EXPECT_TRUE(q.value(15).isNull());
    EXPECT_TRUE(q.value(16).isNull());
    EXPECT_FALSE(q.next());

    // A customer not on file shows as such; the header is still made.
    EXPECT_EQ(start(5555), 2);
    EXPECT_EQ(dm->TIniFac["NombreCliente"].asString(), "Nit O Cedula No Creada");
}

TEST_F(DmVentasTest, EachRegisterNumbersFromTheParameterRowOfItsCompany)
{
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(start(), 2);

    // Register 2 belongs to company 2: its own series, branch and currency.
    ASSERT_TRUE(dm->signOn(22));
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(header("BODEGA", 1, "02", "PRS").toInt(), 4);
    EXPECT_EQ(header("MONEDA", 1, "02", "PRS").toString(), "USD");
    EXPECT_EQ(header("CAJA", 1, "02", "PRS").toDouble(), 2.0);

    // Company 3's document type is missing from DOCUMENTOS: the document gets no currency.
    ASSERT_TRUE(dm->signOn(33));
    EXPECT_EQ(start(), 1);
    EXPECT_TRUE(header("MONEDA", 1, "03", "XX").isNull());

    ASSERT_TRUE(dm->signOn(11));
    EXPECT_EQ(start(), 3);
    EXPECT_FALSE(dm->signOn(12345));  // no such cashier: nothing moves
    EXPECT_EQ(dm->TCajero["CEDULA"].asFloat(), 11.0);
    EXPECT_EQ(start(), 4);
}

TEST_F(DmVentasTest, VoidedNumbersAreKeptAndOnlyTheAbandonedHighestComesBack)
{
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(start(), i);
        ring({.producto = 4, .precio = 1000});
    }
    // Document 3 voided the way the corrections screen does it: lines gone, totals 0, closed.
    db->exec("DELETE FROM POSMOVIMIENTODETALLE WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND CONSECUTIVO = 3");
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', SUBTOTAL = 0, NETO = 0 WHERE CONSECUTIVO = 3");
    EXPECT_EQ(start(), 6);
    EXPECT_EQ(start(), 7);

    // The cashier gives up on 7 before its first line: it is deleted and its number comes back.
    dm->TIniFac.Delete();
    EXPECT_EQ(start(), 7);
    // An abandoned number that is not the highest stays a gap.
    ASSERT_TRUE(dm->TIniFac.Locate("EMPRESA;DOCUMENTO;CONSECUTIVO", {"01", "POS", 6}));
    dm->TIniFac.Delete();
    EXPECT_EQ(start(), 8);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 7);
}

TEST_F(DmVentasTest, LinesArePricedTaxedAndTotalled)
{
    struct Case {
        const char* what;
        SaleLine line;
        double subtotal, valorIva, valorIpoconsumo;
    };
    const Case cases[] = {
        {"IVA included", {.producto = 1, .precio = 11600, .iva = 16}, 11600, 1600, 0},
        {"IVA included, decimals stay with the tax", {.producto = 1, .precio = 11600.50, .iva = 16}, 11600.50, 1600.50, 0},
        {"IVA included, rate below 10", {.producto = 5, .precio = 10500, .iva = 5}, 10500, 500, 0},
        {"IVA included, rate not whole", {.producto = 1, .precio = 10250, .iva = 2.5}, 10250, 250, 0},
        {"IVA included, rate of 100", {.producto = 1, .precio = 20000, .iva = 100}, 20000, 10000, 0},
        {"IVA included, after a discount", {.producto = 1, .precio = 11600, .iva = 16, .descuento = 1000}, 11600, 1462, 0},
        // An IVA the price leaves out is charged on top of it.
        {"IVA added", {.producto = 2, .precio = 10000, .iva = 16}, 11600, 1600, 0},
        {"IVA added on two units", {.producto = 2, .precio = 1234, .cantidad = 2, .iva = 16}, 2863, 395, 0},
        {"IVA added after a discount", {.producto = 2, .precio = 10000, .iva = 16, .descuento = 1000}, 11440, 1440, 0},
        {"half a hundredth rounds to even, down", {.producto = 4, .precio = 2.125}, 2.12, 0, 0},
        {"half a hundredth rounds to even, up", {.producto = 4, .precio = 2.375}, 2.38, 0, 0},
        // The consumption tax is inside the price: base 9,259, tax the rest.
        {"consumption tax", {.producto = 3, .precio = 10000, .ipoconsumo = 8}, 10000, 0, 741},
        {"no taxes, fractional quantity", {.producto = 4, .precio = 3000, .cantidad = 0.5}, 1500, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int numero = start();
        ring(c.line);
        QSqlQuery q = db->exec("SELECT LINEA, SUBTOTAL, VALORIVA, VALORIPOCONSUMO, BODEGA, UNIDADMOVIMIENTO "
                               "FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N",
                               {{"N", numero}});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
        EXPECT_DOUBLE_EQ(q.value(1).toDouble(), c.subtotal);
        EXPECT_DOUBLE_EQ(q.value(2).toDouble(), c.valorIva);
        EXPECT_DOUBLE_EQ(q.value(3).toDouble(), c.valorIpoconsumo);
        EXPECT_EQ(q.value(4).toInt(), 3);
        EXPECT_EQ(q.value(5).toString().trimmed(), "UN");
        EXPECT_DOUBLE_EQ(UltimoPrecio, c.line.precio);
        // The amount to pay is what the lines charge, an added IVA included.
        EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), c.subtotal);
        EXPECT_DOUBLE_EQ(header("IVA", numero).toDouble(), c.valorIva);
        EXPECT_DOUBLE_EQ(header("DESCUENTO", numero).toDouble(), c.line.descuento);
        expectTotalsMatchLines();
    }
}

TEST_F(DmVentasTest, LineCalculatedFields)
{
    start();
    ring({.producto = 1, .precio = 11600, .iva = 16, .descuento = 1000});
    EXPECT_EQ(dm->TFac["NombreArticulo"].asString(), "ARROZ");
    EXPECT_DOUBLE_EQ(dm->TFac["NETO"].asFloat(), 11600 - (1462 - 1000));
    EXPECT_DOUBLE_EQ(dm->TFac["Por"].asFloat(), 1);
    EXPECT_DOUBLE_EQ(dm->TFac["ValorConIva"].asFloat(), 11600);
    EXPECT_EQ(dm->TFac["ValorConIva"].displayText(), "11,600.00");
    EXPECT_EQ(dm->TProductos["PRODUCTO"].asInteger(), 1);  // the screens show the line's product from here

    ring({.producto = 4, .precio = 2.125, .cantidad = 2});
    EXPECT_DOUBLE_EQ(dm->TFac["ValorConIva"].asFloat(), 4.25 / 2);

    // Quantity 0: no unit price to show, and no division by zero.
    ring({.producto = 4, .precio = 500, .cantidad = 0});
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), 0);
    EXPECT_DOUBLE_EQ(dm->TFac["ValorConIva"].asFloat(), 0);

    // A product that does not exist: the line says so and charges its price, IVA inside.
    ring({.producto = 999, .precio = 700, .cantidad = 3, .iva = 16});
    EXPECT_EQ(dm->TFac["NombreArticulo"].asString(), "Sin Articulo");
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), 2100);
    EXPECT_EQ(dm->TFac["LINEA"].asInteger(), 4);
    expectTotalsMatchLines();

    // Read back from the database, the lines calculate the same.
    dm->TFac.Refresh();
    dm->TFac.First();
    EXPECT_EQ(dm->TFac["NombreArticulo"].asString(), "ARROZ");
    dm->TFac.Last();
    EXPECT_EQ(dm->TFac["NombreArticulo"].asString(), "Sin Articulo");
}

TEST_F(DmVentasTest, ReturnsAskFirstAndAnsweredNoLeaveNoTrace)
{
    const int numero = start();
    ring({.producto = 1, .precio = 11600, .iva = 16});
    ring({.producto = 4, .precio = 2000, .cantidad = 2});
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 15600);

    // A new return line answered Yes: negative amount with its taxes, also negative, so the
    // sale and its return leave both the total and the tax of the sold item at 0.
    dialogs.answers = {true};
    EXPECT_TRUE(ring({.producto = 1, .precio = 11600, .cantidad = -1, .iva = 16}));
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Devolver Producto Producto ?"});
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), -11600);
    EXPECT_DOUBLE_EQ(dm->TFac["VALORIVA"].asFloat(), -1600);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 4000);
    EXPECT_DOUBLE_EQ(header("IVA", numero).toDouble(), 0);
    expectTotalsMatchLines();
    // The same for IVA added to the price and for the consumption tax.
    dialogs.answers = {true, true};
    ring({.producto = 2, .precio = 10000, .cantidad = -1, .iva = 16});
    EXPECT_DOUBLE_EQ(dm->TFac["VALORIVA"].asFloat(), -1600);
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), -11600);
    ring({.producto = 3, .precio = 10000, .cantidad = -1, .ipoconsumo = 8});
    EXPECT_DOUBLE_EQ(dm->TFac["VALORIPOCONSUMO"].asFloat(), -741);
    dm->deleteLine();
    ASSERT_TRUE(dm->TFac.Locate("PRODUCTO", 2));
    dm->deleteLine();

    // A new return line answered No: nothing is written, nothing stays in the cursor.
    dialogs.clear();
    dialogs.answers = {false};
    EXPECT_FALSE(ring({.producto = 4, .precio = 2000, .cantidad = -5}));
    EXPECT_EQ(dialogs.texts("confirm").size(), 1);
    EXPECT_EQ(dm->TFac.state(), DsState::Browse);
    EXPECT_EQ(dm->TFac.bufferCount(), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 3);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 4000);

    // An existing line changed to a return and answered No gets its previous values back.
    ASSERT_TRUE(dm->TFac.Locate("LINEA", 2));
    dm->TFac.Edit();
    dm->TFac["CANTIDAD"] = -2.0;
    dialogs.answers = {false};
    EXPECT_THROW(dm->TFac.Post(), Abort);
    EXPECT_EQ(dm->TFac.state(), DsState::Browse);
    EXPECT_DOUBLE_EQ(dm->TFac["CANTIDAD"].asFloat(), 2);
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), 4000);
    EXPECT_DOUBLE_EQ(db->scalar("SELECT CANTIDAD FROM POSMOVIMIENTODETALLE WHERE LINEA = 2").toDouble(), 2);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 4000);
}

TEST_F(DmVentasTest, AGridEditRunsTheSameRulesAsCode)
{
    const int numero = start();
    ring({.producto = 2, .precio = 10000, .iva = 16});
    ring({.producto = 4, .precio = 1500});
    DatasetModel grid(dm->TFac);
    const int cantidad = dm->TFac["CANTIDAD"].index();
    ASSERT_EQ(grid.rowCount(), 2);

    // Quantity typed in the grid: the line and the header are recomputed.
    ASSERT_TRUE(grid.setData(grid.index(0, cantidad), 3));
    EXPECT_DOUBLE_EQ(db->scalar("SELECT SUBTOTAL FROM POSMOVIMIENTODETALLE WHERE LINEA = 1").toDouble(), 34800);
    EXPECT_DOUBLE_EQ(db->scalar("SELECT VALORIVA FROM POSMOVIMIENTODETALLE WHERE LINEA = 1").toDouble(), 4800);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 36300);
    expectTotalsMatchLines();

    // A return typed in the grid and refused keeps the old quantity, in the grid and on file.
    dialogs.answers = {false};
    EXPECT_FALSE(grid.setData(grid.index(1, cantidad), -1));
    EXPECT_EQ(grid.data(grid.index(1, cantidad), Qt::EditRole).toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 36300);

    // Accepted, it is a return like any other.
    dialogs.answers = {true};
    EXPECT_TRUE(grid.setData(grid.index(1, cantidad), -1));
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 33300);
    expectTotalsMatchLines();
}

TEST_F(DmVentasTest, LinesCanOnlyBeAddedByTheAddLineRoutine)
{
    start();
    ring({.producto = 4, .precio = 100});
    EXPECT_FALSE(LineaPermitida);
    // What the grid does when the cashier moves below the last line.
    EXPECT_THROW(dm->TFac.Append(), Abort);
    EXPECT_EQ(dm->TFac.state(), DsState::Browse);
    EXPECT_EQ(dm->TFac.bufferCount(), 1);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 1);
    // The next line added properly still gets the next number.
    ring({.producto = 4, .precio = 100});
    EXPECT_EQ(dm->TFac["LINEA"].asInteger(), 2);
}

TEST_F(DmVentasTest, TotalsFollowEveryChangeDownToTheLastLineDeleted)
{
    const int numero = start();
    dm->TIniFac.Edit();
    dm->TIniFac["ABONO"] = 500.0;
    dm->TIniFac.Post();

    ring({.producto = 1, .precio = 11600, .iva = 16, .descuento = 100});
    expectTotalsMatchLines();
    ring({.producto = 2, .precio = 10000, .iva = 16});
    expectTotalsMatchLines();
    EXPECT_DOUBLE_EQ(header("PAGO", numero).toDouble(), 11600 + 11600 - 500);  // VINO's IVA added

    // A price changed on a line.
    dm->TFac.Edit();
    dm->TFac["PRECIOUNIDAD"] = 5000.0;
    dm->TFac.Post();
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 11600 + 5800);
    expectTotalsMatchLines();

    // Lines deleted one by one; with the last one gone the totals are 0 and the amount due is
    // minus the amount paid in advance.
    dm->TFac.First();
    dm->TFac.Delete();
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 5800);
    expectTotalsMatchLines();
    dm->TFac.Delete();
    EXPECT_TRUE(dm->TFac.IsEmpty());
    for (const char* column : {"SUBTOTAL", "DESCUENTO", "IVA", "NETO"})
        EXPECT_EQ(header(column, numero).toDouble(), 0.0) << column;
    EXPECT_DOUBLE_EQ(header("PAGO", numero).toDouble(), -500);
    expectTotalsMatchLines();
}

TEST_F(DmVentasTest, WithoutAParameterRowNoDocumentIsCreated)
{
    // Register 8 has a company with no parameter row, register 9 has no company, cashier 77's
    // register does not exist.
    for (double cajero : {88.0, 99.0, 77.0}) {
        SCOPED_TRACE(cajero);
        ASSERT_TRUE(dm->signOn(cajero));
        EXPECT_TRUE(dm->Parametros.IsEmpty());
        ClienteActual = 222222222;
        dm->TIniFac.Insert();
        try {
            dm->TIniFac.Post();
            ADD_FAILURE() << "a header without company was posted";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.text().contains("EMPRESA")) << e.text().toStdString();
        }
        dm->TIniFac.Cancel();
        EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 0);
    }
    // Signing on at a proper register afterwards works as usual.
    ASSERT_TRUE(dm->signOn(11));
    EXPECT_EQ(start(), 1);
}

// Another register's rows, written on its own connection between our reading of the highest
// number and our write.
TEST_F(DmVentasTest, ANumberTakenMeanwhileIsTakenAgain)
{
    Connection other(QStringLiteral("Otra"));
    other.setLocation(db->location());
    other.open();

    ClienteActual = 222222222;
    dm->TIniFac.Insert();
    ASSERT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), 1);
    other.exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FACTURA) "
               "VALUES ('01', 'POS', 1, 3, 1)");
    dm->TIniFac.Post();
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), 2);
    EXPECT_EQ(header("FACTURA", 2).toInt(), 2);
    EXPECT_EQ(header("CAJERO", 2).toDouble(), 11.0);
    EXPECT_TRUE(header("CAJERO", 1).isNull());  // the other register's document is untouched

    LineaPermitida = true;
    dm->TFac.Insert();
    LineaPermitida = false;
    ASSERT_EQ(dm->TFac["LINEA"].asInteger(), 1);
    other.exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, SUBTOTAL) "
               "VALUES ('01', 'POS', 2, 1, 4, 100)");
    dm->TFac["PRODUCTO"] = 4;
    dm->TFac["PRECIOUNIDAD"] = 250.0;
    dm->TFac.Post();
    EXPECT_EQ(dm->TFac["LINEA"].asInteger(), 2);
    EXPECT_DOUBLE_EQ(header("NETO", 2).toDouble(), 350);
    expectTotalsMatchLines();
}

TEST_F(DmVentasTest, TakingTheNumberAgainIsBounded)
{
    // A database where every header meets a key already taken (a real one: the trigger writes a
    // document type that exists): the post gives up after a bounded number of whole attempts,
    // and the header stays unposted for the screen. The sequence counts them (it is not undone).
    db->exec("CREATE SEQUENCE G_TRIES");
    db->exec("CREATE EXCEPTION E_OTHER 'some other refusal'");
    db->exec("CREATE TRIGGER T_TAKEN FOR POSMOVIMIENTO BEFORE INSERT AS "
             "DECLARE N BIGINT; BEGIN N = GEN_ID(G_TRIES, 1); "
             "INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('POS', 'OTRA'); END");
    ClienteActual = 222222222;
    // The count is the bound looked at here; the time bound is left out of the way, so a busy
    // machine does not end the attempts first.
    dm->setWaitLimitMs(600000);
    dm->TIniFac.Insert();
    try {
        dm->TIniFac.Post();
        FAIL() << "posted";
    } catch (const DbError& e) {
        EXPECT_TRUE(isDuplicateKey(e));
        EXPECT_TRUE(e.text().contains("no se guardó nada")) << e.text().toStdString();
    }
    EXPECT_EQ(dm->TIniFac.state(), DsState::Insert);
    EXPECT_EQ(db->scalar("SELECT GEN_ID(G_TRIES, 0) FROM RDB$DATABASE").toInt(), TDmVentas::kAttempts);
    // Another failure of the same row is not a number taken: it is reported at once.
    db->exec("ALTER SEQUENCE G_TRIES RESTART WITH 0");
    db->exec("RECREATE TRIGGER T_TAKEN FOR POSMOVIMIENTO BEFORE INSERT AS "
             "DECLARE N BIGINT; BEGIN N = GEN_ID(G_TRIES, 1); EXCEPTION E_OTHER; END");
    EXPECT_THROW(dm->TIniFac.Post(), DbError);
    EXPECT_EQ(db->scalar("SELECT GEN_ID(G_TRIES, 0) FROM RDB$DATABASE").toInt(), 1);
    dm->TIniFac.Cancel();
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 0);
}

TEST_F(DmVentasTest, IvaDivisorIsTheRateOverAHundredPlusOne)
{
    // Whole rates give exactly the numbers written as "1.16", "1.05"; others follow the same rule.
    EXPECT_EQ(TDmVentas::ivaDivisor(16), 1.16);
    EXPECT_EQ(TDmVentas::ivaDivisor(5), 1.05);
    EXPECT_EQ(TDmVentas::ivaDivisor(19), 1.19);
    EXPECT_EQ(TDmVentas::ivaDivisor(2.5), 1.025);
    EXPECT_EQ(TDmVentas::ivaDivisor(100), 2.0);
}

}  // namespace
