// The cash count and the daily reports on one register's day: every figure is checked against
// sums computed here from the stored rows, a voided paid document counts 0 everywhere, discounts
// and the service charge move the count, and each report reads its own period and company.
#include "ShopFixture.h"
#include "support/TestDb.h"

#include "common/Numbers.h"
#include "../platform/EnvScope.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntVentaCajaArqueo.h"
#include "pos/UntVentaCajaArqueoRpt1.h"
#include "pos/UntVentaCajaArqueoRpt3.h"
#include "pos/UntVentaCajaArqueoRpt4.h"
#include "pos/UntVentaCajaArqueoRpt5.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>

using namespace kv;

namespace {

const QDate kDay(2026, 3, 10);

struct Doc {
    int numero;
    QString tipo = QStringLiteral("C");
    double neto = 0, propina = 0, descuento = 0, abono = 0;
    double cajero = 11, caja = 1;
    QDate dia = kDay;
    QString empresa = QStringLiteral("01"), documento = QStringLiteral("POS");
};

class CashCountTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('01', 'LA CANDELARIA SAS')");
        const QList<Doc> docs{
            {1, "C", 50000},
            {2, "C", 30000, 0, 0, 10000},
            {3, "T", 25000, 0, 2500},       // a discount on the whole document
            {4, "t", 10000, 1000},          // a debit card, with a service charge
            {5, "E", 12000},                // credit
            {6, "C", 40000, 4000, 0, 5000}, // paid, then voided below
            {7, "C", 8000, 0, 0, 0, 22},    // another cashier on the same register
            {8, "C", 7000, 0, 0, 0, 11, 1, kDay.addDays(1)},
            {9, "C", 9000, 0, 0, 0, 22, 2, kDay, "02", "PRS"},
            {10, "C", 5000, 0, 0, 0, 101, 101},  // a seller who never opened a register
        };
        for (const Doc& d : docs)
            addDocument(d);
        opening(1, 11, kDay, 100000);
        opening(1, 22, kDay, 50000);
        opening(1, 11, kDay.addDays(1), 60000);
        opening(2, 22, kDay, 70000);  // a register of the other company
        expense(1, 1, 11, QDateTime(kDay, QTime(10, 15)), 20000);
        expense(2, 1, 11, QDateTime(kDay.addDays(1), QTime(9, 0)), 3000);
        expense(3, 2, 22, QDateTime(kDay, QTime(11, 0)), 4000);

        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        voidDocument(*dm, {"01", "POS", 6});
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }

    void addDocument(const Doc& d)
    {
        const QVariantMap key{{"E", d.empresa}, {"D", d.documento}, {"C", d.numero}};
        QVariantMap h = key;
        h.insert({{"F", QDateTime(d.dia, QTime(9, 30 + d.numero))}, {"T", d.tipo}, {"N", d.neto}, {"VP", d.propina},
                  {"DES", d.descuento}, {"AB", d.abono}, {"CJ", d.cajero}, {"CA", d.caja}});
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, STATUS, SUBTOTAL, "
                 "DESCUENTO, NETO, VENDEDOR, TIPODEPAGO, CAJA, CAJERO, ABONO, PAGO, VALORPROPINA) VALUES (:E, :D, :C, 3, "
                 ":F, 222222222, 'I', :N, :DES, :N, :CJ, :T, :CA, :CJ, :AB, :N - :AB, :VP)",
                 h);
        QVariantMap l = key;
        l.insert("N", d.neto);
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                 "PRECIOUNIDAD, SUBTOTAL) VALUES (:E, :D, :C, 1, 4, 1, :N, :N)",
                 l);
    }
    void opening(double caja, double cajero, const QDate& dia, double valor)
    {
        db->exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (:C, :J, :F, :V)",
                 {{"C", caja}, {"J", cajero}, {"F", QDateTime(dia, QTime(0, 0))}, {"V", valor}});
    }
    void expense(int item, double caja, double cajero, const QDateTime& when, double valor)
    {
        db->exec("INSERT INTO POSPAGOSCAJA (ITEM, CAJA, CAJERO, FECHA, VALOR, DESCRIPCION) VALUES (:I, :C, :J, :F, :V, 'X')",
                 {{"I", item}, {"C", caja}, {"J", cajero}, {"F", when}, {"V", valor}});
    }
    // A sum over the stored rows of one day and one condition.
    double sum(const QString& sql, const QVariantMap& extra = {})
    {
        QVariantMap p{{"FI", QDateTime(kDay, QTime(0, 0))}, {"FF", QDateTime(kDay.addDays(1), QTime(0, 0))}};
        p.insert(extra);
        return db->scalar(sql, p).toDouble();
    }
    static QString text(const Document& doc, const QString& name)
    {
        const DocItem* i = doc.named(name);
        return i ? i->text : QStringLiteral("<none>");
    }
    static QString money(double v) { return FormatFloat("###,###.00", v); }
    CashReportParams day() const { return {kDay, kDay, "01", "POS", 11, {}}; }

    std::unique_ptr<TDmVentas> dm;
};

