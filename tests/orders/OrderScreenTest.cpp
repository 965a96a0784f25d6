// The order screen driven from the keyboard, offscreen, on a real database: the sign-on, the
// three stages of an order with the rows they store, and the faults of the old screen that must
// stay mended (a typed line lost on Esc, a line priced from the product read last, an order made
// out to the previous customer, a drawer opened before the amount was read, an order never
// closed, changes made on another module's document).
#include "OrdersFixture.h"

#include "catalog/UntBuscarProducto.h"
#include "catalog/UntCrearClientes.h"
#include "common/Errors.h"
#include "orders/UntPedido.h"
#include "orders/UntPedidoCaja.h"
#include "orders/UntPedidoCajaRpt.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/EnvScope.h"
#include "pos/LineGridRules.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaSupervisor.h"
#include "support/Keyboard.h"
#include "support/QtPrinters.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>

using namespace kv;
using Stage = TFrmPedidoCaja::Stage;

namespace {

class OrderScreenTest : public kvtest::OrdersTest {
protected:
    void SetUp() override
    {
        OrdersTest::SetUp();
        drawerFile = dir.filePath(QStringLiteral("cajon.bin"));
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", drawerFile.toUtf8());
        printDir = dir.filePath(QStringLiteral("impresos"));
        QDir().mkpath(printDir);
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", printDir.toUtf8());
        screen = std::make_unique<TFrmPedidoCaja>(*dm);
        kvtest::showActive(screen.get());
    }
    void TearDown() override
    {
        screen.reset();
        OrdersTest::TearDown();
    }

    // Keys go where the focus is, as a cashier's do.
    static QWidget* focus() { return QApplication::focusWidget(); }
    // One key at a time: the first opens the cell's editor, which then has the focus.
    static void type(const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClick(focus(), c.toLatin1());
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focus(), k, m); }
    void settle() { QCoreApplication::processEvents(); }

    QModelIndex cell(int row, const char* field) const
    {
        return screen->DBGrid1->model()->index(row, screen->gridRules().column(QLatin1String(field)));
    }
    QModelIndex current() const { return screen->DBGrid1->currentIndex(); }

