// Corrections of earlier documents from the sale screen's menu and the supervisor sign-ins that
// allow them: who may sign in, voiding only after the cashier saw which document it is, reprints
// that change nothing, and the change window's rules (a product looked up again only when its code
// was changed). None of them leaves the sales module off the document being sold.
#include "ShopFixture.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"
#include "../platform/EnvScope.h"

#include "platform/DbGrid.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaSupervisor.h"
#include "pos/UntVentaPermiso.h"

#include <QDir>
#include <functional>
#include <QLineEdit>
#include <QPushButton>

using namespace kv;
using kvtest::SaleLine;

namespace {

class CorrectionsTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, CAMBIAPRECIO) VALUES "
                 "(44, 'SUPERVISORA', 'Sup44', 'S', 1, 'S', 'S')");
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, CAMBIAPRECIO) VALUES "
                 "(55, 'JEFE', 'j55', 'J', 1, 'S', 'N')");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 11600, CODIGOBARRAS = '7701' WHERE PRODUCTO = 1");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 2000, CODIGOBARRAS = '7704' WHERE PRODUCTO = 4");
        db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR) VALUES (1, 'DO', 12, 130000)");
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        // Document 1: two dozen rice repriced by hand and a coffee; document 2 is being sold.
        ASSERT_EQ(kvtest::startDocument(*dm), 1);
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 1, .precio = 120000, .cantidad = 2, .unidad = "DO"}));
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1500, .cantidad = 3}));
        ASSERT_EQ(kvtest::startDocument(*dm), 2);
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000}));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    int current() { return dm->TIniFac.FieldByName("CONSECUTIVO").asInteger(); }
    double stored(const QString& sql) { return db->scalar(sql).toDouble(); }

    std::unique_ptr<TDmVentas> dm;
};

TEST_F(CorrectionsTest, OnlyTheRightPersonWithTheRightPasswordGetsPermission)
{
    struct Case {
        const char* cedula;
        const char* clave;
        const char* expected;  // message shown; empty when granted
        double signedOn;
    };
    const Case cases[] = {
        {"999", "x", "Cajero no existe! Por favor Verifique su login", 11},
        {"abc", "x", "Cajero no existe! Por favor Verifique su login", 11},
        {"44", "sup44", "Clave no Corresponde", 11},  // case counts
        {"12", "1", "No se pueden hacer Modificaciones Sin Nivel de Supervisor o Jefe", 11},
        {"44", "Sup44", "", 44},
        {"55", "j55", "", 55},
    };
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA) VALUES (12, 'VENDEDOR', '1', 'V', 1)");
    for (const Case& c : cases) {
        ASSERT_TRUE(dm->signOn(11));
        dialogs.clear();
        TFrmVentaPermiso w(*dm);
        kvtest::showActive(&w);
        kvtest::typeInto(w.EditCedula, c.cedula);
        kvtest::typeInto(w.EditClave, c.clave);
        w.BtnOK->click();
        EXPECT_EQ(dialogs.last(), c.expected) << c.cedula;
        EXPECT_EQ(w.isVisible(), *c.expected != 0) << c.cedula;
        EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), c.signedOn) << c.cedula;
    }
    // The hand-back: any cashier signs in again and is the one signed on.
    TFrmVentaPermiso1 back(*dm);
    kvtest::showActive(&back);
    kvtest::typeInto(back.EditCedula, "11");
    kvtest::typeInto(back.EditClave, "1", true);
    EXPECT_FALSE(back.isVisible());
    EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
}

TEST_F(CorrectionsTest, EscInTheIdentityBoxAfterASupervisorsNumberGrantsNothing)
{
    dialogs.answers = {true};  // "Salir Para Cambiar Usuario": Yes
    kvtest::whenShown<TFrmVentaPermiso>([](TFrmVentaPermiso* w) {
        kvtest::typeInto(w->EditCedula, "44", true);
        EXPECT_TRUE(w->EditClave->hasFocus());  // found: on to the password
        w->EditCedula->setFocus();
        QTest::keyClick(w->EditCedula, Qt::Key_Escape);
    });
    EXPECT_FALSE(TFrmVentaPermiso::Pedir(*dm, nullptr));
    EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Salir Para Cambiar Usuario"});
}

