// The main register screen driven from the keyboard: a whole sale, the packing list, the prices
// of a line (lists, discount steps, asked and open prices), bad input, a database error in the
// middle of a line, line changes and what they write back into the catalogue.
#include "RegisterFixture.h"
#include "TaxTable.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaEgresos.h"
#include "pos/UntVentaCajaIncio.h"
#include "pos/UntVentaPermiso.h"
#include "pos/UntVentasPagoVp.h"
#include "support/WindowKeys.h"

#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>

using namespace kv;
using kvtest::typeInto;

namespace {

class SaleScreenTest : public kvtest::RegisterTest {
protected:
    struct Line {
        int producto;
        QString unidad;
        double cantidad, recibida, precio, subtotal, iva;
        QString observacion;
    };
    std::vector<Line> storedLines()
    {
        QSqlQuery q = db->exec("SELECT PRODUCTO, UNIDADMOVIMIENTO, CANTIDAD, CANTIDADRECIBIDA, PRECIOUNIDAD, SUBTOTAL, "
                               "VALORIVA, OBSERVACION FROM POSMOVIMIENTODETALLE ORDER BY LINEA");
        std::vector<Line> out;
        while (q.next())
            out.push_back({q.value(0).toInt(), q.value(1).toString().trimmed(), q.value(2).toDouble(), q.value(3).toDouble(),
                           q.value(4).toDouble(), q.value(5).toDouble(), q.value(6).toDouble(),
                           q.value(7).toString().trimmed()});
        return out;
    }
    double neto() { return stored("SELECT NETO FROM POSMOVIMIENTO"); }
};

TEST_F(SaleScreenTest, EveryLineCarriesItsProductsTaxesAndAnIvaLeftOutOfThePriceIsCharged)
{
    kvtest::seedTaxTable(*db);
    dm->TProductos.Refresh();  // the register reads the catalogue as it is now
    startSale();
    const int numero = dm->TIniFac["CONSECUTIVO"].asInteger();
    for (const kvtest::TaxCase& c : kvtest::kTaxCases)
        ringUp(QString::number(c.producto));
    EXPECT_EQ(texts(), "");
    kvtest::expectTaxesAddUp(*db, numero);
}

TEST_F(SaleScreenTest, OpensOnNoDocumentRatherThanTheLastBillOfAnotherRegister)
{
    // The other company's register left the last bill in the headers' order before the program
    // started.
    db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, CLIENTE, NETO) "
             "VALUES ('02', 'PRS', 7, 2, 222222222, 5000)");
    screen.reset();
    dm = std::make_unique<TDmVentas>(*db);
    ASSERT_TRUE(dm->signOn(11));
    screen = std::make_unique<TFrmVentaCajaVp>(*dm);
    kvtest::showActive(screen.get());
    EXPECT_EQ(screen->DBTextFactura->text(), "");
    EXPECT_EQ(screen->DBTextNeto->text(), "");
    startSale();
    EXPECT_EQ(screen->DBTextFactura->text(), "1");
}