    // Starts an order for the customer from the customer box.
    void startFor(const QString& nit)
    {
        kvtest::typeInto(screen->EditCliente, nit, true);
        ASSERT_EQ(screen->stage(), Stage::Lines);
    }
    // Types one line: product code, quantity and, when given, a discount percentage.
    void typeLine(const QString& code, const QString& cantidad, const QString& porcentaje = QString())
    {
        type(code);
        key(Qt::Key_Tab);  // to "Articulo": the product is looked up
        key(Qt::Key_Tab);  // to "Cantidad": the line is completed from it
        type(cantidad);
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);  // over the price
        if (!porcentaje.isEmpty())
            type(porcentaje);
        settle();
    }
    QStringList storedLines()
    {
        QSqlQuery q = db->exec("SELECT LINEA, PRODUCTO, BUSCADOR, OBSERVACION, CANTIDAD, PRECIOUNIDAD, "
                               "PORCENTAJEDESCUENTO, SUBTOTAL, VALORDESCUENTO, VALORIVA, IVA FROM POSREMISIONESDETALLE "
                               "ORDER BY CONSECUTIVO, LINEA");
        QStringList lines;
        while (q.next()) {
            QStringList v;
            for (int i = 0; i < 11; ++i)
                v << q.value(i).toString().trimmed();
            lines << v.join(' ');
        }
        return lines;
    }
    QByteArray drawer() const
    {
        QFile f(drawerFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    int printed() const { return int(QDir(printDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }

    QString drawerFile;
    QString printDir;
    std::unique_ptr<EnvScope> raw;
    std::unique_ptr<EnvScope> printTo;
    std::unique_ptr<TFrmPedidoCaja> screen;
};

TEST_F(OrderScreenTest, AnOrderGoesThroughItsThreeStagesByKeyboard)
{
    // Customer stage.
    EXPECT_TRUE(screen->GroupArticulos->isHidden());
    EXPECT_TRUE(screen->GroupTotal->isHidden());
    EXPECT_FALSE(screen->CambiosFactura1->isEnabled());
    startFor("800100");
    EXPECT_FALSE(screen->GroupCliente->isEnabled());
    EXPECT_EQ(header("CLIENTE", 1).toDouble(), 800100);

    // Lines stage: a line by barcode with a discount; the arrows move along the line only.
    EXPECT_EQ(current(), cell(0, "BUSCADOR"));
    type("7701234000011");
    key(Qt::Key_Tab);
    key(Qt::Key_Down);
    EXPECT_EQ(current(), cell(0, "CANTIDAD"));
    EXPECT_EQ(screen->PanelMensaje->text(), "TORNILLO");
    type("3");
    key(Qt::Key_Tab);
    key(Qt::Key_Up);
    type("10");
    // On past the last column: the line is stored and a new one starts.
    for (int i = 0; i < 6; ++i)
        key(Qt::Key_Tab);
    settle();
    EXPECT_EQ(current(), cell(1, "BUSCADOR"));
    // The second line, by product number, is left pending: Esc stores it.
    typeLine("2", "2");
    key(Qt::Key_Escape);
    settle();
    ASSERT_EQ(screen->stage(), Stage::Payment) << qPrintable(dialogs.texts().join('|'));
    // TORNILLO's price leaves its 19 % out: R(3,377 x 19 %) = 642 is added, as a register adds it.
    EXPECT_EQ(storedLines(), QStringList({"1 1 7701234000011 TORNILLO 3 1250.5 10 3752 375 642 19",
                                          "2 2 2 TUERCA 2 300 0 600 0 0 0"}));
    EXPECT_DOUBLE_EQ(header("NETO", 1).toDouble(), 4619);
    EXPECT_EQ(screen->DBTextNeto->text(), "4,619.00");
    EXPECT_TRUE(screen->CambiosFactura1->isEnabled());
    EXPECT_FALSE(screen->GroupArticulos->isEnabled());
    EXPECT_TRUE(screen->EditPago->hasFocus());

    // Payment stage: by card, then the amount tendered.
    screen->RadioTipoPago->button(2)->click();
    kvtest::typeInto(screen->EditDatos, "VISA 4411");
    kvtest::typeInto(screen->EditPago, "5000", true);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Devuloción (381.00)"});
    EXPECT_EQ(drawer(), QByteArray::fromHex("1B70306464"));
    EXPECT_EQ(header("STATUS", 1).toString().trimmed(), "I");
    EXPECT_EQ(header("TIPODEPAGO", 1).toString().trimmed(), "T");
    EXPECT_EQ(header("TIPODEPAGODES", 1).toString().trimmed(), "VISA 4411");
    // The receipt went to the printer, with the order's lines.
    EXPECT_EQ(printed(), 1);
    const QString receipt = TFrmPedidoCajaRpt::render(*db, {"02", "PED", 1}).texts().join('|');
    EXPECT_TRUE(receipt.contains("TORNILLO")) << qPrintable(receipt);
    EXPECT_TRUE(receipt.contains("TUERCA")) << qPrintable(receipt);
    // Ready for the next order.
    EXPECT_EQ(screen->stage(), Stage::Customer);
    EXPECT_TRUE(screen->GroupArticulos->isHidden());
    EXPECT_TRUE(screen->GroupTotal->isHidden());
    EXPECT_FALSE(screen->CambiosFactura1->isEnabled());
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    EXPECT_TRUE(screen->EditPago->text().isEmpty());
}

TEST_F(OrderScreenTest, EscDropsOnlyALineNobodyTypedIntoAndUnderPaymentShowsAChangeBelowZero)
{
    startFor("222222222");
    typeLine("3", "4");  // 4 x 2.5 = 10
    key(Qt::Key_Right);
    for (int i = 0; i < 6; ++i)
        key(Qt::Key_Tab);
    settle();
    EXPECT_EQ(current(), cell(1, "BUSCADOR"));
    key(Qt::Key_Escape);  // the new empty line goes
    settle();
    ASSERT_EQ(screen->stage(), Stage::Payment);
    EXPECT_EQ(storedLines(), QStringList{"1 3 7701234000035 ARANDELA 4 2.5 0 10 0 0 0"});
    screen->CheckSinRecibo->setChecked(true);
    kvtest::typeInto(screen->EditPago, "4", true);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Devuloción (-6.00)"});
    EXPECT_EQ(header("STATUS", 1).toString().trimmed(), "I");
    EXPECT_EQ(printed(), 0);  // "Sin Recibo"
}

TEST_F(OrderScreenTest, SalirStoresTheLineBeingTyped)
{
    startFor("222222222");
    typeLine("2", "4");
    screen->Salir1->trigger();
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(storedLines(), QStringList{"1 2 2 TUERCA 4 300 0 1200 0 0 0"});
    EXPECT_DOUBLE_EQ(header("NETO", 1).toDouble(), 1200);
}

TEST_F(OrderScreenTest, ACustomerNotOnFileStartsNoOrder)
{
    dm->TCliente.Locate("NIT", 800100);  // the customer the order used to go to
    // A number that is no NIT: the quick customer window refuses it, so no customer is created.
    kvtest::typeInto(screen->EditCliente, "12.5", true);
    ASSERT_FALSE(dialogs.texts("message").isEmpty());
    EXPECT_EQ(dialogs.texts("message").last(), "Cliente no Existe");
    EXPECT_EQ(screen->stage(), Stage::Customer);
    EXPECT_TRUE(screen->EditCliente->hasFocus());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSREMISIONES").toInt(), 0);

    // Text that is no number is refused as such.
    dialogs.clear();
    kvtest::typeInto(screen->EditCliente, "abc", true);
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(screen->stage(), Stage::Customer);

    // A customer created in the quick window gets the order.
    kvtest::whenShown<TFrmCrearClientes>([](TFrmCrearClientes* w) {
        EXPECT_EQ(w->TbProveedores["CUENTACONTABLEC"].asString(), "220505");
        w->TbProveedores["APELLIDO1"] = "PEREZ";
        w->accept();
    });
    startFor("999");
    EXPECT_EQ(header("CLIENTE", 1).toDouble(), 999);
}

TEST_F(OrderScreenTest, QuantityCompletesFromTheLinesOwnCodeAndKeepsTypedPrices)
{
    ASSERT_TRUE(dm->findCashier(44));  // a chief cashier may change stored lines
    startFor("222222222");
    type("3");
    key(Qt::Key_Tab);
    // Something else read another product meanwhile (the lines' names read the products).
    dm->TProductos.Locate("PRODUCTO", 1);
    key(Qt::Key_Tab);
    EXPECT_EQ(dm->TFac["PRODUCTO"].asInteger(), 3);
    EXPECT_DOUBLE_EQ(dm->TFac["PRECIOUNIDAD"].asFloat(), 2.5);
    type("2");
    key(Qt::Key_Tab);
    type("2");  // a price typed by hand
    key(Qt::Key_Escape);
    settle();
    ASSERT_EQ(screen->stage(), Stage::Payment);
    EXPECT_EQ(storedLines(), QStringList{"1 3 7701234000035 ARANDELA 2 2 0 4 0 0 0"});

    // Back in the stored line: through "Producto" to "Cantidad" the same product keeps its price;
    // another code reprices the line.
    screen->GroupArticulos->setEnabled(true);
    screen->DBGrid1->setFocus();
    screen->DBGrid1->setCurrentIndex(cell(0, "BUSCADOR"));
    screen->DBGrid1->setCurrentIndex(cell(0, "CANTIDAD"));
    settle();
    EXPECT_DOUBLE_EQ(dm->TFac["PRECIOUNIDAD"].asFloat(), 2);
    screen->DBGrid1->model()->setData(cell(0, "BUSCADOR"), "2");
    screen->DBGrid1->setCurrentIndex(cell(0, "OBSERVACION"));
    screen->DBGrid1->setCurrentIndex(cell(0, "CANTIDAD"));
    settle();
    EXPECT_EQ(dm->TFac["PRODUCTO"].asInteger(), 2) << qPrintable(dialogs.texts().join('|'));
    EXPECT_DOUBLE_EQ(dm->TFac["PRECIOUNIDAD"].asFloat(), 300);
}

TEST_F(OrderScreenTest, AProductCodeThatNamesNothingSendsTheCursorBack)
{
    startFor("222222222");
    for (const char* code : {"12345", "tornillo"}) {
        SCOPED_TRACE(code);
        dialogs.clear();
        screen->DBGrid1->model()->setData(cell(0, "BUSCADOR"), code);
        screen->DBGrid1->setCurrentIndex(cell(0, "OBSERVACION"));
        settle();
        EXPECT_EQ(current(), cell(0, "BUSCADOR"));
        // Text that is not even a number is reported as such.
        EXPECT_EQ(dialogs.texts("error").size(), QString(code) == "tornillo" ? 1 : 0);
    }
    EXPECT_TRUE(dm->TFac["PRODUCTO"].isNull());
}

TEST_F(OrderScreenTest, TheProductSearchFillsTheLineAndACancelledOneChangesNothing)
{
    startFor("222222222");
    auto doubleClickProduct = [this] {
        QWidget* vp = screen->DBGrid1->viewport();
        QTest::mouseDClick(vp, Qt::LeftButton, {}, screen->DBGrid1->visualRect(cell(0, "BUSCADOR")).center());
    };
    kvtest::whenShown<TFrmBuscarProducto>([](TFrmBuscarProducto* w) { w->reject(); });
    doubleClickProduct();
    EXPECT_TRUE(dm->TFac["BUSCADOR"].asString().trimmed().isEmpty());
    EXPECT_TRUE(dm->TFac["PRODUCTO"].isNull());

    kvtest::whenShown<TFrmBuscarProducto>([](TFrmBuscarProducto* w) { w->accept(); });
    doubleClickProduct();
    ASSERT_NE(ProductoBuscado, 0);
    EXPECT_EQ(dm->TFac["PRODUCTO"].asInteger(), ProductoBuscado);
    const QString barras = db->scalar("SELECT CODIGOBARRAS FROM PRODUCTOS WHERE PRODUCTO = :P", {{"P", ProductoBuscado}})
                               .toString()
                               .trimmed();
    EXPECT_EQ(dm->TFac["BUSCADOR"].asString().trimmed(), barras.isEmpty() ? QString::number(ProductoBuscado) : barras);
    // On to the quantity: the line is priced from the chosen product.
    screen->DBGrid1->setCurrentIndex(cell(0, "CANTIDAD"));
    settle();
    EXPECT_DOUBLE_EQ(dm->TFac["PRECIOUNIDAD"].asFloat(),
                     db->scalar("SELECT VALORUNIDAD FROM PRODUCTOS WHERE PRODUCTO = :P", {{"P", ProductoBuscado}}).toDouble());
}

TEST_F(OrderScreenTest, AnAmountThatIsNoNumberOpensNoDrawerAndKeypadPlusLeavesTheOrderOpen)
{
    startFor("222222222");
    typeLine("2", "1");
    key(Qt::Key_Escape);
    settle();
    ASSERT_EQ(screen->stage(), Stage::Payment);
    kvtest::typeInto(screen->EditPago, "cinco mil", true);
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_TRUE(drawer().isEmpty());
    EXPECT_EQ(screen->stage(), Stage::Payment);

    screen->RadioTipoPago->button(1)->click();
    screen->EditPago->setFocus();
    QTest::keyClick(screen->EditPago, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(screen->stage(), Stage::Customer);
    EXPECT_TRUE(drawer().isEmpty());
    EXPECT_TRUE(header("STATUS", 1).isNull());
    EXPECT_EQ(header("TIPODEPAGO", 1).toString().trimmed(), "C");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSREMISIONESDETALLE").toInt(), 1);
    EXPECT_TRUE(dialogs.texts("message").isEmpty());
}

TEST_F(OrderScreenTest, ChangesAreMadeOnTheOrderBySupervisorAndTheSellerComesBack)
{
    startFor("222222222");
    typeLine("2", "1");
    key(Qt::Key_Escape);
    settle();
    ASSERT_EQ(screen->stage(), Stage::Payment);
    kvtest::whenShown<TFrmVentaCajaSupervisor>([this](TFrmVentaCajaSupervisor* w) {
        kvtest::whenShown<TFrmVentaCajaCambio>([this](TFrmVentaCajaCambio* c) {
            QAbstractItemModel* m = c->DBGrid1->model();
            c->DBGrid1->setCurrentIndex(m->index(0, c->column("CANTIDAD")));
            m->setData(m->index(0, c->column("CANTIDAD")), 5);
            QTest::keyClick(c->DBGrid1, Qt::Key_Escape);
        });
        kvtest::typeInto(w->EditCedula, "33");
        kvtest::typeInto(w->EditClave, "clave");
        w->BtnOK->click();
    });
    screen->CambiosFactura1->trigger();
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << qPrintable(dialogs.texts().join('|'));
    EXPECT_DOUBLE_EQ(db->scalar("SELECT CANTIDAD FROM POSREMISIONESDETALLE").toDouble(), 5);
    EXPECT_DOUBLE_EQ(header("NETO", 1).toDouble(), 1500);
    EXPECT_EQ(screen->DBTextNeto->text(), "1,500.00");
    EXPECT_EQ(dm->TCajero["CEDULA"].asFloat(), 22);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE").toInt(), 0);
}

TEST_F(OrderScreenTest, ReprintingAsksTheNumberCancelDoesNothingAndANumberShowsItsReceipt)
{
    dialogs.inputs = {std::nullopt, QString("dos"), QString("1")};
    screen->ReimprimirCotizacion1->trigger();
    EXPECT_TRUE(dialogs.texts("error").isEmpty());
    screen->ReimprimirCotizacion1->trigger();
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_EQ(printed(), 0);
    // An existing number: its receipt in the preview (written as a file here).
    startFor("222222222");
    typeLine("2", "1");
    key(Qt::Key_Escape);
    settle();
    QTest::keyClick(screen->EditPago, Qt::Key_Minus, Qt::KeypadModifier);
    screen->ReimprimirCotizacion1->trigger();
    EXPECT_EQ(printed(), 1);
}

// ---------------------------------------------------------------- sign-on

using OrderLoginTest = kvtest::OrdersTest;

TEST_F(OrderLoginTest, OnlyAKnownCashierWithHisPasswordOpensTheScreen)
{
    TFrmPedido login(*dm);
    int opened = 0;
    QString empresa;
    login.openScreen = [&] {
        ++opened;
        empresa = dm->Parametros["EMPRESA"].asString();
    };
    kvtest::showActive(&login);
    kvtest::typeInto(login.Edit1, "5", true);
    EXPECT_EQ(dialogs.last(), "Cajero no existe! Por favor Verifique su login");
    EXPECT_TRUE(login.Edit1->hasFocus());
    kvtest::typeInto(login.Edit1, "44");
    kvtest::typeInto(login.Edit2, "2");
    login.BitBtn1->click();
    EXPECT_EQ(dialogs.last(), "Clave no Corresponde");
    EXPECT_TRUE(login.Edit2->hasFocus());
    EXPECT_EQ(opened, 0);
    kvtest::typeInto(login.Edit2, "1");
    login.BitBtn1->click();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(empresa, "02");  // register 2's company, not the first parameter row
    EXPECT_FALSE(login.isVisible());
}

TEST_F(OrderLoginTest, EscLeavesWithoutSigningOn)
{
    TFrmPedido login(*dm);
    int opened = 0;
    login.openScreen = [&] { ++opened; };
    kvtest::showActive(&login);
    QTest::keyClick(login.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(opened, 0);
}

TEST_F(OrderLoginTest, AnInactiveOrAWaitingCashierTakesNoOrders)
{
    int opened = 0;
    auto window = [&] {
        auto login = std::make_unique<TFrmPedido>(*dm);
        login->openScreen = [&] { ++opened; };
        kvtest::showActive(login.get());
        return login;
    };
    auto tryIn = [](TFrmPedido& login, const char* clave) {
        kvtest::typeInto(login.Edit1, "44");
        kvtest::typeInto(login.Edit2, clave);
        login.BitBtn1->click();
    };
    auto lastTrail = [this] {
        return db->scalar("SELECT FIRST 1 EVENTO || '|' || CAST(CAJERO AS INTEGER) || '|' || DETALLE FROM POSBITACORA "
                          "ORDER BY ID DESC")
            .toString();
    };
    db->exec("UPDATE POSCAJEROS SET ACTIVO = 'N' WHERE CEDULA = 44");
    auto login = window();
    tryIn(*login, "1");
    EXPECT_EQ(dialogs.last(), "Cajero inactivo");
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(lastTrail(), "INGRESO FALLIDO|44|Pedidos: Cajero inactivo");

    // Back at work, he mistypes three times; the wait holds in a new window too.
    db->exec("UPDATE POSCAJEROS SET ACTIVO = 'S' WHERE CEDULA = 44");
    for (const char* wrong : {"7", "8", "9"})
        tryIn(*login, wrong);
    login = window();
    tryIn(*login, "1");
    EXPECT_TRUE(dialogs.last().startsWith("Demasiados intentos fallidos. Espere ")) << dialogs.last().toStdString();
    EXPECT_EQ(opened, 0);
    db->exec("UPDATE POSFALLOSINGRESO SET ULTIMOFALLO = DATEADD(-31 SECOND TO ULTIMOFALLO)");
    tryIn(*login, "1");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(lastTrail(), "INGRESO|44|Pedidos");
}

}  // namespace
