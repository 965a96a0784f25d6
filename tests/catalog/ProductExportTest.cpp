// The products into a spreadsheet: the checked columns in their order, the range as numbers only,
// the price net of IVA, and each unit of packing's prices after the product's columns; read back
// from the .xlsx file written.
#include "catalog/UntProductos.h"
#include "catalog/UntProductosExcel.h"
#include "support/QtPrinters.h"
#include "support/TestDb.h"
#include "support/Xlsx.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kv;
using kvtest::XlsxCell;

namespace {

class ProductExportTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exports = dir.filePath(QStringLiteral("exportes"));
        qputenv("KORVELA_EXPORT_TO", exports.toUtf8());
        product(30, "ACEITE", 11900, 19, "S");
        product(10, "VINO", 20000, 19, "N");
        product(20, "ARROZ", 2500, 0, "N");
        price(30, "UN", 1, 11900, 11500);
        price(30, "CJ", 12, 130000, 125000);
    }
    void TearDown() override
    {
        qunsetenv("KORVELA_EXPORT_TO");
        DbTest::TearDown();
    }
    void product(int n, const char* nombre, double precio, double iva, const char* incluido)
    {
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORUNIDAD, VALORIVA, "
                 "PRECIOMASIVA) VALUES (:C, '01', 1, :P, :N, 'UN', :V, :I, :S)",
                 {{"C", QStringLiteral("C%1").arg(n)}, {"P", n}, {"N", nombre}, {"V", precio}, {"I", iva}, {"S", incluido}});
    }
    void price(int n, const char* unidad, double cantidad, double mostrador, double empresa)
    {
        db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA) "
                 "VALUES (:P, :U, :C, :M, :E)",
                 {{"P", n}, {"U", unidad}, {"C", cantidad}, {"M", mostrador}, {"E", empresa}});
    }
    void check(TFrmProductosExcel& f, const QStringList& captions)
    {
        for (const QString& c : captions) {
            ASSERT_NE(f.checkBox(c), nullptr) << c.toStdString();
            f.checkBox(c)->setChecked(true);
        }
    }
    kvtest::XlsxSheet copy(TFrmProductosExcel& f)
    {
        QTest::mouseClick(f.BtnCopiar, Qt::LeftButton);
        EXPECT_EQ(dialogs.last(), QStringLiteral("Termino la Preparacion"));
        return kvtest::readXlsx(f.lastFile());
    }
    QString exports;
};

TEST_F(ProductExportTest, CheckedColumnsComeInTheirOrderWithTheProductsInTheChosenOrder)
{
    TFrmProductosExcel f(*db);
    f.show();
    EXPECT_EQ(f.Edit1->text(), "1");
    EXPECT_EQ(f.Edit2->text(), "999999999");
    check(f, {"Precio", "Nombre", "Codigo"});
    f.RadioGroup1->setItemIndex(1);  // "Númerico"
    QTest::mouseClick(f.BtnValidar, Qt::LeftButton);
    EXPECT_EQ(f.QProductos.recordCount(), 3);
    EXPECT_EQ(f.DBGrid1->model()->columnCount(), 5);
    auto s = copy(f);
    EXPECT_EQ(s.row(1), QStringList({"PRODUCTO", "CODIGO", "NOMBRE", "VALORUNIDAD", "CONSTANT"}));
    EXPECT_EQ(s.row(2), QStringList({"10", "C10", "VINO", "20000", "."}));
    EXPECT_EQ(s.row(3), QStringList({"20", "C20", "ARROZ", "2500", "."}));
    EXPECT_EQ(s.row(4), QStringList({"30", "C30", "ACEITE", "11900", "."}));
    EXPECT_EQ(s.at(2, 1)->kind, XlsxCell::Number);
    EXPECT_EQ(s.at(2, 4)->kind, XlsxCell::Number);
    EXPECT_EQ(s.lastRow(), 4);

    // "Alfabetico", from the second product number on.
    f.RadioGroup1->setItemIndex(0);
    f.Edit1->setText("20");
    QTest::mouseClick(f.BtnValidar, Qt::LeftButton);
    s = copy(f);
    EXPECT_EQ(s.row(2).mid(0, 3), QStringList({"30", "C30", "ACEITE"}));
    EXPECT_EQ(s.row(3).mid(0, 3), QStringList({"20", "C20", "ARROZ"}));
    EXPECT_EQ(s.lastRow(), 3);
}

TEST_F(ProductExportTest, ValorSinIvaTakesTheIvaOutOfPricesThatIncludeIt)
{
    TFrmProductosExcel f(*db);
    f.show();
    check(f, {"Precio", "Valor sin Iva"});
    f.RadioGroup1->setItemIndex(1);
    const auto s = copy(f);  // copied without a "Validar" first: the list is made from the boxes
    EXPECT_EQ(s.row(1).mid(0, 3), QStringList({"PRODUCTO", "VALORUNIDAD", "VALORSINIVA"}));
    EXPECT_EQ(s.row(2).mid(0, 3), QStringList({"10", "20000", "20000"}));  // IVA added at the till
    EXPECT_EQ(s.row(3).mid(0, 3), QStringList({"20", "2500", "2500"}));
    EXPECT_EQ(s.row(4).mid(0, 3), QStringList({"30", "11900", "10000"}));  // 19 % included
}

TEST_F(ProductExportTest, PricesPerUnitFollowTheProductAfterAnEmptyColumn)
{
    TFrmProductosExcel f(*db);
    f.show();
    check(f, {"Nombre", "Precios"});
    f.RadioGroup1->setItemIndex(1);
    QTest::mouseClick(f.BtnValidar, Qt::LeftButton);
    const auto s = copy(f);
    EXPECT_EQ(s.row(1), QStringList({"PRODUCTO", "NOMBRE", "CONSTANT"}));
    EXPECT_EQ(s.row(2), QStringList({"10", "VINO", "."}));  // no prices: nothing after
    EXPECT_EQ(s.row(4), QStringList({"30", "ACEITE", ".", "", "CJ * 12", "130000", "125000", "", "UN * 1", "11900",
                                     "11500"}));
    EXPECT_EQ(s.at(4, 6)->kind, XlsxCell::Number);
    EXPECT_EQ(s.lastRow(), 4);
}

TEST_F(ProductExportTest, TheRangeTakesWholeNumbersOnly)
{
    TFrmProductosExcel f(*db);
    f.show();
    for (const char* typed : {"abc", "1' OR '1'='1", "", "2.5", "-1"}) {
        dialogs.clear();
        f.Edit1->setText(QString::fromLatin1(typed));
        QTest::mouseClick(f.BtnValidar, Qt::LeftButton);
        EXPECT_EQ(dialogs.texts(), QStringList{"Los productos Desde y Hasta deben ser números enteros."}) << typed;
        EXPECT_FALSE(f.QProductos.active()) << typed;
    }
    QTest::mouseClick(f.BtnCopiar, Qt::LeftButton);
    EXPECT_TRUE(f.lastFile().isEmpty());
    EXPECT_TRUE(QDir(exports).entryList(QDir::Files).isEmpty());
}

TEST_F(ProductExportTest, TheProductsScreensExcelButtonOpensTheExport)
{
    TFrmProductos p(*db);
    p.show();
    EXPECT_EQ(p.SpeedButton1->accessibleName(), QStringLiteral("Excel"));
    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<TFrmProductosExcel*>(QApplication::activeModalWidget())) {
            opened = w->windowTitle();
            w->reject();
        }
    });
    QTest::mouseClick(p.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(opened, QStringLiteral("Excel Movimiento"));
}

}  // namespace