TEST_F(CorrectionsTest, TheOrderScreensSupervisorWindowOpensTheChangesOnlyForASupervisor)
{
    int opened = 0;
    TFrmVentaCajaSupervisor w(*dm, [&] { ++opened; });
    kvtest::showActive(&w);
    kvtest::typeInto(w.EditCedula, "11");
    kvtest::typeInto(w.EditClave, "1", true);  // Enter in the password box checks too
    EXPECT_EQ(dialogs.last(), "Nivel Bajo");
    EXPECT_TRUE(w.EditCedula->hasFocus());
    kvtest::typeInto(w.EditCedula, "44");
    kvtest::typeInto(w.EditClave, "Sup44", true);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(CorrectionsTest, NoPermissionWindowLetsInAnInactiveOrAWaitingPerson)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, ACTIVO) VALUES "
             "(66, 'SUPERVISOR RETIRADO', 'Sup66', 'S', 1, 'N')");
    const std::function<std::unique_ptr<PermissionWindow>()> windows[] = {
        [this] { return std::make_unique<TFrmVentaPermiso>(*dm); },
        [this] { return std::make_unique<TFrmVentaPermiso1>(*dm); },
        [this] { return std::make_unique<TFrmVentaCajaSupervisor>(*dm, [] {}); },
    };
    auto tryIn = [this](PermissionWindow& w, const char* cedula, const char* clave) {
        kvtest::showActive(&w);
        kvtest::typeInto(w.EditCedula, cedula);
        kvtest::typeInto(w.EditClave, clave);
        w.BtnOK->click();
    };
    auto lastTrail = [this] {
        return db->scalar("SELECT FIRST 1 EVENTO || '|' || CAST(CAJA AS INTEGER) || '|' || CAST(CAJERO AS INTEGER) || '|' || DETALLE "
                          "FROM POSBITACORA "
                          "ORDER BY ID DESC")
            .toString();
    };
    for (const auto& make : windows) {
        ASSERT_TRUE(dm->signOn(11));
        db->exec("DELETE FROM POSFALLOSINGRESO");
        const std::unique_ptr<PermissionWindow> w = make();
        const QString place = w->objectName() == "FrmVentaPermiso"    ? "Permiso Para Cambios"
                              : w->objectName() == "FrmVentaPermiso1" ? "Regreso del cajero"
                                                                       : "Supervisor";
        SCOPED_TRACE(place.toStdString());
        dialogs.clear();
        tryIn(*w, "66", "Sup66");
        EXPECT_EQ(dialogs.last(), "Cajero inactivo");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
        // Where: the register of the cashier at the screen that asked.
        EXPECT_EQ(lastTrail(), "INGRESO FALLIDO|1|66|" + place + ": Cajero inactivo");

        // Three wrong passwords in a row, and even the right one waits.
        for (const char* wrong : {"a", "b", "c"})
            tryIn(*w, "44", wrong);
        EXPECT_EQ(dialogs.last(), "Clave no Corresponde");
        tryIn(*w, "44", "Sup44");
        EXPECT_TRUE(dialogs.last().startsWith("Demasiados intentos fallidos. Espere ")) << dialogs.last().toStdString();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);

        db->exec("UPDATE POSFALLOSINGRESO SET ULTIMOFALLO = DATEADD(-31 SECOND TO ULTIMOFALLO)");
        tryIn(*w, "44", "Sup44");
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 44);
        EXPECT_EQ(lastTrail(), "INGRESO|1|44|" + place);
    }
}

TEST_F(CorrectionsTest, VoidingNamesTheDocumentFirstAndLeavesTheSaleInProgressAlone)
{
    const double neto1 = stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1");
    ASSERT_EQ(neto1, 244500);
    // A number that does not exist, text that is no number, a No: nothing changes.
    dialogs.inputs = {QString("7"), QString("uno"), QString("1")};
    dialogs.answers = {false};
    AnulaFacturas(*dm, nullptr);
    AnulaFacturas(*dm, nullptr);
    AnulaFacturas(*dm, nullptr);
    EXPECT_EQ(dialogs.texts("message"), QStringList({"Factura No Existe", "Factura No Existe"}));
    EXPECT_EQ(dialogs.texts("confirm"),
              QStringList{"¿Anular la factura 1 de CLIENTES VARIOS (222,222,222) por 244,500.00? La anulación no se puede "
                          "deshacer."});
    EXPECT_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1"), neto1);

    dialogs.clear();
    dialogs.inputs = {QString("1")};
    dialogs.answers = {true};
    AnulaFacturas(*dm, nullptr);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = 1"), 0);
    EXPECT_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1"), 0);
    // The screen is still on document 2 and its next line goes there.
    EXPECT_EQ(current(), 2);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 500}));
    EXPECT_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = 2"), 1500);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = 1"), 0);
}

