// The two product searches as the sale, change and order screens open them: the eight orders, the
// name prefix list, what comes back however the dialog closes, and the stock balance.
#include "SearchFixtures.h"
#include "CallerHarness.h"
#include "catalog/StockBalance.h"
#include "catalog/UntBuscarProducto.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kv;

namespace {

class ProductSearchTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::addProducts(*db);
        CodigoBuscado = "previous";
        ProductoBuscado = ProductoBuscadoAlf = -1;
    }
    static int current(ProductSearch& s) { return s.currentProducto(); }
    static QList<int> listed(ProductSearch& s)
    {
        QList<int> out;
        for (int i = 0; i < s.TbProductos.bufferCount(); ++i)
            out << s.TbProductos.valueAt(i, s.TbProductos.FieldByName("PRODUCTO").index()).toInt();
        return out;
    }
};

TEST_F(ProductSearchTest, EachOrderFindsTheNearestProduct)
{
    struct Case {
        TFrmBuscarProducto::Orden orden;
        const char* typed;
        int producto;
    };
    const Case cases[] = {
        {TFrmBuscarProducto::Producto, "25", 30},    {TFrmBuscarProducto::Nombre, "B", 20},
        {TFrmBuscarProducto::Nombre, "O'N", 30},     {TFrmBuscarProducto::Nombre, "5", 40},
        {TFrmBuscarProducto::Referencia, "REF-C", 10}, {TFrmBuscarProducto::Titulo, "B", 20},
        {TFrmBuscarProducto::Autor, "J", 20},        {TFrmBuscarProducto::Editorial, "B", 20},
        {TFrmBuscarProducto::Tema, "O", 30},         {TFrmBuscarProducto::Lote, "L2", 10},
    };
    TFrmBuscarProducto dlg(*db);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(current(dlg), 10);
    EXPECT_EQ(listed(dlg), (QList<int>{10, 20, 30, 40}));  // product number order at start
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dlg.RadioGroup1->button(c.orden)->click();
        dlg.EditNit->clear();
        QTest::keyClicks(dlg.EditNit, c.typed);
        EXPECT_EQ(current(dlg), c.producto);
    }
    EXPECT_TRUE(dialogs.shown.empty());

    // In number order a text that is not a number is refused and stays in the box.
    dlg.RadioGroup1->button(TFrmBuscarProducto::Producto)->click();
    dlg.EditNit->clear();
    QTest::keyClicks(dlg.EditNit, "2x");
    EXPECT_EQ(dlg.EditNit->text(), "2x");
    EXPECT_EQ(dialogs.texts("error").size(), 1);
}

TEST_F(ProductSearchTest, ChangeWindowGetsTheProductUnderTheCursorHoweverTheDialogCloses)
{
    kvtest::CallerHarness change(*db);
    struct Case {
        const char* typed;
        std::function<void(TFrmBuscarProducto*)> close;
        QString buscador;
        int producto;
    };
    const Case cases[] = {
        {"30", [](TFrmBuscarProducto* d) { QTest::keyClick(d->EditNit, Qt::Key_Return); }, "7700000000030", 30},
        // Cancel still hands back the product under the cursor.
        {"10", [](TFrmBuscarProducto* d) { QTest::mouseClick(d->BitBtn2, Qt::LeftButton); }, "7700000000010", 10},
        // No barcode: the change window uses the number as text.
        {"20", [](TFrmBuscarProducto* d) { QTest::keyClick(d, Qt::Key_Escape); }, "20", 20},
        {"40", [](TFrmBuscarProducto* d) {
             QTest::keyClick(d->EditNit, Qt::Key_Up);
             kvtest::doubleClickCell(d->DBGrid1, d->DBGrid1->currentIndex());
         }, "7700000000030", 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        kvtest::whenShown<TFrmBuscarProducto>([&c](TFrmBuscarProducto* d) {
            QTest::keyClicks(d->EditNit, c.typed);
            c.close(d);
        });
        change.lineProductDoubleClick();
        EXPECT_EQ(change.lineBuscador, c.buscador);
        EXPECT_EQ(change.lineProducto, c.producto);
    }
    EXPECT_EQ(CodigoBuscado, "7700000000030");
    EXPECT_EQ(ProductoBuscado, 30);
}

TEST_F(ProductSearchTest, AlphabeticalSearchListsOnlyNamesBeginningWithTheText)
{
    struct Case {
        const char* typed;
        QList<int> products;
    };
    const Case cases[] = {
        {"arr", {10}},         // ARROZ, not BARRA: a prefix, turned to upper case
        {"", {40, 10, 20, 30}},  // every product, by name
        {"O'N", {30}},         // an apostrophe is just a character
        {"50%", {40}},         // and so are LIKE's wildcards
        {"%", {}},
        {"_", {}},
    };
    TFrmBuscarProductoAlf dlg(*db);
    dlg.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dlg.EditNit->clear();
        QTest::keyClicks(dlg.EditNit, c.typed);
        EXPECT_EQ(listed(dlg), c.products);
        EXPECT_EQ(dlg.DBGrid1->model()->rowCount(), c.products.size());
    }
    EXPECT_EQ(dlg.EditNit->text(), "_");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    // The last column is the consumption tax, as titled.
    dlg.EditNit->setText("BARRA");
    const int last = dlg.DBGrid1->model()->columnCount() - 1;
    EXPECT_EQ(dlg.DBGrid1->model()->headerData(last, Qt::Horizontal).toString(), "Ipoconsumo");
    EXPECT_EQ(dlg.DBGrid1->model()->index(0, last).data().toString(), "8");
}

