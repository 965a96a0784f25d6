// The restaurant's screen on a real database: a table gets its bill, batches are added through the
// item picker with their kitchen tickets, the bill is collected through the payment window and the
// table freed; a table never loses its open bill to a second one, two stations add to one table
// safely, and a table's bill is found again after the program was closed.
#include "../RegisterFixture.h"
#include "../TaxTable.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/EnvScope.h"
#include "pos/UntVentasPagoVp.h"
#include "pos/variants/UntFacturacion.h"
#include "pos/variants/UntFacturacionVp.h"
#include "print/RollTicket.h"
#include "support/Keyboard.h"
#include "support/WindowKeys.h"
#include "support/PdfReading.h"

#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace kv;

namespace {

class RestaurantTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedRegister(*db);
        // The menu: ARROZ 11,600 with 16 % IVA included, VINO 10,000 with 16 % IVA not included,
        // ALMUERZO 15,000 with 8 % Ipoconsumo, all in the dishes' group.
        db->exec("UPDATE PRODUCTOS SET GRUPO = '02', SUBGRUPO = 201");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 10000 WHERE PRODUCTO = 2");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 15000 WHERE PRODUCTO = 3");
        db->exec("INSERT INTO SUBGRUPOS (SUBGRUPO, NOMBRE) VALUES (201, 'PLATOS')");
        for (const char* t : {"1", "2"})
            db->exec("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES ('SALON', :N, 0)", {{"N", t}});
        db->exec("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES ('TERRAZA', 'T1', 0)");
        db->exec("INSERT INTO MESERO (CEDULA, NOMBRE) VALUES (555, 'PEDRO PEREZ')");
        db->exec("UPDATE POSCAJEROS SET NIVEL = '2' WHERE CEDULA = 11");
        printDir = dir.filePath(QStringLiteral("impresos"));
        QDir().mkpath(printDir);
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", printDir.toUtf8());
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", dir.filePath(QStringLiteral("cajon.bin")).toUtf8());
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        screen = std::make_unique<TFrmFacturacion>(*dm);
        kvtest::showActive(screen.get());
    }
    void TearDown() override
    {
        screen.reset();
        dm.reset();
        DbTest::TearDown();
    }

    // Enter on a table of an area's grid.
    static void openTable(TFrmFacturacion& s, int area, int row)
    {
        kvtest::showActive(&s);
        s.PageMesas->setCurrentIndex(area);
        DbGrid* grid = s.DBGridMesas[area];
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QTest::keyClick(grid, Qt::Key_Return);
    }
    static void enterCustomer(TFrmFacturacion& s, const QString& nit = QStringLiteral("222222222"))
    {
        kvtest::showActive(&s);
        kvtest::typeInto(s.EditCliente, nit, true);
    }
    // "&+", the product found by the beginning of its name, the quantity and a note, then OK
    // (or Cancel).
    static void addBatch(TFrmFacturacion& s, const QString& name, int cantidad, const QString& nota = QString(),
                         bool ok = true)
    {
        kvtest::showActive(&s);
        kvtest::whenShown<TFrmFacturacionVp>([=](TFrmFacturacionVp* p) {
            kvtest::typeInto(p->EditBuscar, name);
            p->SpinCantidad->setValue(cantidad);
            kvtest::typeInto(p->EditObservacion, nota);
            if (ok)
                QTest::keyClick(p->EditBuscar, Qt::Key_Return);
            else
                p->BitBtn2->click();
        });
        s.BtnMas->click();
    }
    // "&Facturar": the money received and Enter; `yes` answers the payment window's question.
    void collect(TFrmFacturacion& s, bool yes)
    {
        kvtest::showActive(&s);
        dialogs.answers.push_back(yes);
        kvtest::whenShown<TFrmVentasPagoVp>([](TFrmVentasPagoVp* w) { kvtest::typeInto(w->EditRecibido, "100000", true); });
        s.BtnFacturar->click();
    }
    QVariant pedido(const char* numero = "1")
    {
        return db->scalar("SELECT PEDIDO FROM MESAS WHERE ESPACIO = 'SALON' AND NUMERO = :N", {{"N", numero}});
    }
    double stored(const QString& sql, const QVariantMap& p = {}) { return db->scalar(sql, p).toDouble(); }
    int documents() { return int(stored("SELECT COUNT(*) FROM POSMOVIMIENTO")); }
    int printed() const { return int(QDir(printDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }

    QString printDir;
    std::unique_ptr<EnvScope> printTo, raw;
    std::unique_ptr<TDmVentas> dm;
    std::unique_ptr<TFrmFacturacion> screen;
};

TEST_F(RestaurantTest, ATableGetsItsBillTakesBatchesWithKitchenTicketsAndIsFreedWhenPaid)
{
    EXPECT_EQ(screen->PageMesas->tabText(0), "SALON");
    EXPECT_EQ(screen->PageMesas->tabText(1), "TERRAZA");
    EXPECT_EQ(screen->PageMesas->tabText(2), "");
    openTable(*screen, 0, 0);
    EXPECT_FALSE(screen->documentOpen());
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    enterCustomer(*screen);
    ASSERT_TRUE(screen->documentOpen());
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    EXPECT_EQ(pedido().toInt(), numero);
    // The waiter and the number of guests are stored with the bill.
    screen->DBLookupMesero->setFocus();
    QTest::keyClick(screen->DBLookupMesero, Qt::Key_Down);
    kvtest::typeInto(screen->DBEditPersonas, "4", true);
    EXPECT_DOUBLE_EQ(stored("SELECT VENDEDOR FROM POSMOVIMIENTO"), 555);
    EXPECT_DOUBLE_EQ(stored("SELECT PERSONAS FROM POSMOVIMIENTO"), 4);

    addBatch(*screen, "ARR", 2, "sin sal");
    addBatch(*screen, "ALM", 1);
    EXPECT_EQ(printed(), 2);  // one kitchen ticket per batch
    // Each names the table and the waiter.
    for (const QString& pdf : QDir(printDir).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
        const QString text = kvtest::pdfText(QDir(printDir).filePath(pdf)).simplified();
        EXPECT_TRUE(text.contains("SALON Mesa 1")) << text.toStdString();
        EXPECT_TRUE(text.contains("Mesero PEDRO PEREZ")) << text.toStdString();
    }
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", numero}}), 2);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}), 23200 + 15000);
    // The Ipoconsumo is inside the dish's price: 15,000 is 13,889 and 1,111 of tax.
    EXPECT_DOUBLE_EQ(stored("SELECT VALORIPOCONSUMO FROM POSMOVIMIENTODETALLE WHERE PRODUCTO = 3"), 1111);

    // The guest is not done yet: No at the payment window keeps the table's bill open.
    collect(*screen, false);
    EXPECT_TRUE(screen->documentOpen());
    EXPECT_EQ(pedido().toInt(), numero);
    collect(*screen, true);
    EXPECT_FALSE(screen->documentOpen());
    EXPECT_EQ(pedido().toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).toString().trimmed(), "I");
}

