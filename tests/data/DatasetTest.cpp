// The cursor everything stands on: event order, Abort, required fields, text widths, keyed paging
// in both directions, master-detail, calculated fields and queries, on a real embedded database.
#include "data/Dataset.h"
#include "data/DatasetModel.h"
#include "support/TestDb.h"

#include <QSqlQuery>

using namespace kv;

namespace {

class DatasetTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db->exec("CREATE TABLE T_ITEM (ID INTEGER NOT NULL PRIMARY KEY, NOMBRE CHAR(10), CODE VARCHAR(5), "
                 "PRICE DOUBLE PRECISION, REQ CHAR(3) NOT NULL)");
        db->exec("CREATE TABLE T_HEAD (EMP CHAR(5) NOT NULL, NUM INTEGER NOT NULL, TOTAL DOUBLE PRECISION, "
                 "PRIMARY KEY (EMP, NUM))");
        db->exec("CREATE TABLE T_LINE (EMP CHAR(5) NOT NULL, NUM INTEGER NOT NULL, LINEA INTEGER NOT NULL, "
                 "QTY DOUBLE PRECISION, PRIMARY KEY (EMP, NUM, LINEA))");
        db->exec("CREATE TABLE T_NOKEY (A INTEGER, B CHAR(4))");
        db->forgetTableInfo();
    }

    void fillItems(int n)
    {
        Transaction t(*db);
        for (int i = 1; i <= n; ++i) {
            // Names repeat every 7 rows and every 10th is NULL, so ordering by name needs the key
            // as tie-break and the NULL rules.
            QVariant name = i % 10 == 0 ? QVariant() : QVariant(QStringLiteral("N%1").arg(i % 7));
            db->exec("INSERT INTO T_ITEM (ID, NOMBRE, REQ) VALUES (:ID, :N, 'X')", {{"ID", i}, {"N", name}});
        }
        t.commit();
    }

    static QList<int> walkForward(Dataset& ds)
    {
        QList<int> ids;
        for (ds.First(); !ds.Eof(); ds.Next())
            ids << ds["ID"].asInteger();
        return ids;
    }
    static QList<int> walkBackward(Dataset& ds)
    {
        QList<int> ids;
        for (ds.Last(); !ds.Bof(); ds.Prior())
            ids.prepend(ds["ID"].asInteger());
        return ids;
    }
    QList<int> idsInSqlOrder(const QString& orderBy)
    {
        QList<int> ids;
        QSqlQuery q = db->exec("SELECT ID FROM T_ITEM ORDER BY " + orderBy);
        while (q.next())
            ids << q.value(0).toInt();
        return ids;
    }
};

TEST_F(DatasetTest, EventsRunInOrderAndAbortCancelsSilently)
{
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    QStringList log;
    auto rec = [&](const char* n) { return [&log, n](Dataset&) { log << n; }; };
    ds.BeforeInsert = rec("BeforeInsert");
    ds.OnNewRecord = [&](Dataset& d) {
        log << "OnNewRecord";
        d["REQ"].setString("abc");  // defaults set here are posted
    };
    ds.AfterInsert = rec("AfterInsert");
    ds.BeforePost = rec("BeforePost");
    ds.AfterPost = rec("AfterPost");
    ds.BeforeEdit = rec("BeforeEdit");
    ds.AfterEdit = rec("AfterEdit");
    ds.BeforeDelete = rec("BeforeDelete");
    ds.AfterDelete = rec("AfterDelete");
    ds.AfterScroll = rec("AfterScroll");
    ds.Open();
    log.clear();

    ds.Insert();
    ds["ID"].setInteger(1);
    ds.Post();
    ds.Edit();
    ds["PRICE"].setFloat(2.5);
    ds.Post();
    ds.Delete();
    EXPECT_EQ(log, QStringList({"BeforeInsert", "OnNewRecord", "AfterInsert", "BeforePost", "AfterPost", "BeforeEdit",
                                "AfterEdit", "BeforePost", "AfterPost", "BeforeDelete", "AfterDelete",
                                "AfterScroll"}));

    // Abort in BeforePost: nothing written, the row stays in insert mode for the caller to decide.
    ds.BeforePost = [](Dataset&) { throw Abort(); };
    ds.Insert();
    ds["ID"].setInteger(2);
    EXPECT_THROW(ds.Post(), Abort);
    EXPECT_EQ(ds.state(), DsState::Insert);
    ds.Cancel();
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_ITEM").toInt(), 0);
    EXPECT_TRUE(ds.IsEmpty());

    // Abort in BeforeDelete keeps the row.
    ds.BeforePost = nullptr;
    ds.Insert();
    ds["ID"].setInteger(3);
    ds.Post();
    ds.BeforeDelete = [](Dataset&) { throw Abort(); };
    EXPECT_THROW(ds.Delete(), Abort);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_ITEM").toInt(), 1);
}

