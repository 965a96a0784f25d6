// The sales reports menu: the removable database is connected only to a real file that is not
// one of the live databases, and "Iva Generado" prints the chosen days of the chosen register's
// company.
#include "backoffice/UntVentaReportes.h"
#include "pos/UntVentaCajaArqueoRpt1.h"
#include "pos/UntVentaCajaArqueoRpt2.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kv;

namespace {

class VentaReportesTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (4, 1, 'POS', '07')");
        db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (1, 'CAJA PRINCIPAL', 4)");
        db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CAJA) VALUES (11, 'ANA', 1)");
    }
    bool copiesEnabled(const TFrmVentaReportes& f)
    {
        return f.BtnCopiarKorvela->isEnabled() && f.BtnCopiarTerceros->isEnabled() && f.BtnCopiarProductos->isEnabled();
    }
    void connectTo(TFrmVentaReportes& f, const QString& path)
    {
        f.Edit1->setText(path);
        QTest::mouseClick(f.BtnConectar, Qt::LeftButton);
    }
};

TEST_F(VentaReportesTest, TheRemovableDatabaseConnectsOnlyToARealFileThatIsNotInUse)
{
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    f.show();
    EXPECT_EQ(f.Edit1->text(), "D:\\DbPosZ.gdb");
    EXPECT_FALSE(copiesEnabled(f));
    EXPECT_TRUE(f.BtnExcel->isEnabled());  // the export works without the removable database

    connectTo(f, dir.filePath("no-existe.gdb"));
    EXPECT_EQ(dialogs.texts("message"), QStringList{"Base de Datos No Existe"});
    EXPECT_FALSE(copiesEnabled(f));

    QDir().mkpath(dir.filePath("usb"));
    const QString other = kvtest::freshPosDatabase(dir.filePath("usb"));
    connectTo(f, other);
    EXPECT_TRUE(copiesEnabled(f));
    EXPECT_TRUE(removable.isOpen());

    // The live database, even written another way, is refused; and the copies are off again.
    dialogs.clear();
    connectTo(f, QDir(dir.path()).filePath(QStringLiteral("./") + QFileInfo(db->location()).fileName()));
    EXPECT_EQ(dialogs.texts("message").size(), 1);
    EXPECT_TRUE(dialogs.last().contains("en uso")) << dialogs.last().toStdString();
    EXPECT_FALSE(copiesEnabled(f));
    EXPECT_FALSE(removable.isOpen());
}

TEST_F(VentaReportesTest, IvaGeneradoPrintsTheChosenRegistersCompanyForTheChosenDays)
{
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    EXPECT_EQ(f.DBLookupComboBox1->currentText(), "CAJA PRINCIPAL");
    EXPECT_EQ(f.DBLookupComboBox2->currentText(), "ANA");
    EXPECT_EQ(f.empresa(), "07");
    EXPECT_EQ(f.cajero().toDouble(), 11.0);

    // The last day follows the first; one before it is refused.
    f.DateTimePicker1->setDate(QDate(2026, 3, 5));
    EXPECT_EQ(f.DateTimePicker2->date(), QDate(2026, 3, 5));
    f.DateTimePicker2->setDate(QDate(2026, 3, 4));
    const QString pdfs = dir.filePath("pdf");
    QDir().mkpath(pdfs);
    qputenv("KORVELA_PRINT_TO", pdfs.toUtf8());
    QTest::mouseClick(f.BtnIva, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts("message"), QStringList{"La fecha final es anterior a la inicial."});
    EXPECT_TRUE(QDir(pdfs).entryList({"*.pdf"}).isEmpty());

    f.DateTimePicker2->setDate(QDate(2026, 3, 6));
    QTest::mouseClick(f.BtnIva, Qt::LeftButton);
    qunsetenv("KORVELA_PRINT_TO");
    EXPECT_EQ(QDir(pdfs).entryList({"*.pdf"}).size(), 1);
}

TEST_F(VentaReportesTest, TheDailyListingsTakeTheChosenRegistersCompanyTypeAndRegisterOrCashier)
{
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (2, 'CAJA DOS', 4)");
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CAJA) VALUES (22, 'BETO', 2)");
    db->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE) VALUES (222222222, 'CLIENTES VARIOS')");
    db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('1', '01', 1, 1, 'ARROZ', 'UN')");
    // Sales of both registers and cashiers on the day, and one of another company.
    struct S {
        int n;
        double caja, cajero;
        const char* empresa;
    };
    for (const S& v : {S{1, 1, 11, "07"}, S{2, 2, 22, "07"}, S{3, 1, 11, "99"}}) {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, CAJA, CAJERO, "
                 "VENDEDOR, NETO, TIPODEPAGO, STATUS) VALUES (:E, 'POS', :N, 1, :F, 222222222, :C, :K, :K, 1000, 'C', "
                 "'I')",
                 {{"E", v.empresa}, {"N", v.n}, {"F", QDateTime(QDate(2026, 3, 5), QTime(9, 0))}, {"C", v.caja}, {"K", v.cajero}});
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, SUBTOTAL) "
                 "VALUES (:E, 'POS', :N, 1, 1, 1, 1000)",
                 {{"E", v.empresa}, {"N", v.n}});
    }
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    f.DateTimePicker1->setDate(QDate(2026, 3, 5));
    ASSERT_EQ(f.DBLookupComboBox1->currentText(), "CAJA DOS");  // listed by name
    EXPECT_EQ(f.documento(), "POS");
    const QString pdfs = dir.filePath("listings");
    QDir().mkpath(pdfs);
    qputenv("KORVELA_PRINT_TO", pdfs.toUtf8());
    for (QPushButton* b : {f.BtnPorCaja, f.BtnPorCajero, f.BtnPorCajero2})
        QTest::mouseClick(b, Qt::LeftButton);
    qunsetenv("KORVELA_PRINT_TO");
    EXPECT_EQ(QDir(pdfs).entryList({"*.pdf"}).size(), 3);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(" | ").toStdString();

    // By register: only the chosen register's documents of the company; by cashier likewise.
    CashReportParams p;
    p.first = p.last = QDate(2026, 3, 5);
    p.empresa = f.empresa();
    p.documento = f.documento();
    auto documents = [](const Document& d) {
        QStringList found;
        for (const QString& t : d.texts())
            if (t.contains("ARROZ"))
                found << t;
        return found.size();
    };
    EXPECT_EQ(documents(TFrmVentaCajaArqueoRpt1::build(*db, p)->render()), 2);          // both registers of company 07
    EXPECT_EQ(documents(TFrmVentaCajaArqueoRpt1::build(*db, p, {2, 0})->render()), 1);  // register 2 only
    EXPECT_EQ(documents(TFrmVentaCajaArqueoRpt2::build(*db, p, {0, 11})->render()), 1); // cashier 11 only
}

