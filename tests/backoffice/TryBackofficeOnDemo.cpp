// Not part of the test run: the accounting posting on the demo shop with real message boxes, for
// trying it by hand or with a keyboard driver under Xvfb:
//
//     test_backoffice --gtest_also_run_disabled_tests --gtest_filter='*TryBackoffice*'
//
// When the window closes, the voucher stored in the accounting database is printed.
#include "backoffice/UntVentasContabilidad.h"
#include "platform/QtDialogs.h"
#include "support/TestDb.h"

#include <QSqlQuery>

using namespace kv;

namespace {

class TryBackoffice : public kvtest::DemoDbTest {};

TEST_F(TryBackoffice, DISABLED_PostTheDemoDay)
{
    QtDialogs real;
    DialogsScope scope(&real);
    Connection tavro(QStringLiteral("TavroNi"));
    tavro.setLocation(kvtest::freshAccountingDatabase(dir.path(), kvtest::Seed::Demo));
    TFrmVentasContabilidad f(*db, tavro);
    f.exec();
    QSqlQuery q = tavro.exec("SELECT H.NUMEROCOMPROBANTE, H.VALORDB, H.VALORCR, (SELECT COUNT(*) FROM MOVIMIENTOCONTABLE M "
                             "WHERE M.NUMEROCOMPROBANTE = H.NUMEROCOMPROBANTE), (SELECT SUM(VALOR) FROM MOVIMIENTOCONTABLE M "
                             "WHERE M.NUMEROCOMPROBANTE = H.NUMEROCOMPROBANTE AND TIPO = 'D'), (SELECT SUM(VALOR) FROM "
                             "MOVIMIENTOCONTABLE M WHERE M.NUMEROCOMPROBANTE = H.NUMEROCOMPROBANTE AND TIPO = 'C') "
                             "FROM COMPROBANTECONTABLE H");
    while (q.next())
        std::printf("voucher %d: VALORDB %.2f VALORCR %.2f, %d lines, debits %.2f credits %.2f\n", q.value(0).toInt(),
                    q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toInt(), q.value(4).toDouble(),
                    q.value(5).toDouble());
}

}  // namespace
