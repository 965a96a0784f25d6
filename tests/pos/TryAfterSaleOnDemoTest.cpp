// Not part of the test run: a day's after-sale work on a demo folder of one's own, through the
// same calls the sale screen's menu makes (the change window driven as a cashier would), for
// checking the cash count by hand:
//
//     build/korvela-db demo /tmp/mi-demo
//     KORVELA_TRY_DEMO=/tmp/mi-demo KORVELA_RAW_TO=/tmp/cajon.bin KORVELA_PRINT_TO=/tmp/impresos
//       test_pos --gtest_also_run_disabled_tests --gtest_filter='*TryAfterSaleOnDemo*'
//
// Cashier 7 (register 1, may change prices) opens with 100,000, sells three cash sales, voids one
// and corrects another; every message the cashier would see is printed, and the cash count of the
// day is printed (a PDF in KORVELA_PRINT_TO) with the drawer summed here from what happened.
#include "ShopFixture.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "data/Connection.h"
#include "platform/DbGrid.h"
#include "pos/DocumentCorrections.h"
#include "pos/SalePayment.h"
#include "pos/UntVentaCajaArqueoRpt4.h"
#include "pos/UntVentaCajaCambio.h"
#include "support/Keyboard.h"

#include <QDir>
#include <cstdio>

using namespace kv;

namespace {

TEST(TryAfterSaleOnDemo, DISABLED_VoidCorrectAndCount)
{
    const QString demo = qEnvironmentVariable("KORVELA_TRY_DEMO");
    ASSERT_FALSE(demo.isEmpty()) << "KORVELA_TRY_DEMO names the demo folder";
    Connection db(QStringLiteral("Korvela"));
    db.setLocation(QDir(demo).filePath("korvela.fdb"));
    db.open();
    ScriptedDialogs dialogs;
    DialogsScope scope(&dialogs);
    auto said = [&](const char* step) {
        for (const auto& s : dialogs.shown)
            std::printf("[%s] %s: %s\n", step, qPrintable(s.kind), qPrintable(s.text));
        dialogs.shown.clear();
    };
    TDmVentas dm(db);
    ASSERT_TRUE(dm.signOn(7));
    const QDate today = QDate::currentDate();
    db.exec("DELETE FROM POSARQUEO WHERE CAJA = 1 AND CAJERO = 7 AND FECHA = :F", {{"F", QDateTime(today, QTime(0, 0))}});
    db.exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (1, 7, :F, 100000)", {{"F", QDateTime(today, QTime(0, 0))}});
    const auto print = [&](const SaleDocumentKey& k) {
        return printInvoice(db, k, invoicePrintFor(InvoiceCaller::MainPayment, InvoicePaper::Roll));
    };
    const CashReportParams p{today, today, dm.Parametros["EMPRESA"].asString(), dm.Parametros["DOCUMENTO"].asString(), 7, {}};
    // What the drawer held before (the opening amount, and whatever the demo already sold today).
    double drawer = 0;
    {
        const Document before = TFrmVentaCajaArqueoRpt4::build(db, p)->render();
        for (const DocItem* i : before.findNamed("EfectivoEnCaja"))
            drawer += StrToFloat(QString(i->text).remove(QLatin1Char(',')));
        std::printf("drawer before    %s\n", qPrintable(FormatFloat("###,###.00", drawer)));
    }
    // Three cash sales of rice (product 1) at hand prices, each paid exactly.
    QList<int> sales;
    for (const double precio : {42483.0, 18000.0, 7500.0}) {
        const int n = kvtest::startDocument(dm);
        ASSERT_TRUE(kvtest::ringUp(dm, {.producto = 1, .precio = precio}));
        const double due = headerAmountToPay(dm.TIniFac);
        ASSERT_EQ(closeSale(dm, print, due), SaleClosing::Closed);
        drawer += due;
        sales << n;
        std::printf("sale %d paid in cash: %s\n", n, qPrintable(FormatFloat("###,###.00", due)));
    }
    said("ventas");

    // "Anula Facturas" on the first: the cashier hands its cash back.
    dialogs.inputs = {QString::number(sales[0])};
    dialogs.answers = {true};
    AnulaFacturas(dm, nullptr);
    said("anular");
    drawer -= 42483;

    // "&Cambia Factura" on the second: two units instead of one; the customer pays the difference.
    dialogs.inputs = {QString::number(sales[1])};
    dialogs.answers = {true};
    kvtest::whenShown<TFrmVentaCajaCambio>([](TFrmVentaCajaCambio* w) {
        std::printf("window: %s\n", qPrintable(w->windowTitle()));
        DbGrid* g = w->DBGrid1;
        QAbstractItemModel* m = g->model();
        g->setCurrentIndex(m->index(0, w->column("CANTIDAD")));
        m->setData(m->index(0, w->column("CANTIDAD")), 2);
        QTest::keyClick(g, Qt::Key_Return);
        QTest::keyClick(g, Qt::Key_Escape);
    });
    CambiaFactura(dm, nullptr);
    said("cambiar");
    drawer += 18000;

    const Document count = TFrmVentaCajaArqueoRpt4::build(db, p)->render();
    for (const char* name : {"TotalCaja", "BaseCaja", "Egresos", "TotalEnCaja", "CobradoAnuladas", "Devoluciones",
                             "EfectivoEnCaja"})
        if (const DocItem* i = count.named(QLatin1String(name)))
            std::printf("%-16s %s\n", name, qPrintable(i->text));
    std::printf("drawer by hand   %s\n", qPrintable(FormatFloat("###,###.00", drawer)));
    TFrmVentaCajaArqueoRpt4::Imprimir(db, p);
    double efectivo = 0;
    for (const DocItem* i : count.findNamed("EfectivoEnCaja"))
        efectivo += StrToFloat(QString(i->text).remove(QLatin1Char(',')));
    EXPECT_DOUBLE_EQ(efectivo, drawer);
}

}  // namespace