TEST_F(SaleScreenTest, AWholeSaleByKeyboardStoresWhatTheScreenShows)
{
    EXPECT_FALSE(screen->selling());
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    EXPECT_EQ(screen->EditCliente->text(), "222222222");
    startSale();
    ASSERT_TRUE(screen->selling());
    EXPECT_TRUE(screen->EditProducto->hasFocus());
    EXPECT_FALSE(screen->GroupCliente->isEnabled());
    EXPECT_EQ(screen->DBTextFactura->text(), "1");

    // The box or packing group with the focus is yellow, and only while it has it.
    const QColor yellow(255, 255, 0);
    EXPECT_EQ(screen->EditProducto->palette().color(QPalette::Base), yellow);
    typeInto(screen->EditProducto, "4", true);
    EXPECT_EQ(screen->RadioEmpaque->palette().color(QPalette::Window), yellow);
    EXPECT_NE(screen->EditProducto->palette().color(QPalette::Base), yellow);
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
    EXPECT_NE(screen->RadioEmpaque->palette().color(QPalette::Window), yellow);
    EXPECT_TRUE(screen->EditCantidad->hasFocus());
    screen->EditProducto->setFocus();

    ringUp("4", 1, "2");                   // two dozen of TINTO
    ringUp(kvtest::kArrozBarcode);         // a scan rings up at once: ARROZ, IVA included
    EXPECT_TRUE(screen->EditProducto->hasFocus());
    dialogs.inputs = {QString("1500")};    // VINO has no price yet: asked once
    ringUp("2");
    dialogs.inputs = {QString("8000"), QString("menu del dia")};
    ringUp("3");                           // open price and its description
    screen->RadioDescuento->button(1)->click();  // 5 %
    ringUp("5");                           // 10,001 less 5 % is R(9,500.95) = 9,501
    screen->RadioDescuento->button(0)->click();
    ringUp("2", 0, "3");                   // the price asked before serves again

    const std::vector<Line> l = storedLines();
    ASSERT_EQ(l.size(), 6u) << texts().toStdString();
    EXPECT_EQ(l[0].unidad, "DO");
    EXPECT_EQ(l[0].cantidad, 2);
    EXPECT_EQ(l[0].recibida, 24);
    EXPECT_EQ(l[0].precio, 24000);
    EXPECT_EQ(l[1].producto, 1);
    EXPECT_EQ(l[1].precio, 11600);
    EXPECT_EQ(l[1].iva, 1600);
    EXPECT_EQ(l[2].precio, 1500);
    EXPECT_EQ(l[3].precio, 8000);
    EXPECT_EQ(l[3].observacion, "menu del dia");
    EXPECT_EQ(l[4].precio, 9501);
    EXPECT_EQ(l[5].subtotal, 5220);  // VINO's price leaves its 16 % out: 4,500 + 720 of IVA
    EXPECT_EQ(stored("SELECT COUNT(*) FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 2 AND UNIDAD = 'UN' AND "
                     "VALORVENTAMOSTRADOR = 1500 AND VALORVENTAEMPRESA = 1500 AND CANTIDAD = 1"),
              1);
    EXPECT_EQ(neto(), 48000 + 11600 + 1740 + 8000 + 9501 + 5220);
    EXPECT_EQ(screen->DBTextNeto->text(), "84,061.00");
    EXPECT_EQ(screen->DBGrid1->model()->rowCount(), 6);
    EXPECT_TRUE(dialogs.texts("message").isEmpty()) << texts().toStdString();
}

TEST_F(SaleScreenTest, TheDiscountStepShowsWhileInForceAndTheNextCustomerStartsWithoutIt)
{
    // A seller who leaves the document for the collection register: Esc and "Terminar Factura?".
    setCashier("COBRA", "N");
    setCashier("IMPRIMIR", "N");
    startSale();
    EXPECT_EQ(screen->LabelDescuento->text(), "");
    screen->RadioDescuento->button(1)->click();  // 5 %
    EXPECT_EQ(screen->LabelDescuento->text(), "Descuento 5 % en cada producto");
    ringUp("5");
    ringUp("5");  // the step stays for the document's following products
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE PRECIOUNIDAD = 9501"), 2);
    EXPECT_FALSE(screen->DBTextDescripcion->text().isEmpty());
    dialogs.answers = {true};
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    ASSERT_FALSE(screen->selling());

    // The next customer: no step, nothing of the last product on show.
    startSale();
    ASSERT_TRUE(screen->selling());
    EXPECT_EQ(screen->RadioDescuento->itemIndex(), 0);
    EXPECT_EQ(screen->LabelDescuento->text(), "");
    EXPECT_EQ(screen->DBTextDescripcion->text(), "");
    EXPECT_EQ(screen->DBTextProducto->text(), "");
    ringUp("5");
    EXPECT_EQ(stored("SELECT PRECIOUNIDAD FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = 2"), 10001);
}

