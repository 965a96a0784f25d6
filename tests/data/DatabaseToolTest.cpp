// korvela-db run as a user runs it after an update of the program: the database keeps its rows
// and gets what it lacks; a wrong file is refused with the database's own words.
#include "data/Connection.h"
#include "support/TestDb.h"

#include <QProcess>
#include <QTemporaryDir>
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
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

int indexCount(Connection& c, const QString& name)
{
    return c.scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME = :N"), {{"N", name}}).toInt();
}

TEST(DatabaseToolTest, UpdateAddsWhatAnOlderDatabaseLacksAndKeepsItsRows)
{
    QTemporaryDir dir;
    const QString pos = kvtest::freshPosDatabase(dir.path());
    const QString acc = kvtest::freshAccountingDatabase(dir.path());
    {
        Connection c(QStringLiteral("Older"));
        c.setLocation(pos);
        c.open();
        c.exec(QStringLiteral("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'PRINCIPAL')"));
        c.exec(QStringLiteral("DROP INDEX IX_PRODUCTOS_CODIGOBARRAS"));
        c.exec(QStringLiteral("DROP TABLE MESERO"));
    }
    {
        Connection c(QStringLiteral("OlderTavro"));
        c.setLocation(acc);
        c.open();
        c.exec(QStringLiteral("DROP INDEX IX_TERCEROS_RAZONSOCIAL"));
    }

    ToolRun r = runTool({QStringLiteral("update"), pos});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("POS actualizada"))) << r.output.toStdString();
    r = runTool({QStringLiteral("update"), acc});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("contable actualizada"))) << r.output.toStdString();

    Connection c(QStringLiteral("Updated"));
    c.setLocation(pos);
    c.open();
    EXPECT_EQ(indexCount(c, QStringLiteral("IX_PRODUCTOS_CODIGOBARRAS")), 1);
    EXPECT_TRUE(c.tableExists(QStringLiteral("MESERO")));
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT NOMBRE FROM BODEGAS WHERE BODEGA = 1")).toString().trimmed(),
              QStringLiteral("PRINCIPAL"));
    EXPECT_FALSE(c.tableExists(QStringLiteral("TERCEROS")));  // the POS database stays a POS database
    Connection t(QStringLiteral("UpdatedTavro"));
    t.setLocation(acc);
    t.open();
    EXPECT_EQ(indexCount(t, QStringLiteral("IX_TERCEROS_RAZONSOCIAL")), 1);
    EXPECT_FALSE(t.tableExists(QStringLiteral("PRODUCTOS")));
}

TEST(DatabaseToolTest, UpdateGivesTheSaleTablesTheirKeyOnlyWhenNoRowBreaksIt)
{
    // A database made before the sale tables had their keys, where two registers once shared
    // document 7 and a line was stored without its number.
    QTemporaryDir dir;
    const QString pos = kvtest::freshPosDatabase(dir.path());
    auto primaryKeys = [&pos] {
        Connection c(QStringLiteral("Keys"));
        c.setLocation(pos);
        c.open();
        return c.scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE RDB$CONSTRAINT_TYPE = "
                                       "'PRIMARY KEY' AND RDB$RELATION_NAME IN ('POSMOVIMIENTO', 'POSMOVIMIENTODETALLE')"))
            .toInt();
    };
    {
        Connection c(QStringLiteral("Older"));
        c.setLocation(pos);
        c.open();
        c.exec(QStringLiteral("ALTER TABLE POSMOVIMIENTO DROP CONSTRAINT PK_POSMOVIMIENTO"));
        c.exec(QStringLiteral("ALTER TABLE POSMOVIMIENTODETALLE DROP CONSTRAINT PK_POSMOVIMIENTODETALLE"));
        c.exec(QStringLiteral("ALTER TABLE POSMOVIMIENTODETALLE ALTER COLUMN LINEA DROP NOT NULL"));
        for (int caja : {1, 2})
            c.exec(QStringLiteral("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, CAJA) "
                                  "VALUES ('01', 'POS', 7, 1, :C)"),
                   {{"C", caja}});
        c.exec(QStringLiteral("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, PRODUCTO) "
                              "VALUES ('01', 'POS', 7, 1)"));
    }
    ASSERT_EQ(primaryKeys(), 0);

    ToolRun r = runTool({QStringLiteral("update"), pos});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains(QStringLiteral("no se cambió nada"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("POSMOVIMIENTO: 01 POS 7 (2 filas)"))) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("POSMOVIMIENTODETALLE: 01 POS 7 (vacío) (1 fila)")))
        << r.output.toStdString();
    EXPECT_EQ(primaryKeys(), 0);

    {
        Connection c(QStringLiteral("Mended"));
        c.setLocation(pos);
        c.open();
        c.exec(QStringLiteral("UPDATE POSMOVIMIENTO SET CONSECUTIVO = 8 WHERE CAJA = 2"));
        c.exec(QStringLiteral("UPDATE POSMOVIMIENTODETALLE SET LINEA = 1"));
    }
    r = runTool({QStringLiteral("update"), pos});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_EQ(primaryKeys(), 2);
    Connection c(QStringLiteral("Keyed"));
    c.setLocation(pos);
    c.open();
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTO")).toInt(), 2);
    try {
        c.exec(QStringLiteral("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA) VALUES ('01', 'POS', 7, 1)"));
        ADD_FAILURE() << "a number used twice";
    } catch (const DbError& e) {
        EXPECT_TRUE(isDuplicateKey(e));
    }
}

TEST(DatabaseToolTest, UpdateOfAMissingOrForeignFileFailsWithTheDatabasesText)
{
    QTemporaryDir dir;
    ToolRun r = runTool({QStringLiteral("update"), dir.filePath(QStringLiteral("no-existe.fdb"))});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains(QStringLiteral("no-existe.fdb"))) << r.output.toStdString();

    const QString text = dir.filePath(QStringLiteral("notas.fdb"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("esto no es una base de datos\n");
    f.close();
    r = runTool({QStringLiteral("update"), text});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.output.isEmpty());
    QFile again(text);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("esto no es una base de datos\n"));  // left as it was
}

}  // namespace
