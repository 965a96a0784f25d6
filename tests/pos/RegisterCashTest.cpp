// The register's cash besides its sales: the opening amount asked once per register and day, and
// cash expenses numbered across registers with their printed receipt.
#include "ShopFixture.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"
#include "../platform/EnvScope.h"

#include "platform/DbControls.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaEgresosRpt.h"
#include "pos/UntVentaCajaIncio.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSqlQuery>
#include <QToolButton>

using namespace kv;

namespace {

class RegisterCashTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        // A second cashier on register 1, and one on register 2 who does not take payment.
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA) VALUES (12, 'CAJERO 12', '1', 'V', 1, 'S')");
        db->exec("UPDATE POSCAJEROS SET COBRA = 'N' WHERE CEDULA = 22");
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    int openings() { return db->scalar("SELECT COUNT(*) FROM POSARQUEO").toInt(); }

    // Opens the opening-amount window as the sale screen does and lets `drive` work in it.
    void openRegister(const std::function<void(TFrmVentaCajaIncio*)>& drive)
    {
        kvtest::whenShown<TFrmVentaCajaIncio>(drive);
        TFrmVentaCajaIncio::AbrirSiFalta(*dm, nullptr);
    }

    // Saves an expense through the window: it opens on a new one; then ">> &Grabar".
    void saveExpense(const QString& detalle, const QString& valor)
    {
        TFrmVentaCajaEgresos dlg(*dm);
        kvtest::showActive(&dlg);
        kvtest::typeInto(dlg.EditDescripcion, detalle);
        kvtest::typeInto(dlg.EditValor, valor);
        dlg.BtnGrabar->click();
    }

    std::unique_ptr<TDmVentas> dm;
};

TEST_F(RegisterCashTest, TheOpeningAmountIsAskedOncePerRegisterAndDayWhoeverSignsOn)
{
    ASSERT_TRUE(TFrmVentaCajaIncio::falta(*dm));
    // Closed without an amount: nothing stored, and it is asked again.
    openRegister([](TFrmVentaCajaIncio* w) { w->reject(); });
    EXPECT_EQ(openings(), 0);
    // Text that is not an amount is refused, nothing stored, the window stays.
    openRegister([this](TFrmVentaCajaIncio* w) {
        kvtest::typeInto(w->EditIncio, "cien mil", true);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(openings(), 0);
        kvtest::typeInto(w->EditIncio, "100000", true);
    });
    QSqlQuery q = db->exec("SELECT CAJA, CAJERO, FECHA, INCIO FROM POSARQUEO");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toDouble(), 1);
    EXPECT_EQ(q.value(1).toDouble(), 11);
    EXPECT_EQ(q.value(2).toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    EXPECT_EQ(q.value(3).toDouble(), 100000);
    EXPECT_EQ(dialogs.texts(), QStringList{"Digite el dinero con que se inicia la caja: un valor de 0 o más"});

    EXPECT_FALSE(TFrmVentaCajaIncio::falta(*dm));
    ASSERT_TRUE(dm->signOn(12));  // another cashier on the same register, the same day
    EXPECT_FALSE(TFrmVentaCajaIncio::falta(*dm));
    ASSERT_TRUE(dm->signOn(22));  // a cashier who does not take payment is never asked
    EXPECT_FALSE(TFrmVentaCajaIncio::falta(*dm));
    ASSERT_TRUE(dm->signOn(33));
    EXPECT_TRUE(TFrmVentaCajaIncio::falta(*dm));
}

