// The five small catalogue screens driven from the keyboard: rows created, searched, corrected and
// deleted; the cashiers' and registers' own controls; tables created on first use.
#include "ScreenKeys.h"
#include "catalog/UntCajas.h"
#include "catalog/UntCajeros.h"
#include "catalog/UntMesas.h"
#include "catalog/UntMeseros.h"
#include "catalog/UntSucursales.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPushButton>

using namespace kv;
using kvtest::press;
using kvtest::showActive;
using kvtest::typeInto;

namespace {

class CatalogScreensTest : public kvtest::DbTest {
protected:
    QVariant one(const QString& sql, const QVariantMap& p = {}) { return db->scalar(sql, p); }
};

TEST_F(CatalogScreensTest, BranchesAreCreatedSearchedAndDeletedFromTheKeyboard)
{
    db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'TIENDA')");
    db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (2, 'RESTAURANTE')");
    TFrmSucursales f(*db);
    showActive(&f);
    EXPECT_EQ(f.windowTitle(), "Sucursales");
    EXPECT_EQ(f.Label1->text(), "S U C U R S A L E S");
    EXPECT_EQ(f.Edit2->text(), "01");
    EXPECT_EQ(f.Edit3->text(), "99");
    EXPECT_EQ(f.RadioGroup1->itemIndex(), 0);  // "A": by name
    EXPECT_EQ(f.DBEdit1->accessibleName(), "Código");

    // After a navigator button the key box has the focus, ready for typing.
    press(f.DBNavigator1, DbNavigator::Insert);
    EXPECT_TRUE(f.DBEdit1->hasFocus());
    QTest::keyClicks(f.DBEdit1, "7");
    typeInto(f.DBEdit2, "BODEGA NORTE");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(one("SELECT NOMBRE FROM BODEGAS WHERE BODEGA = 7").toString().trimmed(), "BODEGA NORTE");

    // Every change of the search box moves to the row whose key equals the text.
    typeInto(f.Edit1, "2");
    EXPECT_EQ(f.DBEdit2->text(), "RESTAURANTE");
    QTest::keyClick(f.Edit1, Qt::Key_Backspace);  // empty: nothing to look for
    typeInto(f.Edit1, "55");                      // no such branch: the row stays
    EXPECT_EQ(f.DBEdit2->text(), "RESTAURANTE");
    EXPECT_TRUE(dialogs.shown.empty());
    typeInto(f.Edit1, "7x");                      // not a number: the conversion message
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(f.DBEdit2->text(), "BODEGA NORTE");

    // Delete asks first; No keeps the branch.
    dialogs.clear();
    dialogs.answers = {false, true};
    press(f.DBNavigator1, DbNavigator::Delete);
    EXPECT_EQ(one("SELECT COUNT(*) FROM BODEGAS").toInt(), 3);
    press(f.DBNavigator1, DbNavigator::Delete);
    EXPECT_EQ(dialogs.texts("confirm").size(), 2);
    EXPECT_TRUE(one("SELECT NOMBRE FROM BODEGAS WHERE BODEGA = 7").isNull());
}

TEST_F(CatalogScreensTest, RefusedRowsShowTheReasonAndStayForCorrection)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE) VALUES (79123456, 'ANA')");
    TFrmCajeros f(*db);
    showActive(&f);

    // Without the identity number: the required-field message, the row still being inserted.
    press(f.DBNavigator1, DbNavigator::Insert);
    typeInto(f.DBEdit2, "LUIS");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_EQ(dialogs.texts("error"), QStringList{"El campo 'CEDULA' debe tener un valor"});
    EXPECT_EQ(f.TCajero().state(), DsState::Insert);

    // A number that exists: the database's own text, the row still there to correct.
    dialogs.clear();
    typeInto(f.DBEdit1, "79123456");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_TRUE(dialogs.last().contains("PRIMARY", Qt::CaseInsensitive) || dialogs.last().contains("unique", Qt::CaseInsensitive))
        << dialogs.last().toStdString();
    EXPECT_EQ(f.TCajero().state(), DsState::Insert);
    EXPECT_EQ(f.DBEdit2->text(), "LUIS");

    typeInto(f.DBEdit1, "80111222");
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(one("SELECT NOMBRE FROM POSCAJEROS WHERE CEDULA = 80111222").toString(), "LUIS");
    // The navigator leaves the focus in the key box; the grid shows the number with its picture.
    EXPECT_TRUE(f.DBEdit1->hasFocus());
    EXPECT_EQ(f.DBGrid1->model()->index(f.TCajero().currentIndex(), 0).data().toString(), "80,111,222");
}

