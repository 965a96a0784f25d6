// Not part of the test run: the main sale screen of cashier 1 on the demo shop, with real message
// boxes, for trying a whole sale and its payment by hand or with a keyboard driver under Xvfb:
//
//     KORVELA_RAW_TO=/tmp/cajon.bin KORVELA_PRINT_TO=/tmp/facturas test_pos
//       --gtest_also_run_disabled_tests --gtest_filter='*TryPagoOnDemo*'
//
// Closing the screen ends it; what each document stored is printed then.
#include "platform/QtDialogs.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"
#include "support/TestDb.h"

#include <QSqlQuery>

#include <cstdio>

using namespace kv;

namespace {

class TryPagoOnDemo : public kvtest::DemoDbTest {};

TEST_F(TryPagoOnDemo, DISABLED_SellAndPay)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(1));
    const QVariant last = db->scalar("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO");
    {
        TFrmVentaCajaVp screen(dm);
        screen.exec();
    }
    QSqlQuery h = db->exec("SELECT CONSECUTIVO, STATUS, CAJERO, TIPODEPAGO, TIPODEPAGODES, NETO, PROPINA, "
                           "VALORPROPINA, DESCUENTO, ABONO, PAGO FROM POSMOVIMIENTO WHERE CONSECUTIVO > :N "
                           "ORDER BY CONSECUTIVO",
                           {{"N", last}});
    while (db->next(h)) {
        QStringList row;
        for (int i = 0; i < 11; ++i)
            row << h.value(i).toString().trimmed();
        std::printf("%s\n", qPrintable(row.join(QLatin1Char('|'))));
    }
}

}  // namespace