TEST_F(RegisterCashTest, ExpensesAreNumberedAcrossRegistersAndPrintTheirReceipt)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    saveExpense("Hielo", "20000");
    saveExpense("Bolsas", "3500");
    ASSERT_TRUE(dm->signOn(22));
    // Another register saved number 3 while this one had its window open: the expense is stored
    // under the next free number instead of being refused.
    {
        TFrmVentaCajaEgresos dlg(*dm);
        kvtest::showActive(&dlg);
        dlg.DBNavigator1->click(DbNavigator::Insert);
        EXPECT_EQ(dlg.EditItem->text(), "3");
        db->exec("INSERT INTO POSPAGOSCAJA (ITEM, CAJA, CAJERO, FECHA, VALOR) VALUES (3, 3, 33, CURRENT_TIMESTAMP, 1)");
        kvtest::typeInto(dlg.EditDescripcion, "Domicilio");
        kvtest::typeInto(dlg.EditValor, "4000");
        dlg.BtnGrabar->click();
        EXPECT_FALSE(dlg.isVisible());
    }
    QStringList stored;
    QSqlQuery q = db->exec("SELECT ITEM, CAJA, CAJERO, DESCRIPCION, VALOR, FECHA FROM POSPAGOSCAJA ORDER BY ITEM");
    while (q.next()) {
        stored << QStringLiteral("%1 %2 %3 %4 %5").arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toInt())
                      .arg(q.value(3).toString(), q.value(4).toString());
        if (q.value(2).toInt() != 33) {
            EXPECT_EQ(q.value(5).toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
        }
    }
    EXPECT_EQ(stored, QStringList({"1 1 11 Hielo 20000", "2 1 11 Bolsas 3500", "3 3 33  1", "4 2 22 Domicilio 4000"}));
    EXPECT_EQ(QDir(out.path()).entryList({"*.pdf"}).size(), 3);  // one receipt per expense saved

    // The receipt: number, detail, the day at midnight and the amount.
    const std::optional<Document> doc = TFrmVentaCajaEgresosRpt::Render(*db, 1);
    ASSERT_TRUE(doc);
    const QStringList texts = doc->texts();
    const QString date = QDate::currentDate().toString("dd");
    for (const QString& t : {QStringLiteral("PAGO EN CAJA"), QStringLiteral("Consecutivo No."), QStringLiteral("1"),
                             QStringLiteral("Hielo"), QStringLiteral("VALOR PAGO"), QStringLiteral("20,000.00")})
        EXPECT_TRUE(texts.contains(t)) << qPrintable(t);
    EXPECT_TRUE(doc->named("FECHA")->text.endsWith(" -  12:00 AM")) << qPrintable(doc->named("FECHA")->text);
    EXPECT_FALSE(TFrmVentaCajaEgresosRpt::Render(*db, 99));
}

TEST_F(RegisterCashTest, SavingWithoutANewExpenseReprintsTheOneShownAndAnEmptyAmountIsRefused)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    saveExpense("Hielo", "20000");
    {
        TFrmVentaCajaEgresos dlg(*dm);
        kvtest::showActive(&dlg);
        dlg.DBNavigator1->click(DbNavigator::Insert);
        kvtest::typeInto(dlg.EditDescripcion, "Sin valor");
        dlg.BtnGrabar->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dialogs.last(), "Digite el valor pagado: un valor mayor que 0");
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSPAGOSCAJA").toInt(), 1);
    {
        // Back to the stored expense, nobody having typed in the new one: its receipt again.
        TFrmVentaCajaEgresos dlg(*dm);
        kvtest::showActive(&dlg);
        dlg.DBNavigator1->click(DbNavigator::Prior);
        EXPECT_EQ(dlg.EditDescripcion->text(), "Hielo");
        dlg.BtnGrabar->click();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSPAGOSCAJA").toInt(), 1);
    EXPECT_EQ(QDir(out.path()).entryList({"*.pdf"}).size(), 2);
}

