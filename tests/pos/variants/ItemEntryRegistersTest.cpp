// "Caja Dos" and "Caja Tres" on a real database, driven from the keyboard: items by number and
// barcode at the catalogue's price with its taxes inside it or added to it, a quantity or
// code that is not right leaving no line, the customer and reference rules of "Caja Dos", and the
// documents "Caja Tres" may load.
#include "../RegisterFixture.h"
#include "../TaxTable.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "catalog/UntBuscarTercero.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DbChoices.h"
#include "platform/EnvScope.h"
#include "pos/UntVenta.h"
#include "pos/UntVentaPermiso.h"
#include "pos/variants/UntVentasPago1.h"
#include "pos/variants/VariantScreens.h"
#include "pos/variants/UntVentaCaja2.h"
#include "pos/variants/UntVentaCaja3.h"
#include "pos/variants/UntVentaCajaCVP.h"
#include "support/Keyboard.h"

#include <QGroupBox>
#include <QSqlQuery>
#include <QLabel>
#include <QPushButton>

using namespace kv;

namespace {

enum class Caja { Dos, Tres };

class ItemEntryTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedRegister(*db);
        // VINO 10,000 with 16 % IVA not included; ALMUERZO without a price (asked at the register).
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 10000 WHERE PRODUCTO = 2");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 0 WHERE PRODUCTO = 3");
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", dir.filePath(QStringLiteral("cajon.bin")).toUtf8());
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", dir.path().toUtf8());
        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
    }
    void TearDown() override
    {
        screen.reset();
        dm.reset();
        DbTest::TearDown();
    }
    void open(Caja caja)
    {
        if (caja == Caja::Dos)
            screen = std::make_unique<TFrmVentaCaja2>(*dm);
        else
            screen = std::make_unique<TFrmVentaCaja3>(*dm);
        kvtest::showActive(screen.get());
    }
    // Starts a document on "Caja Dos", or loads one started by a seller on "Caja Tres".
    int begin(Caja caja)
    {
        if (caja == Caja::Dos) {
            kvtest::typeInto(screen->Edit1, "222222222", true);
            return dm->TIniFac["CONSECUTIVO"].asInteger();
        }
        TDmVentas seller(*db);
        EXPECT_TRUE(seller.signOn(11));
        const int numero = kvtest::startDocument(seller);
        kvtest::typeInto(screen->Edit1, QString::number(numero), true);
        return numero;
    }
    // The quantity (Enter goes back to the code), then the code and Enter.
    void ringUp(const QString& code, const QString& quantity = QStringLiteral("1"))
    {
        kvtest::typeInto(screen->EditCantidad, quantity, true);
        kvtest::typeInto(screen->EditProducto, code, true);
    }
    double stored(const QString& sql, const QVariantMap& p = {}) { return db->scalar(sql, p).toDouble(); }
    int lines() { return int(stored("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")); }
    int documents() { return int(stored("SELECT COUNT(*) FROM POSMOVIMIENTO")); }

    std::unique_ptr<EnvScope> raw, printTo;
    std::unique_ptr<TDmVentas> dm;
    std::unique_ptr<ItemEntryScreen> screen;
};

TEST_F(ItemEntryTest, CajaDosSellsByNumberAndBarcodeAndIsPaidInItsPaymentWindow)
{
    open(Caja::Dos);
    EXPECT_TRUE(screen->Edit1->hasFocus());
    EXPECT_FALSE(screen->selling());
    const int numero = begin(Caja::Dos);
    ASSERT_TRUE(screen->selling());
    EXPECT_TRUE(screen->EditProducto->hasFocus());
    ringUp("4", "3");
    ringUp(kvtest::kArrozBarcode);
    EXPECT_EQ(lines(), 2);
    EXPECT_EQ(screen->PanelMensaje->text(), "ARROZ");
    EXPECT_EQ(screen->EditCantidad->text(), "1");
    EXPECT_TRUE(screen->EditProducto->text().isEmpty());
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 3 * 2000 + 11600);

    // Left with Esc, the payment window keeps the sale on screen when the cashier stays on it.
    dialogs.answers = {true, false};  // "Terminar Factura?", then stay on the document
    kvtest::whenShown<TFrmVentasPago1>([](TFrmVentasPago1* w) { QTest::keyClick(w->EditPago, Qt::Key_Escape); });
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    EXPECT_TRUE(screen->selling());
    EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).isNull());

    kvtest::showActive(screen.get());
    dialogs.answers = {true, true};  // "Terminar Factura?", then "Imprimir Recibo ?"
    kvtest::whenShown<TFrmVentasPago1>([](TFrmVentasPago1* w) { kvtest::typeInto(w->EditPago, "20000", true); });
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    EXPECT_EQ(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).toString().trimmed(), "I");
    EXPECT_FALSE(screen->selling());
    EXPECT_EQ(screen->focusWidget(), screen->Edit1);
}

