// The quick customer windows as the sale and order screens open them: the NIT typed there, the
// defaults, the name built from its parts, the dentist chain, and what happens to bad input.
#include "SearchFixtures.h"
#include "CallerHarness.h"
#include "catalog/ThirdParties.h"
#include "catalog/UntBuscarTercero.h"
#include "catalog/UntCrearClientes.h"
#include "catalog/UntCrearTercero.h"
#include "platform/DbControls.h"
#include "support/TestDb.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace kv;

namespace {

class QuickCustomerTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::addThirdParties(*db);
        NitTerceroElegido = PadreTerceroElegido = 0;
    }
    QVariantMap row(double nit)
    {
        QSqlQuery q = db->exec("SELECT * FROM PROVEEDORES WHERE NIT = :NIT", {{"NIT", nit}});
        QVariantMap out;
        if (q.next())
            for (int i = 0; i < q.record().count(); ++i)
                out.insert(q.record().fieldName(i), q.value(i).isNull() ? QVariant() : QVariant(q.value(i).toString().trimmed()));
        return out;
    }
    int count() { return db->scalar("SELECT COUNT(*) FROM PROVEEDORES").toInt(); }
    static void type(QuickCustomerDialog* d, const char* column, const QString& text)
    {
        DbEdit* e = d->edit(column);
        e->setFocus();
        QTest::keyClicks(e, text);
    }
};

