// The products screen driven from the keyboard: the two incremental searches, a new product typed
// in the Enter order, the duplicate number check, the barcode default, the name and reference lock,
// and the prices per unit of packing.
#include "ScreenKeys.h"
#include "catalog/UntProductos.h"
#include "support/TestDb.h"

#include <QComboBox>
#include <QTabWidget>

using namespace kv;
using kvtest::press;
using kvtest::settle;
using kvtest::showActive;
using kvtest::typeInCell;
using kvtest::typeInto;

namespace {

class ProductosTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO GRUPOS (GRUPO, NOMBRE) VALUES ('01', 'ABARROTES')");
        db->exec("INSERT INTO GRUPOS (GRUPO, NOMBRE) VALUES ('02', 'LACTEOS')");
        db->exec("INSERT INTO SUBGRUPOS (SUBGRUPO, NOMBRE) VALUES (101, 'GRANOS')");
        db->exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('UN', 'UNIDAD')");
        db->exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('DO', 'DOCENA')");
        // Numbers 10, 15 and 120; names in another order than the numbers.
        addProduct(10, "PANELA", "REF-10", "7701");
        addProduct(15, "ARROZ", "", "");
        addProduct(120, "CAFE", "REF-120", "");
    }
    void addProduct(int number, const char* name, const char* reference, const char* barcode)
    {
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, REFERENCIA, CODIGOBARRAS) "
                 "VALUES (:C, '01', 101, :P, :N, 'UN', :R, :B)",
                 {{"C", QStringLiteral("C%1").arg(number)},
                  {"P", number},
                  {"N", name},
                  {"R", *reference ? QVariant(reference) : QVariant()},
                  {"B", *barcode ? QVariant(barcode) : QVariant()}});
    }
    int current(TFrmProductos& f) { return f.TbProductos().FieldByName("PRODUCTO").asInteger(); }
    QList<int> gridNumbers(TFrmProductos& f)
    {
        QList<int> out;
        for (int r = 0; r < f.DBGrid1->model()->rowCount(); ++r)
            out << f.DBGrid1->model()->index(r, 0).data().toInt();
        return out;
    }
    QVariant stored(const char* column, int producto)
    {
        return db->scalar(QStringLiteral("SELECT %1 FROM PRODUCTOS WHERE PRODUCTO = :P").arg(column), {{"P", producto}});
    }
};