TEST_F(ItemEntryTest, CajaDosLeavesASaleLeftUnpaidOpenAndServesTheNextCustomer)
{
    open(Caja::Dos);
    const int numero = begin(Caja::Dos);
    ringUp("4");
    dialogs.answers = {true, true};  // "Terminar Factura?", then leave it open
    kvtest::whenShown<TFrmVentasPago1>([](TFrmVentasPago1* w) { QTest::keyClick(w->EditPago, Qt::Key_Escape); });
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    EXPECT_EQ(dialogs.texts("confirm").value(1),
              QStringLiteral("La factura %1 no se pagó. ¿Dejarla abierta y atender otro cliente?").arg(numero));
    EXPECT_FALSE(screen->selling());
    EXPECT_EQ(screen->focusWidget(), screen->Edit1);
    EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}}).isNull());
    EXPECT_EQ(lines(), 1);  // open, for the collection register
    EXPECT_EQ(begin(Caja::Dos), numero + 1);
}

TEST_F(ItemEntryTest, CajaTresHandsTheSupervisorBackWhenThePriceChangeIsLeft)
{
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, COBRA, CAMBIAPRECIO) "
             "VALUES (44, 'SUPERVISORA', 'S44', 'S', 1, 'S', 'S')");
    open(Caja::Tres);
    begin(Caja::Tres);
    ringUp("4");
    kvtest::whenShown<TFrmVentaPermiso>([](TFrmVentaPermiso* w) {
        kvtest::typeInto(w->EditCedula, "44");
        kvtest::typeInto(w->EditClave, "S44", true);
    });
    screen->DBGrid1DblClick();
    ASSERT_TRUE(screen->GroupCambioPrecio->isVisible());
    EXPECT_FALSE(screen->EditProducto->isEnabled());
    bool handedBack = false;
    kvtest::whenShown<TFrmVentaPermiso1>([&](TFrmVentaPermiso1* w) {
        handedBack = true;
        kvtest::typeInto(w->EditCedula, "11");
        kvtest::typeInto(w->EditClave, "1", true);
    });
    QTest::keyClick(screen->EditCambioCantidad, Qt::Key_Escape);
    EXPECT_TRUE(handedBack);
    EXPECT_EQ(dm->TCajero.FieldByName("CEDULA").asFloat(), 11);
    EXPECT_FALSE(screen->GroupCambioPrecio->isVisible());
    EXPECT_TRUE(screen->EditProducto->isEnabled());
    EXPECT_DOUBLE_EQ(stored("SELECT PRECIOUNIDAD FROM POSMOVIMIENTODETALLE"), 2000);
}

TEST_F(ItemEntryTest, BothRegistersChargeTheCataloguePriceWithItsTaxesInsideOrAdded)
{
    // The catalogue price is the unit price of the line; an IVA inside it is taken out of it, one
    // it leaves out is charged on top, the Ipoconsumo is inside it.
    kvtest::seedTaxTable(*db);
    dm->TProductos.Refresh();  // the register reads the catalogue as it is now
    for (Caja caja : {Caja::Dos, Caja::Tres}) {
        SCOPED_TRACE(caja == Caja::Dos ? "Caja Dos" : "Caja Tres");
        db->exec("DELETE FROM POSMOVIMIENTODETALLE");
        db->exec("DELETE FROM POSMOVIMIENTO");
        open(caja);
        const int numero = begin(caja);
        for (const kvtest::TaxCase& c : kvtest::kTaxCases) {
            ringUp(QString::number(c.producto));
            EXPECT_DOUBLE_EQ(stored("SELECT PRECIOUNIDAD FROM POSMOVIMIENTODETALLE WHERE PRODUCTO = :P",
                                    {{"P", c.producto}}),
                             c.precio);
        }
        kvtest::expectTaxesAddUp(*db, numero);
        // The register shows the amount to pay with the added IVA.
        EXPECT_EQ(screen->DBTextNeto->text(), "55,486.00");
    }
}