TEST_F(SaleScreenTest, EveryActionHasAKeyOfItsOwnAndAltLettersAreNeverTyped)
{
    // Alt with a letter is a command, never text in the customer's box.
    screen->EditCliente->setFocus();
    QTest::keyClick(screen->EditCliente, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(screen->EditCliente->text(), "222222222");
    bool expenses = false;
    kvtest::whenShown<TFrmVentaCajaEgresos>([&](TFrmVentaCajaEgresos* w) {
        expenses = true;
        w->reject();
    });
    QTest::keyClick(screen->EditCliente, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(expenses);
    EXPECT_EQ(screen->EditCliente->text(), "222222222");

    startSale();
    ringUp("4");
    TFrmVentasPagoVp pago(*dm, screen.get());
    TFrmVentaCajaArqueo arqueo(*dm, screen.get());
    TFrmVentaCajaEgresos egresos(*dm, screen.get());
    for (QWidget* w : std::initializer_list<QWidget*>{screen.get(), &pago, &arqueo, &egresos}) {
        SCOPED_TRACE(w->metaObject()->className());
        const kvtest::WindowKeys keys = kvtest::windowKeys(w);
        EXPECT_EQ(keys.clashes, QStringList()) << keys.clashes.join('|').toStdString();
        EXPECT_EQ(keys.keyless, QStringList()) << keys.keyless.join('|').toStdString();
    }

    // The cash count's Tab goes down the window, each date box once.
    kvtest::showActive(&arqueo);
    arqueo.DateTimePicker1->setFocus();
    QStringList walked;
    for (int i = 0; i < 6; ++i) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(walked, (QStringList{"DateTimePicker1", "DateTimePicker2", "ComboDocumento", "BtnVentasDiarias",
                                   "BtnVentasCajero", "BtnResumen"}));
}

TEST_F(SaleScreenTest, PackingsListTheBaseUnitFirstAndSellTheChosenItemsUnit)
{
    // The price list is chosen with the customer, before the document starts.
    screen->RadioPrecio->button(1)->click();
    startSale();
    typeInto(screen->EditProducto, "4", true);
    ASSERT_TRUE(screen->RadioEmpaque->hasFocus());
    ASSERT_EQ(screen->RadioEmpaque->count(), 2);
    EXPECT_EQ(screen->RadioEmpaque->item(0)->text(), "&Unidad *1 [2,000.00]");
    EXPECT_EQ(screen->RadioEmpaque->item(1)->text(), "&Docena *12 [24,000.00]");
    EXPECT_EQ(screen->RadioEmpaque->itemIndex(), 0);
    EXPECT_EQ(screen->PanelSaldo->text(), "Saldo =[30.00]");
    // The captions show the counter price, the line takes the company price. The underlined
    // letter chooses the dozen.
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_D);
    EXPECT_EQ(screen->RadioEmpaque->itemIndex(), 1);
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
    typeInto(screen->EditCantidad, "1", true);
    ringUp("4");  // the first item: one unit at the unit's company price
    const std::vector<Line> l = storedLines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].unidad, "DO");
    EXPECT_EQ(l[0].precio, 22000);
    EXPECT_EQ(l[1].unidad, "UN");
    EXPECT_EQ(l[1].precio, 1800);
    EXPECT_EQ(l[1].recibida, 1);
    // Today's sales come off the balance: 30 less 12 and 1.
    typeInto(screen->EditProducto, "4", true);
    EXPECT_EQ(screen->PanelSaldo->text(), "Saldo =[17.00]");
}

