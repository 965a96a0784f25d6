// What the counter reads must follow neither the years the shop has stored nor how busy the day
// is: a best seller with a sale on each of 400 past days, 300 sales of other products today, and
// the stock panel of the main sale screen, which adds up today's sales of the product, reading only
// that product's lines of today.
#include "RegisterFixture.h"

#include <QLabel>
#include <QSqlQuery>

using kvtest::typeInto;

namespace {

class HistoryReadsTest : public kvtest::RegisterTest, public ::testing::WithParamInterface<bool> {
protected:
    // Rows this connection has read so far, through an index or in table order.
    qint64 rowsRead()
    {
        return db->scalar("SELECT R.MON$RECORD_IDX_READS + R.MON$RECORD_SEQ_READS FROM MON$ATTACHMENTS A "
                          "JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = A.MON$STAT_ID "
                          "WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION")
            .toLongLong();
    }

    // Documents of company 01 / POS: one per past day with a line of TINTO and one of another
    // product (so that the product index looks as selective as at a shop with a catalogue),
    // today's sales of TINTO, and `busy` sales of other products today. With `statistics` they are then taken, as a restore from backup
    // takes them, so the optimizer weighs the indexes on what they hold; without, the indexes keep
    // the empty tables' figures, as at a shop that never restored its database.
    void seedHistory(int days, const std::vector<double>& today, int busy, bool statistics)
    {
        kv::Transaction t(*db);
        int number = 0;
        auto document = [&](const QDateTime& when, const std::vector<std::pair<int, double>>& lines) {
            ++number;
            db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, STATUS) "
                     "VALUES ('01', 'POS', :N, 3, :F, 222222222, 'I')",
                     {{"N", number}, {"F", when}});
            int linea = 0;
            for (const auto& [producto, units] : lines)
                db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                         "CANTIDADRECIBIDA, SUBTOTAL) VALUES ('01', 'POS', :N, :L, :P, :C, :C, 0)",
                         {{"N", number}, {"L", ++linea}, {"P", producto}, {"C", units}});
        };
        const QDate day = QDate::currentDate();
        for (int d = days; d >= 1; --d)
            document(QDateTime(day.addDays(-d), QTime(10, 0)), {{4, 1.0}, {1000 + d, 1.0}});
        for (double units : today)
            document(QDateTime(day, QTime(0, 30)), {{4, units}});
        for (int b = 0; b < busy; ++b)
            document(QDateTime(day, QTime(0, 40)), {{2000 + b % 50, 1.0}, {3000 + b % 70, 2.0}});
        t.commit();
        if (!statistics)
            return;
        QSqlQuery q = db->exec("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME IN "
                               "('POSMOVIMIENTO', 'POSMOVIMIENTODETALLE')");
        QStringList indexes;
        while (q.next())
            indexes << q.value(0).toString();
        for (const QString& index : indexes)
            db->exec(QStringLiteral("SET STATISTICS INDEX %1").arg(index));
    }
};

// With and without index statistics.
TEST_P(HistoryReadsTest, TheStockPanelReadsTheProductsSalesOfTodayOnly)
{
    seedHistory(400, {3, 2}, 300, GetParam());
    startSale();
    const qint64 before = rowsRead();
    typeInto(screen->EditProducto, QStringLiteral("4"), true);  // the packing group lists TINTO's packings
    const qint64 read = rowsRead() - before;

    // 30 in stock less the 5 sold today; the 400 earlier sales are not today's.
    EXPECT_EQ(screen->PanelSaldo->text(), QStringLiteral("Saldo =[25.00]"));
    // The product, its packings, its stock row and its two lines of today, each lookup by key, and
    // what the engine reads to look these figures up: about 115 rows. Starting from the product's
    // lines reads all 400 of them and their headers (over 900 rows); asking each of today's 302
    // documents whether it holds the product reads each of them (over 400).
    EXPECT_LT(read, 200) << "rows read to list the packings: " << read;

    // The line itself reads the balance again, as little.
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
    const qint64 beforeLine = rowsRead();
    typeInto(screen->EditCantidad, QStringLiteral("1"), true);
    EXPECT_EQ(dm->TFac.recordCount(), 1);
    EXPECT_EQ(screen->PanelSaldo->text(), QStringLiteral("Saldo =[25.00]"));
    EXPECT_LT(rowsRead() - beforeLine, 200) << "rows read to add the line: " << rowsRead() - beforeLine;
}

INSTANTIATE_TEST_SUITE_P(Statistics, HistoryReadsTest, ::testing::Bool());

}  // namespace