TEST_F(CashCountTest, TheCountIsOpeningPlusSalesByPaymentTypeLessExpenses)
{
    // Independently of the report: each payment type's documents of the cashier, each counted as
    // what the customer pays for it.
    double ventas = 0;
    QSqlQuery q = db->exec("SELECT TIPODEPAGO, SUM(COALESCE(NETO, 0) + COALESCE(VALORPROPINA, 0) - COALESCE(DESCUENTO, 0) "
                           "- COALESCE(ABONO, 0)) FROM POSMOVIMIENTO WHERE CAJERO = 11 AND EMPRESA = '01' AND FECHA >= :FI "
                           "AND FECHA < :FF GROUP BY TIPODEPAGO",
                           {{"FI", QDateTime(kDay, QTime(0, 0))}, {"FF", QDateTime(kDay.addDays(1), QTime(0, 0))}});
    while (q.next())
        ventas += q.value(1).toDouble();
    const double base = sum("SELECT SUM(INCIO) FROM POSARQUEO WHERE CAJA = 1 AND CAJERO = 11 AND FECHA >= :FI AND FECHA < :FF");
    const double egresos =
        sum("SELECT SUM(VALOR) FROM POSPAGOSCAJA WHERE CAJA = 1 AND CAJERO = 11 AND FECHA >= :FI AND FECHA < :FF");
    // The same by hand: 50,000 + (30,000 - 10,000) + (25,000 - 2,500) + (10,000 + 1,000) + 12,000
    // + the voided document's 0.
    ASSERT_EQ(ventas, 115500);
    ASSERT_EQ(base, 100000);
    ASSERT_EQ(egresos, 20000);

    const Document doc = TFrmVentaCajaArqueoRpt4::build(*db, day())->render();
    EXPECT_EQ(text(doc, "TotalCajaTexto"), "Total Caja CAJA 1");
    EXPECT_EQ(text(doc, "TotalCaja"), money(ventas));
    EXPECT_EQ(text(doc, "BaseCaja"), money(base));
    EXPECT_EQ(text(doc, "Egresos"), money(egresos));
    EXPECT_EQ(text(doc, "TotalEnCaja"), money(base + ventas - egresos));
    EXPECT_EQ(text(doc, "Abonos"), "10,000.00");  // the voided document's abono is gone with it
    EXPECT_EQ(text(doc, "ValorCajero"), money(ventas));
    const QStringList texts = doc.texts();
    EXPECT_TRUE(texts.contains("Fac 3 Nit 222,222,222"));
    EXPECT_EQ(texts.value(texts.indexOf("Fac 3 Nit 222,222,222") + 1), "22,500.00");
    EXPECT_EQ(texts.value(texts.indexOf("Fac 6 Nit 222,222,222 ANULADA") + 1), ".00");
    EXPECT_FALSE(texts.contains("Fac 7 Nit 222,222,222"));  // the other cashier's
    EXPECT_FALSE(texts.contains("Fac 8 Nit 222,222,222"));  // the next day's
    for (const char* t : {"VENTAS DIARIAS POR CAJA", "LA CANDELARIA SAS", "F E C H A  10 mar 2026", "Valor", "Caja",
                          "Cajero", "Base Caja", "-Menos Egresos", "TOTAL CAJA", "Abonos", "Total Cajero CAJERO 11"})
        EXPECT_TRUE(texts.contains(t)) << t;
}

