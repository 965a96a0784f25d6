// "Login Cajero": who may sign on, which parameter row and document type his documents take,
// which screen his level opens, and that the next person never inherits the password.
#include "RegisterFixture.h"

#include "pos/UntVenta.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace kv;
using kvtest::typeInto;

namespace {

class SignOnTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedRegister(*db);
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, MONEDA) VALUES ('PFE', 'FACTURA ELECTRONICA', 'COP')");
        db->exec("UPDATE POSCAJEROS SET CLAVE = 'Clave1' WHERE CEDULA IN (11, 22)");
        dm = std::make_unique<TDmVentas>(*db);
        window = std::make_unique<TFrmVenta>(*dm);
        window->openScreen = [this](const QString& nivel) {
            opened << nivel;
            // What the sale screen would number its documents with.
            documento = dm->Parametros.FieldByName("DOCUMENTO").asString();
        };
        kvtest::showActive(window.get());
    }
    void TearDown() override
    {
        window.reset();
        dm.reset();
        DbTest::TearDown();
    }
    void signOn(const QString& cedula, const QString& clave, const QString& documento = QString())
    {
        typeInto(window->Edit1, cedula);
        typeInto(window->Edit2, clave);
        if (!documento.isEmpty()) {
            QComboBox* c = window->DBLookupComboBox1;
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Home);
            while (c->currentData().toString() != documento && c->currentIndex() < c->count() - 1)
                QTest::keyClick(c, Qt::Key_Down);
        }
        QTest::keyClick(window->Edit2, Qt::Key_Return);  // OK is the default button
    }
    QString esquema(int llave)
    {
        return db->scalar("SELECT DOCUMENTO FROM POSESQUEMA WHERE LLAVE = :L", {{"L", llave}}).toString().trimmed();
    }

    std::unique_ptr<TDmVentas> dm;
    std::unique_ptr<TFrmVenta> window;
    QStringList opened;
    QString documento;
};

TEST_F(SignOnTest, OnlyAKnownCashierWithHisExactPasswordAndARegisterSetUpSignsOn)
{
    EXPECT_EQ(window->windowTitle(), "Login Cajero");
    EXPECT_EQ(window->Edit1->text(), "1");
    EXPECT_EQ(window->Edit2->echoMode(), QLineEdit::Password);
    const QString noCashier = "Cajero no existe! Por favor Verifique su login";
    struct Case {
        const char* cedula;
        const char* clave;
        QString message;
    };
    const Case cases[] = {
        {"5", "1", noCashier},
        {"11a", "1", noCashier},
        {"11", "clave1", "Clave no Corresponde"},  // letter case counts
        {"77", "1", "La caja 70 del cajero no está creada en Cajas o no tiene una empresa con parámetros; no puede "
                    "facturar hasta que se configure."},
        {"99", "1", "La caja 9 del cajero no está creada en Cajas o no tiene una empresa con parámetros; no puede "
                    "facturar hasta que se configure."},
        {"88", "1", "La caja 8 del cajero no está creada en Cajas o no tiene una empresa con parámetros; no puede "
                    "facturar hasta que se configure."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cedula);
        dialogs.clear();
        signOn(c.cedula, c.clave);
        EXPECT_EQ(dialogs.texts("message"), QStringList{c.message});
        EXPECT_TRUE(opened.isEmpty());
    }
    // Enter in the identity box checks the cashier at once.
    dialogs.clear();
    typeInto(window->Edit1, "5", true);
    EXPECT_EQ(dialogs.texts("message"), QStringList{noCashier});
    EXPECT_TRUE(window->Edit1->hasFocus());
    typeInto(window->Edit1, "11", true);
    EXPECT_TRUE(window->Edit2->hasFocus());
}

