// "Caja Principal" on real documents: the list of the register's open documents and its reading
// again (the cashier's row kept, nothing moved under an open window), collecting the chosen document
// through its payment window, two registers collecting the same document, voiding by the row's own
// key, and the reprints.
#include "PaymentFixture.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "pos/DocumentCorrections.h"
#include "pos/SalePayment.h"
#include "pos/UntVenta.h"
#include "pos/UntVentaCajaCambio.h"
#include "pos/UntVentaCajaIncio.h"
#include "pos/variants/UntVentaRegistradora.h"
#include "pos/variants/UntVentasPago.h"
#include "print/InvoicePrinting.h"
#include "support/Keyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>

using namespace kv;

namespace {

class CollectionRegisterTest : public kvtest::PaymentTest {
protected:
    void SetUp() override
    {
        PaymentTest::SetUp();
        db->exec("UPDATE POSCAJEROS SET NIVEL = 'C' WHERE CEDULA = 11");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (800100200, '3', 'FERRETERIA EL TORNILLO')");
    }
    void TearDown() override
    {
        screen.reset();
        PaymentTest::TearDown();
    }
    void openedToday()
    {
        db->exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (1, 11, :F, 100000)",
                 {{"F", QDateTime(QDate::currentDate(), QTime(0, 0))}});
    }
    // A document of another company, type or register, written as another station would.
    void foreignDocument(const char* empresa, const char* documento, int numero, double caja, double neto,
                         const char* status = nullptr)
    {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, CAJA, NETO, SUBTOTAL, "
                 "STATUS) VALUES (:E, :D, :N, 3, CURRENT_TIMESTAMP, 222222222, :C, :V, :V, :S)",
                 {{"E", empresa}, {"D", documento}, {"N", numero}, {"C", caja}, {"V", neto},
                  {"S", status ? QVariant(QString::fromLatin1(status)) : QVariant()}});
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                 "PRECIOUNIDAD, SUBTOTAL, BODEGA) VALUES (:E, :D, :N, 1, 4, 1, :V, :V, 3)",
                 {{"E", empresa}, {"D", documento}, {"N", numero}, {"V", neto}});
    }
    void show()
    {
        screen = std::make_unique<TFrmVentaRegistradora>(*dm);
        kvtest::showActive(screen.get());
    }
    QList<int> listed()
    {
        QList<int> numbers;
        for (int i = 0; i < screen->TFacturas.bufferCount(); ++i)
            numbers << screen->TFacturas.valueAt(i, screen->TFacturas["CONSECUTIVO"].index()).toInt();
        return numbers;
    }
    int current() { return screen->TFacturas["CONSECUTIVO"].asInteger(); }
    void moveTo(int numero)
    {
        ASSERT_TRUE(listed().contains(numero));
        while (current() != numero)
            QTest::keyClick(screen->DBGrid1, Qt::Key_Down);
    }
    QString cell(int row, int column) const
    {
        return screen->DBGrid1->model()->index(row, column).data().toString();
    }
    QVariant stored(int numero, const char* column) { return PaymentTest::stored(numero, column); }
    // A double click on a row of the list, as the mouse does it: the press picks the row.
    void doubleClick()
    {
        const QPoint at = screen->DBGrid1->visualRect(screen->DBGrid1->currentIndex()).center();
        QTest::mouseClick(screen->DBGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(screen->DBGrid1->viewport(), Qt::LeftButton, {}, at);
    }

    std::unique_ptr<TFrmVentaRegistradora> screen;
};

