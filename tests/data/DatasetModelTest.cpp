// The grid's model over a dataset keeps Qt's model contract through everything the dataset does:
// pages read in both directions, rows inserted, cancelled, posted and deleted, a query read to
// its end. Qt's own model tester watches every change.
#include "data/DatasetModel.h"
#include "support/TestDb.h"

#include <QAbstractItemModelTester>

using namespace kv;

namespace {

QStringList g_warnings;

void collect(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << text;
}

class DatasetModelTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Transaction t(*db);
        for (int i = 1; i <= 12; ++i)
            db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (:B, :N)", {{"B", i}, {"N", QStringLiteral("B%1").arg(i)}});
        t.commit();
        g_warnings.clear();
        previous_ = qInstallMessageHandler(collect);
    }
    void TearDown() override
    {
        qInstallMessageHandler(previous_);
        DbTest::TearDown();
    }
    QtMessageHandler previous_ = nullptr;
};

TEST_F(DatasetModelTest, EveryChangeOfTheRowsKeepsTheModelContract)
{
    Dataset table(*db);
    table.setTableName("BODEGAS");
    table.setPageSize(4);
    DatasetModel model(table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    table.Open();
    while (table.fetchMoreForward()) {
    }
    EXPECT_EQ(model.rowCount(), 12);
    ASSERT_TRUE(table.Locate("BODEGA", 12));  // a window around the last rows, then the ones before
    while (table.fetchMoreBackward()) {
    }
    table.Insert();
    table.Cancel();
    table.Append();
    table.FieldByName("BODEGA").setInteger(20);
    table.FieldByName("NOMBRE").setString("NUEVA");
    table.Post();
    table.Delete();
    table.First();
    table.Last();
    EXPECT_EQ(model.rowCount(), table.bufferCount());

    Dataset query(*db);
    query.setSql("SELECT BODEGA, NOMBRE FROM BODEGAS ORDER BY NOMBRE");
    query.setPageSize(5);
    DatasetModel queryModel(query);
    QAbstractItemModelTester queryTester(&queryModel, QAbstractItemModelTester::FailureReportingMode::Warning);
    query.Open();
    query.fetchMoreForward();
    EXPECT_EQ(query.recordCount(), 12);
    EXPECT_EQ(queryModel.rowCount(), 12);

    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join("\n").toStdString();
}

}  // namespace