TEST_F(SignOnTest, TheDocumentTypeChosenIsStoredOnlyAfterASignOnAndOnTheRowInForce)
{
    signOn("22", "wrong", "PFE");  // a wrong password changes nothing
    EXPECT_EQ(esquema(1), "POS");
    EXPECT_EQ(esquema(2), "PRS");
    signOn("22", "Clave1", "PFE");  // register 2 is of company 2: its row, not the first
    ASSERT_EQ(opened, QStringList{"V"});
    EXPECT_EQ(documento, "PFE");
    EXPECT_EQ(esquema(1), "POS");
    EXPECT_EQ(esquema(2), "PFE");
    // Without a choice the row keeps its own type, whatever the list showed.
    window->hide();
    kvtest::showActive(window.get());
    signOn("11", "Clave1");
    EXPECT_EQ(documento, "POS");
    EXPECT_EQ(esquema(2), "PFE");
}

TEST_F(SignOnTest, TheNextPersonDoesNotStoreTheTypeThePreviousOneChose)
{
    signOn("22", "Clave1", "PFE");
    ASSERT_EQ(esquema(2), "PFE");
    // The window stays shown for the next person, who chooses nothing: his company's row keeps
    // its own type, and the list shows it again.
    signOn("11", "Clave1");
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(esquema(1), "POS");
    EXPECT_EQ(documento, "POS");
    EXPECT_EQ(window->DBLookupComboBox1->currentData().toString(), "POS");
}

TEST_F(SignOnTest, ACashierIsCheckedAsStoredNowNotAsWhenTheProgramStarted)
{
    ASSERT_TRUE(dm->findCashier(11));  // the cashiers were read before the changes below
    // Another station changes a password and adds a cashier.
    Connection other(QStringLiteral("Otra"));
    other.setLocation(db->location());
    other.exec("UPDATE POSCAJEROS SET CLAVE = 'Nueva9' WHERE CEDULA = 11");
    other.exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, IMPRIMIR, CAMBIAPRECIO) "
               "VALUES (12, 'CAJERA NUEVA', 'Hoy12', '1', 1, 'S', 'F', 'N')");
    signOn("11", "Clave1");  // the old password no longer opens the register
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Clave no Corresponde"});
    EXPECT_TRUE(opened.isEmpty());
    signOn("11", "Nueva9");
    signOn("12", "Hoy12");
    EXPECT_EQ(opened, QStringList({"V", "1"}));
    EXPECT_EQ(dm->TCajero.FieldByName("NOMBRE").asString(), "CAJERA NUEVA");
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Clave no Corresponde"});
}

TEST_F(SignOnTest, ThePasswordIsEmptiedWhenTheSaleScreenCloses)
{
    signOn("11", "Clave1");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(window->Edit2->text().isEmpty());
    QTest::keyClick(window->Edit2, Qt::Key_Return);  // the next person presses OK at once
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Clave no Corresponde"});
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(SignOnTest, EachLevelOpensItsScreenOrSaysItIsNotThereYet)
{
    window->openScreen = [this](const QString& nivel) { openSaleScreenForLevel(*dm, nivel, window.get()); };
    struct Case {
        const char* nivel;
        QString message;  // empty: none
    };
    const Case cases[] = {{"R", "La pantalla \"Caja Dos\" de este nivel de cajero aún no está disponible."},
                          {"C", "La pantalla \"Caja Principal\" de este nivel de cajero aún no está disponible."},
                          {"2", "La pantalla \"Ventas\" de este nivel de cajero aún no está disponible."},
                          {"8", "La pantalla \"Caja Tres\" de este nivel de cajero aún no está disponible."},
                          {"S", ""},
                          {"J", ""},
                          {"v", ""}};  // levels are compared exactly
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nivel);
        db->exec("UPDATE POSCAJEROS SET NIVEL = :N WHERE CEDULA = 11", {{"N", c.nivel}});
        dm->TCajero.Refresh();
        dialogs.clear();
        signOn("11", "Clave1");
        EXPECT_EQ(dialogs.texts("message"), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
    // "V" opens the main register; Esc in its customer box and Yes close it.
    db->exec("UPDATE POSCAJEROS SET NIVEL = 'V' WHERE CEDULA = 11");
    dm->TCajero.Refresh();
    dialogs.clear();
    dialogs.answers = {true};
    bool shown = false;
    kvtest::whenShown<TFrmVentaCajaVp>([&](TFrmVentaCajaVp* s) {
        shown = true;
        EXPECT_EQ(s->LabelCajero->text(), "CAJERO 11");
        QTest::keyClick(s->EditCliente, Qt::Key_Escape);
    });
    signOn("11", "Clave1");
    EXPECT_TRUE(shown);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Salir de Facturacion?"});
}

// The trail's rows, oldest first: "EVENTO|CAJA|CAJERO|DETALLE".
QStringList trail(Connection& db)
{
    QStringList rows;
    QSqlQuery q = db.exec("SELECT EVENTO, CAJA, CAJERO, DETALLE FROM POSBITACORA ORDER BY ID");
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 4; ++i)
            row << (q.value(i).isNull() ? QString() : q.value(i).toString());
        rows << row.join('|');
    }
    return rows;
}

