// Not part of the test run: the spreadsheet exports and the shelf labels on the demo shop with
// real message boxes, for trying them by hand or with a keyboard driver under Xvfb:
//
//     test_backoffice --gtest_also_run_disabled_tests --gtest_filter='*TryExchange*'
//
// The products screen's "Excel" opens the product export. The workbooks go to KORVELA_EXPORT_TO (or the documents folder); with KORVELA_PRINT_TO set the
// labels are written there as PDF instead of a preview window.
#include "backoffice/UntImprimeEtiquetas.h"
#include "backoffice/UntVentaReportes.h"
#include "catalog/UntProductos.h"
#include "platform/QtDialogs.h"
#include "support/TestDb.h"

using namespace kv;

namespace {

class TryExchange : public kvtest::DemoDbTest {};

TEST_F(TryExchange, DISABLED_SalesReportsMenu)
{
    QtDialogs real;
    DialogsScope scope(&real);
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    f.exec();
}

TEST_F(TryExchange, DISABLED_ProductsScreen)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TFrmProductos f(*db);
    f.exec();
}

TEST_F(TryExchange, DISABLED_ShelfLabels)
{
    QtDialogs real;
    DialogsScope scope(&real);
    TFrmImprimeEtiquetas f(*db);
    f.exec();
}

}  // namespace
