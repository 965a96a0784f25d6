// The day's sales into the inventory tables: each line leaves stock in base units, a set takes its
// components out with it, a day updated again after a void ends as if updated once, and a run
// that cannot store every row (or is cancelled) changes nothing.
#include "ShopFixture.h"
#include "support/TestDb.h"

#include "backoffice/DailyUpdate.h"
#include "pos/DocumentCorrections.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace kv;
using kvtest::SaleLine;

namespace {

class DailyUpdateTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        kvtest::seedShop(*db);
        // Rice also sold by the dozen; a gift basket of two coffees and one soap.
        db->exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR) VALUES (1, 'DO', 12, 130000)");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('6', '01', 1, 6, "
                 "'CANASTA', 'UN')");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 900 WHERE PRODUCTO = 4");
        db->exec("UPDATE PRODUCTOS SET VALORUNIDAD = 2500 WHERE PRODUCTO = 5");
        db->exec("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) VALUES (6, 4, 2)");
        db->exec("INSERT INTO PRODUCTOSSUB (PRODUCTO, SUBPRODUCTO, CANTIDAD) VALUES (6, 5, 1)");
        // A purchase already in the inventory tables, which no update may touch.
        db->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA) VALUES ('01', 'ENT', 1, 3, "
                 "CURRENT_TIMESTAMP)");
        db->exec("INSERT INTO MOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD) VALUES "
                 "('01', 'ENT', 1, 1, 4, 100)");

        dm = std::make_unique<TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
        // Document 1: two dozen rice, three baskets, one coffee returned. Document 2: five coffees.
        ASSERT_EQ(kvtest::startDocument(*dm), 1);
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 1, .precio = 120000, .cantidad = 2, .iva = 16, .unidad = "DO"}));
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 6, .precio = 30000, .cantidad = 3}));
        dialogs.answers.push_back(true);  // the return is confirmed
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000, .cantidad = -1}));
        ASSERT_EQ(kvtest::startDocument(*dm), 2);
        ASSERT_TRUE(kvtest::ringUp(*dm, {.producto = 4, .precio = 1000, .cantidad = 5}));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }

    TransferResult update(const TransferProgress& progress = {})
    {
        return DailyUpdate(*db).run(QDate::currentDate(), QDate::currentDate(), progress);
    }

    // Every inventory row, every column, in key order.
    QStringList inventory()
    {
        QStringList out;
        for (const char* sql : {"SELECT * FROM MOVIMIENTO ORDER BY EMPRESA, DOCUMENTO, CONSECUTIVO",
                                "SELECT * FROM MOVIMIENTODETALLE ORDER BY EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA"}) {
            QSqlQuery q = db->exec(sql);
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << q.value(i).toString();
                out << row.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    // Stock moved per product by the inventory lines: "product:units".
    QStringList stockMoved()
    {
        QStringList out;
        QSqlQuery q = db->exec("SELECT PRODUCTO, SUM(CANTIDAD) FROM MOVIMIENTODETALLE GROUP BY PRODUCTO ORDER BY PRODUCTO");
        while (q.next())
            out << QStringLiteral("%1:%2").arg(q.value(0).toInt()).arg(q.value(1).toDouble());
        return out;
    }

    std::unique_ptr<TDmVentas> dm;
};

TEST_F(DailyUpdateTest, SalesLeaveStockInBaseUnitsAndASetTakesItsComponentsWithIt)
{
    const TransferResult r = update();
    ASSERT_TRUE(r.stored()) << r.refused.join('\n').toStdString();
    EXPECT_EQ(r.documents, 2);
    EXPECT_EQ(r.lines, 4 + 2);  // the rung-up lines and the basket's two components

    // Rice: 2 dozen = 24 units out. Baskets: 3 out. Coffee: 100 bought, 6 with the baskets,
    // 5 sold, 1 returned. Soap: 3 with the baskets.
    EXPECT_EQ(stockMoved(), QStringList({"1:-24", "4:90", "5:-3", "6:-3"}));

    // The components follow the document's own lines, at their cost, from the warehouse the set left.
    QSqlQuery q = db->exec("SELECT LINEA, PRODUCTO, CANTIDAD, CANTIDADRECIBIDA, COSTO, BODEGA, UNIDADMOVIMIENTO FROM "
                           "MOVIMIENTODETALLE WHERE DOCUMENTO = 'POS' AND CONSECUTIVO = 1 AND LINEA > 3 ORDER BY LINEA");
    QStringList components;
    while (q.next())
        components << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                          .arg(q.value(0).toInt())
                          .arg(q.value(1).toInt())
                          .arg(q.value(2).toDouble())
                          .arg(q.value(3).toDouble())
                          .arg(q.value(4).toDouble())
                          .arg(q.value(5).toInt())
                          .arg(q.value(6).toString().trimmed());
    EXPECT_EQ(components, QStringList({"4 4 -6 6 900 3 UN", "5 5 -3 3 2500 3 UN"}));

    // The IVA columns land by name, not swapped by their order in the two tables.
    EXPECT_EQ(db->scalar("SELECT IVA FROM MOVIMIENTODETALLE WHERE DOCUMENTO = 'POS' AND CONSECUTIVO = 1 AND LINEA = 1")
                  .toDouble(),
              16);
}

TEST_F(DailyUpdateTest, ADayUpdatedVoidedAndUpdatedAgainEqualsItUpdatedOnceAfterTheVoid)
{
    ASSERT_TRUE(update().stored());
    voidDocument(*dm, {QStringLiteral("01"), QStringLiteral("POS"), 2});
    ASSERT_TRUE(update().stored());
    const QStringList again = inventory();
    ASSERT_TRUE(update().stored());  // and a third time changes nothing either
    EXPECT_EQ(inventory(), again);

    // The same day updated only once, after the void, on the same purchase.
    db->exec("DELETE FROM MOVIMIENTODETALLE WHERE DOCUMENTO = 'POS'");
    db->exec("DELETE FROM MOVIMIENTO WHERE DOCUMENTO = 'POS'");
    ASSERT_TRUE(update().stored());
    EXPECT_EQ(inventory(), again);
    EXPECT_EQ(stockMoved(), QStringList({"1:-24", "4:95", "5:-3", "6:-3"}));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM MOVIMIENTODETALLE WHERE DOCUMENTO = 'POS' AND CONSECUTIVO = 2").toInt(), 0);
}

TEST_F(DailyUpdateTest, ARefusedRowOrACancelLeavesTheInventoryAsItWas)
{
    ASSERT_TRUE(update().stored());
    const QStringList before = inventory();
    const auto recorded = [&] { return db->scalar("SELECT COUNT(*) FROM VENTASACTUALIZADAS").toInt(); };
    ASSERT_EQ(recorded(), 1);
    kvtest::ringUp(*dm, {.producto = 5, .precio = 3000, .cantidad = 2});  // a soap more on document 2

    // The inventory tables refuse soap lines: the run names the rows and stores none of them.
    db->exec("ALTER TABLE MOVIMIENTODETALLE ADD CONSTRAINT CK_SIN_JABON CHECK (PRODUCTO <> 5)");
    TransferResult r = update();
    EXPECT_FALSE(r.stored());
    ASSERT_EQ(r.refused.size(), 2);
    EXPECT_TRUE(r.refused[0].startsWith("Componentes del documento 01 POS 1: ")) << r.refused[0].toStdString();
    EXPECT_TRUE(r.refused[1].startsWith("Líneas del documento 01 POS 2: ")) << r.refused[1].toStdString();
    EXPECT_TRUE(r.refused[1].contains("CK_SIN_JABON")) << r.refused[1].toStdString();
    EXPECT_EQ(inventory(), before);
    EXPECT_EQ(recorded(), 1);

    db->exec("ALTER TABLE MOVIMIENTODETALLE DROP CONSTRAINT CK_SIN_JABON");
    int told = 0;
    r = update([&](const QString& what, int done, int total) {
        EXPECT_EQ(what, "Documentos");
        EXPECT_EQ(total, 2);
        EXPECT_GE(done, 1);
        ++told;
        return false;
    });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(inventory(), before);
    EXPECT_EQ(recorded(), 1);
}

TEST_F(DailyUpdateTest, AnInventoryDocumentTheUpdateDidNotWriteIsNeverReplaced)
{
    // Loaded from another shop under this shop's company and type, with a sale's number.
    db->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, OBSERVACIONES) VALUES ('01', "
             "'POS', 2, 5, '2026-01-10', 'TRASLADO')");
    db->exec("INSERT INTO MOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD) VALUES "
             "('01', 'POS', 2, 1, 5, 40)");
    const QStringList before = inventory();
    const TransferResult r = update();
    EXPECT_FALSE(r.stored());
    ASSERT_EQ(r.refused.size(), 1);
    EXPECT_TRUE(r.refused[0].startsWith("Documento 01 POS 2: el inventario ya tiene un documento con este número"))
        << r.refused[0].toStdString();
    EXPECT_EQ(inventory(), before);

    // Once it is gone the day updates, and updating it again replaces only what the update wrote.
    db->exec("DELETE FROM MOVIMIENTODETALLE WHERE DOCUMENTO = 'POS'");
    db->exec("DELETE FROM MOVIMIENTO WHERE DOCUMENTO = 'POS'");
    ASSERT_TRUE(update().stored());
    const QStringList once = inventory();
    ASSERT_TRUE(update().stored());
    EXPECT_EQ(inventory(), once);

    // A database whose runs were made before the update kept its documents: what those runs
    // wrote is still known as the update's own, and the day updates again.
    db->exec("DROP TABLE VENTASACTUALIZADASDOC");
    db->exec("COMMIT");
    db->forgetTableInfo();
    const TransferResult again = update();
    EXPECT_TRUE(again.stored()) << again.refused.join(" | ").toStdString();
    EXPECT_EQ(inventory(), once);
}

TEST_F(DailyUpdateTest, EachRunIsRecordedSoOverlapsAndTheLastDayAreKnown)
{
    DailyUpdate u(*db);
    EXPECT_FALSE(u.lastRun());
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(u.run(today.addDays(-3), today.addDays(-2)).stored());
    ASSERT_TRUE(u.run(today, today).stored());
    const auto last = u.lastRun();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->hasta, today);
    EXPECT_EQ(last->documents, 2);
    EXPECT_FALSE(u.alreadyUpdated(today.addDays(-1), today.addDays(-1)));
    EXPECT_EQ(u.alreadyUpdated(today.addDays(-2), today.addDays(5)), std::make_pair(today.addDays(-2), today));
}

}  // namespace