TEST_F(DatasetTest, RequiredFieldsAndTextWidths)
{
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.Open();
    ds.Insert();
    ds["ID"].setInteger(7);
    ds["NOMBRE"].setString("ABCDEFGHIJKLMNO");  // char(10): cut to the column's width
    ds["CODE"].setString("123456789");         // varchar(5)
    ds["REQ"].setString("");                   // an empty box leaves the column empty
    try {
        ds.Post();
        FAIL() << "posted without a required column";
    } catch (const DbError& e) {
        EXPECT_EQ(e.text(), "El campo 'REQ' debe tener un valor");
    }
    EXPECT_EQ(ds.state(), DsState::Insert);  // kept for correction
    ds["REQ"].setString("a");
    ds.Post();

    Dataset back(*db);
    back.setSql("SELECT ID, NOMBRE, CODE, REQ FROM T_ITEM");
    back.Open();
    EXPECT_EQ(back["NOMBRE"].asString(), "ABCDEFGHIJ");
    EXPECT_EQ(back["CODE"].asString(), "12345");
    EXPECT_EQ(back["REQ"].asString(), "a");  // char(3) read without its trailing blanks
    EXPECT_TRUE(back.Locate("REQ", "a"));

    // Changing a field outside edit mode is refused.
    EXPECT_THROW(back["NOMBRE"].setString("x"), DbError);
}