TEST_F(RestaurantTest, EveryActionHasAKeyOfItsOwn)
{
    const kvtest::WindowKeys keys = kvtest::windowKeys(screen.get());
    EXPECT_EQ(keys.clashes, QStringList()) << keys.clashes.join('|').toStdString();
    EXPECT_EQ(keys.keyless, QStringList()) << keys.keyless.join('|').toStdString();
}

TEST_F(RestaurantTest, TheKitchenTicketSaysWhatHowManyForWhichBillAndTable)
{
    const Document doc = renderKitchenTicket(
        {3, "ALMUERZO", "sin cebolla", 17, "SALON Mesa 1", QDateTime({2026, 1, 5}, {13, 45}), "PEDRO PEREZ"});
    EXPECT_EQ(doc.pageCount(), 1);
    EXPECT_NEAR(doc.pageSize.width(), 72.76, 0.01);
    EXPECT_EQ(doc.named("COMANDA")->text, "COMANDA");
    EXPECT_EQ(doc.named("CANTIDAD")->text, "3");
    EXPECT_EQ(doc.named("NOMBRE")->text, "ALMUERZO sin cebolla");
    EXPECT_EQ(doc.named("FACTURA")->text, "Factura 17");
    EXPECT_EQ(doc.named("MESA")->text, "SALON Mesa 1");
    EXPECT_EQ(doc.named("MESERO")->text, "Mesero PEDRO PEREZ");
    EXPECT_EQ(doc.named("HORA")->text, "13:45:00");
    // A bill without a waiter prints no waiter line.
    EXPECT_EQ(renderKitchenTicket({1, "TINTO", "", 18, "SALON Mesa 2", QDateTime({2026, 1, 5}, {13, 50}), QString()})
                  .named("MESERO"),
              nullptr);
}

TEST_F(RestaurantTest, TheBillCarriesEachDishsTaxesInsideOrAddedToItsPrice)
{
    kvtest::seedTaxTable(*db);
    dm->TProductos.Refresh();  // the register reads the catalogue as it is now
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    for (const kvtest::TaxCase& c : kvtest::kTaxCases)
        addBatch(*screen, QString::fromLatin1(c.nombre).left(3), 1);
    kvtest::expectTaxesAddUp(*db, numero);
}