TEST_F(CatalogScreensTest, CashierLevelRegisterPrivilegesAndThirdPartyContact)
{
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (1, 'CAJA TIENDA', 1)");
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (2, 'CAJA BAR', 1)");
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA) VALUES (10, 'ANA', 'abc', 'C', 1)");
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, NIVEL) VALUES (20, 'LUIS', 'V')");
    db->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE, DIRECCION, TELEFONO, EMAIL) "
             "VALUES (10, 'ANA', 'CALLE 1', '555 0101', 'ana@correo.co')");
    TFrmCajeros f(*db);
    showActive(&f);

    EXPECT_EQ(f.DBEdit3->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f.DBRadioGroup1->itemIndex(), 0);  // "Cajero"
    EXPECT_EQ(f.DBLookupComboBox1->currentText(), "CAJA TIENDA");
    EXPECT_EQ(f.DBText1->text(), "CALLE 1");
    EXPECT_EQ(f.DBText2->text(), "555 0101");
    EXPECT_EQ(f.DBText3->text(), "ana@correo.co");

    // The level, register and privileges, chosen with the keyboard, are written into the row.
    f.DBRadioGroup1->button(3)->click();  // "Supervisor"
    f.DBLookupComboBox1->setFocus();
    QTest::keyClick(f.DBLookupComboBox1, Qt::Key_Down);  // the next register in the list
    f.DBRadioGroup2->button(1)->click();                 // cobra: No
    f.DBRadioGroup3->button(1)->click();                 // imprimir: Recibo Para pago
    f.DBRadioGroup4->button(0)->click();                 // cambia precio: Si
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    QSqlQuery q = db->exec("SELECT NIVEL, CAJA, COBRA, IMPRIMIR, CAMBIAPRECIO FROM POSCAJEROS WHERE CEDULA = 10");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString().trimmed(), "S");
    EXPECT_EQ(q.value(1).toDouble(), 2.0);
    EXPECT_EQ(q.value(2).toString().trimmed(), "N");
    EXPECT_EQ(q.value(3).toString().trimmed(), "R");
    EXPECT_EQ(q.value(4).toString().trimmed(), "S");

    // A cashier who is not a third party shows empty contact texts.
    press(f.DBNavigator1, DbNavigator::Next);
    EXPECT_EQ(f.DBEdit2->text(), "LUIS");
    EXPECT_EQ(f.DBText1->text(), "");
    EXPECT_EQ(f.DBText2->text(), "");
    EXPECT_EQ(f.DBText3->text(), "");
    EXPECT_EQ(f.DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(f.DBRadioGroup1->itemIndex(), 1);  // "Vendedor"
}

TEST_F(CatalogScreensTest, ACashierWhoLeftIsMarkedInactiveAndTheGridSaysWhoIsActive)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL) VALUES (10, 'ANA', 'abc', 'C')");  // no mark
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, ACTIVO) VALUES (20, 'LUIS', 'x', 'V', 'N')");
    TFrmCajeros f(*db);
    showActive(&f);
    auto estados = [&f] {
        QAbstractItemModel* m = f.DBGrid1->model();
        QStringList out;
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal).toString() == "ESTADO")
                for (int r = 0; r < m->rowCount(); ++r)
                    out << m->data(m->index(r, c)).toString();
        return out;
    };
    EXPECT_EQ(estados(), QStringList({"Activo", "Inactivo"}));
    EXPECT_EQ(f.DBEdit2->text(), "ANA");
    EXPECT_TRUE(f.DBCheckBox1->isChecked());  // no mark: active, as the sign-ons take it
    EXPECT_EQ(f.DBCheckBox1->accessibleName(), "Activo");

    f.DBCheckBox1->click();
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(one("SELECT TRIM(ACTIVO) FROM POSCAJEROS WHERE CEDULA = 10").toString(), "N");
    EXPECT_EQ(estados(), QStringList({"Inactivo", "Inactivo"}));

    press(f.DBNavigator1, DbNavigator::Next);
    EXPECT_FALSE(f.DBCheckBox1->isChecked());
    f.DBCheckBox1->click();
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_EQ(one("SELECT TRIM(ACTIVO) FROM POSCAJEROS WHERE CEDULA = 20").toString(), "S");
}

TEST_F(CatalogScreensTest, RegistersKeepTheirParameterIndexBesideTheParameterRows)
{
    db->exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (1, 1, 'POS', '01')");
    db->exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (2, 2, 'PRS', '01')");
    TFrmCajas f(*db);
    showActive(&f);
    EXPECT_EQ(f.DBGrid2->model()->rowCount(), 2);
    EXPECT_EQ(f.DBGrid2->model()->headerData(0, Qt::Horizontal).toString(), "Indice");
    EXPECT_FALSE(f.DBGrid2->model()->flags(f.DBGrid2->model()->index(0, 0)) & Qt::ItemIsEditable);

    press(f.DBNavigator1, DbNavigator::Insert);
    QTest::keyClicks(f.DBEdit1, "5");
    typeInto(f.DBEdit2, "CAJA TERRAZA");
    typeInto(f.DBEdit3, "2");
    typeInto(f.DBEdit4, "30");
    press(f.DBNavigator1, DbNavigator::Post);
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
    EXPECT_EQ(one("SELECT EMPRESA FROM POSCAJAS WHERE CAJA = 5").toInt(), 2);
    EXPECT_EQ(one("SELECT REFRESCO FROM POSCAJAS WHERE CAJA = 5").toInt(), 30);

    // Letters in the numeric box are refused and never stored.
    typeInto(f.DBEdit3, "dos");
    press(f.DBNavigator1, DbNavigator::Post);
    EXPECT_FALSE(dialogs.texts("error").isEmpty());
    EXPECT_TRUE(f.table().isEditing());
    press(f.DBNavigator1, DbNavigator::Cancel);
    EXPECT_EQ(one("SELECT EMPRESA FROM POSCAJAS WHERE CAJA = 5").toInt(), 2);
}