TEST_F(DatasetTest, KeysetPagingWalksEveryRowOnceInBothDirections)
{
    fillItems(95);
    struct Case {
        const char* order;
        const char* sqlOrder;
    } cases[] = {
        {"", "ID"},
        {"NOMBRE", "NOMBRE, ID"},          // duplicates and NULLs across page boundaries
        {"NOMBRE;ID", "NOMBRE, ID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        Dataset ds(*db);
        ds.setTableName("T_ITEM");
        ds.setPageSize(8);
        ds.setIndexFieldNames(c.order);
        ds.Open();
        const QList<int> expected = idsInSqlOrder(c.sqlOrder);
        EXPECT_EQ(walkForward(ds), expected);
        EXPECT_EQ(walkBackward(ds), expected);
        EXPECT_EQ(ds.recordCount(), 95);
    }
}

TEST_F(DatasetTest, LocateAndFindNearestReadByKeyAndKeepTheOrderAround)
{
    fillItems(300);
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.setPageSize(10);
    ds.Open();
    EXPECT_LE(ds.bufferCount(), 10);

    ASSERT_TRUE(ds.FindKey({250}));
    EXPECT_EQ(ds["ID"].asInteger(), 250);
    EXPECT_LE(ds.bufferCount(), 10);  // a keyed read, not a walk through 250 rows
    ds.Prior();
    EXPECT_EQ(ds["ID"].asInteger(), 249);
    ds.Next();
    ds.Next();
    EXPECT_EQ(ds["ID"].asInteger(), 251);
    EXPECT_FALSE(ds.FindKey({1000}));
    EXPECT_EQ(ds["ID"].asInteger(), 251);  // not found: the cursor stays

    ds.setIndexFieldNames("NOMBRE");
    ds.FindNearest({"N3"});
    EXPECT_EQ(ds["NOMBRE"].asString(), "N3");
    EXPECT_EQ(ds["ID"].asInteger(), 3);  // first N3 in key order
    ds.Prior();
    EXPECT_EQ(ds["NOMBRE"].asString(), "N2");

    EXPECT_TRUE(ds.Locate("NOMBRE", "n5", LocateOptions{true, false}));
    EXPECT_EQ(ds["ID"].asInteger(), 5);
    EXPECT_TRUE(ds.Locate("NOMBRE", "N", LocateOptions{false, true}));
    EXPECT_EQ(ds["NOMBRE"].asString(), "N0");
    EXPECT_FALSE(ds.Locate("NOMBRE", "n5"));  // case-sensitive unless asked
    EXPECT_TRUE(ds.Locate("NOMBRE;ID", {"N3", 17}));  // not the first N3
    EXPECT_EQ(ds["ID"].asInteger(), 17);
    EXPECT_FALSE(ds.Locate("NOMBRE;ID", {"N3", 18}));
    EXPECT_EQ(ds["ID"].asInteger(), 17);

    // A field other than the order's first: still the first match in the dataset's order,
    // NULL names first.
    EXPECT_TRUE(ds.Locate("REQ", "X"));
    EXPECT_EQ(ds["ID"].asInteger(), 10);
    ds.setIndexFieldNames("");
    EXPECT_TRUE(ds.Locate("NOMBRE", "N3"));
    EXPECT_EQ(ds["ID"].asInteger(), 3);
    ds.setFilter("ID > :DESDE", {{"DESDE", 100}});  // the match must pass the filter too
    EXPECT_TRUE(ds.Locate("NOMBRE", "N3"));
    EXPECT_EQ(ds["ID"].asInteger(), 101);
    EXPECT_FALSE(ds.Locate("ID", 50));
    EXPECT_EQ(ds["ID"].asInteger(), 101);
}

TEST_F(DatasetTest, LocateRefusesTextANumberCannotHoldOnSmallAndLargeTables)
{
    fillItems(30);
    for (int page : {100, 10}) {  // all rows in memory; read by key
        SCOPED_TRACE(page);
        Dataset ds(*db);
        ds.setTableName("T_ITEM");
        ds.setPageSize(page);
        ds.Open();
        EXPECT_THROW(ds.Locate("ID", "12a"), ConversionError);
        EXPECT_TRUE(ds.Locate("ID", "25"));
        EXPECT_EQ(ds["ID"].asInteger(), 25);
    }
}

TEST_F(DatasetTest, ALookupByKeyFindsWhatAnotherConnectionCommittedEvenWithAllRowsHeld)
{
    fillItems(5);
    db->exec("INSERT INTO T_HEAD (EMP, NUM, TOTAL) VALUES ('01', 1, 100)");
    db->exec("INSERT INTO T_LINE (EMP, NUM, LINEA, QTY) VALUES ('01', 1, 1, 1)");
    db->exec("INSERT INTO T_LINE (EMP, NUM, LINEA, QTY) VALUES ('02', 1, 1, 7)");
    Dataset items(*db), head(*db), lines(*db);
    items.setTableName("T_ITEM");
    head.setTableName("T_HEAD");
    lines.setTableName("T_LINE");
    lines.setMasterSource(&head, "EMP;NUM");
    for (Dataset* ds : {&items, &head, &lines})
        ds->Open();
    ASSERT_TRUE(items.allFetchedForward() && items.allFetchedBackward());  // the whole table is held

    // Another register changes a row, adds one and deletes one, after the rows were read.
    Connection other(QStringLiteral("Otra"));
    other.setLocation(db->location());
    other.exec("UPDATE T_ITEM SET CODE = 'NUEVO' WHERE ID = 3");
    other.exec("INSERT INTO T_ITEM (ID, CODE, REQ) VALUES (6, 'HOY', 'X')");
    other.exec("DELETE FROM T_ITEM WHERE ID = 5");
    other.exec("UPDATE T_HEAD SET EMP = '02', TOTAL = 700 WHERE EMP = '01' AND NUM = 1");

    ASSERT_TRUE(items.Locate("ID", 3));
    EXPECT_EQ(items["CODE"].asString(), "NUEVO");  // the row held is read again
    ASSERT_TRUE(items.FindKey({6}));
    EXPECT_EQ(items["CODE"].asString(), "HOY");
    EXPECT_FALSE(items.Locate("ID", 5));
    EXPECT_EQ(items["ID"].asInteger(), 6);  // not found: the cursor stays
    ASSERT_TRUE(items.Locate("CODE", "NUEVO"));  // by a column that is not the key, too
    EXPECT_EQ(items["ID"].asInteger(), 3);
    items.Next();
    EXPECT_EQ(items["ID"].asInteger(), 4);  // the rows around it follow in order

    // A header found by its new key brings its lines with it.
    ASSERT_TRUE(head.Locate("EMP;NUM", {"02", 1}));
    EXPECT_EQ(head["TOTAL"].asFloat(), 700);
    EXPECT_EQ(lines["QTY"].asFloat(), 7);
    EXPECT_FALSE(head.Locate("EMP;NUM", {"01", 1}));
}

TEST_F(DatasetTest, DetailFollowsItsMasterAndInsertsUnderIt)
{
    db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");
    db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 2)");
    db->exec("INSERT INTO T_LINE (EMP, NUM, LINEA, QTY) VALUES ('01', 1, 1, 5)");
    db->exec("INSERT INTO T_LINE (EMP, NUM, LINEA, QTY) VALUES ('01', 1, 2, 6)");
    Dataset head(*db), lines(*db);
    head.setTableName("T_HEAD");
    lines.setTableName("T_LINE");
    lines.setMasterSource(&head, "EMP;NUM");
    int detailScrolls = 0;
    lines.AfterScroll = [&](Dataset&) { ++detailScrolls; };
    head.Open();
    lines.Open();
    EXPECT_EQ(lines.bufferCount(), 2);
    head.Next();
    EXPECT_EQ(head["NUM"].asInteger(), 2);
    EXPECT_TRUE(lines.IsEmpty());
    EXPECT_GT(detailScrolls, 0);

    lines.Insert();
    EXPECT_EQ(lines["EMP"].asString(), "01");
    EXPECT_EQ(lines["NUM"].asInteger(), 2);
    lines["LINEA"].setInteger(1);
    lines.Post();
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_LINE WHERE NUM = 2").toInt(), 1);

    head.First();
    EXPECT_EQ(lines.bufferCount(), 2);

    // A master being inserted has no key yet: no details.
    head.Insert();
    EXPECT_TRUE(lines.IsEmpty());
    head.Cancel();
    EXPECT_EQ(lines.bufferCount(), 2);
}

