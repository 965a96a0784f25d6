// The sales exports, read back from the .xlsx files they write: headings, rows in order, numbers
// as numbers and dates as dates, the range's last day taken whole, totals that add the rows above
// them, and a cancelled export that leaves no file.
#include "backoffice/SalesExport.h"
#include "backoffice/UntVentasPosExcel.h"
#include "backoffice/UntVentasPosExcelP.h"
#include "catalog/UntCalendario.h"
#include "platform/Workbook.h"
#include "support/TestDb.h"
#include "support/QtPrinters.h"
#include "support/Xlsx.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kv;
using kvtest::XlsxCell;

namespace {

class SalesExportTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exports = dir.filePath(QStringLiteral("exportes"));
        qputenv("KORVELA_EXPORT_TO", exports.toUtf8());
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('01', 'CLINICA NORTE')");
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('02', 'CLINICA SUR')");
        // Doctors, and patients with a doctor on file, a doctor not on file, and none.
        person(900, "DRA LOPEZ", 0, "CALLE 1", "3001");
        person(901, "DR ZAPATA", 0, "CALLE 2", "3002");
        person(10, "ANA PEREZ", 900, "CRA 10", "555", QDate(1990, 3, 10));
        person(11, "BETO RUIZ", 901, "CRA 11", "556");
        person(12, "CARLA DIAZ", 777, "CRA 12", "557");  // 777 is not on file
        person(13, "DORA VEGA", 0, "CRA 13", "558");
        product(1, "CONSULTA", 0);
        product(2, "LIMPIEZA", 19);
    }
    void TearDown() override
    {
        qunsetenv("KORVELA_EXPORT_TO");
        DbTest::TearDown();
    }
    void person(double nit, const char* nombre, double padre, const char* dir, const char* tel, QDate born = {})
    {
        db->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE, PADRE, DIRECCION, TELEFONO, FAX, TIPOTERCERO, FECHANACIMIENTO) "
                 "VALUES (:N, :NO, :P, :D, :T, '310', 'C', :F)",
                 {{"N", nit}, {"NO", nombre}, {"P", padre ? QVariant(padre) : QVariant()}, {"D", dir}, {"T", tel},
                  {"F", born.isValid() ? QVariant(QDateTime(born, QTime(0, 0))) : QVariant()}});
    }
    void product(int n, const char* nombre, double iva)
    {
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORIVA) "
                 "VALUES (:C, '01', 1, :P, :N, 'UN', :I)",
                 {{"C", QString::number(n)}, {"P", n}, {"N", nombre}, {"I", iva}});
    }
    struct Line {
        int producto;
        double cantidad, subtotal, iva = 0, descuento = 0;
    };
    void sale(int numero, double cliente, const QDateTime& when, const char* pago, const QList<Line>& lines,
              const char* empresa = "01")
    {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, TIPODEPAGO) "
                 "VALUES (:E, 'POS', :N, 1, :F, :C, :T)",
                 {{"E", empresa}, {"N", numero}, {"F", when}, {"C", cliente}, {"T", pago}});
        int linea = 0;
        for (const Line& l : lines)
            db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                     "SUBTOTAL, VALORIVA, DESCUENTO) VALUES (:E, 'POS', :N, :L, :P, :Q, :S, :V, :D)",
                     {{"E", empresa}, {"N", numero}, {"L", ++linea}, {"P", l.producto}, {"Q", l.cantidad},
                      {"S", l.subtotal}, {"V", l.iva}, {"D", l.descuento}});
    }
    // A week of sales: 2 to 6 March 2026, plus one the day before and one the day after.
    void week()
    {
        sale(100, 10, at(1, 12), "C", {{1, 1, 50000}});           // before the range
        sale(101, 10, at(2, 9), "C", {{1, 1, 50000}, {2, 2, 119000, 19000}});
        sale(102, 11, at(3, 10), "k", {{2, 1, 59500, 9500}});
        sale(103, 12, at(4, 11), "E", {{1, 1, 40000}});          // doctor not on file, unknown payment code
        sale(104, 13, at(6, 23, 30), "T", {{1, 3, 120000}});     // late on the last day
        sale(105, 10, at(7, 8), "H", {{1, 1, 50000}});           // after the range
    }
    static QDateTime at(int day, int hour, int minute = 0) { return QDateTime(QDate(2026, 3, day), QTime(hour, minute)); }
    static QString money() { return QStringLiteral("###,###.00"); }

    QString exports;
};

