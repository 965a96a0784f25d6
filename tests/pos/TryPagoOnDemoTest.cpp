// Not part of the test run: the payment window on sales of the demo shop, with real message boxes,
// for trying it by hand or with a keyboard driver under Xvfb until the main sale screen opens it:
//
//     KORVELA_RAW_TO=/tmp/cajon.bin KORVELA_PRINT_TO=/tmp/facturas test_pos
//       --gtest_also_run_disabled_tests --gtest_filter='*TryPagoOnDemo*'
//
// Four sales of cashier 1 are rung up in turn, each opening the window; what each payment stored
// is printed when its window closes.
#include "ShopFixture.h"
#include "platform/QtDialogs.h"
#include "pos/UntVentaCajaVp.h"
#include "pos/UntVentasPagoVp.h"
#include "support/TestDb.h"

#include <QSqlQuery>

#include <cstdio>

using namespace kv;

namespace {

class TryPagoOnDemo : public kvtest::DemoDbTest {};

TEST_F(TryPagoOnDemo, DISABLED_PayFourSales)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(1));
    // The first few products with a counter price, one unit each, as the sale screen rings them up.
    QList<kvtest::SaleLine> lines;
    QSqlQuery q = db->exec("SELECT FIRST 3 V.PRODUCTO, V.UNIDAD, V.VALORVENTAMOSTRADOR, P.VALORIVA FROM "
                           "PRODUCTOSVALORVENTA V JOIN PRODUCTOS P ON P.PRODUCTO = V.PRODUCTO WHERE "
                           "V.VALORVENTAMOSTRADOR > 0 ORDER BY V.PRODUCTO, V.UNIDAD");
    while (db->next(q))
        lines.append({.producto = q.value(0).toInt(), .precio = q.value(2).toDouble(), .iva = q.value(3).toDouble(),
                      .unidad = q.value(1).toString().trimmed()});
    ASSERT_FALSE(lines.isEmpty());
    for (int sale = 0; sale < 4; ++sale) {
        const int numero = kvtest::startDocument(dm);
        for (const kvtest::SaleLine& l : lines)
            ASSERT_TRUE(kvtest::ringUp(dm, l));
        PagoCancelado = false;
        TFrmVentasPagoVp::Pagar(dm);
        QSqlQuery h = db->exec("SELECT STATUS, CAJERO, TIPODEPAGO, TIPODEPAGODES, NETO, PROPINA, VALORPROPINA, "
                               "DESCUENTO, ABONO, PAGO FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' "
                               "AND CONSECUTIVO = :N",
                               {{"N", numero}});
        ASSERT_TRUE(db->next(h));
        QStringList row;
        for (int i = 0; i < 10; ++i)
            row << h.value(i).toString().trimmed();
        std::printf("factura %d cancelado=%d: %s\n", numero, int(PagoCancelado), qPrintable(row.join(QLatin1Char('|'))));
        std::fflush(stdout);
    }
}

}  // namespace
