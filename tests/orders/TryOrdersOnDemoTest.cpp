// Not part of the test run: two orders taken on the demo shop by its seller (cashier 1), one left
// unpaid with keypad "-" and one paid with its receipt, then the day's listing of the register.
// With KORVELA_PRINT_TO=DIR the receipt and the listing are written there as PDFs to look at:
//
//     KORVELA_PRINT_TO=/tmp/pdfs KORVELA_RAW_TO=/tmp/cajon.bin test_orders
//         --gtest_also_run_disabled_tests --gtest_filter='*TryOrdersOnDemo*'
#include "orders/UntDmPedidos.h"
#include "orders/UntPedidoCaja.h"
#include "orders/UntPedidoCajaArqueo.h"
#include "platform/DbGrid.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <QAction>
#include <QPushButton>
#include <QSqlQuery>

using namespace kv;

namespace {

class TryOrdersOnDemo : public kvtest::DemoDbTest {};

void typeKeys(const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }

TEST_F(TryOrdersOnDemo, DISABLED_TwoOrdersAndTheDaysListing)
{
    TDmPedidos dm(*db);
    ASSERT_TRUE(dm.signOn(1));
    const QString nit = db->scalar("SELECT FIRST 1 NIT FROM PROVEEDORES WHERE NIT > 1 ORDER BY NIT").toString();
    QSqlQuery q = db->exec("SELECT FIRST 2 CODIGOBARRAS FROM PRODUCTOS WHERE CODIGOBARRAS IS NOT NULL AND VALORUNIDAD > 0 "
                           "ORDER BY PRODUCTO");
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString().trimmed();
    ASSERT_EQ(codes.size(), 2);

    TFrmPedidoCaja screen(dm);
    kvtest::showActive(&screen);
    // The first order is left unpaid.
    kvtest::typeInto(screen.EditCliente, nit, true);
    typeKeys(codes[0]);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    typeKeys("2");
    key(Qt::Key_Escape);
    QTest::keyClick(screen.EditPago, Qt::Key_Minus, Qt::KeypadModifier);
    // The second is paid.
    kvtest::typeInto(screen.EditCliente, nit, true);
    for (const QString& code : codes) {
        typeKeys(code);
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        typeKeys("3");
        for (int i = 0; i < 8; ++i)  // on past the last column: a new line
            key(Qt::Key_Tab);
    }
    key(Qt::Key_Escape);
    kvtest::typeInto(screen.EditPago, "500000", true);
    EXPECT_EQ(screen.stage(), TFrmPedidoCaja::Stage::Customer) << qPrintable(dialogs.texts().join('|'));

    kvtest::whenShown<TFrmPedidoCajaArqueo>([](TFrmPedidoCajaArqueo* w) {
        w->BtnCotizaciones->click();
        w->reject();
    });
    screen.TotalCotizaciones1->trigger();
    QSqlQuery o = db->exec("SELECT CONSECUTIVO, STATUS, TIPODEPAGO, NETO FROM POSREMISIONES ORDER BY CONSECUTIVO");
    while (o.next())
        std::printf("order %d status '%s' type %s neto %.0f\n", o.value(0).toInt(), qPrintable(o.value(1).toString()),
                    qPrintable(o.value(2).toString()), o.value(3).toDouble());
    std::printf("shown: %s\n", qPrintable(dialogs.texts().join(" | ")));
}

}  // namespace