TEST_F(CollectionRegisterTest, TheListShowsThisRegistersOpenDocumentsAndReadingItAgainKeepsTheCashiersRow)
{
    // No opening amount yet: asked once, when the screen opens.
    kvtest::whenShown<TFrmVentaCajaIncio>([](TFrmVentaCajaIncio* w) { kvtest::typeInto(w->EditIncio, "50000", true); });
    const int a = sale(10000);
    const int b = kvtest::startDocument(*dm, 800100200);
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 20000}));
    const int c = kvtest::startDocument(*dm, 123);  // a customer not on file
    ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 30000}));
    foreignDocument("01", "POS", 900, 2, 5000);        // another register's
    foreignDocument("01", "POS", 901, 1, 5000, "I");   // collected already
    show();
    EXPECT_EQ(db->scalar("SELECT INCIO FROM POSARQUEO WHERE CAJA = 1").toDouble(), 50000);
    EXPECT_EQ(listed(), QList<int>({a, b, c}));
    EXPECT_EQ(cell(1, 3), QStringLiteral("FERRETERIA EL TORNILLO"));
    EXPECT_EQ(cell(2, 3), QStringLiteral("Cliente sin Nombre"));
    EXPECT_EQ(cell(1, 4), QStringLiteral("20,000.00"));
    EXPECT_EQ(screen->Timer1.interval(), 10000);
    EXPECT_TRUE(screen->Timer1.isActive());
    moveTo(b);

    // Meanwhile a seller leaves a new document and another register collects the first one.
    const int d = sale(40000);
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I' WHERE CONSECUTIVO = :N AND EMPRESA = '01'", {{"N", a}});
    screen->Timer1Timer();
    EXPECT_EQ(listed(), QList<int>({b, c, d}));
    EXPECT_EQ(current(), b);
    EXPECT_EQ(screen->DBGrid1->currentIndex().row(), 0);

    screen->reject();
    EXPECT_FALSE(screen->Timer1.isActive());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
}

TEST_F(CollectionRegisterTest, TheReadingPeriodComesFromTheRegister)
{
    openedToday();
    db->exec("UPDATE POSCAJAS SET REFRESCO = 3 WHERE CAJA = 1");
    ASSERT_TRUE(dm->signOn(11));
    show();
    EXPECT_EQ(screen->Timer1.interval(), 3000);
}

TEST_F(CollectionRegisterTest, EnterCollectsTheChosenDocumentEvenWhenTheListChangesUnderTheWindow)
{
    openedToday();
    const int a = sale(10000);
    const int b = sale(48500);
    db->exec("UPDATE POSMOVIMIENTO SET ABONO = 5000, PAGO = 43500 WHERE CONSECUTIVO = :N", {{"N", b}});
    show();
    moveTo(b);

    bool driven = false;
    kvtest::whenShown<TFrmVentasPago>([&](TFrmVentasPago* w) {
        driven = true;
        // What was paid before starts again from 0: the whole amount is due.
        EXPECT_DOUBLE_EQ(stored(b, "ABONO").toDouble(), 0);
        EXPECT_DOUBLE_EQ(stored(b, "PAGO").toDouble(), 48500);
        EXPECT_EQ(w->LabelCliente->text(), QStringLiteral("CLIENTES VARIOS"));
        // The row before it is collected elsewhere and the timer fires: nothing moves.
        db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I' WHERE CONSECUTIVO = :N", {{"N", a}});
        screen->Timer1Timer();
        EXPECT_EQ(listed(), QList<int>({a, b}));
        w->RadioTipoPago->button(2)->click();
        EXPECT_TRUE(w->DBEditDescripcion->isVisible());
        kvtest::typeInto(w->DBEditDescripcion, QStringLiteral("BANCOLOMBIA 123"));
        kvtest::typeInto(w->EditRecibido, QStringLiteral("50000"));
        EXPECT_EQ(w->LabelCambio->text(), QStringLiteral("1,500.00"));
        QTest::keyClick(w->EditRecibido, Qt::Key_Return);
    });
    QTest::keyClick(screen->DBGrid1, Qt::Key_Return);
    ASSERT_TRUE(driven);

    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));
    EXPECT_EQ(stored(b, "STATUS").toString(), QStringLiteral("I"));
    EXPECT_DOUBLE_EQ(stored(b, "CAJERO").toDouble(), 11);
    EXPECT_EQ(stored(b, "TIPODEPAGO").toString(), QStringLiteral("H"));
    EXPECT_EQ(stored(b, "TIPODEPAGODES").toString(), QStringLiteral("BANCOLOMBIA 123"));
    EXPECT_DOUBLE_EQ(stored(b, "PAGO").toDouble(), 48500);
    EXPECT_TRUE(stored(a, "TIPODEPAGODES").isNull());  // the other document was not paid here
    EXPECT_EQ(pdfs(), 1);  // the roll receipt, straight to the printer
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('|').toStdString();
}

