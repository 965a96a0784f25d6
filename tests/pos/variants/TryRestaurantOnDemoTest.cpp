// Not part of the test run: the restaurant's screen on the demo shop, signed on as its restaurant
// cashier, with real message boxes and print previews (or PDFs with KORVELA_PRINT_TO), for trying
// it by hand or with a keyboard driver under Xvfb:
//
//     test_pos --gtest_also_run_disabled_tests --gtest_filter='*TryRestaurant*'
//
// Closing the screen ends it.
#include "platform/QtDialogs.h"
#include "pos/UntDmVentas.h"
#include "pos/variants/UntFacturacion.h"
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

}  // namespace
