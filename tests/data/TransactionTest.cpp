// A transaction is committed only when every statement of it succeeded and the wait watch never
// stopped it: a statement stopped half way must never be made permanent, even by a caller that
// caught its failure and went on.
#include "data/Connection.h"
#include "support/TestDb.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace kv;

namespace {

class TransactionTest : public kvtest::DbTest {
protected:
    int rows() { return db->scalar("SELECT COUNT(*) FROM UNIDADES").toInt(); }
    void insert(const char* unidad) { db->exec("INSERT INTO UNIDADES (UNIDAD) VALUES (:U)", {{"U", unidad}}); }
};

TEST_F(TransactionTest, AFailedStatementDoomsItsTransactionEvenWhenTheCallerCaughtIt)
{
    const int before = rows();
    {
        Transaction t(*db);
        insert("U1");
        try {
            insert("U1");  // the key is taken
            FAIL() << "a key taken twice";
        } catch (const DbError& e) {
            EXPECT_TRUE(isDuplicateKey(e));
        }
        try {
            t.commit();
            FAIL() << "committed";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::kOperationUndone);
        }
    }
    EXPECT_EQ(rows(), before);
    insert("U2");  // the connection goes on
    EXPECT_EQ(rows(), before + 1);
}

TEST_F(TransactionTest, ATransactionTheWatchStoppedIsRolledBackAndTheNextOneRuns)
{
    const int before = rows();
    {
        Transaction t(*db, 200);
        insert("U3");
        QThread::msleep(600);  // the limit passes between statements
        try {
            t.commit();
            FAIL() << "committed";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::kWaitExpired);
        }
    }
    EXPECT_EQ(rows(), before);
    {
        Transaction t(*db, 5000);
        insert("U4");
        t.commit();
    }
    EXPECT_EQ(rows(), before + 1);
}

}  // namespace
