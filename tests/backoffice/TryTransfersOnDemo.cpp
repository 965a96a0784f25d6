// Not part of the test run: the sales reports menu on the demo shop with real message boxes and
// an empty removable database beside it, for trying the daily update and the transfers by hand or
// with a keyboard driver under Xvfb:
//
//     test_backoffice --gtest_also_run_disabled_tests --gtest_filter='*TryTransfers*'
//
// When the menu closes, what the inventory tables and the removable database hold is printed.
#include "backoffice/UntVentaReportes.h"
#include "platform/QtDialogs.h"
#include "support/TestDb.h"

#include <QLineEdit>

using namespace kv;

namespace {

class TryTransfers : public kvtest::DemoDbTest {};

TEST_F(TryTransfers, DISABLED_TheDemoShopsDayAndTransfers)
{
    QtDialogs real;
    DialogsScope scope(&real);
    Connection removable(QStringLiteral("DbPosz"));
    TFrmVentaReportes f(*db, removable);
    f.Edit1->setText(kvtest::freshPosDatabase(dir.path()));
    f.exec();
    auto count = [](Connection& c, const char* sql) { return c.scalar(QString::fromLatin1(sql)).toInt(); };
    std::printf("inventory: %d documents, %d lines; updates recorded: %d\n", count(*db, "SELECT COUNT(*) FROM MOVIMIENTO"),
                count(*db, "SELECT COUNT(*) FROM MOVIMIENTODETALLE"),
                db->tableExists("VENTASACTUALIZADAS") ? count(*db, "SELECT COUNT(*) FROM VENTASACTUALIZADAS") : 0);
    if (removable.isOpen())
        std::printf("removable: %d documents, %d lines, %d third parties, %d products\n",
                    count(removable, "SELECT COUNT(*) FROM MOVIMIENTO"), count(removable, "SELECT COUNT(*) FROM MOVIMIENTODETALLE"),
                    count(removable, "SELECT COUNT(*) FROM PROVEEDORES"), count(removable, "SELECT COUNT(*) FROM PRODUCTOS"));
}

}  // namespace
