// The update and transfer screens opened from the sales reports menu as a user opens them: the
// daily update shows the last day updated and asks before a day is done again or skipped; the
// transfer screens ask before emptying the removable database, list what blocks a load, and show
// what the removable database holds.
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include "backoffice/DailyUpdate.h"
#include "backoffice/UntVentaActulizacion.h"
#include "backoffice/UntVentaReportes.h"
#include "backoffice/UntVentasAlmBd.h"
#include "backoffice/UntVentasProBd.h"
#include "backoffice/UntVentasTerBd.h"
#include "catalog/UntCalendario.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace kv;

namespace {

QString today(int days = 0) { return QDate::currentDate().addDays(days).toString("dd/MM/yyyy"); }

class TransferScreensTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        removable = std::make_unique<Connection>(QStringLiteral("DbPosz"));
        removablePath = kvtest::freshPosDatabase(dir.path());
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('01', 'TIENDA CENTRO')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('POS', 'FACTURA POS')");
        db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE) VALUES ('TRS', 'TRASLADO')");
        db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'PRINCIPAL')");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (800100200, '7', 'COMERCIAL ANDINA')");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (71000111, '3', 'ANA PEREZ')");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('A1', '07', 3, 10, "
                 "'ACEITE', 'UN')");
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA) VALUES ('01', 'POS', 1, 1, "
                 "CURRENT_TIMESTAMP)");
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                 "CANTIDADRECIBIDA, BODEGA) VALUES ('01', 'POS', 1, 1, 10, 2, 2, 1)");
    }

    // The menu, connected to the removable database.
    std::unique_ptr<TFrmVentaReportes> menu()
    {
        auto f = std::make_unique<TFrmVentaReportes>(*db, *removable);
        f->Edit1->setText(removablePath);
        QTest::mouseClick(f->BtnConectar, Qt::LeftButton);
        return f;
    }

    QStringList shownTexts()
    {
        QStringList out;
        for (const auto& s : dialogs.shown)
            out << s.text;
        return out;
    }

    std::unique_ptr<Connection> removable;
    QString removablePath;
};

TEST_F(TransferScreensTest, TheDailyUpdateShowsTheLastDayAndAsksBeforeADayIsRepeatedOrSkipped)
{
    auto f = menu();
    bool driven = false;
    kvtest::whenShown<TFrmVentaActulizacion>([&](TFrmVentaActulizacion* w) {
        EXPECT_EQ(w->LblUltima->text(), "Todavía no se ha actualizado ningún día.");
        QTest::mouseClick(w->BtnActualizar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Termino Correctamente"}));
        EXPECT_TRUE(w->LblUltima->text().startsWith("Último día actualizado: " + today())) << w->LblUltima->text().toStdString();

        // The same day again: asked, and No leaves it.
        dialogs.clear();
        QTest::mouseClick(w->BtnActualizar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(),
                  QStringList({"El día " + today() + " ya fue actualizado. ¿Desea actualizarlos de nuevo?"}));

        // Two days left out between the last update and the first day chosen.
        dialogs.clear();
        w->DateTimePicker1->setDate(QDate::currentDate().addDays(3));
        w->DateTimePicker2->setDate(QDate::currentDate().addDays(3));
        QTest::mouseClick(w->BtnActualizar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Los días del " + today(1) + " al " + today(2) +
                                             " quedan sin actualizar. ¿Desea continuar?"}));

        dialogs.clear();
        w->DateTimePicker2->setDate(QDate::currentDate());
        QTest::mouseClick(w->BtnActualizar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"La fecha final es anterior a la inicial."}));
        driven = true;
        w->reject();
    });
    QTest::mouseClick(f->BtnCierreDiario, Qt::LeftButton);
    EXPECT_TRUE(driven);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM VENTASACTUALIZADAS").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT CANTIDAD FROM MOVIMIENTODETALLE").toDouble(), -2);
}

