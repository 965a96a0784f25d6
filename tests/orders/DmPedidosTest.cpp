// The orders data module on a real database: numbering under the register's company, the header's
// defaults, whole-peso pricing without IVA, totals after every change (a deleted line included),
// who may change a stored line, and closing an order with its payment type.
#include "OrdersFixture.h"

#include "common/Errors.h"

#include <QSqlQuery>

using namespace kv;

namespace {

using DmPedidosTest = kvtest::OrdersTest;

TEST_F(DmPedidosTest, NumbersOrdersUnderTheRegistersCompanyAndFillsTheHeader)
{
    // Cashier 22 works on register 2 of company 02: the orders stand on LLAVE 2, not on the
    // first parameter row.
    const int first = startOrder(800100);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(startOrder(), 2);
    // Another company's orders and the sales keep numbers of their own.
    db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA) VALUES ('02', 'PED', 50, 4)");
    ASSERT_TRUE(dm->signOn(11));
    EXPECT_EQ(startOrder(), 1);
    EXPECT_EQ(dm->TIniFac["EMPRESA"].asString(), "01");

    QSqlQuery h = db->exec("SELECT BODEGA, CLIENTE, VENDEDOR, CAJA, TIPODEPAGO, FACTURA, PLAZO, STATUS, FECHA "
                           "FROM POSREMISIONES WHERE EMPRESA = '02' AND DOCUMENTO = 'PED' AND CONSECUTIVO = 1");
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.value(0).toInt(), 4);
    EXPECT_EQ(h.value(1).toDouble(), 800100);
    EXPECT_EQ(h.value(2).toDouble(), 22);
    EXPECT_EQ(h.value(3).toDouble(), 2);
    EXPECT_EQ(h.value(4).toString().trimmed(), "C");
    for (int i : {5, 6, 7})
        EXPECT_TRUE(h.value(i).isNull()) << i;
    EXPECT_FALSE(h.value(8).isNull());
}

TEST_F(DmPedidosTest, PricesLinesInWholePesosWithoutIvaAndTotalsTheOrder)
{
    const int numero = startOrder();
    struct Case { int producto; double cantidad, precio, porcentaje, subtotal, descuento; };
    const Case cases[] = {
        {1, 3, 1250.50, 10, 3752, 375},  // 3 751.5 rounds to 3 752; 375.2 to 375
        {3, 1, 2.5, 0, 2, 0},            // exactly halfway goes to the even neighbour
        {3, 1, 3.5, 0, 4, 0},
    };
    int linea = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.precio);
        addLine(c.producto, c.cantidad, c.precio, c.porcentaje);
        EXPECT_EQ(dm->TFac["LINEA"].asInteger(), ++linea);
        EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), c.subtotal);
        EXPECT_DOUBLE_EQ(dm->TFac["VALORDESCUENTO"].asFloat(), c.descuento);
        EXPECT_DOUBLE_EQ(dm->TFac["VALORIVA"].asFloat(), 0);
        EXPECT_DOUBLE_EQ(dm->TFac["NETO"].asFloat(), c.subtotal - c.descuento);
    }
    EXPECT_DOUBLE_EQ(header("SUBTOTAL", numero).toDouble(), 3758);
    EXPECT_DOUBLE_EQ(header("DESCUENTO", numero).toDouble(), 375);
    EXPECT_DOUBLE_EQ(header("IVA", numero).toDouble(), 0);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 3383);
    EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), 3383);
}

TEST_F(DmPedidosTest, AnIvaThePriceLeavesOutIsAddedAsTheRegistersAddIt)
{
    // TORNILLO's price leaves its 19 % out: the order charges it on top, after the discount, as a
    // sale would. TUERCA, made a price with its IVA inside, is quoted as it is.
    db->exec("UPDATE PRODUCTOS SET VALORIVA = 19, PRECIOMASIVA = 'S' WHERE PRODUCTO = 2");
    const int numero = startOrder();
    dm->addLine({{"PRODUCTO", 1}, {"BUSCADOR", "1"}, {"CANTIDAD", 3.0}, {"PRECIOUNIDAD", 1250.50},
                 {"PORCENTAJEDESCUENTO", 10.0}, {"IVA", 19.0}});
    EXPECT_DOUBLE_EQ(dm->TFac["IVA"].asFloat(), 19);
    EXPECT_DOUBLE_EQ(dm->TFac["SUBTOTAL"].asFloat(), 3752);
    EXPECT_DOUBLE_EQ(dm->TFac["VALORIVA"].asFloat(), 642);  // R(3,377 x 19 %) = R(641.63)
    EXPECT_DOUBLE_EQ(dm->TFac["NETO"].asFloat(), 3752 - 375 + 642);
    dm->addLine({{"PRODUCTO", 2}, {"BUSCADOR", "2"}, {"CANTIDAD", 1.0}, {"PRECIOUNIDAD", 1190.0}, {"IVA", 19.0}});
    EXPECT_DOUBLE_EQ(dm->TFac["VALORIVA"].asFloat(), 0);
    EXPECT_DOUBLE_EQ(header("IVA", numero).toDouble(), 642);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 3752 - 375 + 642 + 1190);
}