TEST_F(CorrectionsTest, AReprintPrintsTheFoundDocumentAndChangesNothing)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    dialogs.inputs = {QString("1"), QString("9"), std::nullopt};
    ReimprimeFactura(*dm, InvoicePaper::Roll, nullptr);
    ReimprimeFactura(*dm, InvoicePaper::Letter, nullptr);
    ReimprimeFactura(*dm, InvoicePaper::Letter, nullptr);  // cancelled
    EXPECT_EQ(QDir(out.path()).entryList({"*.pdf"}).size(), 1);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Factura No Existe"});
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS IS NOT NULL"), 0);
}

TEST_F(CorrectionsTest, TheChangeWindowKeepsHandPricesAndRepricesOnlyAChangedProduct)
{
    // Without the privilege the menu entry opens nothing and says why.
    CambiaFactura(*dm, nullptr);
    EXPECT_EQ(dialogs.texts(),
              QStringList{"Usted no tiene permiso para cambiar precios; pida a un supervisor que cambie la factura."});
    dialogs.clear();

    db->exec("UPDATE POSCAJEROS SET CAMBIAPRECIO = 'S' WHERE CEDULA = 11");
    dm->TCajero.RefreshRecord();
    dialogs.inputs = {QString("1")};
    kvtest::whenShown<TFrmVentaCajaCambio>([this](TFrmVentaCajaCambio* w) {
        DbGrid* g = w->DBGrid1;
        QAbstractItemModel* m = g->model();
        auto at = [&](int row, const char* field) { return m->index(row, w->column(field)); };
        // Line 1, two dozen at 120,000 by hand: three dozen keep the hand price and the dozen.
        g->setCurrentIndex(at(0, "BUSCADOR"));
        QTest::keyClick(g, Qt::Key_Down);  // the arrows move on along the line
        EXPECT_EQ(g->currentIndex(), at(0, "NombreArticulo"));
        g->setCurrentIndex(at(0, "CANTIDAD"));
        m->setData(at(0, "CANTIDAD"), 3);
        QTest::keyClick(g, Qt::Key_Return);
        // Line 2: an unknown code sends the cursor back; the rice's barcode replaces the coffee.
        g->setCurrentIndex(at(1, "BUSCADOR"));
        m->setData(at(1, "BUSCADOR"), "NOEXISTE");
        g->setCurrentIndex(at(1, "CANTIDAD"));
        QCoreApplication::processEvents();
        EXPECT_EQ(g->currentIndex(), at(1, "BUSCADOR"));
        m->setData(at(1, "BUSCADOR"), "7701");
        g->setCurrentIndex(at(1, "CANTIDAD"));
        QCoreApplication::processEvents();
        EXPECT_EQ(g->currentIndex(), at(1, "CANTIDAD"));
        QTest::keyClick(g, Qt::Key_Escape);  // closes; the pending line is stored first
    });
    CambiaFactura(*dm, nullptr);
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << qPrintable(dialogs.texts().join("|"));

    QSqlQuery q = db->exec("SELECT LINEA, PRODUCTO, BUSCADOR, UNIDADMOVIMIENTO, CANTIDAD, PRECIOUNIDAD, SUBTOTAL, VALORIVA "
                           "FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = 1 ORDER BY LINEA");
    QStringList lines;
    while (q.next())
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                     .arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toString().trimmed(),
                          q.value(3).toString().trimmed()).arg(q.value(4).toDouble()).arg(q.value(5).toDouble())
                     .arg(q.value(6).toDouble()).arg(q.value(7).toDouble());
    EXPECT_EQ(lines, QStringList({"1 1 1 DO 3 120000 360000 0", "2 1 7701 UN 3 11600 34800 4800"}));
    EXPECT_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1"), 394800);
    EXPECT_EQ(current(), 2);  // back on the document being sold
}