TEST_F(TransferScreensTest, ThirdPartiesAndProductsGoUpAfterAQuestionAndComeBackValidated)
{
    auto f = menu();
    ASSERT_TRUE(f->BtnCopiarTerceros->isEnabled());
    kvtest::whenShown<TFrmVentasTerBd>([&](TFrmVentasTerBd* w) {
        EXPECT_EQ(w->PageControl1->tabText(1), "Terceros en Bd Removible");
        QTest::mouseClick(w->BtnSubir, Qt::LeftButton);  // the removable table is empty: no question
        EXPECT_EQ(shownTexts(), QStringList({"Termino la Preparación"}));
        EXPECT_EQ(w->DBGrid2->model()->rowCount(), 2);
        dialogs.clear();
        QTest::mouseClick(w->BtnSubir, Qt::LeftButton);  // now it asks, and No keeps the rows
        EXPECT_EQ(shownTexts(), QStringList({"La base de datos removible tiene 2 filas que se reemplazarán por las de "
                                             "esta base de datos. ¿Desea continuar?"}));
        dialogs.clear();
        QTest::mouseClick(w->BtnBajar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Termino la Actualización"}));
        EXPECT_EQ(w->Panel1->text(), " Nuevas 0, actualizadas 2");
        w->reject();
    });
    QTest::mouseClick(f->BtnCopiarTerceros, Qt::LeftButton);
    EXPECT_EQ(removable->scalar("SELECT COUNT(*) FROM PROVEEDORES").toInt(), 2);

    dialogs.clear();
    kvtest::whenShown<TFrmVentasProBd>([&](TFrmVentasProBd* w) {
        QTest::mouseClick(w->BtnSubir, Qt::LeftButton);
        QTest::mouseClick(w->BtnValidar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Termino la Preparación", "Termino La Validación"}));
        EXPECT_EQ(w->Memo1->toPlainText(), "Crear Grupo 07\nCrear Sub Grupo 3\nCrear Unidades UN");
        w->reject();
    });
    QTest::mouseClick(f->BtnCopiarProductos, Qt::LeftButton);
    EXPECT_EQ(removable->scalar("SELECT COUNT(*) FROM PRODUCTOS").toInt(), 1);
}

TEST_F(TransferScreensTest, DocumentsGoUpForTheChosenCompanyAndALoadOverExistingNumbersIsListedNotDone)
{
    ASSERT_TRUE(DailyUpdate(*db).run(QDate::currentDate(), QDate::currentDate()).stored());
    auto f = menu();
    kvtest::whenShown<TFrmVentasAlmBd>([&](TFrmVentasAlmBd* w) {
        EXPECT_EQ(w->DBText1->text(), "TIENDA CENTRO");
        // A double click on a date box opens the calendar; OK takes its date.
        kvtest::whenShown<TForm_Calendario>([](TForm_Calendario* c) {
            c->setDate(QDate(2026, 1, 31));
            QTest::mouseClick(c->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseDClick(w->EditFechaInicial->findChild<QLineEdit*>(), Qt::LeftButton);
        EXPECT_EQ(w->EditFechaInicial->date(), QDate(2026, 1, 31));
        w->DBLookupComboBox1->setCurrentIndex(w->DBLookupComboBox1->findText("FACTURA POS"));
        w->DBLookupComboBox2->setCurrentIndex(w->DBLookupComboBox2->findText("PRINCIPAL"));
        QTest::mouseClick(w->BtnSubir, Qt::LeftButton);
        EXPECT_EQ(w->Panel1->text(), " Subidos 1 documentos y 1 líneas");
        EXPECT_EQ(w->DBGrid1->model()->rowCount(), 1);
        EXPECT_EQ(w->DBGrid2->model()->rowCount(), 1);
        // Going up again would replace them: asked first, and No keeps them.
        QTest::mouseClick(w->BtnSubir, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Se borrarán los documentos que tiene la base de datos removible (2 filas). "
                                             "¿Desea continuar?"}));
        EXPECT_EQ(w->DBGrid1->model()->rowCount(), 1);
        dialogs.clear();

        // Back into this same database as the same company and type: every number is taken.
        QTest::mouseClick(w->BtnBajar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Estos números del documento POS de la empresa 01 ya existen en esta base "
                                             "de datos (en el inventario o en las ventas del punto de venta) o "
                                             "están repetidos en la removible:\n1\nNo se bajó nada."}));
        // As transfers they are new.
        dialogs.clear();
        w->DBLookupComboBox1->setCurrentIndex(w->DBLookupComboBox1->findText("TRASLADO"));
        QTest::mouseClick(w->BtnBajar, Qt::LeftButton);
        EXPECT_EQ(shownTexts(), QStringList({"Termino Corectamente"}));
        w->reject();
    });
    QTest::mouseClick(f->BtnCopiarKorvela, Qt::LeftButton);
    EXPECT_EQ(db->scalar("SELECT CANTIDAD FROM MOVIMIENTODETALLE WHERE DOCUMENTO = 'TRS'").toDouble(), 2);
}

}  // namespace