TEST_F(CatalogScreensTest, TablesAndWaitersAreCreatedOnFirstUse)
{
    for (const char* table : {"MESAS", "MESERO"})
        if (db->tableExists(table))
            db->exec(QStringLiteral("DROP TABLE %1").arg(table));
    db->forgetTableInfo();

    {
        TFrmMesas f(*db);
        showActive(&f);
        ASSERT_TRUE(db->tableExists("MESAS"));
        EXPECT_TRUE(f.table().active());
        EXPECT_TRUE(f.table().IsEmpty());
        EXPECT_EQ(f.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), "Espacio Ubicacion");
        press(f.DBNavigator1, DbNavigator::Insert);
        QTest::keyClicks(f.DBEdit1, "TERRAZA");
        typeInto(f.DBEdit2, "T1");
        press(f.DBNavigator1, DbNavigator::Post);
        ASSERT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
        // Here the search box does nothing.
        typeInto(f.Edit1, "x");
        EXPECT_TRUE(dialogs.shown.empty());
    }
    EXPECT_EQ(one("SELECT NUMERO FROM MESAS WHERE ESPACIO = 'TERRAZA'").toString().trimmed(), "T1");

    TFrmMeseros w(*db);
    showActive(&w);
    ASSERT_TRUE(db->tableExists("MESERO"));
    press(w.DBNavigator1, DbNavigator::Insert);
    QTest::keyClicks(w.DBEdit1, "1015420331");
    typeInto(w.DBEdit2, "JUAN DAVID");
    dialogs.replies = {Reply::Yes};
    w.close();  // closing asks, and "Sí" keeps the row that was typed
    EXPECT_EQ(dialogs.texts("yesNoCancel"), QStringList{"¿Desea grabar los cambios?"});
    EXPECT_EQ(one("SELECT NOMBRE FROM MESERO WHERE CEDULA = 1015420331").toString(), "JUAN DAVID");
}

TEST_F(CatalogScreensTest, TabGoesThroughTheGridWithoutMovingOffTheRowBeingTyped)
{
    db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'TIENDA')");
    db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (2, 'RESTAURANTE')");
    TFrmSucursales f(*db);
    showActive(&f);
    press(f.DBNavigator1, DbNavigator::Next);
    press(f.DBNavigator1, DbNavigator::Insert);
    QTest::keyClicks(f.DBEdit1, "4");
    typeInto(f.DBEdit2, "BODEGA NORTE");
    QTest::keyClick(f.DBEdit2, Qt::Key_Tab);
    kvtest::settle();
    ASSERT_TRUE(f.DBGrid1->hasFocus());
    // Still the new row, still being typed: the grid took the focus, not the cursor elsewhere.
    EXPECT_EQ(f.table().state(), DsState::Insert);
    EXPECT_EQ(f.DBGrid1->currentIndex().row(), f.table().currentIndex());
    EXPECT_EQ(f.DBEdit1->text(), "4");
    // The next Tab leaves the grid instead of walking its cells into another row.
    QTest::keyClick(f.DBGrid1, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    kvtest::settle();
    EXPECT_FALSE(f.DBGrid1->hasFocus());
    EXPECT_EQ(f.table().state(), DsState::Insert);
    EXPECT_TRUE(one("SELECT NOMBRE FROM BODEGAS WHERE BODEGA = 4").isNull());
}

TEST_F(CatalogScreensTest, ClosingWithARefusedRowKeepsTheScreenOpen)
{
    TFrmCajas f(*db);
    showActive(&f);
    press(f.DBNavigator1, DbNavigator::Insert);
    typeInto(f.DBEdit2, "SIN NUMERO");
    dialogs.replies = {Reply::Yes};
    f.close();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(dialogs.texts("error"), QStringList{"El campo 'CAJA' debe tener un valor"});
    // Cancelling the row lets it close; a new row nothing was typed into is simply dropped.
    press(f.DBNavigator1, DbNavigator::Cancel);
    press(f.DBNavigator1, DbNavigator::Insert);
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(one("SELECT COUNT(*) FROM POSCAJAS").toInt(), 0);
}

}  // namespace