TEST_F(ItemEntryTest, AQuantityOrCodeThatIsNotRightLeavesNoLineAndSaysWhy)
{
    open(Caja::Dos);
    begin(Caja::Dos);
    struct Case { const char* code; const char* quantity; const char* message; };
    const Case cases[] = {
        {"4", "0", "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"4", "1.2.3", "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"4", "", "Cantidad no válida: digite las unidades con números y punto, mayor que 0"},
        {"999", "1", "No existe el Producto999"},
        {"12a", "1", "No existe el Producto12a"},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        ringUp(c.code, c.quantity);
        EXPECT_EQ(dialogs.last(), QString::fromUtf8(c.message)) << c.code << " " << c.quantity;
    }
    EXPECT_EQ(lines(), 0);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 0);
    // Letters never get into the quantity box.
    kvtest::typeInto(screen->EditCantidad, "2x");
    EXPECT_EQ(screen->EditCantidad->text(), "2");
}

TEST_F(ItemEntryTest, CajaDosStartsNoDocumentForACustomerThatCannotBeOnFile)
{
    open(Caja::Dos);
    kvtest::typeInto(screen->Edit1, "abc", true);
    ASSERT_FALSE(dialogs.texts("message").isEmpty());
    EXPECT_EQ(dialogs.texts("message").last(), "Cliente no Existe");
    EXPECT_EQ(documents(), 0);
    EXPECT_FALSE(screen->selling());
}

TEST_F(ItemEntryTest, CajaDosChangesTheCustomersReferenceOnlyAfterARealChoice)
{
    db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (800100, '2', 'ARIAS LTDA')");
    open(Caja::Dos);
    begin(Caja::Dos);
    auto* boton = screen->findChild<QPushButton*>("BtnCambioReferencia");
    ASSERT_TRUE(boton);
    auto padre = [&] { return db->scalar("SELECT PADRE FROM PROVEEDORES WHERE NIT = 222222222"); };
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) { QTest::keyClick(d, Qt::Key_Escape); });
    screen->GroupCliente->setEnabled(true);  // the button sits in the customer group
    boton->click();
    EXPECT_TRUE(padre().isNull() || padre().toDouble() == 0);
    kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* d) {
        d->RadioGroup1->button(ThirdPartySearch::PorNombre)->click();
        QTest::keyClicks(d->EditNit, "ARI");
        QTest::keyClick(d->EditNit, Qt::Key_Return);
    });
    boton->click();
    EXPECT_DOUBLE_EQ(padre().toDouble(), 800100);
}

TEST_F(ItemEntryTest, ASearchInTheMiddleOfASaleLeavesTheSaleOnScreen)
{
    open(Caja::Dos);
    begin(Caja::Dos);
    kvtest::whenShown<TFrmBuscarProductoAlf>([](TFrmBuscarProductoAlf* d) {
        QTest::keyClicks(d->EditNit, "TIN");
        QTest::keyClick(d->EditNit, Qt::Key_Return);
    });
    QTest::keyClick(screen->EditProducto, Qt::Key_F2);  // search and add, as a double click does
    kvtest::showActive(screen.get());
    EXPECT_TRUE(screen->selling());
    EXPECT_EQ(lines(), 1);
    ringUp("4");
    EXPECT_EQ(lines(), 2);
}

TEST_F(ItemEntryTest, AnItemWithoutAPriceIsAskedItsPriceAndEscapeAddsNothing)
{
    open(Caja::Dos);
    begin(Caja::Dos);
    kvtest::whenShown<TFrmVentaCajaCVP>([](TFrmVentaCajaCVP* d) { QTest::keyClick(d->EditValor, Qt::Key_Escape); });
    ringUp("3", "2");
    EXPECT_EQ(lines(), 0);
    kvtest::whenShown<TFrmVentaCajaCVP>([](TFrmVentaCajaCVP* d) {
        EXPECT_EQ(d->LabelNombre->text(), "ALMUERZO");
        kvtest::typeInto(d->EditValor, "15000", true);
    });
    ringUp("3", "2");
    EXPECT_EQ(lines(), 1);
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO"), 30000);
}

