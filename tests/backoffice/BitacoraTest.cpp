// The trail's back-office list offscreen: a day's rows, whatever event the registers wrote, narrowed
// to one cashier, and printed as a list with the amounts before and after.
#include "backoffice/UntBitacora.h"
#include "data/Trail.h"
#include "platform/EnvScope.h"
#include "support/TestDb.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>

using namespace kv;

namespace {

class BitacoraTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CAJA) VALUES (11, 'ANA RUIZ', 1)");
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CAJA) VALUES (22, 'LUIS PEREZ', 2)");
    }
    void row(const QDateTime& when, const char* evento, double cajero, const QVariant& consecutivo, const QVariant& antes,
             const QVariant& despues, const char* detalle)
    {
        db->exec("INSERT INTO POSBITACORA (FECHA, EVENTO, EMPRESA, DOCUMENTO, CONSECUTIVO, CAJA, CAJERO, VALORANTES, "
                 "VALORDESPUES, DETALLE) VALUES (:F, :E, '01', 'POS', :N, :C, :J, :A, :D, :T)",
                 {{"F", when}, {"E", evento}, {"N", consecutivo}, {"C", cajero == 11 ? 1 : 2}, {"J", cajero},
                  {"A", antes}, {"D", despues}, {"T", detalle}});
    }
    QStringList listed(TFrmBitacora& f)
    {
        QStringList out;
        Dataset& q = f.QBitacora();
        for (q.First(); !q.Eof(); q.Next())
            out << q["EVENTO"].asString() + QLatin1Char(' ') + q["NOMBRECAJERO"].asString();
        return out;
    }
};

TEST_F(BitacoraTest, ListsTheDayNarrowsToACashierAndPrintsTheAmounts)
{
    const QDate day(2026, 4, 7);
    row(QDateTime(day, QTime(8, 1)), "INGRESO", 11, QVariant(), QVariant(), QVariant(), "Ingreso a la caja");
    row(QDateTime(day, QTime(9, 30)), "ANULACION", 11, 361, 42483.0, 0.0, "Factura 361 anulada");
    row(QDateTime(day, QTime(10, 5)), "INGRESO FALLIDO", 22, QVariant(), QVariant(), QVariant(), "Clave errada");
    row(QDateTime(day, QTime(11, 0)), "CORRECCION", 22, 362, 14161.0, 20000.0, "Factura 362 reemplazada");
    row(QDateTime(day.addDays(1), QTime(8, 0)), "REIMPRESION", 11, 363, 500.0, 500.0, "Otro dia");

    TFrmBitacora f(*db);
    f.EditFecha->setDate(day);
    EXPECT_EQ(listed(f), QStringList({"INGRESO ANA RUIZ", "ANULACION ANA RUIZ", "INGRESO FALLIDO LUIS PEREZ",
                                      "CORRECCION LUIS PEREZ"}));
    f.CmbCajero->setCurrentIndex(f.CmbCajero->findData(22.0));
    EXPECT_EQ(f.CmbCajero->currentText(), "LUIS PEREZ (22)");
    EXPECT_EQ(listed(f), QStringList({"INGRESO FALLIDO LUIS PEREZ", "CORRECCION LUIS PEREZ"}));

    const QStringList texts = f.listReport()->render().texts();
    EXPECT_TRUE(texts.contains("BITACORA DE CAMBIOS 07/04/2026 - LUIS PEREZ (22)"));
    for (const char* t : {"CORRECCION", "362", "14,161.00", "20,000.00", "INGRESO FALLIDO", "Clave errada"})
        EXPECT_TRUE(texts.contains(t)) << t;
    EXPECT_FALSE(texts.contains("ANULACION"));

    // Printed (no output dialog installed: the preview, written as a PDF here).
    QDir out(dir.filePath("impreso"));
    QDir().mkpath(out.path());
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    f.BtnImprimir->click();
    EXPECT_EQ(out.entryList({"*.pdf"}, QDir::Files).size(), 1);
}

}  // namespace
