// Not part of the test run: the collection register of the demo's cashier 2 (register 2) and the
// "Caja Dos" payment window, with real message boxes, for trying them by hand or with a keyboard
// driver under Xvfb:
//
//     KORVELA_RAW_TO=/tmp/cajon.bin KORVELA_PRINT_TO=/tmp/facturas test_pos
//       --gtest_also_run_disabled_tests --gtest_filter='*TryCollectionOnDemo*'
//
// Each first leaves documents open as the demo's floor seller would; closing the window ends it and
// prints what each document stored.
#include "../ShopFixture.h"
#include "platform/QtDialogs.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntVentaRegistradora.h"
#include "pos/variants/UntVentasPago1.h"
#include "support/TestDb.h"

#include <QSqlQuery>

#include <cstdio>

using namespace kv;

namespace {

class TryCollectionOnDemo : public kvtest::DemoDbTest {
protected:
    // Documents left open by the floor seller (cashier 9, register 2); returns the number before them.
    QVariant sellerDocuments(const QList<double>& amounts)
    {
        const QVariant last = db->scalar("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO");
        TDmVentas seller(*db);
        EXPECT_TRUE(seller.signOn(9));
        for (double amount : amounts) {
            kvtest::startDocument(seller);
            EXPECT_TRUE(kvtest::ringUp(seller, {.producto = 4, .precio = amount}));
        }
        return last;
    }
    void printStored(const QVariant& last)
    {
        QSqlQuery h = db->exec("SELECT CONSECUTIVO, STATUS, CAJERO, TIPODEPAGO, TIPODEPAGODES, NETO, ABONO, PAGO, MONEDA, "
                               "TASA, VALOROTRAMONEDA FROM POSMOVIMIENTO WHERE CONSECUTIVO > :N ORDER BY CONSECUTIVO",
                               {{"N", last}});
        while (db->next(h)) {
            QStringList row;
            for (int i = 0; i < 11; ++i)
                row << h.value(i).toString().trimmed();
            std::printf("%s\n", qPrintable(row.join(QLatin1Char('|'))));
        }
    }
};

TEST_F(TryCollectionOnDemo, DISABLED_Collect)
{
    QtDialogs real;
    DialogsScope scope(&real);
    const QVariant last = sellerDocuments({48500, 125000});
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(2));
    TFrmVentaRegistradora::Abrir(dm, nullptr);
    printStored(last);
}

TEST_F(TryCollectionOnDemo, DISABLED_PayInDollars)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(3));
    const QVariant last = db->scalar("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO");
    kvtest::startDocument(dm);
    ASSERT_TRUE(kvtest::ringUp(dm, {.producto = 4, .precio = 50000}));
    TFrmVentasPago1 pago(dm);
    pago.exec();
    printStored(last);
}

}  // namespace