TEST_F(CollectionRegisterTest, WhatWasPaidBeforeLowersWhatIsDueAndEscLeavesTheDocumentToCollect)
{
    openedToday();
    const int n = sale(48500);
    show();
    kvtest::whenShown<TFrmVentasPago>([&](TFrmVentasPago* w) {
        kvtest::typeInto(w->DBEditAbono, QStringLiteral("10000"), true);
        EXPECT_EQ(w->DBEditPago->text(), QStringLiteral("38,500.00"));
        kvtest::typeInto(w->EditRecibido, QStringLiteral("40000"));
        EXPECT_EQ(w->LabelCambio->text(), QStringLiteral("1,500.00"));
        QTest::keyClick(w->EditRecibido, Qt::Key_Escape);
    });
    QTest::keyClick(screen->DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(stored(n, "STATUS").isNull());
    EXPECT_DOUBLE_EQ(stored(n, "ABONO").toDouble(), 0);  // nothing typed in the window was kept
    EXPECT_FALSE(dm->TIniFac.isEditing());
    EXPECT_TRUE(drawerBytes().isEmpty());
    EXPECT_EQ(listed(), QList<int>({n}));
}

TEST_F(CollectionRegisterTest, OfTwoRegistersCollectingTheSameDocumentOnlyOnePaysAndTheOtherIsTold)
{
    openedToday();
    const int n = sale(25000);
    // A second collection register, with its own connection and module, on the same document.
    db->exec("UPDATE POSCAJEROS SET NIVEL = 'C', CAJA = 1 WHERE CEDULA = 101");
    Connection other(QStringLiteral("OtraCaja"));
    other.setLocation(db->location());
    TDmVentas dm2(other);
    ASSERT_TRUE(dm2.signOn(101));
    ASSERT_TRUE(dm->openDocument("01", "POS", n));
    ASSERT_TRUE(dm2.openDocument("01", "POS", n));
    auto pay = [](TDmVentas& m, const char* tipo) {
        m.TIniFac.Edit();
        m.TIniFac["TIPODEPAGO"] = QString::fromLatin1(tipo);
        return closeSale(m, [](const SaleDocumentKey&) { return PrintResult::Printed; });
    };
    EXPECT_EQ(pay(dm2, "T"), SaleClosing::Closed);
    EXPECT_EQ(pay(*dm, "C"), SaleClosing::ClosedElsewhere);
    EXPECT_EQ(dialogs.texts(),
              QStringList({QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) por CAJERO 101; no se guardó el "
                                          "pago.")
                               .arg(n)}));
    EXPECT_EQ(stored(n, "TIPODEPAGO").toString(), QStringLiteral("T"));
    EXPECT_DOUBLE_EQ(stored(n, "CAJERO").toDouble(), 101);
    EXPECT_EQ(drawerBytes(), QByteArray::fromHex("1b70306464"));  // one drawer opened, not two

    // On the screen: a row collected elsewhere since the list was read opens no window.
    const int m = sale(1000);
    show();
    moveTo(m);
    dialogs.clear();
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 101 WHERE CONSECUTIVO = :N", {{"N", m}});
    QTest::keyClick(screen->DBGrid1, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList({QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) por CAJERO 101; "
                                                           "no se guardó el pago.")
                                                .arg(m)}));
    EXPECT_FALSE(listed().contains(m));
}

