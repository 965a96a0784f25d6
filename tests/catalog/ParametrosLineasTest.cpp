// The POS parameter rows and the invoice lines screens: new rows and their numbers, the "Tipo"
// pick list, the logo, and the rows the database refuses.
#include "ScreenKeys.h"
#include "catalog/UntLineasFacturas.h"
#include "catalog/UntParametros.h"
#include "support/TestDb.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>

using namespace kv;
using kvtest::press;
using kvtest::settle;
using kvtest::showActive;
using kvtest::typeInCell;

namespace {

class LineasFacturasTest : public kvtest::DbTest {
protected:
    void addLines(const char* table, std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            db->exec(QStringLiteral("INSERT INTO %1 (LINEA, DETALLE, TIPO) VALUES (:L, :D, 'C')").arg(table),
                     {{"L", n}, {"D", QStringLiteral("LINEA %1").arg(n)}});
    }
    // Insert in the grid, type the detail, leave the row: the number the new line got.
    int newLine(DbGrid* grid, const QString& detail)
    {
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Insert);
        kvtest::typeInCell(grid, 0, detail);
        QTest::keyClick(grid, Qt::Key_Down);  // leaving the row posts it
        settle();
        if (grid->dataset().state() == DsState::Insert)  // Down on the last row started another
            QTest::keyClick(grid, Qt::Key_Escape);      // new line, which Esc drops
        return db->scalar(QStringLiteral("SELECT LINEA FROM %1 WHERE DETALLE = :D")
                              .arg(grid == screen->DBGrid1 ? "POSLINEATOP" : "POSLINEABOTTOM"),
                          {{"D", detail}})
            .toInt();
    }
    QByteArray logo() { return db->scalar("SELECT LOGO FROM REGISTRO").toByteArray(); }

    std::unique_ptr<TFrmLineasFacturas> screen;
};

TEST_F(LineasFacturasTest, NewLinesTakeTheHighestNumberPlusOne)
{
    struct Case {
        const char* table;
        std::initializer_list<int> existing;
        int deleted;  // 0: none
        int expected;
    };
    const Case cases[] = {
        {"POSLINEATOP", {}, 0, 1},                          // an empty table starts at 1
        {"POSLINEABOTTOM", {1, 2, 5}, 0, 6},                // gaps are not filled
        {"POSLINEATOP", {1, 2, 3, 4, 5, 6, 7, 8}, 3, 9},    // nor the place of a deleted line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        db->exec(QStringLiteral("DELETE FROM %1").arg(c.table));
        addLines(c.table, c.existing);
        screen = std::make_unique<TFrmLineasFacturas>(*db);
        showActive(screen.get());
        DbGrid* grid = QString(c.table) == "POSLINEATOP" ? screen->DBGrid1 : screen->DBGrid2;
        if (c.deleted) {
            dialogs.answers = {true};
            ASSERT_TRUE(grid->dataset().Locate("LINEA", c.deleted));
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
            EXPECT_EQ(dialogs.texts("confirm").size(), 1);
        }
        EXPECT_EQ(newLine(grid, "NUEVA LINEA"), c.expected);
        EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
        screen.reset();
        dialogs.clear();
    }
}

TEST_F(LineasFacturasTest, TipoIsChosenFromThePickListAndStoredAsItsFirstLetter)
{
    addLines("POSLINEATOP", {1});
    screen = std::make_unique<TFrmLineasFacturas>(*db);
    showActive(screen.get());
    DbGrid* grid = screen->DBGrid1;
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Deatalle");
    EXPECT_EQ(screen->DBGrid2->model()->headerData(0, Qt::Horizontal).toString(), "Deatlle");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* box = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->currentText(), "Centrado");
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    EXPECT_EQ(items, (QStringList{"Centrado", "Derecha", "Izquierda"}));
    QTest::keyClick(box, Qt::Key_Down);  // "Derecha"
    QTest::keyClick(box, Qt::Key_Return);
    settle();
    EXPECT_EQ(db->scalar("SELECT TIPO FROM POSLINEATOP WHERE LINEA = 1").toString().trimmed(), "D");
}