TEST_F(SalesExportTest, DetalladoListsEveryLineOfTheWholeRangeWithItsDoctorAndTotals)
{
    week();
    TFrmVentasPosExcel f(*db);
    f.show();
    f.Edit1->setText("02/03/2026");
    f.Edit2->setText("06/03/2026");
    QTest::mouseClick(f.BtnDetallado, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{"Termino la Preparacion"});
    ASSERT_FALSE(f.lastFile().isEmpty());
    EXPECT_TRUE(f.lastFile().startsWith(exports));
    EXPECT_TRUE(f.Panel2->text().contains(QDir::toNativeSeparators(f.lastFile())));

    const auto s = kvtest::readXlsx(f.lastFile());
    EXPECT_EQ(s.at(1, 1), nullptr);
    EXPECT_EQ(s.row(2), QStringList({"Factura", "Fecha", "Doctor", "Paciente", "Producto", "Cantidad", "Valor",
                                     "Tipo De Pago", "Direccion", "Telefono"}));
    // Ordered by the patient's doctor number (none first), then by patient name.
    EXPECT_EQ(s.row(3), QStringList({"104", "06/03/2026", "Pasiente Cliente", "DORA VEGA", "CONSULTA", "3", "120000",
                                     "Tarjeta"}));
    EXPECT_EQ(s.row(4), QStringList({"103", "04/03/2026", "Pasiente Cliente", "CARLA DIAZ", "CONSULTA", "1", "40000"}));
    EXPECT_EQ(s.row(5), QStringList({"101", "02/03/2026", "DRA LOPEZ", "ANA PEREZ", "CONSULTA", "1", "50000", "Contado",
                                     "CALLE 1", "3001"}));
    EXPECT_EQ(s.row(6), QStringList({"101", "02/03/2026", "DRA LOPEZ", "ANA PEREZ", "LIMPIEZA", "2", "119000", "Contado",
                                     "CALLE 1", "3001"}));
    EXPECT_EQ(s.row(7), QStringList({"102", "03/03/2026", "DR ZAPATA", "BETO RUIZ", "LIMPIEZA", "1", "59500", "Cxc",
                                     "CALLE 2", "3002"}));
    // Numbers are numbers and dates are dates in the sheet.
    EXPECT_EQ(s.at(3, 1)->kind, XlsxCell::Number);
    EXPECT_EQ(s.at(3, 2)->kind, XlsxCell::Date);
    EXPECT_EQ(s.at(3, 2)->format, QStringLiteral("dd mmmm yyyy"));
    EXPECT_EQ(s.at(3, 7)->kind, XlsxCell::Number);
    // The totals row adds the rows above it.
    EXPECT_EQ(s.row(8), QStringList({"", "", "", "", "Total", "8", "388500"}));
    EXPECT_EQ(s.lastRow(), 8);
}

TEST_F(SalesExportTest, ResumidoTotalsEachDoctorsProductsAndLeavesOutPatientsWithoutADoctorOnFile)
{
    week();
    sale(110, 10, at(5, 10), "C", {{2, 1, 59500, 9500}});
    TFrmVentasPosExcel f(*db);
    f.show();
    f.Edit1->setText("2/3/2026");
    f.Edit2->setText("6/3/2026");
    QTest::mouseClick(f.BtnResumido, Qt::LeftButton);
    EXPECT_TRUE(dialogs.texts().isEmpty());  // this one ends without a message
    EXPECT_TRUE(f.DBGrid2->isVisible());
    EXPECT_FALSE(f.DBGrid1->isVisible());
    const auto s = kvtest::readXlsx(f.lastFile());
    EXPECT_EQ(s.row(2), QStringList({"Doctor", "Producto", "Cantidad", "Valor", "Direccion", "Telefono"}));
    EXPECT_EQ(s.row(3), QStringList({"DR ZAPATA", "LIMPIEZA", "1", "59500", "CALLE 2", "3002"}));
    EXPECT_EQ(s.row(4), QStringList({"DRA LOPEZ", "CONSULTA", "1", "50000", "CALLE 1", "3001"}));
    EXPECT_EQ(s.row(5), QStringList({"DRA LOPEZ", "LIMPIEZA", "3", "178500", "CALLE 1", "3001"}));
    EXPECT_EQ(s.lastRow(), 5);
    EXPECT_EQ(s.at(3, 4)->format, money());
    for (int c : {1, 2, 5, 6})
        EXPECT_NEAR(s.columnWidths.at(c), 40.7, 0.1) << c;
}