TEST_F(CashCountTest, ARegisterOpenedWithoutSalesIsStillCountedAndGroupsStartFromZero)
{
    // Cashier 11 also opened register 2 and paid from it, selling nothing there.
    opening(2, 11, kDay, 30000);
    expense(4, 2, 11, QDateTime(kDay, QTime(12, 0)), 1000);
    addDocument({11, "C", 6000, 0, 0, 2000, 11, 3});  // and sold on register 3 with an abono
    const Document doc = TFrmVentaCajaArqueoRpt4::build(*db, day())->render();
    QStringList totals, abonos;
    for (const DocItem* i : doc.findNamed("TotalEnCaja"))
        totals << i->text;
    for (const DocItem* i : doc.findNamed("Abonos"))
        abonos << i->text;
    EXPECT_EQ(totals, QStringList({"195,500.00", "29,000.00", "4,000.00"}));
    EXPECT_EQ(abonos, QStringList({"10,000.00", ".00", "2,000.00"}));
}

TEST_F(CashCountTest, TheSummaryTakesEverythingOverThePeriodForTheCompanysRegisters)
{
    struct Case {
        QDate last;
        double ventas, base, egresos, abonos;
    };
    // Sales: NETO + service - discount of company 01's documents; opening amounts and expenses of
    // its registers (1 and 101, not register 2 of the other company), all over the same days.
    for (const Case& c : {Case{kDay, 138500, 150000, 20000, 10000}, Case{kDay.addDays(1), 145500, 210000, 23000, 10000}}) {
        CashReportParams p = day();
        p.last = c.last;
        const Document doc = TFrmVentaCajaArqueoRpt5::build(*db, p)->render();
        EXPECT_EQ(text(doc, "TotalVentas"), money(c.ventas)) << qPrintable(c.last.toString());
        EXPECT_EQ(text(doc, "BaseCaja"), money(c.base));
        EXPECT_EQ(text(doc, "Egresos"), money(c.egresos));
        EXPECT_EQ(text(doc, "Abonos"), money(c.abonos));
        EXPECT_EQ(text(doc, "TotalCaja"), money(c.ventas + c.base - c.egresos - c.abonos));
    }
}

TEST_F(CashCountTest, TheListingByPaymentTypeUsesTheCompanyAndTypeGivenAndDropsVoidedLines)
{
    const Document doc = TFrmVentaCajaArqueoRpt1::build(*db, day())->render();
    const QStringList texts = doc.texts();
    auto after = [&texts](const QString& t) { return texts.value(texts.indexOf(t) + 1); };
    EXPECT_EQ(after("TOTAL EFECTIVO   CONTADO"), "93,000");  // 50,000 + 30,000 + 8,000 + 5,000
    EXPECT_EQ(after("TOTAL TARJETAS VISA MASTER"), "25,000");
    EXPECT_EQ(after("TOTAL TARJETAS DEBITO"), "10,000");
    EXPECT_EQ(after("TOTAL CREDITO   CUENTAS POR COBRAR"), "12,000");
    EXPECT_EQ(after("TOTAL GENERAL"), "140,000");
    EXPECT_TRUE(texts.contains("Periodo : 10 mar 2026 Hasta 10 mar 2026"));
    EXPECT_FALSE(texts.contains("POS6"));  // voided: no lines left

    // A company and type with no documents list nothing: the report follows what it is given.
    const Document other = TFrmVentaCajaArqueoRpt1::build(*db, {kDay, kDay, "02", "PRS", 0, {}})->render();
    EXPECT_EQ(other.texts().value(other.texts().indexOf("TOTAL GENERAL") + 1), "9,000");
}