TEST_F(ProductosTest, NumberAndNameSearchesMoveTheGridKeystrokeByKeystroke)
{
    TFrmProductos f(*db);
    showActive(&f);
    EXPECT_EQ(f.windowTitle(), "Productos");
    EXPECT_EQ(f.PageControl1->currentWidget(), f.TabSheet2);  // "Precios" in front
    EXPECT_EQ(f.DBGrid1->model()->headerData(4, Qt::Horizontal).toString(), "Stok Minimo");
    EXPECT_EQ(f.DBGrid1->model()->headerData(5, Qt::Horizontal).toString(), "Stok Minimo");

    // Number search: the nearest product at or after the typed number; letters are dropped.
    f.Edit1->setFocus();
    QTest::keyClicks(f.Edit1, "1");
    EXPECT_EQ(current(f), 10);
    QTest::keyClicks(f.Edit1, "x2");
    EXPECT_EQ(f.Edit1->text(), "12");
    EXPECT_EQ(current(f), 15);
    QTest::keyClicks(f.Edit1, "1");
    EXPECT_EQ(current(f), 120);  // nothing at 121 or after: the last product
    QTest::keyClick(f.Edit1, Qt::Key_Backspace);
    QTest::keyClick(f.Edit1, Qt::Key_Backspace);
    QTest::keyClick(f.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(current(f), 10);  // empty: the first

    // Name search, typed in lower case: upper case, the first name at or after the text, and the
    // grid in name order while the user moves about.
    f.Edit2->setFocus();
    QTest::keyClicks(f.Edit2, "c");
    EXPECT_EQ(f.Edit2->text(), "C");
    EXPECT_EQ(current(f), 120);
    QTest::keyClicks(f.Edit2, "z");
    EXPECT_EQ(current(f), 10);  // "CZ" sorts before "PANELA" only
    EXPECT_EQ(gridNumbers(f), (QList<int>{15, 120, 10}));
    press(f.DBNavigator1, DbNavigator::First);
    EXPECT_EQ(current(f), 15);
    EXPECT_EQ(gridNumbers(f), (QList<int>{15, 120, 10}));

    // Typing in the number search puts the number order back.
    f.Edit1->setFocus();
    QTest::keyClicks(f.Edit1, "15");
    EXPECT_EQ(current(f), 15);
    EXPECT_EQ(gridNumbers(f), (QList<int>{10, 15, 120}));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
}

TEST_F(ProductosTest, AProductFoundAtTheEndOfALongListIsShownAmongTheOnesBeforeIt)
{
    {
        Transaction t(*db);
        for (int n = 1000; n < 1100; ++n)
            addProduct(n, "GENERICO", "", "");
        t.commit();
    }
    TFrmProductos f(*db);
    showActive(&f);
    typeInto(f.Edit1, "1099");
    EXPECT_EQ(current(f), 1099);
    const QList<int> shown = gridNumbers(f);
    ASSERT_GT(shown.size(), 20);
    EXPECT_EQ(shown.last(), 1099);
    EXPECT_EQ(shown[shown.size() - 2], 1098);
    EXPECT_EQ(f.DBGrid1->currentIndex().row(), f.TbProductos().currentIndex());
}

TEST_F(ProductosTest, ANewProductIsTypedInTheEnterOrderAndTakesItsNumberAsCode)
{
    TFrmProductos f(*db);
    showActive(&f);
    // Name and reference cannot be typed into until a row is inserted, edited or cancelled.
    EXPECT_FALSE(f.DBEdit1->isEnabled());
    EXPECT_FALSE(f.DBEdit2->isEnabled());

    press(f.DBNavigator1, DbNavigator::Insert);
    EXPECT_TRUE(f.DBEdit1->isEnabled());
    EXPECT_TRUE(f.DBEdit2->isEnabled());
    Dataset& p = f.TbProductos();
    EXPECT_EQ(p.FieldByName("UNIDAD").asString(), "UN");
    EXPECT_EQ(p.FieldByName("UNIDADS").asString(), "UN");
    EXPECT_EQ(p.FieldByName("CUENTACONTABLE").asString(), "14552503");
    EXPECT_EQ(p.FieldByName("CUENTACONTABLEIVAC").asString(), "2408101016");

    f.PageControl1->setCurrentWidget(f.TabSheet1);
    f.DBEdit8->setFocus();
    QTest::keyClicks(f.DBEdit8, "02");
    QTest::keyClick(f.DBEdit8, Qt::Key_Return);
    EXPECT_TRUE(f.DBEdit9->hasFocus());
    EXPECT_EQ(f.DBLookupComboBox1->currentText(), "LACTEOS");  // the group's name beside its code
    QTest::keyClicks(f.DBEdit9, "101");
    QTest::keyClick(f.DBEdit9, Qt::Key_Return);
    EXPECT_TRUE(f.DBEdit3->hasFocus());
    QTest::keyClicks(f.DBEdit3, "500");
    QTest::keyClick(f.DBEdit3, Qt::Key_Return);
    settle();
    EXPECT_TRUE(f.DBLookupComboBox3->hasFocus());
    QTest::keyClick(f.DBLookupComboBox3, Qt::Key_Up);  // "DO" before "UN" in key order
    EXPECT_EQ(p.FieldByName("UNIDAD").asString(), "DO");
    QTest::keyClick(f.DBLookupComboBox3, Qt::Key_Return);
    EXPECT_TRUE(f.DBEdit1->hasFocus());
    QTest::keyClicks(f.DBEdit1, "leche entera");
    EXPECT_EQ(f.DBEdit1->text(), "LECHE ENTERA");
    QTest::keyClick(f.DBEdit1, Qt::Key_Return);
    EXPECT_TRUE(f.DBEdit2->hasFocus());
    QTest::keyClicks(f.DBEdit2, "LEC-1");
    QTest::keyClick(f.DBEdit2, Qt::Key_Return);
    EXPECT_EQ(f.PageControl1->currentWidget(), f.TabSheet2);
    EXPECT_TRUE(f.DBEdit7->hasFocus());
    QTest::keyClicks(f.DBEdit7, "3200");
    typeInto(f.DBEdit4, "4500");
    f.DBCheckBox1->setFocus();
    QTest::keyClick(f.DBCheckBox1, Qt::Key_Space);
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();

    EXPECT_EQ(stored("CODIGO", 500).toString().trimmed(), "500");
    EXPECT_EQ(stored("GRUPO", 500).toString().trimmed(), "02");
    EXPECT_EQ(stored("NOMBRE", 500).toString().trimmed(), "LECHE ENTERA");
    EXPECT_EQ(stored("UNIDAD", 500).toString().trimmed(), "DO");
    EXPECT_EQ(stored("PRECIOCOMPRA", 500).toDouble(), 3200.0);
    EXPECT_EQ(stored("VALORUNIDAD", 500).toDouble(), 4500.0);
    EXPECT_EQ(stored("PRECIOMASIVA", 500).toString().trimmed(), "S");
    EXPECT_TRUE(stored("CODIGOBARRAS", 500).isNull());  // filled in only by a later edit
    f.DBEdit4->clearFocus();
    EXPECT_EQ(f.DBEdit4->text(), "4,500.00");
}

TEST_F(ProductosTest, ANumberThatExistsIsReportedEachTimeTheBoxIsLeft)
{
    TFrmProductos f(*db);
    showActive(&f);
    press(f.DBNavigator1, DbNavigator::Insert);
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    f.DBEdit3->setFocus();
    QTest::keyClicks(f.DBEdit3, "15");
    for (int i = 1; i <= 2; ++i) {
        QTest::keyClick(f.DBEdit3, Qt::Key_Return);
        settle();
        EXPECT_EQ(dialogs.texts("message").size(), i);
        EXPECT_EQ(dialogs.last(), "Codigo del Producto Ya Existe");
        EXPECT_TRUE(f.DBEdit3->hasFocus());
    }
    // Posting it anyway: the table's key refuses it with the database's own text, the row stays.
    dialogs.clear();
    typeInto(f.DBEdit8, "01");
    typeInto(f.DBEdit9, "101");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(f.TbProductos().state(), DsState::Insert);

    // Without a group: the required-field message.
    dialogs.clear();
    typeInto(f.DBEdit3, "16");
    typeInto(f.DBEdit8, "");
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(dialogs.texts("error"), QStringList{"El campo 'GRUPO' debe tener un valor"});

    // Editing an existing product's number is not checked here.
    press(f.DBNavigator1, DbNavigator::Cancel);
    dialogs.clear();
    press(f.DBNavigator1, DbNavigator::Edit);
    typeInto(f.DBEdit3, "120");
    QTest::keyClick(f.DBEdit3, Qt::Key_Tab);
    settle();
    EXPECT_TRUE(dialogs.texts("message").isEmpty());
}

TEST_F(ProductosTest, TheReferenceBecomesTheBarcodeOnTheNextEdit)
{
    db->exec("UPDATE PRODUCTOS SET REFERENCIA = 'REF-15' WHERE PRODUCTO = 15");
    TFrmProductos f(*db);
    showActive(&f);
    typeInto(f.Edit1, "15");
    EXPECT_TRUE(f.DBEdit15->text().isEmpty());
    press(f.DBNavigator1, DbNavigator::Edit);
    EXPECT_EQ(f.DBEdit15->text(), "REF-15");
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(stored("CODIGOBARRAS", 15).toString().trimmed(), "REF-15");
    // A barcode already there stays.
    typeInto(f.Edit1, "10");
    press(f.DBNavigator1, DbNavigator::Edit);
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(stored("CODIGOBARRAS", 10).toString().trimmed(), "7701");
}

TEST_F(ProductosTest, PricesPerUnitOfPackingAreKeptWithTheProduct)
{
    db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA) "
             "VALUES (10, 'UN', 1, 2500, 2300)");
    TFrmProductos f(*db);
    showActive(&f);
    EXPECT_EQ(current(f), 10);
    ASSERT_EQ(f.DBGrid2->model()->rowCount(), 1);
    EXPECT_EQ(f.DBGrid2->model()->index(0, 2).data().toString(), "2,500.00");

    // A new price line: the unit from its pick list, then the rest; a line without a unit is
    // refused with the required-field message when it is left, and stays to be completed.
    f.DBGrid2->setFocus();
    QTest::keyClick(f.DBGrid2, Qt::Key_Insert);
    typeInCell(f.DBGrid2, 1, "12");
    QTest::keyClick(f.DBGrid2, Qt::Key_Down);
    settle();
    EXPECT_EQ(dialogs.texts("error"), QStringList{"El campo 'UNIDAD' debe tener un valor"});
    EXPECT_EQ(f.TbPrecios().state(), DsState::Insert);
    f.DBGrid2->setCurrentIndex(f.DBGrid2->model()->index(f.TbPrecios().currentIndex(), 0));
    QTest::keyClick(f.DBGrid2, Qt::Key_F2);
    auto* unit = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_TRUE(unit);
    unit->setCurrentIndex(unit->findData("DO"));
    QTest::keyClick(unit, Qt::Key_Return);
    typeInCell(f.DBGrid2, 2, "28000");
    typeInCell(f.DBGrid2, 3, "26500");
    // Moving to another product posts the line under this one.
    press(f.DBNavigator1, DbNavigator::Next);
    QSqlQuery q = db->exec("SELECT CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA FROM PRODUCTOSVALORVENTA "
                           "WHERE PRODUCTO = 10 AND UNIDAD = 'DO'");
    ASSERT_TRUE(q.next()) << dialogs.last().toStdString();
    EXPECT_EQ(q.value(0).toDouble(), 12.0);
    EXPECT_EQ(q.value(1).toDouble(), 28000.0);
    EXPECT_EQ(q.value(2).toDouble(), 26500.0);
    EXPECT_EQ(f.DBGrid2->model()->rowCount(), 0);  // product 15 has no prices yet
}

}  // namespace

