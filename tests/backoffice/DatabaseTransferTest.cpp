// Documents, third parties and products carried from one shop to another through a removable
// database made by korvela-db: nothing lost, nothing doubled, every column by name even when the
// other shop's tables declare their columns in another order, and a load that would store a
// document number twice refused before anything is stored.
#include "support/TestDb.h"

#include "backoffice/DatabaseTransfer.h"

#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace kv;

namespace {

const QDate kDesde(2026, 3, 2), kHasta(2026, 3, 6);

class DatabaseTransferTest : public kvtest::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        const QString path = dir.filePath(QStringLiteral("removible.fdb"));
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral(KV_DB_TOOL), {QStringLiteral("pos"), path});
        ASSERT_TRUE(tool.waitForFinished(120000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAll().toStdString();
        removable = open(QStringLiteral("Removible"), path);
        other = open(QStringLiteral("OtraTienda"), kvtest::freshPosDatabase(dir.path()));
        // The other shop's tables were made by another version, with their columns in other orders.
        for (const char* move : {"ALTER TABLE PRODUCTOS ALTER COLUMN PRECIOMASIVA POSITION 1",
                                 "ALTER TABLE PRODUCTOS ALTER COLUMN CODIGO POSITION 20",
                                 "ALTER TABLE PRODUCTOS ALTER COLUMN CUENTACONTABLEIVAV POSITION 3",
                                 "ALTER TABLE PROVEEDORES ALTER COLUMN DESCUENTOAUT POSITION 1",
                                 "ALTER TABLE PROVEEDORES ALTER COLUMN NIT POSITION 25",
                                 "ALTER TABLE MOVIMIENTO ALTER COLUMN NETO POSITION 1",
                                 "ALTER TABLE MOVIMIENTODETALLE ALTER COLUMN VALORIVA POSITION 1",
                                 "ALTER TABLE MOVIMIENTODETALLE ALTER COLUMN CANTIDAD POSITION 21"})
            other->exec(move);
        other->exec("COMMIT");
        other->forgetTableInfo();

        // This shop: two third parties, two products (one whose price includes IVA), and three
        // transfers from warehouse 3, one made late on the last day, one of another warehouse and
        // one after the period.
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE, SUBZONA, CLASETERCERO, DESCUENTOAUT, FECHANACIMIENTO) VALUES "
                 "(800100200, '7', 'COMERCIAL ANDINA', 'Z2', 'J', 5, '1980-05-01')");
        db->exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (71000111, '3', 'ANA PEREZ')");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORUNIDAD, VALORIVA, "
                 "PRECIOMASIVA, IPOCONSUMO, CUENTACONTABLEIVAV, CANTIDADEMPACADA) VALUES ('A1', '01', 1, 10, "
                 "'ACEITE', 'UN', 11900, 19, 'S', 0, '240810', 6)");
        db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORUNIDAD) VALUES "
                 "('B2', '02', 2, 11, 'BOLSA', 'UN', 200)");
        document(15, 3, QDateTime(kHasta, QTime(18, 30)));
        document(16, 4, QDateTime(kDesde, QTime(9, 0)));
        document(17, 3, QDateTime(kHasta.addDays(1), QTime(8, 0)));
    }

    std::unique_ptr<Connection> open(const QString& name, const QString& path)
    {
        auto c = std::make_unique<Connection>(name);
        c->setLocation(path);
        c->open();
        return c;
    }

    void document(int numero, int bodega, const QDateTime& fecha)
    {
        db->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, NETO, OBSERVACIONES) VALUES "
                 "('01', 'TRS', :N, :B, :F, 5000, 'TRASLADO')",
                 {{"N", numero}, {"B", bodega}, {"F", fecha}});
        for (int linea = 1; linea <= 2; ++linea)
            db->exec("INSERT INTO MOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                     "PRECIOUNIDAD, IVA, VALORIVA, BODEGA) VALUES ('01', 'TRS', :N, :L, :P, :C, 1000, 19, 190, :B)",
                     {{"N", numero}, {"L", linea}, {"P", 9 + linea}, {"C", -2.0 * linea}, {"B", bodega}});
    }

    static QStringList rows(Connection& c, const QString& sql)
    {
        QStringList out;
        QSqlQuery q = c.exec(sql);
        while (c.next(q)) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << (q.value(i).isNull() ? QString() : q.value(i).toString().trimmed());
            out << row.join(QLatin1Char('|'));
        }
        return out;
    }

    std::unique_ptr<Connection> removable, other;
};