TEST_F(DatasetTest, CalculatedFieldsFollowEveryRowAndEveryChange)
{
    fillItems(3);
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.addCalcField("DOUBLE", FieldType::Float);
    ds.OnCalcFields = [](Dataset& d) { d["DOUBLE"].setFloat(d["ID"].asFloat() * 2); };
    ds.Open();
    EXPECT_EQ(ds.displayTextAt(2, ds["DOUBLE"].index()), "6");
    ds.Edit();
    ds["ID"].setInteger(10);
    EXPECT_EQ(ds["DOUBLE"].asFloat(), 20);
    ds.Cancel();
    EXPECT_EQ(ds["DOUBLE"].asFloat(), 2);
    EXPECT_THROW(ds["DOUBLE"].setFloat(1), DbError);
}

TEST_F(DatasetTest, QueriesTakeNamedParametersAndReadLazily)
{
    fillItems(50);
    db->exec("UPDATE T_ITEM SET NOMBRE = :N WHERE ID = 1", {{"N", "O'Brien;--"}});
    Dataset q(*db);
    q.setSql("SELECT ID, NOMBRE FROM T_ITEM WHERE ID >= :DESDE ORDER BY ID");
    q.setParam("DESDE", 11);
    q.setPageSize(15);
    q.Open();
    EXPECT_EQ(q.bufferCount(), 15);
    EXPECT_EQ(q["ID"].asInteger(), 11);
    EXPECT_EQ(q.recordCount(), 40);
    EXPECT_TRUE(q.Locate("ID", 50));
    q.Close();
    q.setParam("DESDE", 1);
    q.Open();
    EXPECT_EQ(q["NOMBRE"].asString(), "O'Brien;--");  // the text went in as a value, not as SQL
    EXPECT_THROW(q.Edit(), DbError);                   // a plain query is read-only
    EXPECT_EQ(q.state(), DsState::Browse);
}