TEST_F(LineasFacturasTest, TheLogoIsLoadedOnlyFromAPicture)
{
    db->exec("INSERT INTO REGISTRO (NOMBRE) VALUES ('TIENDA')");
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString png = dir.filePath("logo.png");
    ASSERT_TRUE(img.save(png));
    QFile text(dir.filePath("notas.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("esto no es una imagen");
    text.close();

    screen = std::make_unique<TFrmLineasFacturas>(*db);
    showActive(screen.get());
    QString chosen;
    screen->OpenPictureDialog1 = [&chosen] { return chosen; };

    chosen = png;
    QTest::keyClick(screen->SpeedButton1, Qt::Key_Space);
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(logo(), bytes);  // the file's bytes, unchanged
    EXPECT_FALSE(screen->Image1->pixmap().isNull());
    EXPECT_TRUE(dialogs.shown.empty());

    // A file that is not a picture, or cannot be read: the owner is told, the logo stays.
    for (const QString& bad : {text.fileName(), dir.filePath("no-existe.png")}) {
        dialogs.clear();
        chosen = bad;
        QTest::keyClick(screen->SpeedButton1, Qt::Key_Space);
        ASSERT_EQ(dialogs.texts("message").size(), 1) << bad.toStdString();
        EXPECT_TRUE(dialogs.last().contains("Se conserva el logo anterior")) << dialogs.last().toStdString();
        EXPECT_EQ(logo(), bytes);
        EXPECT_FALSE(screen->Image1->pixmap().isNull());
    }

    // Cancelling the picture dialog leaves everything as it was.
    dialogs.clear();
    chosen.clear();
    QTest::keyClick(screen->SpeedButton1, Qt::Key_Space);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(logo(), bytes);
}

TEST_F(LineasFacturasTest, ALineTypedAndNotLeftIsKeptWhenTheScreenClosesWithSi)
{
    screen = std::make_unique<TFrmLineasFacturas>(*db);
    showActive(screen.get());
    screen->DBGrid2->setFocus();
    QTest::keyClick(screen->DBGrid2, Qt::Key_Insert);
    typeInCell(screen->DBGrid2, 0, "GRACIAS POR SU COMPRA");
    dialogs.replies = {Reply::Yes};
    screen->close();
    EXPECT_EQ(dialogs.texts("yesNoCancel"), QStringList{"¿Desea grabar los cambios?"});
    EXPECT_EQ(db->scalar("SELECT DETALLE FROM POSLINEABOTTOM WHERE LINEA = 1").toString(), "GRACIAS POR SU COMPRA");
}

TEST_F(LineasFacturasTest, AStrayInsertStoresNothingWhenTheScreenCloses)
{
    screen = std::make_unique<TFrmLineasFacturas>(*db);
    showActive(screen.get());
    screen->DBGrid1->setFocus();
    QTest::keyClick(screen->DBGrid1, Qt::Key_Insert);
    ASSERT_EQ(screen->TTop().state(), DsState::Insert);
    screen->close();
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSLINEATOP").toInt(), 0);
}

class ParametrosTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'TIENDA')");
        db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (2, 'RESTAURANTE')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('POS', 'FACTURA POS')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('PRS', 'FACTURA RESTAURANTE')");
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('01', 'LA ESQUINA SAS')");
    }
    // Chooses the item shown as `name` in a lookup combo with the keyboard.
    static void choose(QComboBox* box, const QString& name)
    {
        box->setFocus();
        const int target = box->findText(name);
        ASSERT_GE(target, 0) << name.toStdString();
        if (box->currentIndex() < 0)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() < target)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > target)
            QTest::keyClick(box, Qt::Key_Up);
    }
};

TEST_F(ParametrosTest, RowsAreBuiltFromTheListsAndASecondIndexOneIsRefused)
{
    TFrmParametros f(*db);
    showActive(&f);
    EXPECT_EQ(f.windowTitle(), "Parametros POS");
    EXPECT_EQ(f.Label1->text(), "PARAMETROS   POS");
    EXPECT_TRUE(f.StatusBar1->findChildren<QLabel*>().value(0) &&
                f.StatusBar1->findChildren<QLabel*>().value(0)->text() == "Parametros");

    // A new row starts as index 1; the company may stay empty.
    press(f.DBNavigator1, DbNavigator::Insert);
    EXPECT_EQ(f.TEsquema().FieldByName("LLAVE").asInteger(), 1);
    EXPECT_TRUE(f.DBLookupComboBox1->hasFocus());
    choose(f.DBLookupComboBox1, "TIENDA");
    choose(f.DBLookupComboBox2, "FACTURA POS");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    QSqlQuery q = db->exec("SELECT SUCURSAL, DOCUMENTO, EMPRESA FROM POSESQUEMA WHERE LLAVE = 1");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toString().trimmed(), "POS");
    EXPECT_TRUE(q.value(2).isNull());

    // Without a branch: the required-field message.
    press(f.DBNavigator1, DbNavigator::Insert);
    choose(f.DBLookupComboBox2, "FACTURA RESTAURANTE");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_EQ(dialogs.texts("error"), QStringList{"El campo 'SUCURSAL' debe tener un valor"});

    // A second row left at index 1: the database's message, the row kept in insert mode.
    dialogs.clear();
    choose(f.DBLookupComboBox1, "RESTAURANTE");
    choose(f.DBLookupComboBox3, "LA ESQUINA SAS");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(f.TEsquema().state(), DsState::Insert);

    // The grid is where the index is changed; closing, answered "Sí", posts the corrected row.
    typeInCell(f.DBGrid1, 0, "2");
    dialogs.replies = {Reply::Yes};
    f.close();
    EXPECT_FALSE(f.isVisible());
    q = db->exec("SELECT SUCURSAL, DOCUMENTO, EMPRESA FROM POSESQUEMA WHERE LLAVE = 2");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
    EXPECT_EQ(q.value(1).toString().trimmed(), "PRS");
    EXPECT_EQ(q.value(2).toString().trimmed(), "01");
}

}  // namespace