TEST_F(ItemEntryTest, CajaTresLoadsOnlyOpenDocumentsOfItsOwnCompanyAndDocumentType)
{
    // Company 02 (document type PRS) has a document 1 too; register 1 works for company 01 (POS).
    TDmVentas otherCompany(*db);
    ASSERT_TRUE(otherCompany.signOn(22));
    kvtest::startDocument(otherCompany);
    kvtest::startDocument(otherCompany);
    open(Caja::Tres);
    auto load = [&](const QString& n) {
        kvtest::typeInto(screen->Edit1, n, true);
        return screen->PanelMensaje->text();
    };
    EXPECT_EQ(load("2"), "Factura No Existe");  // only company 02 has a document 2
    EXPECT_EQ(load("abc"), "Factura No Existe");
    const int numero = begin(Caja::Tres);
    ASSERT_TRUE(screen->selling());
    ringUp("4", "2");
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND CONSECUTIVO = :N", {{"N", numero}}), 4000);
    EXPECT_EQ(documents(), 3);  // no header of its own

    // Esc, Yes: back to waiting for a number, the document left open for the collection register.
    dialogs.answers = {true};
    QTest::keyClick(screen->EditProducto, Qt::Key_Escape);
    EXPECT_FALSE(screen->selling());
    EXPECT_TRUE(db->scalar("SELECT STATUS FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND CONSECUTIVO = :N", {{"N", numero}}).isNull());

    // Collected meanwhile: it cannot be loaded, and one loaded before takes no more items.
    EXPECT_EQ(load(QString::number(numero)), "Ventas");
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I' WHERE EMPRESA = '01'");
    ringUp("4");
    QCoreApplication::processEvents();
    EXPECT_EQ(lines(), 1);
    EXPECT_FALSE(screen->selling());
    EXPECT_EQ(load(QString::number(numero)), "Factura Ya Impresa");
}

TEST_F(ItemEntryTest, AProductChangedInTheGridCompletesItsLineAtTheCataloguePrice)
{
    open(Caja::Tres);
    begin(Caja::Tres);
    ringUp("4", "2");
    DbGrid* g = screen->DBGrid1;
    QAbstractItemModel* m = g->model();
    g->setFocus();
    // A code that names nothing sends the cursor back to "Producto"; the line stays as it was.
    g->setCurrentIndex(m->index(0, 1));
    m->setData(m->index(0, 1), "999");
    g->setCurrentIndex(m->index(0, 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(g->currentIndex().column(), 1);
    // ARROZ instead: 11,600 with its IVA included, the quantity kept, the name of the new product.
    m->setData(m->index(0, 1), "1");
    g->setCurrentIndex(m->index(0, 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(g->currentIndex().column(), 2);
    QSqlQuery q = db->exec("SELECT PRODUCTO, PRECIOUNIDAD, IVA, CANTIDAD, OBSERVACION FROM POSMOVIMIENTODETALLE");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_DOUBLE_EQ(q.value(1).toDouble(), 11600);
    EXPECT_DOUBLE_EQ(q.value(2).toDouble(), 16);
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 2);
    EXPECT_EQ(q.value(4).toString().trimmed(), "ARROZ");
    EXPECT_FALSE(q.next());
    EXPECT_DOUBLE_EQ(stored("SELECT NETO FROM POSMOVIMIENTO WHERE EMPRESA = '01'"), 23200);
    EXPECT_EQ(screen->PanelMensaje->text(), "ARROZ");
}

}  // namespace

namespace {

TEST_F(ItemEntryTest, EachCashierLevelOpensItsOwnScreen)
{
    registerVariantScreens();
    // Other tests of this program see the levels as they were.
    struct Unregister {
        ~Unregister()
        {
            for (const char* nivel : {"R", "8", "2"})
                registerSaleScreen(QString::fromLatin1(nivel), {});
        }
    } unregister;
    struct Case { const char* nivel; const char* screen; };
    for (const Case& c : {Case{"R", "FrmVentaCaja2"}, Case{"8", "FrmVentaCaja3"}, Case{"2", "FrmFacturacion"}}) {
        QString opened;
        dialogs.answers = {true};  // "Salir de Facturacion?"
        kvtest::whenShown<QDialog>([&](QDialog* d) {
            opened = d->objectName();
            if (auto* e = d->findChild<QLineEdit*>("Edit1"))
                QTest::keyClick(e, Qt::Key_Escape);
            else
                d->reject();
        });
        openSaleScreenForLevel(*dm, c.nivel, nullptr);
        EXPECT_EQ(opened, c.screen) << c.nivel;
    }
}

}  // namespace