TEST_F(DatabaseTransferTest, DocumentsThirdPartiesAndProductsReachAnotherShopWholeAndOnce)
{
    // Up: the removable database's old contents go; the selection's documents, whole last day included.
    removable->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA) VALUES ('09', 'VIE', 1, 1)");
    DatabaseTransfer up(*db, *removable);
    TransferResult r = up.uploadDocuments({QStringLiteral("01"), QStringLiteral("TRS"), 3, kDesde, kHasta});
    ASSERT_TRUE(r.stored()) << r.refused.join('\n').toStdString();
    EXPECT_EQ(r.documents, 1);
    EXPECT_EQ(r.lines, 2);
    EXPECT_EQ(rows(*removable, "SELECT EMPRESA, DOCUMENTO, CONSECUTIVO FROM MOVIMIENTO"), QStringList({"01|TRS|15"}));
    // A third party the removable database refuses: named, and the removable table keeps what it had.
    removable->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE) VALUES (1, 'DE OTRA TIENDA')");
    removable->exec("ALTER TABLE PROVEEDORES ADD CONSTRAINT CK_SIN_ANA CHECK (NIT <> 71000111)");
    r = up.uploadTable(QStringLiteral("PROVEEDORES"));
    ASSERT_EQ(r.refused.size(), 1);
    EXPECT_TRUE(r.refused[0].startsWith("Terceros 71000111: ")) << r.refused[0].toStdString();
    EXPECT_EQ(rows(*removable, "SELECT NIT FROM PROVEEDORES"), QStringList({"1"}));
    removable->exec("ALTER TABLE PROVEEDORES DROP CONSTRAINT CK_SIN_ANA");
    ASSERT_TRUE(up.uploadTable(QStringLiteral("PROVEEDORES")).stored());
    ASSERT_TRUE(up.uploadTable(QStringLiteral("PRODUCTOS")).stored());

    // The other shop already has the oil, filed elsewhere and sold under another number.
    other->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('A1', '07', 9, 500, "
                "'ACEITE VIEJO', 'UN')");
    other->exec("INSERT INTO PROVEEDORES (NIT, NOMBRE) VALUES (71000111, 'A. PEREZ')");

    // Down, twice for the catalogues: the second time only brings them up to date.
    DatabaseTransfer down(*other, *removable);
    r = down.downloadDocuments(QStringLiteral("02"), QStringLiteral("ENT"), 5);
    ASSERT_TRUE(r.stored()) << r.refused.join('\n').toStdString();
    for (int run = 0; run < 2; ++run) {
        r = down.downloadThirdParties();
        ASSERT_TRUE(r.stored()) << r.refused.join('\n').toStdString();
        EXPECT_EQ(r.inserted + r.updated, 2);
        EXPECT_EQ(r.inserted, run == 0 ? 1 : 0);
        r = down.downloadProducts();
        ASSERT_TRUE(r.stored()) << r.refused.join('\n').toStdString();
        EXPECT_EQ(r.updated, run == 0 ? 1 : 2);
    }

    // The documents: this shop's company, type and warehouse on headers and lines, what left the
    // first shop now coming in, every other value in its own column.
    EXPECT_EQ(rows(*other, "SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, NETO, OBSERVACIONES FROM MOVIMIENTO"),
              QStringList({"02|ENT|15|5|5000|TRASLADO"}));
    EXPECT_EQ(rows(*other, "SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, PRECIOUNIDAD, IVA, "
                           "VALORIVA, BODEGA FROM MOVIMIENTODETALLE ORDER BY LINEA"),
              QStringList({"02|ENT|15|1|10|2|1000|19|190|5", "02|ENT|15|2|11|4|1000|19|190|5"}));
    // Third parties whole, the columns past the first thirty included.
    EXPECT_EQ(rows(*other, "SELECT NIT, DV, NOMBRE, SUBZONA, CLASETERCERO, DESCUENTOAUT, FECHANACIMIENTO FROM "
                           "PROVEEDORES ORDER BY NIT"),
              QStringList({"71000111|3|ANA PEREZ||||", "800100200|7|COMERCIAL ANDINA|Z2|J|5|1980-05-01T00:00:00.000"}));
    // The oil keeps its place and number here, and its tax settings come along: a price that
    // includes IVA still does.
    EXPECT_EQ(rows(*other, "SELECT CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, VALORUNIDAD, VALORIVA, PRECIOMASIVA, "
                           "CUENTACONTABLEIVAV, CANTIDADEMPACADA FROM PRODUCTOS ORDER BY CODIGO"),
              QStringList({"A1|07|9|500|ACEITE|11900|19|S|240810|6", "B2|02|2|11|BOLSA|200||||"}));
}