TEST_F(SignOnTest, ACashierMarkedInactiveIsRefusedAndEveryAttemptIsOnTheTrail)
{
    db->exec("UPDATE POSCAJEROS SET ACTIVO = 'N' WHERE CEDULA = 11");
    db->exec("UPDATE POSCAJEROS SET ACTIVO = 'S' WHERE CEDULA = 22");  // 33 has no mark: active
    db->exec("UPDATE POSCAJEROS SET CLAVE = 'Clave1' WHERE CEDULA = 33");
    const struct {
        const char* cedula;
        const char* clave;
        const char* message;  // empty: he signs on
    } cases[] = {
        {"11", "Clave1", "Cajero inactivo"},
        {"11", "clave1", "Clave no Corresponde"},  // the mark is told only to whoever knows the password
        {"22", "Clave1", ""},
        {"33", "Clave1", ""},
        {"5", "1", "Cajero no existe! Por favor Verifique su login"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cedula);
        dialogs.clear();
        opened.clear();
        signOn(c.cedula, c.clave);
        EXPECT_EQ(dialogs.texts("message"), *c.message ? QStringList{c.message} : QStringList());
        EXPECT_EQ(opened.size(), *c.message ? 0 : 1);
    }
    EXPECT_EQ(trail(*db), QStringList({"INGRESO FALLIDO|1|11|Venta: Cajero inactivo",
                                       "INGRESO FALLIDO|1|11|Venta: clave incorrecta", "INGRESO|2|22|Venta",
                                       "INGRESO|3|33|Venta",
                                       "INGRESO FALLIDO|||Venta (cédula tecleada: 5): cajero no existe"}));
}

TEST_F(SignOnTest, WrongPasswordsMakeTheCashierWaitEvenAfterTheProgramStartsAgain)
{
    for (const char* wrong : {"a", "b", "c"})
        signOn("11", wrong);
    EXPECT_EQ(dialogs.texts("message"), QStringList(3, "Clave no Corresponde"));

    // A new start: a new sales module and sign-on window on the same database.
    window.reset();
    dm = std::make_unique<TDmVentas>(*db);
    window = std::make_unique<TFrmVenta>(*dm);
    window->openScreen = [this](const QString& nivel) { opened << nivel; };
    kvtest::showActive(window.get());
    dialogs.clear();
    signOn("11", "Clave1");
    ASSERT_EQ(dialogs.texts("message").size(), 1);
    EXPECT_TRUE(dialogs.texts("message").first().startsWith("Demasiados intentos fallidos. Espere "));
    EXPECT_TRUE(opened.isEmpty());
    // Another cashier is not held up by it.
    signOn("22", "Clave1");
    EXPECT_EQ(opened, QStringList{"V"});

    db->exec("UPDATE POSFALLOSINGRESO SET ULTIMOFALLO = DATEADD(-31 SECOND TO ULTIMOFALLO)");
    signOn("11", "Clave1");
    EXPECT_EQ(opened, QStringList({"V", "V"}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSFALLOSINGRESO").toInt(), 0);
}

}  // namespace
