// The order receipt and the day's order listings on a small fixture of orders written straight
// into the order tables: the receipt reads one order by its whole key, the listings count paid
// orders only, list every seller once whatever his opening rows, and the "Reporte Cotizaciones"
// window heads and runs them for the cashier it is given.
#include "common/Dates.h"
#include "einvoice/PosDocument.h"
#include "support/TestDb.h"

#include "../platform/EnvScope.h"
#include "common/Numbers.h"
#include "orders/UntPedidoCajaArqueo.h"
#include "orders/UntPedidoCajaArqueoRpt1.h"
#include "orders/UntPedidoCajaArqueoRpt2.h"
#include "orders/UntPedidoCajaRpt.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace kv;

namespace {

const QDate kToday = QDate::currentDate();

struct Line {
    int producto;
    QString observacion;
    double cantidad, precio, porcentaje;
};

struct Order {
    int numero;
    QString tipo;  // TIPODEPAGO; empty stores null
    double neto;
    double vendedor = 11, caja = 1;
    bool paid = true;
    QDate dia = kToday;
    QString documento = QStringLiteral("COT");
};

class OrderReportsTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO REGISTRO (NOMBRE, NIT) VALUES ('LA CANDELARIA', 900123456)");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (222222222, '1', 'CLIENTES VARIOS')");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (80123456, '7', 'ANA RUIZ')");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('1', '01', 1, 1, "
                 "'HAMBURGUESA', 'UN')");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('2', '01', 1, 2, "
                 "'GASEOSA', 'UN')");
        for (int c : {1, 2})
            db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (:C, :N, 1)",
                     {{"C", c}, {"N", QStringLiteral("CAJA %1").arg(c)}});
        for (int c : {11, 22, 33})
            db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA) VALUES (:C, :N, '1', 'V', :K)",
                     {{"C", c}, {"N", QStringLiteral("CAJERO %1").arg(c)}, {"K", c == 33 ? 2 : 1}});
    }

    void addOrder(const Order& o)
    {
        db->exec("INSERT INTO POSREMISIONES (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, STATUS, SUBTOTAL, "
                 "DESCUENTO, IVA, NETO, VENDEDOR, TIPODEPAGO, CAJA) VALUES ('01', :D, :C, 1, :F, 222222222, :S, :N, 0, 0, "
                 ":N, :V, :T, :K)",
                 {{"D", o.documento}, {"C", o.numero}, {"F", QDateTime(o.dia, QTime(10, o.numero))},
                  {"S", o.paid ? QVariant("I") : QVariant()}, {"N", o.neto}, {"V", o.vendedor},
                  {"T", o.tipo.isEmpty() ? QVariant() : QVariant(o.tipo)}, {"K", o.caja}});
    }
    void addLines(const QString& documento, int numero, const QList<Line>& lines)
    {
        int linea = 0;
        for (const Line& l : lines) {
            const double bruto = R(l.cantidad * l.precio);
            db->exec("INSERT INTO POSREMISIONESDETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, OBSERVACION, "
                     "CANTIDAD, PRECIOUNIDAD, PORCENTAJEDESCUENTO, VALORDESCUENTO, VALORIVA, SUBTOTAL) VALUES ('01', :D, "
                     ":C, :L, :P, :O, :Q, :PR, :PC, :VD, 0, :S)",
                     {{"D", documento}, {"C", numero}, {"L", ++linea}, {"P", l.producto}, {"O", l.observacion},
                      {"Q", l.cantidad}, {"PR", l.precio}, {"PC", l.porcentaje}, {"VD", R(l.porcentaje * bruto / 100)},
                      {"S", bruto}});
        }
    }
    void opening(double caja, double cajero, double valor, QTime at = QTime(0, 0))
    {
        db->exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (:C, :J, :F, :V)",
                 {{"C", caja}, {"J", cajero}, {"F", QDateTime(kToday, at)}, {"V", valor}});
    }
    // The day of two registers: cashier 11 on both, 22 on register 1 without an opening amount,
    // 33 on register 2; an unpaid quotation and an order of yesterday.
    void seedDay()
    {
        const QList<Order> orders{
            {1, "C", 10000}, {2, "H", 20000}, {3, "T", 5000}, {4, "O", 7000}, {5, "", 3000},
            {6, "C", 99999, 11, 1, false},                // a quotation never paid
            {7, "C", 4000, 22},                           // a seller who never opened the register
            {8, "C", 6000, 11, 2},                        // cashier 11 at the other register
            {9, "C", 8000, 33, 2},
            {10, "C", 55555, 11, 1, true, kToday.addDays(-1)},
        };
        for (const Order& o : orders)
            addOrder(o);
        opening(1, 11, 100000);
        opening(1, 11, 50000, QTime(14, 0));  // a second opening row the same day
        opening(2, 11, 20000);
        opening(2, 33, 70000);
    }
    // The n texts after `caption`, in reading order.
    static QStringList after(const QStringList& texts, const QString& caption, int n)
    {
        const int at = texts.indexOf(caption);
        return at < 0 ? QStringList{QStringLiteral("<no ") + caption + QLatin1Char('>')} : texts.mid(at + 1, n);
    }
    // The numbers of the orders a listing shows ("Fac 7 Nit ..."), in order.
    static QStringList listedOrders(const QStringList& texts)
    {
        QStringList numbers;
        for (const QString& t : texts)
            if (t.startsWith("Fac "))
                numbers << t.section(' ', 1, 1);
        return numbers;
    }
    static QStringList namedTexts(const Document& doc, const QString& name)
    {
        QStringList out;
        for (const DocItem* i : doc.findNamed(name))
            out << i->text;
        return out;
    }
    static QString money(double v) { return FormatFloat("###,###.00", v); }
};