TEST_F(DatasetTest, TableWithoutKeyIsEditedByRowIdentity)
{
    Dataset ds(*db);
    ds.setTableName("T_NOKEY");
    ds.Open();
    for (int i = 0; i < 3; ++i) {
        ds.Append();
        ds["A"].setInteger(1);  // identical rows: only the row identity tells them apart
        ds.Post();
    }
    ds.First();
    ds.Next();
    ds.Edit();
    ds["B"].setString("x");
    ds.Post();
    ds.Delete();
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_NOKEY").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_NOKEY WHERE B IS NOT NULL").toInt(), 0);
}

TEST_F(DatasetTest, TransactionGuardRollsBackEverythingOnFailure)
{
    try {
        Transaction t(*db);
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");  // duplicate key
        t.commit();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains("PRIMARY", Qt::CaseInsensitive) || e.text().contains("unique", Qt::CaseInsensitive))
            << e.text().toStdString();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_HEAD").toInt(), 0);
    db->exec("COMMIT");  // accepted as a statement
    {
        Transaction t(*db);
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");
        t.commit();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_HEAD").toInt(), 1);
}

TEST_F(DatasetTest, AKeyTakenOnAnotherConnectionIsKnownByItsCode)
{
    Connection other(QStringLiteral("Otra"));
    other.setLocation(db->location());
    other.exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 7)");
    try {
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 7)");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::kDuplicateKey);
        EXPECT_TRUE(isDuplicateKey(e));
        EXPECT_FALSE(isConflict(e));
    }
    // Any other refusal carries its own code, never the one for a taken key.
    try {
        db->exec("INSERT INTO T_HEAD (EMP) VALUES ('01')");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(e.code(), 0);
        EXPECT_FALSE(isDuplicateKey(e));
    }
}

TEST_F(DatasetTest, AnInnerGuardThatGivesUpUndoesTheWholeTransaction)
{
    // The inner part fails and its guard unwinds; the outer code carries on and commits: the
    // commit refuses, and not even the outer part's rows stay.
    {
        Transaction outer(*db);
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");
        try {
            Transaction inner(*db);
            db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 2)");
            throw Abort();
        } catch (const Abort&) {
        }
        try {
            outer.commit();
            FAIL() << "committed";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::kOperationUndone);
        }
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_HEAD").toInt(), 0);
    // The next transaction starts clean; an inner guard that commits joins the outer one.
    {
        Transaction outer(*db);
        {
            Transaction inner(*db);
            db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 3)");
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_HEAD").toInt(), 1);
}

TEST_F(DatasetTest, NumbersAColumnCannotHoldAsTypedAreRefusedNamingTheField)
{
    db->exec("CREATE TABLE T_NUM (ID INTEGER NOT NULL PRIMARY KEY, S SMALLINT, B BIGINT, N NUMERIC(9,2), "
             "M NUMERIC(4,1))");
    db->forgetTableInfo();
    Dataset ds(*db);
    ds.setTableName("T_NUM");
    ds.Open();
    ds.Insert();
    ds["ID"] = 1;
    struct Case {
        const char* field;
        QVariant value;
        const char* refusal;  // part of the message; nullptr: accepted
    } const cases[] = {
        {"ID", "3000000000", "no cabe en el campo 'ID'"},
        {"ID", 3000000000.0, "no cabe en el campo 'ID'"},
        {"ID", "1.5", "El campo 'ID' solo admite números enteros"},
        {"ID", 1.5, "solo admite números enteros"},
        {"ID", "1000000.5", "solo admite números enteros"},  // large values are checked as closely
        {"ID", 1000000.5, "solo admite números enteros"},
        {"N", "10000.123", "admite 2 decimales como máximo"},
        {"N", 123456.789, "admite 2 decimales"},
        {"N", "10000.12", nullptr},
        {"ID", "-2147483648", nullptr},
        {"ID", "2147483648", "no cabe"},
        {"S", "40000", "no cabe en el campo 'S'"},
        {"S", "-32768", nullptr},
        {"B", "9000000000", nullptr},
        {"N", "1.234", "El campo 'N' admite 2 decimales como máximo"},
        {"N", "1234567.89", nullptr},
        {"N", "21474836.48", "no cabe"},
        {"M", "999.9", nullptr},
        {"M", "3276.8", "no cabe"},
        {"ID", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.value.toString().toStdString());
        const QVariant before = ds[c.field].value();
        try {
            ds[c.field] = c.value;
            EXPECT_EQ(c.refusal, nullptr) << "accepted";
        } catch (const ConversionError& e) {
            ASSERT_NE(c.refusal, nullptr) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(c.refusal))) << e.text().toStdString();
            EXPECT_EQ(ds[c.field].value(), before);  // the field keeps what it had
        }
    }
    ds["ID"] = 2;
    ds["N"] = 0.1 + 0.2;  // a sum of doubles with a tail far below a cent still fits
    ds.Post();
    EXPECT_DOUBLE_EQ(db->scalar("SELECT N FROM T_NUM WHERE ID = 2").toDouble(), 0.3);
}