TEST_F(SalesExportTest, RipsGivesThePatientsDataAndTheirAgeInCompletedYears)
{
    sale(101, 10, at(2, 9), "C", {{1, 1, 50000}});
    sale(102, 13, at(2, 10), "O", {{1, 1, 30000}});
    for (const auto& [today, age] : {std::pair{QDate(2026, 3, 9), "35"}, std::pair{QDate(2026, 3, 10), "36"}}) {
        const QString path = dir.filePath(QStringLiteral("rips-%1.xlsx").arg(today.day()));
        {
            Workbook wb(path);
            EXPECT_EQ(SalesExport::rips(*db, wb, QDate(2026, 3, 2), QDate(2026, 3, 2), {}, today), 2);
            wb.save();
        }
        const auto s = kvtest::readXlsx(path);
        EXPECT_EQ(s.row(2).size(), 16);
        EXPECT_EQ(s.row(2).at(11), QStringLiteral("Edad"));
        EXPECT_EQ(s.row(3), QStringList({"102", "02/03/2026", "Pasiente Cliente", "13", "C", "DORA VEGA", "", "310", "558",
                                         "CRA 13", "", "", "CONSULTA", "1", "30000", "Otra Moneda"}));
        EXPECT_EQ(s.row(4), QStringList({"101", "02/03/2026", "DRA LOPEZ", "10", "C", "ANA PEREZ", "", "310", "555",
                                         "CRA 10", "10/03/1990", age, "CONSULTA", "1", "50000", "Contado"}));
        EXPECT_EQ(s.at(4, 11)->format, QStringLiteral("dd mm yyyy"));
        EXPECT_EQ(s.row(5).mid(12), QStringList({"Total", "2", "80000"}));
    }
}

TEST_F(SalesExportTest, PorProductoTotalsAddWhatTheRowsShowForTheCompanyShown)
{
    sale(201, 10, at(2, 9), "C", {{1, 2, 100000, 0, 5000}, {2, 1, 119000, 19000}});
    sale(202, 11, at(2, 18), "C", {{2, 1, 59500, 9500, 500}});
    sale(301, 10, at(2, 9), "C", {{1, 9, 900000}}, "02");  // another company
    TFrmVentasPosExcelP f(*db);
    f.show();
    EXPECT_EQ(f.DBEdit2->text().trimmed(), QStringLiteral("01"));
    f.Edit1->setText("02/03/2026");
    f.Edit2->setText("02/03/2026");
    QTest::mouseClick(f.BtnCopiar, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{"Termino la Preparacion"});
    auto s = kvtest::readXlsx(f.lastFile());
    EXPECT_EQ(s.row(1), QStringList{"01"});
    EXPECT_EQ(s.row(2), QStringList{"Periodo 02/03/2026 Hasta 02/03/2026"});
    EXPECT_EQ(s.row(3), QStringList({"Codigo", "Descripcion", "Porcentaje Iva", "Cantidad", "Descuento", "Iva", "TOTAL"}));
    EXPECT_EQ(s.row(4), QStringList({"1", "CONSULTA", "0", "2", "5000", "0", "95000"}));
    EXPECT_EQ(s.row(5), QStringList({"2", "LIMPIEZA", "19", "2", "500", "28500", "149500"}));
    // The TOTAL column adds the rows' amounts net of discount and IVA, as the rows show them.
    EXPECT_EQ(s.row(6), QStringList({"", "Total", "", "", "", "28500", "244500"}));
    for (int c : {3, 5, 6, 7})
        EXPECT_EQ(s.at(5, c)->format, money()) << c;
    EXPECT_EQ(s.at(6, 7)->format, money());

    // The next company, and a range without sales: headings and a Total row of zeros.
    f.DBNavigator1->click(DbNavigator::Next);
    f.Edit1->setText("03/03/2026");
    f.Edit2->setText("03/03/2026");
    QTest::mouseClick(f.BtnCopiar, Qt::LeftButton);
    s = kvtest::readXlsx(f.lastFile());
    EXPECT_EQ(s.row(1), QStringList{"02"});
    EXPECT_EQ(s.row(4), QStringList({"", "Total", "", "", "", "0", "0"}));
    EXPECT_EQ(s.lastRow(), 4);
}