TEST_F(OrderReportsTest, TheReceiptPrintsTheOrderOfItsOwnDocumentTypeWithItsLinesAndTotals)
{
    Order cot{5, "C", 0};
    addOrder(cot);
    db->exec("UPDATE POSREMISIONES SET CLIENTE = 80123456, SUBTOTAL = 28000, DESCUENTO = 2875, NETO = 25125, "
             "FECHA = :F WHERE CONSECUTIVO = 5",
             {{"F", QDateTime(kToday, QTime(15, 7))}});
    addLines("COT", 5, {{1, "sin cebolla", 2, 12500, 10}, {2, "GASEOSA", 1, 3000, 12.5}});
    // Order 5 of another document type, whose line must stay off this receipt.
    Order ped{5, "C", 1000};
    ped.documento = "PED";
    addOrder(ped);
    addLines("PED", 5, {{2, "OTRA COSA", 1, 1000, 0}});

    const Document doc = TFrmPedidoCajaRpt::render(*db, {"01", "COT", 5});
    const QStringList texts = doc.texts();
    EXPECT_EQ(namedTexts(doc, "Descripcion"), QStringList({"sin cebolla HAMBURGUESA", "GASEOSA"}));
    EXPECT_EQ(namedTexts(doc, "PORCENTAJEDESCUENTO"), QStringList({"10", "12.5"}));
    EXPECT_EQ(namedTexts(doc, "SUBTOTAL"), QStringList({"25,000.00", "3,000.00"}));
    EXPECT_TRUE(texts.contains("80."));
    EXPECT_EQ(doc.named("CONSECUTIVO")->text, "5");
    EXPECT_EQ(doc.named("Cliente")->text, "80,123,456-7  ANA RUIZ");
    // The heading states Colombian time, as the sale receipts do, whatever the machine's zone.
    const QString hour = FormatDateTime("hh:nn AM/PM", colombianTime(QDateTime(kToday, QTime(15, 7))));
    EXPECT_TRUE(doc.named("Fecha")->text.endsWith(hour)) << doc.named("Fecha")->text.toStdString();
    EXPECT_TRUE(texts.contains("%Des   "));
    EXPECT_EQ(after(texts, "SUBTOTAL", 1), QStringList({"28,000.00"}));
    EXPECT_EQ(after(texts, "Descuento Autirizado", 1), QStringList({"2,875.00"}));
    EXPECT_EQ(after(texts, "Valor Cotización", 1), QStringList({"25,125.00"}));
    EXPECT_EQ(texts.last(), ".");
    EXPECT_DOUBLE_EQ(doc.pageSize.width(), 80);
}

TEST_F(OrderReportsTest, AReprintOfANumberWithoutAnOrderShowsAnEmptyReceipt)
{
    const Document doc = TFrmPedidoCajaRpt::render(*db, {"01", "COT", 99});
    const QStringList texts = doc.texts();
    EXPECT_TRUE(texts.contains("80."));
    EXPECT_TRUE(texts.contains("Valor Cotización"));
    EXPECT_TRUE(doc.findNamed("Descripcion").isEmpty());
    EXPECT_EQ(doc.named("NETO")->text, "");
    EXPECT_EQ(doc.named("Cliente")->text, "");
}