TEST_F(CollectionRegisterTest, VoidingUsesTheRowsOwnKeyAndNeverWipesADocumentPaidElsewhere)
{
    openedToday();
    const int n = sale(30000);
    // The same number in the restaurant's company and type, also open on this register.
    foreignDocument("02", "PRS", n, 1, 12000);
    show();
    ASSERT_EQ(listed(), QList<int>({n, n}));
    // The restaurant's row: the list is in number order, then company.
    QTest::keyClick(screen->DBGrid1, Qt::Key_Down);
    ASSERT_EQ(screen->TFacturas["EMPRESA"].asString(), QStringLiteral("02"));

    dialogs.answers.push_back(false);
    doubleClick();
    ASSERT_EQ(dialogs.texts("confirm").size(), 1) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(dialogs.texts("confirm")[0].startsWith(QStringLiteral("¿Anular la factura %1 de CLIENTES VARIOS").arg(n)));
    EXPECT_TRUE(dialogs.texts("confirm")[0].contains(QStringLiteral("12,000.00")));
    EXPECT_EQ(listed().size(), 2);

    dialogs.clear();
    dialogs.answers.push_back(true);
    QTest::keyClick(screen->DBGrid1, Qt::Key_Delete);  // the keyboard's way to the same
    EXPECT_EQ(dialogs.texts("message"), QStringList({QStringLiteral("Factura %1 anulada").arg(n)}));
    auto of = [&](const char* empresa, const char* column) {
        return db->scalar(QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE EMPRESA = :E AND CONSECUTIVO = :N")
                              .arg(QLatin1String(column)),
                          {{"E", empresa}, {"N", n}});
    };
    EXPECT_EQ(of("02", "STATUS").toString().trimmed(), QStringLiteral("I"));
    EXPECT_DOUBLE_EQ(of("02", "NETO").toDouble(), 0);
    EXPECT_DOUBLE_EQ(of("02", "SUBTOTAL").toDouble(), 0);
    EXPECT_DOUBLE_EQ(of("02", "CAJERO").toDouble(), 11);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = '02'").toInt(), 0);
    // The shop's document with the same number keeps its line, its total and stays to collect.
    EXPECT_TRUE(of("01", "STATUS").isNull());
    EXPECT_DOUBLE_EQ(of("01", "NETO").toDouble(), 30000);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE EMPRESA = '01'").toInt(), 1);
    EXPECT_EQ(listed(), QList<int>({n}));

    // Collected at another register after the list was read: the void leaves the payment alone.
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 101, TIPODEPAGO = 'T' WHERE EMPRESA = '01'");
    dialogs.clear();
    dialogs.answers.push_back(true);
    doubleClick();
    EXPECT_EQ(dialogs.texts("message"),
              QStringList({QStringLiteral("La factura %1 ya fue cerrada (pagada o anulada) en otra caja; no se anuló.").arg(n)}));
    EXPECT_DOUBLE_EQ(of("01", "NETO").toDouble(), 30000);
    EXPECT_DOUBLE_EQ(of("01", "CAJERO").toDouble(), 101);
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(CollectionRegisterTest, ReprintsInTheThreeLayoutsAndTheSignOnOpensTheScreenForLevelC)
{
    openedToday();
    const int n = sale(30000);
    show();
    const std::pair<QAction*, const char*> menus[] = {
        {screen->ImpresoraPos1, "FACTURA"}, {screen->MediaCarta1, "FACTURA DE VENTA"}, {screen->Carta1, "FACTURA DE VENTA"}};
    int printed = 0;
    for (const auto& [action, title] : menus) {
        dialogs.inputs.push_back(QString::number(n));
        action->trigger();
        EXPECT_EQ(pdfs(), ++printed) << title;
    }
    dialogs.inputs.push_back(std::nullopt);  // cancelled: nothing
    screen->ImpresoraPos1->trigger();
    dialogs.inputs.push_back(QStringLiteral("77"));
    screen->ImpresoraPos1->trigger();
    EXPECT_EQ(pdfs(), printed);
    EXPECT_EQ(dialogs.texts("message"), QStringList({"Factura No Existe"}));
    screen.reset();

    registerCollectionRegister();
    bool opened = false;
    kvtest::whenShown<TFrmVentaRegistradora>([&](TFrmVentaRegistradora* w) {
        opened = true;
        w->reject();
    });
    openSaleScreenForLevel(*dm, QStringLiteral("C"), nullptr);
    EXPECT_TRUE(opened);
}

TEST_F(CollectionRegisterTest, ADocumentASellerStartedAfterTheScreenOpenedIsCollectedAndChanged)
{
    openedToday();
    sale(10000);  // the module has read its documents
    show();
    // A seller's station starts document 7 now, with one line.
    foreignDocument("01", "POS", 7, 1, 7000);
    screen->Timer1Timer();
    moveTo(7);
    bool paying = false;
    kvtest::whenShown<TFrmVentasPago>([&](TFrmVentasPago* w) {
        paying = true;
        EXPECT_EQ(w->DBEditPago->text(), QStringLiteral("7,000.00"));
        QTest::keyClick(w->EditRecibido, Qt::Key_Escape);
    });
    QTest::keyClick(screen->DBGrid1, Qt::Key_Return);
    EXPECT_TRUE(paying);
    EXPECT_TRUE(dialogs.texts("message").isEmpty()) << qPrintable(dialogs.texts().join('|'));

    // "Modifica Factura" finds it too.
    foreignDocument("01", "POS", 8, 1, 8000);
    db->exec("UPDATE POSCAJEROS SET CAMBIAPRECIO = 'S' WHERE CEDULA = 11");
    ASSERT_TRUE(dm->signOn(11));
    dialogs.inputs = {QString("8")};
    bool changing = false;
    kvtest::whenShown<TFrmVentaCajaCambio>([&](TFrmVentaCajaCambio* w) {
        changing = true;
        EXPECT_EQ(dm->TIniFac["CONSECUTIVO"].asInteger(), 8);
        EXPECT_EQ(w->DBGrid1->model()->rowCount(), 1);
        QTest::keyClick(w->DBGrid1, Qt::Key_Escape);
    });
    screen->ModificaFactura1->trigger();
    EXPECT_TRUE(changing);
    EXPECT_TRUE(dialogs.texts("message").isEmpty()) << qPrintable(dialogs.texts().join('|'));
}

TEST_F(CollectionRegisterTest, TheListReadAgainWhileTheVoidQuestionIsOpenVoidsTheDocumentAskedAbout)
{
    openedToday();
    const int first = sale(30000);
    const int second = sale(12000);
    show();
    moveTo(second);

    // While the cashier reads the question, the first document is collected at another register
    // and the list's period comes round.
    struct AskingMeanwhile : ScriptedDialogs {
        std::function<void()> meanwhile;
        bool confirm(const QString& t) override
        {
            if (meanwhile)
                meanwhile();
            return ScriptedDialogs::confirm(t);
        }
    } asking;
    DialogsScope scope(&asking);
    asking.answers.push_back(true);
    asking.meanwhile = [&] {
        db->exec("UPDATE POSMOVIMIENTO SET STATUS = 'I', CAJERO = 101, TIPODEPAGO = 'T' WHERE CONSECUTIVO = :N",
                 {{"N", first}});
        screen->Timer1Timer();
    };
    doubleClick();
    ASSERT_EQ(asking.texts("confirm").size(), 1);
    EXPECT_TRUE(asking.texts("confirm")[0].contains(QStringLiteral("12,000.00"))) << asking.texts("confirm")[0].toStdString();
    EXPECT_EQ(asking.texts("message"), QStringList({QStringLiteral("Factura %1 anulada").arg(second)}));
    EXPECT_DOUBLE_EQ(stored(second, "NETO").toDouble(), 0);
    EXPECT_EQ(stored(second, "STATUS").toString().trimmed(), QStringLiteral("I"));
    // The one collected elsewhere keeps its payment; the list, read after the void, shows neither.
    EXPECT_DOUBLE_EQ(stored(first, "NETO").toDouble(), 30000);
    EXPECT_DOUBLE_EQ(stored(first, "CAJERO").toDouble(), 101);
    EXPECT_TRUE(listed().isEmpty());
}

}  // namespace