TEST_F(QuickCustomerTest, SaleScreenCreatesTheCustomerFromSurnamesAndNames)
{
    kvtest::CallerHarness sale(*db);
    sale.show();
    sale.customerBox->setText("79123456");
    kvtest::whenShown<TFrmCrearClientes>([](TFrmCrearClientes* d) {
        EXPECT_EQ(d->windowTitle(), "Datos del Cliente");
        EXPECT_TRUE(d->edit("APELLIDO1")->hasFocus());
        EXPECT_EQ(d->edit("NIT")->text(), "79,123,456");
        EXPECT_TRUE(d->edit("NIT")->isReadOnly());
        EXPECT_FALSE(d->edit("NOMBRE")->isEnabled());
        EXPECT_EQ(d->edit("CIUDAD")->text(), "BOGOTA");
        QTest::keyClicks(d->edit("APELLIDO1"), "gomez");  // upper case as typed
        type(d, "APELLIDO2", "perez");
        type(d, "NOMBRE1", "ana");
        type(d, "EMAIL", "Ana@Correo.COM");
        type(d, "FECHANACIMIENTO", "05/03/1990");
        d->TipoTercero->button(1)->click();
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(sale.saleCustomerMissing());
    const QVariantMap r = row(79123456);
    // Two surnames and one name: the empty second name still takes its blank (the column drops it).
    EXPECT_EQ(r["NOMBRE"], "GOMEZ PEREZ ANA");
    EXPECT_EQ(TFrmCrearClientes::NombreCompleto("GOMEZ", "PEREZ", "ANA", ""), "GOMEZ PEREZ ANA ");
    EXPECT_EQ(r["APELLIDO1"], "GOMEZ");
    EXPECT_EQ(r["EMAIL"], "ana@correo.com");
    EXPECT_EQ(r["FECHACUMPLEANOS"], "05/03");
    EXPECT_EQ(r["CIUDAD"], "BOGOTA");
    EXPECT_EQ(r["PAIS"], "COLOMBIA");
    EXPECT_EQ(r["CUENTACONTABLEC"], "220505");
    EXPECT_EQ(r["CUENTACONTABLEV"], "14350101");
    EXPECT_EQ(r["TIPOTERCERO"], "P");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.last().toStdString();
}

TEST_F(QuickCustomerTest, DentistAndSalespersonComeFromTheThirdPartySearch)
{
    kvtest::CallerHarness sale(*db);
    sale.customerBox->setText("1019000111");
    kvtest::whenShown<TFrmCrearClientes>([](TFrmCrearClientes* d) {
        // The dentist (300) was himself referred by 200: 200 becomes the grandparent.
        kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* s) {
            QTest::keyClicks(s->EditNit, "300");
            QTest::keyClick(s->EditNit, Qt::Key_Return);
        });
        QTest::mouseDClick(d->edit("PADRE"), Qt::LeftButton);
        EXPECT_EQ(d->edit("PADRE")->text(), "300");
        // A salesperson's NIT longer than the column keeps its first five digits.
        kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* s) {
            QTest::keyClicks(s->EditNit, "1019000111");  // not on file yet: the last row, 400
            QTest::keyClick(s->EditNit, Qt::Key_Up);
            QTest::keyClick(s->EditNit, Qt::Key_Return);
        });
        QTest::mouseDClick(d->edit("VENDEDOR"), Qt::LeftButton);
        type(d, "APELLIDO1", "ROJAS");
        QTest::keyClick(d, Qt::Key_Escape);  // the close box saves as OK does
    });
    EXPECT_TRUE(sale.saleCustomerMissing());
    const QVariantMap r = row(1019000111);
    EXPECT_EQ(r["PADRE"].toDouble(), 300);
    EXPECT_EQ(r["ABUELO"].toDouble(), 200);
    EXPECT_EQ(r["VENDEDOR"], "300");

    db->exec("UPDATE PROVEEDORES SET NIT = 1234567 WHERE NIT = 400");
    sale.customerBox->setText("52000111");
    kvtest::whenShown<TFrmCrearClientes>([](TFrmCrearClientes* d) {
        kvtest::whenShown<TFrmBuscarTercero>([](TFrmBuscarTercero* s) {
            QTest::keyClicks(s->EditNit, "1234567");
            QTest::keyClick(s->EditNit, Qt::Key_Return);
        });
        QTest::mouseDClick(d->edit("VENDEDOR"), Qt::LeftButton);
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(sale.saleCustomerMissing());
    EXPECT_EQ(row(52000111)["VENDEDOR"], "12345");
    // Without a birth date there is no birthday.
    EXPECT_TRUE(row(52000111)["FECHACUMPLEANOS"].isNull());
}

TEST_F(QuickCustomerTest, ANitThatIsNotANumberOpensNothingAndStoresNothing)
{
    const int before = count();
    for (const char* typed : {"12a45", "79.123.456", "79 123 456", "", "0", "-5"}) {
        SCOPED_TRACE(typed);
        dialogs.clear();
        kvtest::CallerHarness sale(*db);
        sale.customerBox->setText(typed);
        bool opened = false;
        QPointer<QTimer> watch = kvtest::whenShown<QuickCustomerDialog>([&opened](QuickCustomerDialog* d) {
            opened = true;
            d->TbProveedores.Cancel();
            d->close();
        });
        EXPECT_FALSE(sale.saleCustomerMissing());
        EXPECT_EQ(dialogs.texts("error").size(), 1);
        EXPECT_FALSE(opened);
        delete watch.data();
    }
    EXPECT_EQ(count(), before);
}

TEST_F(QuickCustomerTest, ARefusedPostKeepsTheWindowOpenUntilCorrectedOrLeftWithoutSaving)
{
    kvtest::CallerHarness order(*db);
    order.orderCustomerBox->setText("88000111");
    int closeTries = 0;
    kvtest::whenShown<TFrmCrearTercero>([this, &closeTries](TFrmCrearTercero* d) {
        EXPECT_TRUE(d->edit("NOMBRE")->hasFocus());
        EXPECT_TRUE(d->edit("DV")->isEnabled());
        EXPECT_TRUE(d->edit("CIUDAD")->text().isEmpty());  // no defaults in this window
        QTest::keyClicks(d->edit("NOMBRE"), "ferreteria el tornillo");
        type(d, "DV", "7");
        type(d, "FECHANACIMIENTO", "31/02/1990");  // no such day
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        ++closeTries;
        EXPECT_TRUE(d->isVisible());
        ASSERT_FALSE(dialogs.texts("error").isEmpty());
        for (const QString& e : dialogs.texts("error"))
            EXPECT_TRUE(e.contains("31/02/1990")) << e.toStdString();
        EXPECT_EQ(dialogs.texts("confirm"), QStringList{LeaveWithoutSavingText()});  // answered No
        EXPECT_EQ(count(), 4);
        d->edit("FECHANACIMIENTO")->clear();
        type(d, "FECHANACIMIENTO", "28/02/1990");
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(order.orderCustomerMissing());
    EXPECT_EQ(closeTries, 1);
    const QVariantMap r = row(88000111);
    EXPECT_EQ(r["NOMBRE"], "FERRETERIA EL TORNILLO");
    EXPECT_EQ(r["DV"], "7");
    EXPECT_EQ(r["FECHACUMPLEANOS"], "28/02");
    EXPECT_TRUE(r["CIUDAD"].isNull());

    // A NIT that is already on file (another register created it meanwhile): the database's text,
    // then the user leaves without saving and the existing row is untouched.
    dialogs.clear();
    dialogs.answers = {true};
    order.orderCustomerBox->setText("100");
    kvtest::whenShown<TFrmCrearTercero>([](TFrmCrearTercero* d) {
        QTest::keyClicks(d->edit("NOMBRE"), "OTRO");
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(order.orderCustomerMissing());
    ASSERT_EQ(dialogs.texts("error").size(), 1);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("PRIMARY", Qt::CaseInsensitive)) << dialogs.texts("error")[0].toStdString();
    EXPECT_EQ(row(100)["NOMBRE"], "ZAPATA LUIS");
}

}  // namespace