TEST_F(DatasetTest, GridTypesANewRowCellByCellAndEditsPostAtOnce)
{
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.Open();
    DatasetModel model(ds);
    model.setColumns({{"ID", {}, {}}, {"NOMBRE", {}, {}}, {"REQ", {}, {}}});
    ds.Insert();
    // The first cell of a new row must not post it: REQ is still to be typed.
    EXPECT_TRUE(model.setData(model.index(ds.currentIndex(), 0), 3));
    EXPECT_EQ(ds.state(), DsState::Insert);
    EXPECT_TRUE(model.setData(model.index(ds.currentIndex(), 2), "R"));
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_ITEM").toInt(), 0);
    ds.Post();
    EXPECT_EQ(db->scalar("SELECT REQ FROM T_ITEM WHERE ID = 3").toString().trimmed(), "R");
    // A cell of a stored row is written as soon as it is changed.
    EXPECT_TRUE(model.setData(model.index(ds.currentIndex(), 1), "LAPIZ"));
    EXPECT_EQ(ds.state(), DsState::Browse);
    EXPECT_EQ(db->scalar("SELECT NOMBRE FROM T_ITEM WHERE ID = 3").toString().trimmed(), "LAPIZ");
}

TEST_F(DatasetTest, APostedRowTakesItsPlaceInTheOrderWhenAllRowsAreHeld)
{
    fillItems(6);
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.Open();
    auto ids = [&] {
        QList<int> out;
        for (int i = 0; i < ds.bufferCount(); ++i)
            out << ds.valueAt(i, ds["ID"].index()).toInt();
        return out;
    };
    // Inserted before the current row, it goes where the key puts it and stays current.
    ds.First();
    for (int id : {9, 0, 4}) {
        ds.Insert();
        ds["ID"].setInteger(id == 4 ? 40 : id);
        ds["REQ"].setString("X");
        ds.Post();
        EXPECT_EQ(ds["ID"].asInteger(), id == 4 ? 40 : id);
        EXPECT_EQ(ds.valueAt(ds.currentIndex(), ds["ID"].index()).toInt(), ds["ID"].asInteger());
    }
    EXPECT_EQ(ids(), QList<int>({0, 1, 2, 3, 4, 5, 6, 9, 40}));
    // Ordered by name, an edited name moves its row; an unchanged place leaves it.
    ds.setIndexFieldNames("NOMBRE");
    ASSERT_TRUE(ds.Locate("ID", 3));
    ds.Edit();
    ds["NOMBRE"].setString("ZZ");
    ds.Post();
    EXPECT_EQ(ds.currentIndex(), ds.bufferCount() - 1);
    ds.Edit();
    ds["PRICE"].setFloat(1);
    ds.Post();
    EXPECT_EQ(ds.currentIndex(), ds.bufferCount() - 1);
    const QList<int> held = ids();
    ds.Refresh();
    EXPECT_EQ(ids(), held);  // what the next read gives
}