TEST_F(OrderReportsTest, PayingPrintsTheReceiptAndAReprintShowsItThroughTheInvoicePrinting)
{
    addOrder({3, "C", 1500});
    addLines("COT", 3, {{2, "", 1, 1500, 0}});
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    EXPECT_EQ(invoicePrintFor(InvoiceCaller::OrderPayment).output, PrintOutput::Printer);
    EXPECT_EQ(invoicePrintFor(InvoiceCaller::OrderReprint).output, PrintOutput::Preview);
    EXPECT_EQ(TFrmPedidoCajaRpt::Imprimir(*db, {"01", "COT", 3}, InvoiceCaller::OrderPayment), PrintResult::Printed);
    EXPECT_EQ(TFrmPedidoCajaRpt::Imprimir(*db, {"01", "COT", 3}, InvoiceCaller::OrderReprint), PrintResult::Printed);
    EXPECT_EQ(QDir(out.path()).entryList({"*.pdf"}).size(), 2);
}

TEST_F(OrderReportsTest, TheRegisterListingCountsPaidOrdersOfEverySellerOnceWithTheRegistersOpeningAmounts)
{
    seedDay();
    const Document doc = TFrmPedidoCajaArqueoRpt1::build(*db, kToday, 1)->render();
    const QStringList texts = doc.texts();
    EXPECT_TRUE(texts.contains("COTIZACIONES DIARIAS POR CAJA"));
    EXPECT_TRUE(texts.contains("LA CANDELARIA"));
    EXPECT_TRUE(texts.contains("Nit : 900,123,456"));

    // Every paid order of the register's day once, the seller without an opening row included.
    EXPECT_EQ(listedOrders(texts), QStringList({"1", "2", "3", "4", "5", "7"}));

    // One column per payment type; other codes and none go to "Otra Moneda".
    EXPECT_EQ(after(texts, "Total Cajero CAJERO 11", 5),
              QStringList({money(10000), money(20000), money(5000), money(10000), money(45000)}));
    EXPECT_EQ(after(texts, "Total Cajero CAJERO 22", 5),
              QStringList({money(4000), money(0), money(0), money(0), money(4000)}));
    EXPECT_EQ(after(texts, "Total Caja CAJA 1", 5),
              QStringList({money(14000), money(20000), money(5000), money(10000), money(49000)}));
    // Both of the register's opening rows of the day, each once.
    EXPECT_EQ(namedTexts(doc, "TotalEnCaja"), QStringList({money(49000 + 150000)}));
    EXPECT_FALSE(texts.contains("Total General"));
}

TEST_F(OrderReportsTest, TheCashierListingFollowsTheCashierOverRegistersWithHisOwnOpeningAmounts)
{
    seedDay();
    const Document doc = TFrmPedidoCajaArqueoRpt2::build(*db, kToday, 11)->render();
    const QStringList texts = doc.texts();
    EXPECT_TRUE(texts.contains("VENTAS DIARIAS POR CAJERO"));
    EXPECT_EQ(listedOrders(texts), QStringList({"1", "2", "3", "4", "5", "8"}));
    EXPECT_EQ(namedTexts(doc, "BaseCaja"), QStringList({money(150000), money(20000)}));
    EXPECT_EQ(namedTexts(doc, "TotalEnCaja"), QStringList({money(45000 + 150000), money(6000 + 20000)}));

    // A day without paid orders prints only the heading.
    const Document empty = TFrmPedidoCajaArqueoRpt2::build(*db, kToday.addDays(-2), 11)->render();
    EXPECT_EQ(empty.pageCount(), 1);
    EXPECT_TRUE(empty.findNamed("TotalEnCaja").isEmpty());
}

TEST_F(OrderReportsTest, TheWindowShowsTheOrdersCashierAndPreviewsBothListingsForToday)
{
    seedDay();
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    TFrmPedidoCajaArqueo w(*db, {1, "CAJA PEDIDOS", 11, "ANA PEDIDOS"});
    w.show();
    EXPECT_EQ(w.windowTitle(), "Reporte Cotizaciones");
    EXPECT_EQ(w.LabelCaja->text(), "CAJA PEDIDOS");
    EXPECT_EQ(w.LabelCajero->text(), "ANA PEDIDOS");
    EXPECT_TRUE(w.LabelFecha->text().startsWith("Fecha del Reporte "));
    QTest::mouseClick(w.BtnCotizaciones, Qt::LeftButton);
    w.BtnCajero->setFocus();
    QTest::keyClick(w.BtnCajero, Qt::Key_Space);
    const QStringList pdfs = QDir(out.path()).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    EXPECT_EQ(pdfs.size(), 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