TEST_F(SaleScreenTest, BadInputIsRefusedWithAMessageAndStoresNothing)
{
    startSale();
    struct Case {
        const char* what;
        QString code;
        QString quantity;
        std::optional<QString> price;  // answer to the price box of VINO
        QString message;
    };
    const QString noProduct = "No existe el Producto";
    const Case cases[] = {
        {"letters", "abc", "1", {}, noProduct + "abc"},
        {"number and letter", "12a", "1", {}, noProduct + "12a"},
        {"unknown number", "999", "1", {}, noProduct + "999"},
        {"a quote", "1' OR '1'='1", "1", {}, noProduct + "1' OR '1'='1"},
        {"empty quantity", "4", "", {}, "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"a point", "4", ".", {}, "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"zero", "4", "0", {}, "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"price not a number", "2", "1", QString("12x"), "Precio no válido: digite el valor con números y punto"},
        // A decimal comma is neither 2.5 nor 25: refused, nothing written to the catalogue.
        {"price with a decimal comma", "2", "1", QString("2,5"), "Precio no válido: digite el valor con números y punto"},
        {"a barcode read into the quantity", "4", "7701234567890", {},
         "Cantidad no válida: una línea lleva como máximo 99,999 unidades"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        if (c.price)
            dialogs.inputs = {*c.price};
        ringUp(c.code, 0, c.quantity);
        EXPECT_EQ(dialogs.texts("message"), QStringList{c.message});
        EXPECT_TRUE(dialogs.texts("error").isEmpty()) << texts().toStdString();
        EXPECT_EQ(lines(), 0);
        screen->EditCantidad->setText("1");
    }
    // Letters and a minus never get into the quantity box.
    typeInto(screen->EditCantidad, "-2a.5");
    EXPECT_EQ(screen->EditCantidad->text(), "2.5");
    // The price box refused: no price row was made for VINO.
    EXPECT_EQ(stored("SELECT COUNT(*) FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 2"), 0);
}

TEST_F(SaleScreenTest, ADatabaseErrorInALineStoresNothingAndTheNextLineGoesIn)
{
    startSale();
    ringUp("4");
    db->exec("CREATE EXCEPTION E_LINEA 'linea rechazada por la base'");
    db->exec("CREATE TRIGGER T_LINEA FOR POSMOVIMIENTODETALLE BEFORE INSERT AS BEGIN IF (NEW.PRODUCTO = 1) THEN "
             "EXCEPTION E_LINEA; END");
    ringUp("1");
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("linea rechazada por la base"));
    EXPECT_EQ(lines(), 1);
    EXPECT_EQ(neto(), 2000);
    EXPECT_TRUE(screen->EditProducto->hasFocus());
    EXPECT_TRUE(screen->EditProducto->text().isEmpty());
    ringUp("4", 0, "2");
    EXPECT_EQ(lines(), 2);
    EXPECT_EQ(neto(), 6000);
    EXPECT_EQ(screen->DBTextNeto->text(), "6,000.00");
}

TEST_F(SaleScreenTest, StockControlRefusesMoreThanTheBalance)
{
    db->exec("UPDATE DOCUMENTOS SET CONTROLASALDO = 'S' WHERE DOCUMENTO = 'POS'");
    dm->TDocumentos.Refresh();
    startSale();
    ringUp("4", 1, "3");  // 36 units of 30
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Saldo Menor al Ofrecido 4"});
    EXPECT_EQ(lines(), 0);
    ringUp("4", 1, "2");  // 24 of 30
    EXPECT_EQ(lines(), 1);
}

// Changing a line: only a typed unit price that differs from what the line was sold at becomes
// the catalogue's price, for the line's own packing; the product's general price is a unit's.
TEST_F(SaleScreenTest, ALineChangeWritesBackOnlyANewPrice)
{
    setCashier("CAMBIAPRECIO", "S");
    startSale();
    screen->RadioDescuento->button(2)->click();  // 10 %: TINTO at 1,800
    ringUp("4");
    screen->RadioDescuento->button(0)->click();
    ringUp("4", 1);  // a dozen at 24,000

    auto change = [&](int row, const QString& cantidad, const QString& precio) {
        screen->DBGrid1->setFocus();
        screen->DBGrid1->setCurrentIndex(screen->DBGrid1->model()->index(row, 1));
        QTest::keyClick(screen->DBGrid1, Qt::Key_Return);
        ASSERT_TRUE(screen->GroupCambioPrecio->isVisible());
        ASSERT_TRUE(screen->EditCambioCantidad->hasFocus());
        typeInto(screen->EditCambioCantidad, cantidad, true);
        typeInto(screen->EditValorUnidad, precio, true);
    };
    auto catalogue = [&](const char* unidad) {
        return stored("SELECT VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 4 AND UNIDAD = :U",
                      {{"U", unidad}});
    };
    auto valorUnidad = [&] { return stored("SELECT VALORUNIDAD FROM PRODUCTOS WHERE PRODUCTO = 4"); };

    change(0, "3", "1800");  // the quantity alone: the discounted price stays on the line only
    EXPECT_EQ(stored("SELECT SUBTOTAL FROM POSMOVIMIENTODETALLE WHERE LINEA = 1"), 5400);
    EXPECT_EQ(catalogue("UN"), 2000);
    EXPECT_EQ(valorUnidad(), 2000);

    change(1, "1", "25000");  // the dozen repriced: the dozen's price, not the unit's
    EXPECT_EQ(catalogue("DO"), 25000);
    EXPECT_EQ(catalogue("UN"), 2000);
    EXPECT_EQ(valorUnidad(), 2000);

    change(0, "3", "2100");  // the unit repriced
    EXPECT_EQ(catalogue("UN"), 2100);
    EXPECT_EQ(valorUnidad(), 2100);
    EXPECT_EQ(neto(), 6300 + 25000);

    dialogs.clear();
    change(0, "0", "2100");  // a quantity of 0 is refused
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Cantidad no válida: digite un número distinto de 0"});
    EXPECT_EQ(stored("SELECT CANTIDAD FROM POSMOVIMIENTODETALLE WHERE LINEA = 1"), 3);

    // A return is asked first; Yes stores it, with its negative amount in the totals.
    dialogs.clear();
    dialogs.answers = {true};
    typeInto(screen->EditCambioCantidad, "-1", true);
    typeInto(screen->EditValorUnidad, "2100", true);
    EXPECT_EQ(dialogs.texts("confirm"), QStringList{"Devolver Producto Producto ?"});
    EXPECT_EQ(neto(), -2100 + 25000);
}

TEST_F(SaleScreenTest, ACashierWhoMayNotChangePricesNeedsASupervisorWhoHandsBackAfterTheChange)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, CAMBIAPRECIO) "
             "VALUES (44, 'SUPERVISORA', 'S44', 'S', 1, 'S', 'S')");
    startSale();
    ringUp("4");
    // A supervisor signs in: the change opens and the heading names her.
    kvtest::whenShown<TFrmVentaPermiso>([](TFrmVentaPermiso* w) {
        kvtest::typeInto(w->EditCedula, "44");
        kvtest::typeInto(w->EditClave, "S44", true);
    });
    screen->DBGrid1ChangeLine();  // what Enter or a double click on the line does
    ASSERT_TRUE(screen->GroupCambioPrecio->isVisible());
    EXPECT_EQ(screen->LabelCajero->text(), "SUPERVISORA");
    // After her change the cashier signs in again and sells on.
    kvtest::whenShown<TFrmVentaPermiso1>([](TFrmVentaPermiso1* w) {
        kvtest::typeInto(w->EditCedula, "11");
        kvtest::typeInto(w->EditClave, "1", true);
    });
    kvtest::typeInto(screen->EditValorUnidad, "2500", true);
    EXPECT_EQ(stored("SELECT PRECIOUNIDAD FROM POSMOVIMIENTODETALLE WHERE LINEA = 1"), 2500);
    EXPECT_EQ(screen->LabelCajero->text(), "CAJERO 11");
    EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
}