TEST_F(RestaurantTest, CancellingThePickerOrLeavingTheQuantityAtZeroAddsNothingAndSendsNothing)
{
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    addBatch(*screen, "ARR", 2, QString(), false);
    kvtest::whenShown<TFrmFacturacionVp>([](TFrmFacturacionVp* p) {
        kvtest::typeInto(p->EditBuscar, "ARR", true);  // quantity untouched: 0
        EXPECT_TRUE(p->isVisible());
        p->BitBtn2->click();
    });
    screen->BtnMas->click();
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Digite la cantidad"});
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 0);
    EXPECT_EQ(printed(), 0);
}

TEST_F(RestaurantTest, AnOpenBillIsNeverReplacedAndAClosedOneLeavesTheTableFree)
{
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    const int first = dm->TIniFac["CONSECUTIVO"].asInteger();
    addBatch(*screen, "ARR", 1);
    // The customer typed again on the occupied table: the same bill stays, no second one.
    enterCustomer(*screen);
    EXPECT_EQ(documents(), 1);
    EXPECT_EQ(pedido().toInt(), first);
    EXPECT_TRUE(dialogs.last().contains("ya tiene abierta la factura")) << dialogs.last().toStdString();
    EXPECT_TRUE(screen->documentOpen());

    // The bill is collected at another register: the table shows free and takes a new bill.
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I' WHERE CONSECUTIVO = :N", {{"N", first}});
    openTable(*screen, 0, 0);
    EXPECT_FALSE(screen->documentOpen());
    EXPECT_EQ(pedido().toInt(), 0);
    enterCustomer(*screen);
    EXPECT_EQ(documents(), 2);
    EXPECT_EQ(pedido().toInt(), first + 1);
}

TEST_F(RestaurantTest, ATableLostToAnotherStationGivesUpItsEmptyBillAndShowsTheOthers)
{
    // Another station has a bill open, and gives it to table 1 just after this one started its own.
    Connection otherDb(QStringLiteral("Mesero"));
    otherDb.setLocation(db->location());
    TDmVentas otherDm(otherDb);
    ASSERT_TRUE(otherDm.signOn(11));
    const int theirs = kvtest::startDocument(otherDm);
    openTable(*screen, 0, 0);
    ASSERT_FALSE(screen->documentOpen());
    dm->TIniFac.AfterPost = [&](Dataset& ds) {
        ds.AfterPost = nullptr;
        otherDb.exec("UPDATE MESAS SET PEDIDO = :N, EMPRESA = '01', DOCUMENTO = 'POS' WHERE ESPACIO = 'SALON' AND "
                     "NUMERO = '1'",
                     {{"N", theirs}});
    };
    enterCustomer(*screen);
    EXPECT_EQ(dialogs.texts("message"),
              QStringList{"Otra caja acaba de abrir una factura para esta mesa; se muestra esa factura."});
    EXPECT_EQ(documents(), 1);  // the empty bill started here was given up
    EXPECT_EQ(pedido().toInt(), theirs);
    ASSERT_TRUE(screen->documentOpen());
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), theirs);
}

TEST_F(RestaurantTest, TheBillAndItsTableAreStoredTogetherOrNotAtAll)
{
    // The table cannot be marked (the database refuses it, as a crash between the two would): the
    // bill started for it is not stored either, and its number is not used up.
    db->exec("CREATE EXCEPTION E_MESA_FALLA 'la mesa no se pudo marcar'");
    db->exec("CREATE TRIGGER T_MESA_FALLA FOR MESAS BEFORE UPDATE AS BEGIN IF (NEW.PEDIDO > 0) THEN EXCEPTION "
             "E_MESA_FALLA; END");
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(documents(), 0);
    EXPECT_EQ(pedido().toInt(), 0);
    EXPECT_FALSE(screen->documentOpen());

    db->exec("DROP TRIGGER T_MESA_FALLA");
    enterCustomer(*screen);
    ASSERT_TRUE(screen->documentOpen());
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), 1);
    EXPECT_EQ(pedido().toInt(), 1);
}

TEST_F(RestaurantTest, ATablesBillIsFoundByItsOwnKeyAfterASignOnChoseAnotherDocumentType)
{
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    addBatch(*screen, "ARR", 1);
    // A sign-on chooses another document type for the company; this station signs on again.
    db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, MONEDA) VALUES ('PFE', 'FACTURA ELECTRONICA', 'COP')");
    db->exec("UPDATE POSESQUEMA SET DOCUMENTO = 'PFE' WHERE LLAVE = 1");
    ASSERT_TRUE(dm->signOn(11));
    dialogs.clear();
    openTable(*screen, 0, 1);
    openTable(*screen, 0, 0);
    ASSERT_TRUE(screen->documentOpen());
    EXPECT_TRUE(dialogs.shown.empty()) << qPrintable(dialogs.texts().join('|'));
    EXPECT_EQ(dm->TIniFac["DOCUMENTO"].asString(), "POS");
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), numero);
    EXPECT_EQ(pedido().toInt(), numero);
    // Collected, the bill frees its table.
    collect(*screen, true);
    EXPECT_EQ(pedido().toInt(), 0);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE DOCUMENTO = 'POS' AND STATUS = 'I'"), 1);
}