TEST_F(DatabaseTransferTest, ALoadThatWouldStoreANumberTwiceIsRefusedBeforeAnythingIsStored)
{
    DatabaseTransfer up(*db, *removable);
    ASSERT_TRUE(up.uploadDocuments({QStringLiteral("01"), QStringLiteral("TRS"), 3, kDesde, kHasta.addDays(1)}).stored());
    // Number 15 is taken here already; 17 is free.
    other->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA) VALUES ('02', 'ENT', 15, 1)");
    DatabaseTransfer down(*other, *removable);
    EXPECT_EQ(down.documentCollisions(QStringLiteral("02"), QStringLiteral("ENT")), QList<int>({15}));
    EXPECT_TRUE(down.documentCollisions(QStringLiteral("02"), QStringLiteral("SAL")).isEmpty());
    EXPECT_THROW(down.downloadDocuments(QStringLiteral("02"), QStringLiteral("ENT"), 5), Failure);
    EXPECT_EQ(other->scalar("SELECT COUNT(*) FROM MOVIMIENTODETALLE").toInt(), 0);

    // A sale of the point of sale with the chosen key: the next daily update writes it into the
    // inventory under that key, so loading a document there is refused too.
    other->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA) VALUES ('02', 'POS', 17, 1, "
                "CURRENT_TIMESTAMP)");
    EXPECT_EQ(down.documentCollisions(QStringLiteral("02"), QStringLiteral("POS")), QList<int>({17}));
    EXPECT_THROW(down.downloadDocuments(QStringLiteral("02"), QStringLiteral("POS"), 5), Failure);
    EXPECT_EQ(other->scalar("SELECT COUNT(*) FROM MOVIMIENTO").toInt(), 1);

    // Two documents of the removable database that would become one.
    removable->exec("INSERT INTO MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA) VALUES ('03', 'TRS', 17, 3)");
    EXPECT_EQ(down.documentCollisions(QStringLiteral("02"), QStringLiteral("SAL")), QList<int>({17}));

    // A load cancelled half way stores nothing either.
    removable->exec("DELETE FROM MOVIMIENTO WHERE EMPRESA = '03'");
    const TransferResult r = down.downloadDocuments(QStringLiteral("02"), QStringLiteral("SAL"), 5,
                                                    [](const QString& what, int, int) { return what != "Líneas"; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(other->scalar("SELECT COUNT(*) FROM MOVIMIENTO WHERE DOCUMENTO = 'SAL'").toInt(), 0);
}

TEST_F(DatabaseTransferTest, ValidationListsWhatTheProductsNeedThatThisShopLacks)
{
    ASSERT_TRUE(DatabaseTransfer(*db, *removable).uploadTable(QStringLiteral("PRODUCTOS")).stored());
    removable->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) VALUES ('C3', '02', 2, "
                    "12, 'CAJA', 'CJ')");
    other->exec("INSERT INTO GRUPOS (GRUPO, NOMBRE) VALUES ('01', 'ABARROTES')");
    other->exec("INSERT INTO SUBGRUPOS (SUBGRUPO, NOMBRE) VALUES (1, 'ACEITES')");
    other->exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('UN', 'UNIDAD')");
    EXPECT_EQ(DatabaseTransfer(*other, *removable).validateProducts(),
              QStringList({"Crear Grupo 02", "Crear Grupo 02", "Crear Sub Grupo 2", "Crear Sub Grupo 2",
                           "Crear Unidades CJ"}));
}

}  // namespace