TEST_F(SaleScreenTest, TheSupervisorHandsBackHoweverTheChangeEnds)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, CAMBIAPRECIO) "
             "VALUES (44, 'SUPERVISORA', 'S44', 'S', 1, 'S', 'S')");
    startSale();
    ringUp("4");
    auto supervisorOpensTheChange = [&] {
        kvtest::whenShown<TFrmVentaPermiso>([](TFrmVentaPermiso* w) {
            kvtest::typeInto(w->EditCedula, "44");
            kvtest::typeInto(w->EditClave, "S44", true);
        });
        screen->DBGrid1ChangeLine();
        ASSERT_TRUE(screen->GroupCambioPrecio->isVisible());
        // Nothing else can be done under her name meanwhile.
        EXPECT_FALSE(screen->EditProducto->isEnabled());
        EXPECT_FALSE(screen->DBGrid1->isEnabled());
        EXPECT_FALSE(screen->AnulaFacturas1->isEnabled());
    };
    bool handedBack = false;
    auto cashierSignsBackIn = [&] {
        handedBack = false;
        kvtest::whenShown<TFrmVentaPermiso1>([&](TFrmVentaPermiso1* w) {
            handedBack = true;
            kvtest::typeInto(w->EditCedula, "11");
            kvtest::typeInto(w->EditClave, "1", true);
        });
    };
    auto cashierIsBack = [&] {
        EXPECT_TRUE(handedBack);
        EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
        EXPECT_EQ(screen->LabelCajero->text(), "CAJERO 11");
        EXPECT_FALSE(screen->GroupCambioPrecio->isVisible());
        EXPECT_TRUE(screen->EditProducto->isEnabled());
        EXPECT_TRUE(screen->AnulaFacturas1->isEnabled());
    };

    // "2,5" in "Valor Unidad" is refused and the change stays open; Esc then leaves it as it was.
    supervisorOpensTheChange();
    typeInto(screen->EditCambioCantidad, "1", true);
    typeInto(screen->EditValorUnidad, "2,5", true);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Precio no válido: digite el valor con números y punto"});
    EXPECT_TRUE(screen->GroupCambioPrecio->isVisible());
    cashierSignsBackIn();
    QTest::keyClick(screen->EditValorUnidad, Qt::Key_Escape);
    cashierIsBack();
    EXPECT_EQ(stored("SELECT PRECIOUNIDAD FROM POSMOVIMIENTODETALLE WHERE LINEA = 1"), 2000);
    EXPECT_EQ(stored("SELECT VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 4 AND UNIDAD = 'UN'"), 2000);

    // A change the database refuses (the line is gone at another station) hands back too.
    supervisorOpensTheChange();
    db->exec("DELETE FROM POSMOVIMIENTODETALLE");
    cashierSignsBackIn();
    typeInto(screen->EditCambioCantidad, "2", true);
    typeInto(screen->EditValorUnidad, "2500", true);
    EXPECT_EQ(dialogs.texts("error").size(), 1) << texts().toStdString();
    cashierIsBack();
}