TEST_F(DatasetTest, ANewMasterRowReadsNoDetailRows)
{
    // A master row just inserted has no key yet, so its details are empty without asking the
    // database: a condition that is never true still makes it walk the whole detail table.
    {
        Transaction t(*db);
        db->exec("INSERT INTO T_HEAD (EMP, NUM) VALUES ('01', 1)");
        for (int i = 1; i <= 3000; ++i)
            db->exec("INSERT INTO T_LINE (EMP, NUM, LINEA) VALUES ('01', 1, :L)", {{"L", i}});
        t.commit();
    }
    Dataset head(*db), lines(*db);
    head.setTableName("T_HEAD");
    lines.setTableName("T_LINE");
    lines.setMasterSource(&head, "EMP;NUM");
    head.Open();
    lines.Open();
    ASSERT_FALSE(lines.IsEmpty());  // the lines of document 1
    auto pagesRead = [&] {
        return db->scalar("SELECT I.MON$PAGE_FETCHES FROM MON$ATTACHMENTS A "
                          "JOIN MON$IO_STATS I ON I.MON$STAT_ID = A.MON$STAT_ID "
                          "WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION").toLongLong();
    };
    const qint64 before = pagesRead();
    head.Insert();
    EXPECT_TRUE(lines.IsEmpty());
    EXPECT_LT(pagesRead() - before, 500);
}

TEST_F(DatasetTest, PostErrorHandlerMayCorrectTheRowAndRetry)
{
    db->exec("INSERT INTO T_ITEM (ID, REQ) VALUES (1, 'X')");
    db->exec("INSERT INTO T_ITEM (ID, REQ) VALUES (2, 'X')");
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.Open();
    int calls = 0;
    // A taken key: the handler moves the row to the next number and asks for another write.
    ds.OnPostError = [&](Dataset& d, const DbError&) {
        ++calls;
        d["ID"].setInteger(d["ID"].asInteger() + 1);
        return DataAction::Retry;
    };
    ds.Insert();
    ds["ID"].setInteger(1);
    ds["REQ"].setString("Y");
    ds.Post();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ds["ID"].asInteger(), 3);
    EXPECT_EQ(db->scalar("SELECT REQ FROM T_ITEM WHERE ID = 3").toString().trimmed(), "Y");

    // Fail lets the database's error through and Abort stops silently; either way the row stays
    // in insert mode and nothing is written.
    for (DataAction action : {DataAction::Fail, DataAction::Abort}) {
        ds.OnPostError = [action](Dataset&, const DbError&) { return action; };
        ds.Insert();
        ds["ID"].setInteger(2);
        ds["REQ"].setString("Z");
        if (action == DataAction::Fail)
            EXPECT_THROW(ds.Post(), DbError);
        else
            EXPECT_THROW(ds.Post(), Abort);
        EXPECT_EQ(ds.state(), DsState::Insert);
        ds.Cancel();
    }
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM T_ITEM").toInt(), 3);
}

TEST_F(DatasetTest, MovingOffAPostedRowLandsOnTheRowAskedForEvenWhenThePostReSorts)
{
    fillItems(3);  // names N1, N2, N3
    Dataset ds(*db);
    ds.setTableName("T_ITEM");
    ds.setIndexFieldNames("NOMBRE");
    ds.Open();
    ds.Insert();  // at the top, but its name sorts last
    ds["ID"].setInteger(9);
    ds["NOMBRE"].setString("ZZ");
    ds["REQ"].setString("X");
    ASSERT_EQ(ds.valueAt(1, ds["ID"].index()).toInt(), 1);
    ds.setCurrentIndex(1);  // the grid's next row: N1
    EXPECT_EQ(ds.state(), DsState::Browse);
    EXPECT_EQ(ds["ID"].asInteger(), 1);
    EXPECT_EQ(ds.valueAt(ds.bufferCount() - 1, ds["ID"].index()).toInt(), 9);
}

TEST(ConnectionTest, BadLocationsGiveTheDatabaseText)
{
    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.fdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a database");
    junk.close();
    for (const QString& loc : {dir.filePath("missing.fdb"), junk.fileName(), QString()}) {
        Connection c("Korvela");
        c.setLocation(loc);
        EXPECT_FALSE(c.tryOpen());
        EXPECT_FALSE(c.lastError().isEmpty()) << loc.toStdString();
        EXPECT_THROW(c.exec("SELECT 1 FROM RDB$DATABASE"), DbError);
    }
}

}  // namespace