TEST_F(ProductSearchTest, SaleScreenGetsTheNumberAndAnEmptyListGivesNothing)
{
    kvtest::CallerHarness sale(*db);
    sale.show();
    kvtest::whenShown<TFrmBuscarProductoAlf>([](TFrmBuscarProductoAlf* d) {
        EXPECT_EQ(d->windowTitle(), "Bucar productos Orden Alfabetico");
        QTest::keyClick(d->EditNit, Qt::Key_Down);  // 50% DCTO -> ARROZ
        QTest::keyClick(d->EditNit, Qt::Key_Down);  // -> BARRA
        d->DBGrid1->setFocus();
        QTest::keyClick(d->DBGrid1, Qt::Key_Return);
    });
    sale.productBox->setFocus();
    QTest::keyClick(sale.productBox, Qt::Key_Return);
    EXPECT_EQ(sale.productBox->text(), "20");
    EXPECT_EQ(ProductoBuscadoAlf, 20);
    EXPECT_EQ(ProductoBuscado, -1);  // the general search's value is its own

    sale.productBox->clear();
    kvtest::whenShown<TFrmBuscarProductoAlf>([](TFrmBuscarProductoAlf* d) {
        QTest::keyClicks(d->EditNit, "ZZZ");
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    QTest::keyClick(sale.productBox, Qt::Key_Return);
    EXPECT_EQ(sale.productBox->text(), "");
    EXPECT_EQ(ProductoBuscadoAlf, 0);
}

TEST_F(ProductSearchTest, BalanceIsTheFirstSaldosRowOfTheProductOrZero)
{
    EXPECT_EQ(StockBalance(*db, 10), 7);  // two companies: the first row only
    EXPECT_EQ(StockBalance(*db, 30), 12);
    EXPECT_EQ(StockBalance(*db, 20), 0);  // no row
    TFrmBuscarProducto dlg(*db);
    dlg.show();
    EXPECT_EQ(dlg.LblSaldo->text(), "7.00");
    QTest::keyClick(dlg.EditNit, Qt::Key_Down);
    EXPECT_EQ(dlg.saldo(), 0);
    QTest::keyClicks(dlg.EditNit, "30");
    EXPECT_EQ(dlg.LblSaldo->text(), "12.00");
    db->exec("UPDATE SALDOS SET SALDO = 1500 WHERE PRODUCTO = 30");
    QTest::keyClick(dlg.EditNit, Qt::Key_Up);
    QTest::keyClick(dlg.EditNit, Qt::Key_Down);
    EXPECT_EQ(dlg.LblSaldo->text(), "1,500.00");
}

}  // namespace