// A product sold only by the pack: its first and only packing sells the pack, at the pack's price
// and with its units, instead of asking a price for a unit nobody sells.
TEST_F(SaleScreenTest, AFirstPackingThatIsNotTheUnitSellsItsOwnUnit)
{
    db->exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('PQ', 'Paquete')");
    db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA) "
             "VALUES (3, 'PQ', 6, 54000, 50000)");
    db->exec("DELETE FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 3 AND UNIDAD = 'UN'");
    startSale();
    typeInto(screen->EditProducto, "3", true);
    ASSERT_EQ(screen->RadioEmpaque->count(), 1);
    EXPECT_EQ(screen->RadioEmpaque->item(0)->text(), "&Paquete *6 [54,000.00]");
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
    typeInto(screen->EditCantidad, "2", true);
    const std::vector<Line> l = storedLines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].unidad, "PQ");
    EXPECT_EQ(l[0].precio, 54000);
    EXPECT_EQ(l[0].recibida, 12);
    EXPECT_TRUE(dialogs.texts("input").isEmpty());
    EXPECT_EQ(stored("SELECT COUNT(*) FROM PRODUCTOSVALORVENTA WHERE PRODUCTO = 3"), 1);
}

TEST_F(SaleScreenTest, TheGridDeletesALineAfterConfirmationAndAddsNone)
{
    startSale();
    ringUp("4");
    ringUp("4", 0, "2");
    screen->DBGrid1->setFocus();
    QTest::keyClick(screen->DBGrid1, Qt::Key_Down);  // below the last line: nothing is added
    QTest::keyClick(screen->DBGrid1, Qt::Key_Down);
    EXPECT_EQ(lines(), 2);
    dialogs.answers = {false};
    QTest::keyClick(screen->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(lines(), 2);
    dialogs.answers = {true};
    QTest::keyClick(screen->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(lines(), 1);
    EXPECT_EQ(neto(), dm->TFac["SUBTOTAL"].asFloat());
}

TEST_F(SaleScreenTest, ACustomerThatIsNoNitStartsNoDocument)
{
    startSale("abc");
    EXPECT_FALSE(screen->selling());
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    ASSERT_FALSE(dialogs.texts("message").isEmpty());
    EXPECT_EQ(dialogs.texts("message").last(), "Cliente no Existe");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTO").toInt(), 0);
}

TEST_F(SaleScreenTest, TheMenuEntriesOpenTheirWindowsAndLeaveTheSaleInProgress)
{
    startSale();
    ringUp("4");
    const int selling = dm->TIniFac.FieldByName("CONSECUTIVO").asInteger();
    // Reprint, change and void ask the number first; cancelled, they do nothing.
    dialogs.inputs = {std::nullopt, std::nullopt};
    screen->ReimprimeFactura1->trigger();
    screen->AnulaFacturas1->trigger();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    screen->CambiaFactura1->trigger();  // a cashier without CAMBIAPRECIO is told why nothing opens
    EXPECT_EQ(dialogs.shown.size(), 3u);
    kvtest::whenShown<TFrmVentaCajaEgresos>([](TFrmVentaCajaEgresos* w) { w->reject(); });
    screen->EgresoCaja1->trigger();
    kvtest::whenShown<TFrmVentaCajaArqueo>([](TFrmVentaCajaArqueo* w) { w->reject(); });
    screen->Informes1->trigger();
    EXPECT_EQ(dm->TIniFac.FieldByName("CONSECUTIVO").asInteger(), selling);
    dialogs.clear();
    setCashier("COBRA", "N");
    screen->Informes1->trigger();
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Usted No esta Autorizado"});
}

TEST_F(SaleScreenTest, OpeningTheScreenAsksTheOpeningAmountOnceADay)
{
    screen.reset();
    db->exec("DELETE FROM POSARQUEO");
    kvtest::whenShown<TFrmVentaCajaIncio>([](TFrmVentaCajaIncio* w) { kvtest::typeInto(w->EditIncio, "50000", true); });
    screen = std::make_unique<TFrmVentaCajaVp>(*dm);
    kvtest::showActive(screen.get());
    EXPECT_EQ(stored("SELECT SUM(INCIO) FROM POSARQUEO WHERE CAJA = 1"), 50000);
    screen.reset();
    screen = std::make_unique<TFrmVentaCajaVp>(*dm);  // the same day: not asked again
    kvtest::showActive(screen.get());
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSARQUEO"), 1);
}

TEST_F(SaleScreenTest, TheConditionsWindowStoresTermReferenceAndCustomer)
{
    db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (800100200, '7', 'HOTEL CENTRAL')");
    startSale();
    ringUp("4");
    kvtest::whenShown<QDialog>([](QDialog* d) {
        auto* plazo = d->findChild<DbEdit*>("DBEditPlazo");
        auto* ref = d->findChild<DbEdit*>("DBEditFactura");
        auto* cliente = d->findChild<DbEdit*>("DBEditCliente");
        kvtest::typeInto(plazo, "30");
        kvtest::typeInto(ref, "77");
        kvtest::typeInto(cliente, "800100200", true);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QTest::keyClick(screen->BtnCondiciones, Qt::Key_Space);
    QSqlQuery q = db->exec("SELECT PLAZO, FACTURA, CLIENTE, NETO FROM POSMOVIMIENTO");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 30) << texts().toStdString();
    EXPECT_EQ(q.value(1).toInt(), 77);
    EXPECT_EQ(q.value(2).toDouble(), 800100200);
    EXPECT_EQ(q.value(3).toDouble(), 2000);
}

TEST_F(SaleScreenTest, ADocumentVoidedWhileItIsSoldTakesNothingMoreAndKeepsItsNumber)
{
    const QString refused = QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada); no se guardó nada.");
    // The cashier voids the document he is selling, then scans one more item.
    startSale();
    ringUp("4");
    dialogs.inputs = {QString("1")};
    dialogs.answers = {true};
    screen->AnulaFacturas1->trigger();
    dialogs.clear();
    ringUp("4");
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.texts("error"), QStringList{refused.arg(1)});
    EXPECT_EQ(lines(), 0);
    EXPECT_EQ(neto(), 0);
    EXPECT_FALSE(screen->selling());  // waiting for the next customer
    EXPECT_TRUE(screen->EditCliente->hasFocus());

    // Voided with no line, then Esc: "Liberar el Numero" never deletes it, so 2 is never reused.
    startSale();
    ringUp("4");
    dialogs.inputs = {QString("2")};
    dialogs.answers = {true};
    screen->AnulaFacturas1->trigger();
    dialogs.clear();
    dialogs.answers = {true, true};
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.texts("error"), QStringList{refused.arg(2)});
    EXPECT_EQ(stored("SELECT COUNT(*) FROM POSMOVIMIENTO WHERE CONSECUTIVO = 2 AND STATUS = 'I'"), 1);
    EXPECT_FALSE(screen->selling());
    startSale();
    EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), 3);
}

}  // namespace