TEST_F(RestaurantTest, TwoWaitersStationsOnOneTableKeepEveryLineAndTheRightTotal)
{
    Connection otherDb(QStringLiteral("Mesero"));
    otherDb.setLocation(db->location());
    TDmVentas otherDm(otherDb);
    ASSERT_TRUE(otherDm.signOn(11));
    TFrmFacturacion other(otherDm);
    // The other station looks at the table while it is still free...
    openTable(other, 0, 0);
    EXPECT_FALSE(other.documentOpen());
    // ...this one opens its bill, and the other's customer Enter finds it instead of a second bill.
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    enterCustomer(other);
    EXPECT_EQ(documents(), 1);
    ASSERT_TRUE(other.documentOpen());
    for (int i = 0; i < 2; ++i) {
        addBatch(*screen, "ARR", 1);
        addBatch(other, "TIN", 2);
    }
    EXPECT_EQ(stored("SELECT COUNT(DISTINCT LINEA) FROM POSMOVIMIENTODETALLE"), 4);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 2 * 11600 + 2 * 2 * 2000);
    EXPECT_DOUBLE_EQ(otherDm.TIniFac["NETO"].asFloat(), 31200);
}

TEST_F(RestaurantTest, ATablesBillIsFoundAgainAfterTheProgramWasClosed)
{
    openTable(*screen, 1, 0);
    enterCustomer(*screen);
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    addBatch(*screen, "ALM", 2);
    screen.reset();
    dm.reset();
    db->close();

    Connection again(QStringLiteral("Otra vez"));
    again.setLocation(db->location());
    TDmVentas dm2(again);
    ASSERT_TRUE(dm2.signOn(11));
    TFrmFacturacion s(dm2);
    openTable(s, 1, 0);
    ASSERT_TRUE(s.documentOpen());
    EXPECT_EQ(dm2.TIniFac["CONSECUTIVO"].asInteger(), numero);
    EXPECT_DOUBLE_EQ(dm2.TIniFac["NETO"].asFloat(), 30000);
    EXPECT_EQ(dm2.TFac.recordCount(), 1);
}

TEST_F(RestaurantTest, ABillPaidElsewhereWhileThePickerIsOpenTakesNoDishAndSendsNoTicket)
{
    openTable(*screen, 0, 0);
    enterCustomer(*screen);
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    addBatch(*screen, "ARR", 1);
    ASSERT_EQ(printed(), 1);
    dialogs.clear();
    kvtest::whenShown<TFrmFacturacionVp>([&](TFrmFacturacionVp* p) {
        // While the waiter picks, the table's bill is collected at another register.
        Connection cashier(QStringLiteral("Caja"));
        cashier.setLocation(db->location());
        cashier.exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 22 WHERE CONSECUTIVO = :N", {{"N", numero}});
        kvtest::typeInto(p->EditBuscar, "ALM");
        p->SpinCantidad->setValue(2);
        QTest::keyClick(p->EditBuscar, Qt::Key_Return);
    });
    screen->BtnMas->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.texts("error"),
              QStringList{QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada); no se guardó nada.").arg(numero)});
    EXPECT_EQ(printed(), 1);  // no COMANDA for a dish nobody will pay
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE"), 1);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 11600);
    EXPECT_EQ(pedido().toInt(), 0);  // the table is free
    EXPECT_FALSE(screen->documentOpen());
}

// The demo restaurant as its cashier meets it: the salon's tables in number order, and the item
// picker opening on dishes.
class RestaurantOnDemoTest : public kvtest::DemoDbTest {};

TEST_F(RestaurantOnDemoTest, TablesComeInNumberOrderAndThePickerOpensOnDishes)
{
    TDmVentas dm(*db);
    ASSERT_TRUE(dm.signOn(8));  // the demo's restaurant cashier
    TFrmFacturacion screen(dm);
    kvtest::showActive(&screen);
    QStringList salon;
    for (int row = 0; row < screen.DBGridMesas[0]->model()->rowCount(); ++row)
        salon << screen.DBGridMesas[0]->model()->index(row, 0).data().toString().trimmed();
    EXPECT_EQ(salon, QStringList({"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}));

    TFrmFacturacionVp picker(*db, "1", "SALON PRINCIPAL Mesa 01");
    EXPECT_EQ(picker.ComboGrupo->currentText(), "DESAYUNOS");
    ASSERT_GT(picker.DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(picker.TbProductos.FieldByName("IPOCONSUMO").asFloat(), 8);  // a dish, not a shop good
}

}  // namespace
