// Not part of the test run: the restaurant's screen and "Caja Dos" on the demo shop, signed on as
// their cashiers, with real message boxes and print previews (or PDFs with KORVELA_PRINT_TO), for
// trying them by hand or with a keyboard driver under Xvfb:
//
//     test_pos --gtest_also_run_disabled_tests --gtest_filter='*TryRestaurant*'
//     test_pos --gtest_also_run_disabled_tests --gtest_filter='*TryCajaDos*'
//
// Closing the screen ends it.
#include "platform/QtDialogs.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntFacturacion.h"
#include "pos/variants/UntVentaCaja2.h"
#include "support/TestDb.h"

using namespace kv;

namespace {

class TryRestaurant : public kvtest::DemoDbTest {};

TEST_F(TryRestaurant, DISABLED_ATableFromTheKeyboard)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(8));  // the demo's restaurant cashier
    TFrmFacturacion screen(dm);
    screen.exec();
}

class TryCajaDos : public kvtest::DemoDbTest {};

TEST_F(TryCajaDos, DISABLED_ASaleFromTheKeyboard)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(3));  // the demo's "Caja Dos" cashier
    TFrmVentaCaja2 screen(dm);
    screen.exec();
}

}  // namespace