TEST_F(CashCountTest, OnlyClosedDocumentsAreSalesAndTheDrawerHoldsOpeningPlusCashSalesLessExpenses)
{
    auto listed = [&] {
        const QStringList t = TFrmVentaCajaArqueoRpt1::build(*db, day())->render().texts();
        return t.value(t.indexOf("TOTAL GENERAL") + 1) + " | " +
               text(TFrmVentaCajaArqueoRpt5::build(*db, day())->render(), "TotalVentas");
    };
    const QString before = listed();
    // A floor seller's document still waiting to be collected.
    addDocument({12, "C", 9000});
    db->exec("UPDATE POSMOVIMIENTO SET STATUS = NULL WHERE CONSECUTIVO = 12");
    EXPECT_EQ(listed(), before);

    // "TOTAL CAJA" stays as it was (every document of the cashier); the drawer held the opening
    // amount and the cash collected (documents 1 and 2, less the abono, and document 6, voided
    // since: its 39,000 went back to the customer on a later day, counted on that day), less the
    // expenses.
    const Document doc = TFrmVentaCajaArqueoRpt4::build(*db, day())->render();
    EXPECT_EQ(text(doc, "TotalEnCaja"), money(100000 + 115500 + 9000 - 20000));
    EXPECT_EQ(text(doc, "CobradoAnuladas"), money(39000));
    EXPECT_EQ(text(doc, "Devoluciones"), money(0));
    EXPECT_EQ(text(doc, "EfectivoEnCajaTexto"), "EFECTIVO EN CAJA");
    EXPECT_EQ(text(doc, "EfectivoEnCaja"), money(100000 + 50000 + 20000 + 39000 - 20000));
}

TEST_F(CashCountTest, TheLetterReportByRegisterListsEverySellerOnceWithCardsTogether)
{
    const Document doc = TFrmVentaCajaArqueoRpt3::build(*db, {kDay, kDay, "01", "POS", 0, {}})->render();
    const QStringList texts = doc.texts();
    // Register 1: cashier 11 (with two opening rows on the register that day) and cashier 22;
    // register 101: a seller without an opening row.
    EXPECT_EQ(texts.count("Fac 1 Nit 222,222,222"), 1);
    EXPECT_TRUE(texts.contains("Fac 10 Nit 222,222,222"));
    QStringList enCaja;
    for (const DocItem* i : doc.findNamed("TotalEnCaja"))
        enCaja << i->text;
    EXPECT_EQ(enCaja, QStringList({money(115500 + 8000 + 150000), money(5000)}));
    // Cashier 11's card column: the credit card's 22,500 and the debit card's 11,000.
    EXPECT_EQ(TFrmVentaCajaArqueoRpt3::paymentColumn("t"), 2);
    EXPECT_EQ(TFrmVentaCajaArqueoRpt3::paymentColumn("E"), 3);
    EXPECT_TRUE(texts.contains("33,500.00"));
}

TEST_F(CashCountTest, AVoidedDocumentHasNoLinesNoAmountsAndNamesTheVoidingCashier)
{
    QSqlQuery q = db->exec("SELECT STATUS, CAJERO, NETO, ABONO, PAGO, VALORPROPINA, SUBTOTAL, IVA, DESCUENTO, "
                           "(SELECT COUNT(*) FROM POSMOVIMIENTODETALLE D WHERE D.CONSECUTIVO = 6 AND D.EMPRESA = '01') "
                           "FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = 'POS' AND CONSECUTIVO = 6");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString().trimmed(), "I");
    EXPECT_EQ(q.value(1).toDouble(), 11);
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(q.value(i).toDouble(), 0) << i;
    // Document 6 of the other company is untouched (number 9 there, so add one numbered 6).
    addDocument({6, "C", 1234, 0, 0, 0, 22, 2, kDay, "02", "PRS"});
    voidDocument(*dm, {"01", "POS", 6});
    EXPECT_EQ(db->scalar("SELECT NETO FROM POSMOVIMIENTO WHERE EMPRESA = '02' AND CONSECUTIVO = 6").toDouble(), 1234);
}