TEST_F(SalesExportTest, DatesAreReadAsDayMonthYearWhateverTheMachinesSettings)
{
    week();
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // a machine set to month/day
    TFrmVentasPosExcel f(*db);
    f.show();
    // Today's date is shown the way it is read back.
    EXPECT_EQ(f.Edit1->text(), QDate::currentDate().toString("dd/MM/yyyy"));
    f.Edit1->setText("03/03/2026");
    f.Edit2->setText("04/03/2026");
    QTest::mouseClick(f.BtnValidar, Qt::LeftButton);
    EXPECT_EQ(f.QConcepto.recordCount(), 2);  // sales 102 and 103, not January to April
    EXPECT_EQ(f.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(f.DBGrid1->model()->columnCount(), f.QConcepto.fieldCount());

    // Not a date: the conversion's message, and nothing is exported.
    f.Edit2->setText("31/02/2026");
    QTest::mouseClick(f.BtnDetallado, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts("error").size(), 1);
    // The last day before the first.
    f.Edit2->setText("01/03/2026");
    QTest::mouseClick(f.BtnRips, Qt::LeftButton);
    EXPECT_EQ(dialogs.last(), QStringLiteral("La fecha final es anterior a la inicial."));
    EXPECT_TRUE(f.lastFile().isEmpty());
    EXPECT_TRUE(QDir(exports).entryList(QDir::Files).isEmpty());
    QLocale::setDefault(before);
}

TEST_F(SalesExportTest, TheCalendarWritesTheDateInTheFormItIsReadIn)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TFrmVentasPosExcel f(*db);
    f.show();
    f.Edit1->setText("05/03/2026");
    QDate shown;
    QTimer::singleShot(0, [&] {
        auto& cal = Form_Calendario();
        shown = cal.date();
        cal.setDate(QDate(2026, 1, 7));
        cal.BitBtn1->click();
    });
    QTest::mouseDClick(f.Edit1, Qt::LeftButton);
    QLocale::setDefault(before);
    EXPECT_EQ(shown, QDate(2026, 3, 5));  // it opens on the date the box holds
    EXPECT_EQ(f.Edit1->text(), QStringLiteral("07/01/2026"));
}

TEST_F(SalesExportTest, ACancelledExportLeavesNoFile)
{
    for (int n = 1; n <= 600; ++n)
        sale(1000 + n, 10, at(2, 9), "C", {{1, 1, 1000}});
    TFrmVentasPosExcel f(*db);
    f.show();
    f.Edit1->setText("02/03/2026");
    f.Edit2->setText("02/03/2026");
    // Cancel is pressed while the rows are being written.
    QTimer::singleShot(0, &f, [&f] {
        if (auto* box = f.findChild<QProgressDialog*>(QStringLiteral("Progreso")))
            box->cancel();
    });
    QTest::mouseClick(f.BtnDetallado, Qt::LeftButton);
    EXPECT_EQ(dialogs.last(), QStringLiteral("Copia cancelada; no se guardó ningún libro."));
    EXPECT_TRUE(f.lastFile().isEmpty());
    EXPECT_TRUE(QDir(exports).entryList(QDir::Files).isEmpty());
}

}  // namespace