namespace {

// Closing the screen by the one rule: what the row holds decides whether it asks, and the answer
// whether the product is kept and the screen closes.
TEST_F(ProductosTest, ClosingAsksOnlyAboutWhatWasTyped)
{
    struct Case {
        const char* what;
        bool typeName;              // a name typed into the new product, or an untouched Insert
        std::deque<Reply> replies;  // answers to "¿Desea grabar los cambios?"
        bool asked;
        bool closes;
    };
    const Case cases[] = {
        {"untouched insert", false, {}, false, true},
        {"typed, Cancelar", true, {Reply::Cancel}, true, false},
        {"typed, No", true, {Reply::No}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        TFrmProductos f(*db);
        showActive(&f);
        press(f.DBNavigator1, DbNavigator::Insert);
        if (c.typeName) {
            f.PageControl1->setCurrentWidget(f.TabSheet1);
            typeInto(f.DBEdit1, "azucar");
        }
        dialogs.replies = c.replies;
        f.close();
        EXPECT_EQ(dialogs.texts("yesNoCancel").size(), c.asked ? 1 : 0);
        EXPECT_EQ(f.isVisible(), !c.closes);
        EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
        EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM PRODUCTOS").toInt(), 3);
        if (f.isVisible()) {
            EXPECT_EQ(f.DBEdit1->text(), "AZUCAR");  // the typed row is still there to finish
            press(f.DBNavigator1, DbNavigator::Cancel);
            f.close();
        }
    }
}

TEST_F(ProductosTest, SiPostsAndARefusalNamesTheBoxAndKeepsTheScreen)
{
    TFrmProductos f(*db);
    showActive(&f);
    press(f.DBNavigator1, DbNavigator::Insert);
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    typeInto(f.DBEdit8, "01");
    typeInto(f.DBEdit9, "101");
    typeInto(f.DBEdit1, "azucar");
    dialogs.replies = {Reply::Yes};
    f.close();
    EXPECT_EQ(dialogs.texts("error"), QStringList{"El campo 'Producto' debe tener un valor"});
    EXPECT_TRUE(f.isVisible());

    dialogs.clear();
    typeInto(f.DBEdit3, "700");
    dialogs.replies = {Reply::Yes};
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(stored("NOMBRE", 700).toString().trimmed(), "AZUCAR");
    EXPECT_EQ(stored("CODIGO", 700).toString().trimmed(), "700");
}

TEST_F(ProductosTest, EscCancelsTheRowBeingTypedThenCloses)
{
    TFrmProductos f(*db);
    showActive(&f);
    typeInto(f.Edit1, "15");
    f.PageControl1->setCurrentWidget(f.TabSheet1);
    press(f.DBNavigator1, DbNavigator::Edit);
    typeInto(f.DBEdit1, "arroz blanco");
    QTest::keyClick(f.DBEdit1, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.TbProductos().state(), DsState::Browse);
    EXPECT_EQ(f.DBEdit1->text(), "ARROZ");
    QTest::keyClick(f.DBEdit1, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(stored("NOMBRE", 15).toString().trimmed(), "ARROZ");
}

}  // namespace