TEST_F(CashCountTest, TheWindowRunsEachReportForThePeriodTypeAndCashierChosen)
{
    QTemporaryDir out;
    EnvScope printTo("KORVELA_PRINT_TO", out.path().toUtf8());
    TFrmVentaCajaArqueo w(*dm);
    // The document types beginning with P, the register's own chosen.
    ASSERT_EQ(w.ComboDocumento->count(), 2);
    EXPECT_EQ(w.ComboDocumento->currentText(), "FACTURA POS");
    EXPECT_EQ(w.DateTimePicker1->date(), QDate::currentDate());
    EXPECT_TRUE(w.LabelFecha->text().startsWith("Fecha del Reporte "));
    w.DateTimePicker1->setDate(kDay);  // the first day is copied into the last
    EXPECT_EQ(w.DateTimePicker2->date(), kDay);
    w.DateTimePicker2->setDate(kDay.addDays(1));
    const CashReportParams p = w.params();
    EXPECT_EQ(p.first, kDay);
    EXPECT_EQ(p.last, kDay.addDays(1));
    EXPECT_EQ(p.empresa, "01");
    EXPECT_EQ(p.documento, "POS");
    EXPECT_EQ(p.cajero, 11);
    w.ComboDocumento->setCurrentIndex(w.ComboDocumento->findData("PRS"));
    EXPECT_EQ(w.params().documento, "PRS");
    for (QPushButton* b : {w.BtnVentasDiarias, w.BtnVentasCajero, w.BtnResumen})
        b->click();
    EXPECT_EQ(QDir(out.path()).entryList({"*.pdf"}).size(), 3);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(CashCountTest, CashHandedBackOnAVoidIsCountedAgainstTheDrawerItLeft)
{
    // Today, at register 1: cashier 11 opens with 100,000, collects 30,000 and 12,000 in cash and
    // 9,000 by card, then voids the first cash sale and the card sale, and a cash sale of
    // yesterday. Cashier 22 voids a cash sale of his own at his register, 2.
    const QDate today = QDate::currentDate();
    opening(1, 11, today, 100000);
    addDocument({20, "C", 30000, 0, 0, 0, 11, 1, today});
    addDocument({21, "C", 12000, 0, 0, 0, 11, 1, today});
    addDocument({22, "T", 9000, 0, 0, 0, 11, 1, today});
    addDocument({23, "C", 15000, 0, 0, 0, 11, 1, today.addDays(-1)});
    addDocument({24, "C", 5000, 0, 0, 0, 22, 2, today});
    const struct {
        int numero;
        double devuelto;
    } voids[] = {{20, 30000}, {22, 0}, {23, 15000}};
    for (const auto& v : voids)
        EXPECT_EQ(voidSale(*dm, {"01", "POS", v.numero}).cashBack, v.devuelto) << v.numero;
    TDmVentas other(*db);
    ASSERT_TRUE(other.signOn(22));
    voidSale(other, {"01", "POS", 24});

    // The drawer by hand: 100,000 + 30,000 + 12,000 - 30,000 - 15,000, and the 39,000 of
    // document 6 (of an earlier day) the fixture's void handed back today.
    const Document doc = TFrmVentaCajaArqueoRpt4::build(*db, {today, today, "01", "POS", 11, {}})->render();
    EXPECT_EQ(text(doc, "CobradoAnuladas"), money(30000));
    EXPECT_EQ(text(doc, "Devoluciones"), money(30000 + 15000 + 39000));
    EXPECT_EQ(text(doc, "EfectivoEnCaja"), money(100000 + 30000 + 12000 - 30000 - 15000 - 39000));
    const QStringList texts = doc.texts();
    EXPECT_TRUE(texts.contains("Fac 20 Nit 222,222,222 ANULADA"));
    EXPECT_TRUE(texts.contains("Fac 21 Nit 222,222,222"));
    // The register's trail under the count: what was done there today (not at register 2).
    EXPECT_TRUE(texts.contains("BITACORA DE LA CAJA"));
    for (int n : {6, 20, 22, 23, 24})
        EXPECT_EQ(texts.filter(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d ANULACION Fac %1$").arg(n))).size(),
                  n == 24 ? 0 : 1)
            << n;
    EXPECT_EQ(texts.filter(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d DEVOLUCION Fac "))).size(), 3);

    // Yesterday's count still holds what that drawer held then.
    const Document ayer =
        TFrmVentaCajaArqueoRpt4::build(*db, {today.addDays(-1), today.addDays(-1), "01", "POS", 11, {}})->render();
    EXPECT_EQ(text(ayer, "EfectivoEnCaja"), money(15000));
    // And cashier 22 counts his own hand-back.
    const Document suyo = TFrmVentaCajaArqueoRpt4::build(*db, {today, today, "01", "POS", 22, {}})->render();
    EXPECT_EQ(text(suyo, "Devoluciones"), money(5000));
    EXPECT_EQ(text(suyo, "EfectivoEnCaja"), money(0));
}

}  // namespace
