// "Iva Generado": one row per invoice and rate of the closed sales, every rate's tax reported (19 %
// and unlisted rates included), the Ipoconsumo in its own column, bases net of every tax and the
// discount, and totals that add what their columns show.
#include "backoffice/UntMovimientoBaseIvaRpt1.h"
#include "data/BulkInsert.h"
#include "report/Painter.h"
#include "support/TestDb.h"

using namespace kv;

namespace {

const QDate kDay(2026, 3, 5);

class IvaReportTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("INSERT INTO REGISTRO (NOMBRE) VALUES ('LA CANDELARIA')");
    }
    struct Line {
        double iva, subtotal, valorIva, ipo = 0, descuento = 0;
    };
    void sale(int numero, const QList<Line>& lines, const char* empresa = "01", QDate day = kDay,
              const QVariant& status = QStringLiteral("I"))
    {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, STATUS) "
                 "VALUES (:E, 'POS', :N, 1, :F, 222222222, :S)",
                 {{"E", empresa}, {"N", numero}, {"F", QDateTime(day, QTime(12, 0))}, {"S", status}});
        int linea = 0;
        for (const Line& l : lines)
            db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, IVA, SUBTOTAL, "
                     "VALORIVA, VALORIPOCONSUMO, DESCUENTO) VALUES (:E, 'POS', :N, :L, 1, :I, :S, :V, :C, :D)",
                     {{"E", empresa}, {"N", numero}, {"L", ++linea}, {"I", l.iva}, {"S", l.subtotal},
                      {"V", l.valorIva}, {"C", l.ipo}, {"D", l.descuento}});
    }
    // The texts of the report's rows, each as one line, the page heading left out.
    QStringList body(QDate from = kDay, QDate to = kDay)
    {
        TFrmMovimientoBaseIvaRpt1 rpt(*db);
        rpt.open(QStringLiteral("01"), from, to);
        const Document doc = rpt.render();
        if (qEnvironmentVariableIsSet("KV_LOOK_AT"))  // to look at the page when changing the layout
            writePdf(doc, qEnvironmentVariable("KV_LOOK_AT"));
        heading = doc.texts(0).mid(0, 3);
        QStringList lines = doc.toText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList out;
        for (const QString& l : lines) {
            const QString s = l.simplified();
            if (s.startsWith(QLatin1String("Total")) || (!s.isEmpty() && s[0].isDigit()))
                out << s;
        }
        return out;
    }
    QStringList heading;
};

TEST_F(IvaReportTest, EachRateHasItsColumnsAndTheTotalsAddWhatTheColumnsShow)
{
    sale(1, {{16, 11600, 1600}, {0, 5000, 0}});
    sale(2, {{19, 11900, 1900}, {19, 10000, 1597, 0, 0}});   // two 19 % lines: one row
    sale(3, {{4, 10400, 400}, {8, 10800, 800, 0, 0}});      // 4 % has no column of its own
    sale(4, {{0, 10800, 0, 800}, {5, 10500, 500, 0, 500}});  // consumption tax and a discount
    sale(5, {{16, 1000, 138}}, "02");                        // another company
    sale(6, {{16, 1000, 138}}, "01", kDay.addDays(1));       // another day
    // A floor seller's document not collected yet is no sale.
    sale(7, {{19, 6900, 990}, {0, 10800, 0, 800}}, "01", kDay, QVariant(QMetaType(QMetaType::QString)));

    // Columns: exempt, 5, 8, 10, 16, 19 (tax, base), others (tax, base), Ipoconsumo, total.
    EXPECT_EQ(body(), (QStringList{
                          "1 05/mar/2026 5,000.00 5,000.00",
                          "1 05/mar/2026 1,600.00 10,000.00 11,600.00",
                          "2 05/mar/2026 3,497.00 18,403.00 21,900.00",
                          "3 05/mar/2026 400.00 10,000.00 10,400.00",
                          "3 05/mar/2026 800.00 10,000.00 10,800.00",
                          "4 05/mar/2026 10,000.00 800.00 10,800.00",
                          "4 05/mar/2026 500.00 9,500.00 10,500.00",
                          "Total 15,000.00 500.00 9,500.00 800.00 10,000.00 .00 .00 1,600.00 10,000.00 3,497.00 "
                          "18,403.00 400.00 10,000.00 800.00 81,000.00",
                      }));
    EXPECT_EQ(heading, (QStringList{"LA CANDELARIA", "POS", "Periodo : 05/03/2026 Hasta 05/03/2026"}));

    // The same report again gives the same totals; a range of days takes them all.
    EXPECT_EQ(body().last(), "Total 15,000.00 500.00 9,500.00 800.00 10,000.00 .00 .00 1,600.00 10,000.00 3,497.00 "
                             "18,403.00 400.00 10,000.00 800.00 81,000.00");
    const QStringList twoDays = body(kDay, kDay.addDays(1));
    EXPECT_EQ(twoDays.size(), 9);
    EXPECT_TRUE(twoDays.last().endsWith("82,000.00")) << twoDays.last().toStdString();
}

TEST_F(IvaReportTest, ADayWithoutSalesPrintsTheHeadingAndZeros)
{
    EXPECT_EQ(body(), (QStringList{"Total .00 .00 .00 .00 .00 .00 .00 .00 .00 .00 .00 .00 .00 .00 .00"}));
    EXPECT_EQ(heading.value(0), "LA CANDELARIA");
}

TEST_F(IvaReportTest, ALongPeriodTellsHowFarTheReadingGotAndCanBeStopped)
{
    {
        Transaction t(*db);
        BulkInsert h(*db, "POSMOVIMIENTO", {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "BODEGA", "FECHA", "STATUS"});
        BulkInsert d(*db, "POSMOVIMIENTODETALLE", {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "LINEA", "PRODUCTO", "IVA",
                                                   "SUBTOTAL", "VALORIVA"});
        for (int n = 1; n <= 1200; ++n) {
            h.add({"01", "POS", n, 1, QDateTime(kDay.addDays(-(n % 30)), QTime(10, 0)), "I"});
            d.add({"01", "POS", n, 1, 1, 19.0, 1190.0, 190.0});
        }
        t.commit();
    }
    TFrmMovimientoBaseIvaRpt1 rpt(*db);
    QList<int> told;
    EXPECT_FALSE(rpt.open("01", kDay.addDays(-30), kDay, [&](int rows) {
        told << rows;
        return false;
    }));
    EXPECT_EQ(told, QList<int>{500});
    told.clear();
    EXPECT_TRUE(rpt.open("01", kDay.addDays(-30), kDay, [&](int rows) {
        told << rows;
        return true;
    }));
    EXPECT_EQ(told, (QList<int>{500, 1000}));
}

}  // namespace
