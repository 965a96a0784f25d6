// After a crash: "korvela-db check" finds a sale key stored twice and a header unlike its lines,
// stores its verdict (which the registers read at sign-on), and "korvela-db repair" rebuilds the
// indexes, lists the duplicates for a person and deletes nothing; once the person has decided, the
// database checks sound again.
#include "data/Connection.h"
#include "data/DatabaseCheck.h"
#include "support/TestDb.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kv;

namespace {

struct ToolRun {
    int exitCode;
    QString output;
};

ToolRun runTool(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(KV_DB_TOOL), args);
    p.waitForFinished(300000);
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

class DatabaseCheckTest : public kvtest::DbTest {
protected:
    // The tool opens the file on the embedded engine, which one process has at a time.
    ToolRun tool(const char* command)
    {
        const QString location = db->location();
        db->close();
        ToolRun r = runTool({QString::fromLatin1(command), location});
        db->open();
        return r;
    }
    int count(const char* sql) { return db->scalar(QString::fromLatin1(sql)).toInt(); }
    void sale(int numero, int caja, double subtotal)
    {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CAJA, SUBTOTAL, IVA, NETO) "
                 "VALUES ('01', 'POS', :N, 1, CURRENT_TIMESTAMP, :C, :S, 0, :S)",
                 {{"N", numero}, {"C", caja}, {"S", subtotal}});
    }
    void line(int numero, double subtotal)
    {
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, SUBTOTAL, VALORIVA) "
                 "VALUES ('01', 'POS', :N, 1, 1, :S, 0)",
                 {{"N", numero}, {"S", subtotal}});
    }
};

TEST_F(DatabaseCheckTest, FindsAKeyStoredTwiceAndAHeaderUnlikeItsLinesAndRepairDeletesNothing)
{
    sale(1, 101, 5000);
    line(1, 5000);
    ToolRun r = tool("check");
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("buen estado"))) << r.output.toStdString();
    EXPECT_EQ(damagedDatabaseMessage(*db), QString());

    // What a crash leaves: the key's index let a second row of sale 7 in (here the key is dropped
    // to store it), and a header whose total its lines do not make.
    db->exec("ALTER TABLE POSMOVIMIENTO DROP CONSTRAINT PK_POSMOVIMIENTO");
    db->exec("COMMIT");
    sale(7, 102, 1000);
    line(7, 1000);
    sale(7, 112, 1000);
    sale(8, 103, 900);
    line(8, 2500);
    r = tool("check");
    EXPECT_EQ(r.exitCode, 2) << r.output.toStdString();
    for (const char* expected : {"POSMOVIMIENTO EMPRESA,DOCUMENTO,CONSECUTIVO = 01 POS 7, guardada varias veces:",
                                 "CAJA=102", "CAJA=112", "POSMOVIMIENTO 01 POS 8: subtotal 900.00"})
        EXPECT_TRUE(r.output.contains(QString::fromUtf8(expected))) << expected << "\n" << r.output.toStdString();
    // The registers read the verdict at sign-on, and the sentence names the command.
    EXPECT_TRUE(damagedDatabaseMessage(*db).contains(QStringLiteral("korvela-db repair")));

    // The repair deletes nothing, says what a person must decide, and the verdict stays.
    r = tool("repair");
    EXPECT_EQ(r.exitCode, 2) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("Indice reconstruido: POSMOVIMIENTO.IX_POSMOVIMIENTO_FECHA")))
        << r.output.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 4);
    EXPECT_FALSE(damagedDatabaseMessage(*db).isEmpty());

    // The person decided: register 112's copy goes, sale 8 gets its real total; the key comes
    // back with "update", and the repair then finds the database sound.
    db->exec("DELETE FROM POSMOVIMIENTO WHERE CONSECUTIVO = 7 AND CAJA = 112");
    db->exec("UPDATE POSMOVIMIENTO SET SUBTOTAL = 2500, NETO = 2500 WHERE CONSECUTIVO = 8");
    r = tool("update");
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    r = tool("repair");
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("Indice reconstruido: POSMOVIMIENTO.PK_POSMOVIMIENTO")))
        << r.output.toStdString();
    EXPECT_EQ(damagedDatabaseMessage(*db), QString());
    EXPECT_EQ(count("SELECT COUNT(*) FROM POSMOVIMIENTO"), 3);
}

}  // namespace
