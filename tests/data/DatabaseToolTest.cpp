// korvela-db run as a user runs it after an update of the program: the database keeps its rows
// and gets what it lacks; a wrong file is refused with the database's own words.
#include "data/Connection.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;

namespace {

struct ToolRun {
    int exitCode;
    QString output;
};

// input goes to the tool's standard input, which is then closed (a script typing a password).
ToolRun runTool(const QStringList& args, const QByteArray& input = QByteArray())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(KV_DB_TOOL), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

QStringList lines(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
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

TEST(DatabaseToolTest, InstallMakesAnEmptyShopWithTheTypedPasswordAndForcedWrites)
{
    QTemporaryDir dir;
    const QString shop = dir.filePath(QStringLiteral("tienda"));
    const QStringList args{QStringLiteral("install"), shop, QStringLiteral("--name"), QStringLiteral("Tienda Don Pepe"),
                           QStringLiteral("--nit"), QStringLiteral("900123456")};
    ToolRun r = runTool(args, "clave-de-la-tienda\n");
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();

    const QStringList location = lines(shop + QStringLiteral("/DireccionBd.txt"));
    ASSERT_GE(location.size(), 7);
    EXPECT_EQ(location[4], shop + QStringLiteral("/tavro.fdb"));
    EXPECT_EQ(location[6], shop + QStringLiteral("/korvela.fdb"));

    Connection c(QStringLiteral("Installed"));
    c.setLocation(location[6]);
    c.open();
    auto one = [&](const char* sql) { return c.scalar(QString::fromLatin1(sql)).toString().trimmed(); };
    EXPECT_EQ(one("SELECT TRIM(NOMBRE) || '|' || CAST(NIT AS BIGINT) FROM REGISTRO"), "TIENDA DON PEPE|900123456");
    // DIAN's check digit of 900123456 is 8.
    EXPECT_EQ(one("SELECT NIT FROM EMPRESAS WHERE EMPRESA = '01'"), "900123456-8");
    EXPECT_EQ(one("SELECT DETALLE FROM POSLINEATOP WHERE LINEA = 2"), "NIT 900123456-8");
    EXPECT_EQ(one("SELECT TRIM(NOMBRE) || '|' || TRIM(CLAVE) FROM USUARIOS"), "Administrador|clave-de-la-tienda");
    EXPECT_EQ(one("SELECT COUNT(*) FROM MENU WHERE CODIGOUSUARIO = 1 AND OPCIONES NOT LIKE '%0%'"), "1");
    // The register sells under a parameter row whose document type exists and begins with "P".
    EXPECT_EQ(one("SELECT COUNT(*) FROM POSCAJAS C JOIN POSESQUEMA E ON E.LLAVE = C.EMPRESA "
                  "JOIN DOCUMENTOS D ON D.DOCUMENTO = E.DOCUMENTO JOIN EMPRESAS M ON M.EMPRESA = E.EMPRESA "
                  "JOIN BODEGAS B ON B.BODEGA = E.SUCURSAL WHERE D.DOCUMENTO STARTING WITH 'P'"),
              "1");
    EXPECT_EQ(one("SELECT COUNT(*) FROM PROGRAMASPOS WHERE PROGRAMA BETWEEN 1 AND 13"), "13");
    EXPECT_EQ(one("SELECT COUNT(*) FROM POSMOVIMIENTO"), "0");
    EXPECT_EQ(one("SELECT MON$FORCED_WRITES FROM MON$DATABASE"), "1");
    Connection t(QStringLiteral("InstalledTavro"));
    t.setLocation(location[4]);
    t.open();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE")).toInt(), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT TRIM(DV) FROM TERCEROS WHERE NIT = 900123456")).toString(), "8");
    c.close();
    t.close();

    // A second installation into the same folder changes nothing.
    r = runTool(args, "otra\n");
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("ya tiene una instalacion"))) << r.output.toStdString();
    c.open();
    EXPECT_EQ(one("SELECT TRIM(CLAVE) FROM USUARIOS"), "clave-de-la-tienda");
}

TEST(DatabaseToolTest, InstallRefusesWhatWouldLeaveAShopWithoutNameNitOrPassword)
{
    QTemporaryDir dir;
    const QString shop = dir.filePath(QStringLiteral("tienda"));
    const struct {
        QStringList options;
        QByteArray password;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--nit"), QStringLiteral("900123456")}, "x\n", "Falta el nombre"},
        {{QStringLiteral("--name"), QStringLiteral("Tienda")}, "x\n", "NIT"},
        {{QStringLiteral("--name"), QStringLiteral("Tienda"), QStringLiteral("--nit"), QStringLiteral("900.123.456")},
         "x\n", "--nit"},
        {{QStringLiteral("--name"), QStringLiteral("Tienda"), QStringLiteral("--nit"), QStringLiteral("900123456")}, "\n",
         "no puede quedar vacia"},
        {{QStringLiteral("--name"), QStringLiteral("Tienda"), QStringLiteral("--nit"), QStringLiteral("900123456")}, "",
         "No se recibio la clave"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const ToolRun r = runTool(QStringList{QStringLiteral("install"), shop} + c.options, c.password);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.output.contains(QString::fromLatin1(c.says))) << r.output.toStdString();
        EXPECT_FALSE(QFile::exists(shop + QStringLiteral("/korvela.fdb")));
        EXPECT_FALSE(QFile::exists(shop + QStringLiteral("/DireccionBd.txt")));
    }
}

TEST(DatabaseToolTest, BackupIsCheckedAndRestoreWaitsForTheDatabaseToBeFree)
{
    QTemporaryDir dir;
    const QString pos = kvtest::freshPosDatabase(dir.path(), kvtest::Seed::Demo);
    const QString copies = dir.filePath(QStringLiteral("copias"));
    QDir().mkpath(copies);
    int sales = 0;
    {
        Connection c(QStringLiteral("Counted"));
        c.setLocation(pos);
        c.open();
        sales = c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")).toInt();
    }
    ASSERT_GT(sales, 0);

    // Three nightly copies, keeping two: the oldest goes.
    QStringList made;
    for (int i = 0; i < 3; ++i) {
        const ToolRun r = runTool({QStringLiteral("backup"), pos, copies, QStringLiteral("--keep"), QStringLiteral("2")});
        ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
        EXPECT_TRUE(r.output.contains(QStringLiteral("POSMOVIMIENTODETALLE: %1 filas").arg(sales))) << r.output.toStdString();
        made << QDir(copies).entryList({QStringLiteral("*.fbk")}, QDir::Files, QDir::Name).last();
        QThread::sleep(1);  // copies are named by the second
    }
    const QStringList kept = QDir(copies).entryList({QStringLiteral("*.fbk")}, QDir::Files, QDir::Name);
    EXPECT_EQ(kept, made.mid(1));
    EXPECT_EQ(QDir(copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());  // no scratch left
    const QString backup = QDir(copies).filePath(kept.last());

    // The database changes after the copy; a restore brings the copy's rows back.
    Connection c(QStringLiteral("Live"));
    c.setLocation(pos);
    c.open();
    c.exec(QStringLiteral("DELETE FROM POSMOVIMIENTODETALLE"));
    ToolRun r = runTool({QStringLiteral("restore"), backup, pos});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QStringLiteral("No se restaura"))) << r.output.toStdString();
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")).toInt(), 0);  // untouched
    c.close();

    r = runTool({QStringLiteral("restore"), backup, pos});
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    c.open();
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE")).toInt(), sales);
    EXPECT_TRUE(QFile::exists(pos + QStringLiteral(".anterior")));
}

}  // namespace