TEST_F(VentaReportesTest, TheListingButtonsHandOverTheRegisterAndCashierChosenOnTheScreen)
{
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (2, 'CAJA DOS', 4)");
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CAJA) VALUES (22, 'BETO', 2)");
    db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('1', '01', 1, 1, 'ARROZ', 'UN')");
    // Ana sells at the main register, Beto at register two, each to a customer of their own.
    struct S {
        int n;
        double caja, cajero, cliente;
        const char* nombre;
    };
    for (const S& v : {S{1, 1, 11, 111, "CLIENTE DE ANA"}, S{2, 2, 22, 222, "CLIENTE DE BETO"}}) {
        db->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE) VALUES (:N, :NOMBRE)", {{"N", v.cliente}, {"NOMBRE", v.nombre}});
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, CAJA, CAJERO, "
                 "VENDEDOR, NETO, TIPODEPAGO, STATUS) VALUES ('07', 'POS', :N, 1, :F, :CL, :C, :K, :K, 1000, 'C', 'I')",
                 {{"N", v.n}, {"F", QDateTime(QDate(2026, 3, 5), QTime(9, 0))}, {"CL", v.cliente}, {"C", v.caja},
                  {"K", v.cajero}});
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, SUBTOTAL) "
                 "VALUES ('07', 'POS', :N, 1, 1, 1, 1000)",
                 {{"N", v.n}});
    }
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    f.DateTimePicker1->setDate(QDate(2026, 3, 5));
    const QString pdfs = dir.filePath("chosen");
    QDir().mkpath(pdfs);
    qputenv("KORVELA_PRINT_TO", pdfs.toUtf8());
    // What the button printed, as text.
    auto printed = [&](QPushButton* b) {
        const QStringList before = QDir(pdfs).entryList({"*.pdf"});
        QTest::mouseClick(b, Qt::LeftButton);
        QStringList after = QDir(pdfs).entryList({"*.pdf"});
        for (const QString& old : before)
            after.removeAll(old);
        EXPECT_EQ(after.size(), 1);
        QProcess p;
        p.start("pdftotext", {QDir(pdfs).filePath(after.value(0)), "-"});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    struct Case {
        const char* caja;
        const char* cajero;
        QPushButton* button;
        const char* shown;
        const char* left;
    };
    const Case cases[] = {
        {"CAJA DOS", "ANA", f.BtnPorCaja, "CLIENTE DE BETO", "CLIENTE DE ANA"},
        {"CAJA PRINCIPAL", "BETO", f.BtnPorCaja, "CLIENTE DE ANA", "CLIENTE DE BETO"},
        {"CAJA PRINCIPAL", "BETO", f.BtnPorCajero, "CLIENTE DE BETO", "CLIENTE DE ANA"},
        {"CAJA DOS", "ANA", f.BtnPorCajero, "CLIENTE DE ANA", "CLIENTE DE BETO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caja) + " " + c.cajero);
        f.DBLookupComboBox1->setCurrentText(c.caja);
        f.DBLookupComboBox2->setCurrentText(c.cajero);
        const QString text = printed(c.button);
        EXPECT_TRUE(text.contains(c.shown)) << text.toStdString();
        EXPECT_FALSE(text.contains(c.left)) << text.toStdString();
    }
    qunsetenv("KORVELA_PRINT_TO");
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(" | ").toStdString();
}

TEST_F(VentaReportesTest, TheExportButtonsOpenTheirScreensWithoutTheRemovableDatabase)
{
    Connection removable(QStringLiteral("KorvelaZ"));
    TFrmVentaReportes f(*db, removable);
    f.show();
    for (QPushButton* b : {f.BtnExcel, f.BtnCuadre, f.BtnConsolidado}) {
        QString opened;
        QTimer::singleShot(0, [&] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = w->windowTitle();
                w->reject();
            }
        });
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(opened, b == f.BtnConsolidado ? QStringLiteral("Excel Movimiento Por Producto")
                                                : QStringLiteral("Excel Movimiento"))
            << b->text().toStdString();
    }
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

}  // namespace