TEST_F(DmPedidosTest, DeletingALineTakesItOutOfTheTotals)
{
    const int numero = startOrder();
    addLine(2, 2, 300);
    addLine(2, 1, 1000, 10);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 1500);
    dm->deleteLine();
    EXPECT_DOUBLE_EQ(header("SUBTOTAL", numero).toDouble(), 600);
    EXPECT_DOUBLE_EQ(header("DESCUENTO", numero).toDouble(), 0);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 600);
    EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), 600);
}

TEST_F(DmPedidosTest, OnlySupervisorsAndChiefsChangeAStoredLine)
{
    const int numero = startOrder();
    addLine(2, 2, 300);
    // A seller: the message, and the line and the totals as they were.
    EXPECT_THROW(dm->TFac.Edit(), Abort);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"No se pueden hacer Modificaciones"});
    EXPECT_FALSE(dm->TFac.isEditing());
    EXPECT_THROW(dm->changeLine({{"CANTIDAD", 5.0}}), Abort);
    EXPECT_DOUBLE_EQ(db->scalar("SELECT CANTIDAD FROM POSREMISIONESDETALLE").toDouble(), 2);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 600);

    // A chief cashier may, and the order is re-totalled.
    ASSERT_TRUE(dm->findCashier(44));
    dm->TFac.Edit();
    dm->TFac["CANTIDAD"] = 5.0;
    dm->TFac.Post();
    EXPECT_DOUBLE_EQ(db->scalar("SELECT CANTIDAD FROM POSREMISIONESDETALLE").toDouble(), 5);
    EXPECT_DOUBLE_EQ(header("NETO", numero).toDouble(), 1500);
}

TEST_F(DmPedidosTest, ALineOfAProductNoLongerOnFileShowsSinArticulo)
{
    startOrder();
    addLine(2, 1, 300);
    db->exec("DELETE FROM PRODUCTOS WHERE PRODUCTO = 2");
    dm->TProductos.Refresh();
    dm->TFac.Refresh();
    EXPECT_EQ(dm->TFac["NombreArticulo"].asString(), "Sin Articulo");
}

TEST_F(DmPedidosTest, ClosingStoresThePaymentTypeOnce)
{
    const int numero = startOrder();
    addLine(2, 1, 300);
    dm->TIniFac.Edit();
    dm->TIniFac["TIPODEPAGO"] = "T";
    dm->TIniFac["TIPODEPAGODES"] = "VISA 4411";
    EXPECT_EQ(dm->closeOrder().kind, DocumentModule::ClosingOutcome::Closed);
    EXPECT_EQ(header("STATUS", numero).toString().trimmed(), "I");
    EXPECT_EQ(header("TIPODEPAGO", numero).toString().trimmed(), "T");
    EXPECT_EQ(header("TIPODEPAGODES", numero).toString().trimmed(), "VISA 4411");
    EXPECT_FALSE(dm->TIniFac.isEditing());
    // Closed already (by another register, say): nothing is stored again.
    dm->TIniFac.Edit();
    dm->TIniFac["TIPODEPAGO"] = "H";
    EXPECT_EQ(dm->closeOrder().message, "La cotización 1 ya fue cerrada (pagada o anulada) por VENDEDOR 22; no se guardó el pago.");
    EXPECT_EQ(header("TIPODEPAGO", numero).toString().trimmed(), "T");
    // A closed order takes no more lines either.
    try {
        addLine(2, 1, 300);
        ADD_FAILURE() << "a line went into a closed order";
    } catch (const DocumentClosed& e) {
        EXPECT_EQ(e.text(), "La cotización 1 ya fue cerrada (pagada o anulada); no se guardó nada.");
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSREMISIONESDETALLE").toInt(), 1);
}

TEST_F(DmPedidosTest, AnOrderChangedElsewhereWhileBeingCollectedIsNotClosed)
{
    // Another station adds to the order after the cashier was shown its amount.
    const int numero = startOrder();
    addLine(2, 1, 300);
    const double shown = dm->TIniFac["NETO"].asFloat();
    db->exec("UPDATE POSREMISIONES SET NETO = NETO + 500, SUBTOTAL = SUBTOTAL + 500 WHERE CONSECUTIVO = :N", {{"N", numero}});
    dm->TIniFac.Edit();
    dm->TIniFac["TIPODEPAGO"] = "T";
    const DocumentModule::ClosingOutcome outcome = dm->closeOrder();
    EXPECT_EQ(outcome.kind, DocumentModule::ClosingOutcome::Changed);
    EXPECT_EQ(outcome.message, "La cotización 1 cambió en otra caja mientras se cobraba; no se guardó el pago.");
    EXPECT_TRUE(header("STATUS", numero).isNull());
    // The cursor shows the new amount and keeps the payment type for the next try, which closes it.
    EXPECT_DOUBLE_EQ(dm->TIniFac["NETO"].asFloat(), shown + 500);
    EXPECT_EQ(dm->TIniFac["TIPODEPAGO"].asString(), "T");
    EXPECT_EQ(dm->closeOrder().kind, DocumentModule::ClosingOutcome::Closed);
    EXPECT_EQ(header("TIPODEPAGO", numero).toString().trimmed(), "T");
}

}  // namespace