TEST_F(CorrectionsTest, AVoidedBillCountsNoGuests)
{
    db->exec("UPDATE POSMOVIMIENTO SET PERSONAS = 4 WHERE CONSECUTIVO = 1");
    db->exec("UPDATE POSMOVIMIENTO SET PERSONAS = 2 WHERE CONSECUTIVO = 2");
    ASSERT_TRUE(voidDocument(*dm, {"01", "POS", 1}));
    EXPECT_EQ(stored("SELECT SUM(PERSONAS) FROM POSMOVIMIENTO"), 2);  // what "TOTAL Personas" adds
}

TEST_F(CorrectionsTest, AnErrorGoingBackToTheDocumentBeingSoldIsShownAndTheProgramGoesOn)
{
    db->exec("UPDATE POSCAJEROS SET CAMBIAPRECIO = 'S' WHERE CEDULA = 11");
    ASSERT_TRUE(dm->signOn(11));
    dialogs.inputs = {QString("1")};
    kvtest::whenShown<TFrmVentaCajaCambio>([this](TFrmVentaCajaCambio* w) {
        // Something the header cannot store is pending when the window closes: going back to
        // document 2 must first store it, and the database layer refuses.
        dm->TIniFac.Edit();
        dm->TIniFac["BODEGA"] = QVariant();
        QTest::keyClick(w->DBGrid1, Qt::Key_Escape);
    });
    CambiaFactura(*dm, nullptr);  // used to end the program from a destructor
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_TRUE(dialogs.texts("error").first().contains("BODEGA")) << qPrintable(dialogs.texts("error").first());
    dm->TIniFac.Cancel();
    EXPECT_EQ(stored("SELECT BODEGA FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1"), 3);
}

TEST_F(CorrectionsTest, ACorrectedPaidDocumentKeepsItsDiscountAndServiceChargeAndOnlyTheChangeWindowChangesIt)
{
    // Document 1 (244,500) paid with 10 % off and a 10 % service charge.
    ASSERT_TRUE(dm->openDocument("01", "POS", 1));
    dm->TIniFac.Edit();
    dm->TIniFac["DESCUENTO"] = 24450.0;
    dm->TIniFac["PROPINA"] = 10.0;
    dm->TIniFac["VALORPROPINA"] = 24450.0;
    ASSERT_EQ(dm->closeWithPayment(11).kind, DocumentModule::ClosingOutcome::Closed);
    ASSERT_TRUE(dm->openDocument("01", "POS", 2));

    // "Cambios a la Factura": the coffee goes from 3 to 1.
    db->exec("UPDATE POSCAJEROS SET CAMBIAPRECIO = 'S' WHERE CEDULA = 11");
    dm->TCajero.RefreshRecord();
    dialogs.inputs = {QString("1")};
    kvtest::whenShown<TFrmVentaCajaCambio>([](TFrmVentaCajaCambio* w) {
        DbGrid* g = w->DBGrid1;
        const QModelIndex cantidad = g->model()->index(1, w->column("CANTIDAD"));
        g->setCurrentIndex(cantidad);
        g->model()->setData(cantidad, 1);
        QTest::keyClick(g, Qt::Key_Return);
        QTest::keyClick(g, Qt::Key_Escape);
    });
    CambiaFactura(*dm, nullptr);
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << qPrintable(dialogs.texts().join("|"));
    const QString doc1 = QStringLiteral("FROM POSMOVIMIENTO WHERE CONSECUTIVO = 1");
    EXPECT_EQ(stored("SELECT NETO " + doc1), 241500);
    EXPECT_EQ(stored("SELECT DESCUENTO " + doc1), 24450);      // the payment's discount stays
    EXPECT_EQ(stored("SELECT VALORPROPINA " + doc1), 24150);   // 10 % of what is sold now
    EXPECT_EQ(stored("SELECT PAGO " + doc1), 241500);
    EXPECT_EQ(stored("SELECT COUNT(*) " + doc1 + " AND STATUS = 'I'"), 1);

    // Outside the change window the paid document takes nothing, whatever asks.
    ASSERT_TRUE(dm->openDocument("01", "POS", 1));
    dialogs.clear();
    EXPECT_THROW(kvtest::ringUp(*dm, {.producto = 4, .precio = 500}), DocumentClosed);
    EXPECT_EQ(stored("SELECT NETO " + doc1), 241500);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = 1"), 2);
}

}  // namespace