TEST_F(RegisterCashTest, TheWindowOpensOnANewExpenseAndStoredOnesChangeOnlyOnPurpose)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    const QDateTime yesterday(QDate::currentDate().addDays(-1), QTime(0, 0));
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    db->exec("INSERT INTO POSPAGOSCAJA (ITEM, CAJA, CAJERO, FECHA, VALOR, DESCRIPCION) VALUES (87, 1, 11, :F, 5000, 'Hielo')",
             {{"F", yesterday}});
    db->exec("INSERT INTO POSPAGOSCAJA (ITEM, CAJA, CAJERO, FECHA, VALOR, DESCRIPCION) VALUES (88, 1, 11, :F, 3000, 'Bolsas')",
             {{"F", today}});
    auto stored = [this] {
        QStringList rows;
        QSqlQuery q = db->exec("SELECT ITEM, VALOR, DESCRIPCION FROM POSPAGOSCAJA ORDER BY ITEM");
        while (q.next())
            rows << QStringLiteral("%1 %2 %3").arg(q.value(0).toInt()).arg(q.value(1).toDouble()).arg(q.value(2).toString());
        return rows;
    };

    TFrmVentaCajaEgresos dlg(*dm);
    kvtest::showActive(&dlg);
    // A new expense, not yesterday's receipt.
    EXPECT_EQ(dlg.TEgresos.state(), DsState::Insert);
    EXPECT_EQ(dlg.EditItem->text(), "89");
    EXPECT_EQ(dlg.EditValor->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), dlg.EditDescripcion);

    // Today's expense is shown read-only: typing changes nothing; "Editar" lets it be corrected.
    dlg.DBNavigator1->click(DbNavigator::Prior);
    EXPECT_EQ(dlg.EditItem->text(), "88");
    kvtest::typeInto(dlg.EditValor, "9");
    EXPECT_EQ(dlg.TEgresos.state(), DsState::Browse);
    dlg.DBNavigator1->click(DbNavigator::Edit);
    dlg.EditValor->selectAll();
    kvtest::typeInto(dlg.EditValor, "3500");
    dlg.DBNavigator1->click(DbNavigator::Post);
    EXPECT_EQ(stored(), (QStringList{"87 5000 Hielo", "88 3500 Bolsas"}));

    // Yesterday's, counted in yesterday's cash count, is neither changed nor deleted.
    dlg.DBNavigator1->click(DbNavigator::Prior);
    EXPECT_EQ(dlg.EditItem->text(), "87");
    dialogs.answers = {true};
    dlg.DBNavigator1->click(DbNavigator::Edit);
    dlg.DBNavigator1->click(DbNavigator::Delete);
    EXPECT_EQ(dialogs.texts("message"),
              (QStringList{TFrmVentaCajaEgresos::countedExpenseText(), TFrmVentaCajaEgresos::countedExpenseText()}));
    EXPECT_EQ(dlg.TEgresos.state(), DsState::Browse);
    EXPECT_TRUE(dlg.EditValor->isReadOnly());
    EXPECT_EQ(stored(), (QStringList{"87 5000 Hielo", "88 3500 Bolsas"}));

    // Insert starts a new one from the keyboard, wherever the focus is (the "+" button's key; the
    // button shows its click before it acts).
    QTest::keyClick(dlg.EditValor, Qt::Key_Insert);
    for (int i = 0; i < 100 && dlg.TEgresos.state() != DsState::Insert; ++i)
        QTest::qWait(10);
    EXPECT_EQ(dlg.TEgresos.state(), DsState::Insert);
    EXPECT_EQ(dlg.EditItem->text(), "89");
    EXPECT_FALSE(dlg.EditValor->isReadOnly());
}

TEST_F(RegisterCashTest, AnExpenseOfZeroOrLessIsRefusedHoweverItIsPosted)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    TFrmVentaCajaEgresos dlg(*dm);
    kvtest::showActive(&dlg);
    for (const char* valor : {"0", "-5000"}) {
        SCOPED_TRACE(valor);
        dialogs.clear();
        dlg.DBNavigator1->click(DbNavigator::Insert);
        kvtest::typeInto(dlg.EditDescripcion, "Propina");
        kvtest::typeInto(dlg.EditValor, valor);
        dlg.DBNavigator1->click(DbNavigator::Post);  // the navigator's post, not ">> &Grabar"
        EXPECT_EQ(dialogs.texts("message"), QStringList{"Digite el valor pagado: un valor mayor que 0"});
        EXPECT_TRUE(dlg.TEgresos.isEditing());  // kept as typed, to be corrected
        dlg.DBNavigator1->click(DbNavigator::Cancel);
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSPAGOSCAJA").toInt(), 0);
}

TEST_F(RegisterCashTest, AnExpenseNumberTakenAgainAtTheMomentOfSavingGoesToTheNextNumber)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    saveExpense("Hielo", "20000");
    // Register 3 saves its first expense, with the number this register is writing, in the very
    // moment this one writes it (a transaction of its own, committed before this insert ends).
    db->exec("CREATE TRIGGER T_OTRA_CAJA FOR POSPAGOSCAJA BEFORE INSERT AS BEGIN "
             "IF (NEW.CAJA <> 3 AND NOT EXISTS (SELECT 1 FROM POSPAGOSCAJA WHERE CAJA = 3)) THEN "
             "IN AUTONOMOUS TRANSACTION DO "
             "INSERT INTO POSPAGOSCAJA (ITEM, CAJA, CAJERO, FECHA, VALOR) VALUES (NEW.ITEM, 3, 33, CURRENT_TIMESTAMP, 1); "
             "END");
    saveExpense("Bolsas", "3500");
    QStringList stored;
    QSqlQuery q = db->exec("SELECT ITEM, CAJA, VALOR FROM POSPAGOSCAJA ORDER BY ITEM");
    while (q.next())
        stored << QStringLiteral("%1 %2 %3").arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toDouble());
    EXPECT_EQ(stored, QStringList({"1 1 20000", "2 3 1", "3 1 3500"}));
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << qPrintable(dialogs.texts().join('|'));
}

}  // namespace
