// The tables as the database catalogue sees them: column order, types, sizes, required columns,
// keys and the indexes the numbering and the grids rely on; and the creation routines run twice.
#include "data/DatabaseCreate.h"
#include "data/Schema.h"
#include "data/Trail.h"
#include "support/TestDb.h"

#include <QSqlQuery>

using namespace kv;

namespace {

// A column as "NAME TYPE[ NOT NULL]", in the words of the DDL, read from the system tables.
QStringList describe(Connection& c, const QString& table)
{
    QStringList cols;
    QSqlQuery q = c.exec(
        "SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, F.RDB$CHARACTER_LENGTH, "
        "COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0) "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "WHERE RF.RDB$RELATION_NAME = :T ORDER BY RF.RDB$FIELD_POSITION",
        {{"T", table}});
    while (q.next()) {
        QString type;
        switch (q.value(1).toInt()) {
        case 7: type = "SMALLINT"; break;
        case 8: type = "INTEGER"; break;
        case 16: type = "BIGINT"; break;
        case 27: type = "DOUBLE"; break;
        case 35: type = "TIMESTAMP"; break;
        case 12: type = "DATE"; break;
        case 14: type = QString("CHAR(%1)").arg(q.value(3).toInt()); break;
        case 37: type = QString("VARCHAR(%1)").arg(q.value(3).toInt()); break;
        case 261: type = q.value(2).toInt() == 1 ? "TEXT" : "BLOB"; break;
        default: type = QString("TYPE%1").arg(q.value(1).toInt());
        }
        cols << q.value(0).toString() + ' ' + type + (q.value(4).toInt() ? " NOT NULL" : "");
    }
    return cols;
}

QStringList primaryKey(Connection& c, const QString& table)
{
    QStringList cols;
    QSqlQuery q = c.exec(
        "SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS RC "
        "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
        "WHERE RC.RDB$RELATION_NAME = :T AND RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' ORDER BY S.RDB$FIELD_POSITION",
        {{"T", table}});
    while (q.next())
        cols << q.value(0).toString();
    return cols;
}

// Every index of a table as "[UNIQUE ][DESC ]COL1,COL2".
QStringList indexes(Connection& c, const QString& table)
{
    QStringList out;
    QSqlQuery q = c.exec(
        "SELECT TRIM(I.RDB$INDEX_NAME), COALESCE(I.RDB$UNIQUE_FLAG, 0), COALESCE(I.RDB$INDEX_TYPE, 0), "
        "TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
        "WHERE I.RDB$RELATION_NAME = :T ORDER BY 1, S.RDB$FIELD_POSITION",
        {{"T", table}});
    QString name, text;
    while (q.next()) {
        if (q.value(0).toString() != name) {
            if (!name.isEmpty())
                out << text;
            name = q.value(0).toString();
            text = QString(q.value(1).toInt() ? "UNIQUE " : "") + (q.value(2).toInt() ? "DESC " : "");
        } else {
            text += ',';
        }
        text += q.value(3).toString();
    }
    if (!name.isEmpty())
        out << text;
    return out;
}

QStringList split(const char* columns) { return QString(columns).split(", "); }

struct TableCase {
    const char* table;
    const char* columns;  // "NAME TYPE[ NOT NULL]" joined by ", "
    const char* key;      // primary key columns joined by ",", "" for none
};

// Tables whose column order other programs or the transfer depend on, and the small configuration
// tables whose shape the screens take for granted.
const TableCase kPosTables[] = {
    {"USUARIOS", "CODIGO INTEGER NOT NULL, NOMBRE CHAR(30), CLAVE CHAR(20), ACTIVO CHAR(1), FECHAHORA TIMESTAMP, "
                 "FECHAVENCIMIENTO TIMESTAMP", "CODIGO"},
    {"MENU", "CODIGOUSUARIO INTEGER, OPCIONES CHAR(200)", ""},
    {"PROGRAMASPOS", "NUMEROPROGRAMA DOUBLE NOT NULL, DESCRIPCION CHAR(40), OBSERVACION TEXT, INDIMAGEN SMALLINT, "
                     "INDSELECION SMALLINT, NIVEL INTEGER, PROGRAMA INTEGER", "NUMEROPROGRAMA"},
    {"REGISTRO", "NOMBRE CHAR(40), NIT DOUBLE, DIRECCION CHAR(40), TELEFONOS CHAR(30), EMAIL CHAR(60), LOGO BLOB", ""},
    {"POSESQUEMA", "LLAVE INTEGER NOT NULL, SUCURSAL INTEGER NOT NULL, DOCUMENTO CHAR(5) NOT NULL, EMPRESA CHAR(5)",
     "LLAVE"},
    {"POSCAJAS", "CAJA DOUBLE NOT NULL, NOMBRE VARCHAR(80), EMPRESA INTEGER, REFRESCO INTEGER", "CAJA"},
    {"POSCAJEROS", "CEDULA DOUBLE NOT NULL, NOMBRE VARCHAR(80), CLAVE CHAR(10), NIVEL CHAR(1), CAJA DOUBLE, "
                   "IMPRIMIR CHAR(1), COBRA CHAR(1), CAMBIAPRECIO CHAR(1), ACTIVO CHAR(1)", "CEDULA"},
    {"POSLINEABOTTOM", "LINEA INTEGER NOT NULL, DETALLE VARCHAR(80), TIPO CHAR(1)", ""},
    {"TASACAMBIO", "CODIGOMONEDA CHAR(5) NOT NULL, FECHA TIMESTAMP NOT NULL, VALOR DOUBLE, TASACAMBIO DOUBLE",
     "CODIGOMONEDA,FECHA"},
    {"MESAS", "ESPACIO CHAR(20) NOT NULL, NUMERO CHAR(5) NOT NULL, PEDIDO INTEGER, EMPRESA CHAR(5), DOCUMENTO CHAR(5)", "ESPACIO,NUMERO"},
    {"MESERO", "CEDULA DOUBLE NOT NULL, NOMBRE VARCHAR(40)", "CEDULA"},
    {"POSMOVIMIENTO",
     "EMPRESA CHAR(5) NOT NULL, DOCUMENTO CHAR(5) NOT NULL, CONSECUTIVO INTEGER NOT NULL, BODEGA INTEGER NOT NULL, "
     "FECHA TIMESTAMP, CLIENTE DOUBLE, ORDENCOMPRASALIDA INTEGER, REMISION INTEGER, FACTURA INTEGER, STATUS CHAR(1), "
     "OBSERVACIONES VARCHAR(160), SUBTOTAL DOUBLE, DESCUENTO DOUBLE, IVA DOUBLE, NETO DOUBLE, VENDEDOR DOUBLE, "
     "PLAZO INTEGER, TIPODEPAGO CHAR(1), TIPODEPAGODES CHAR(60), CAJA DOUBLE, CAJERO DOUBLE, MONEDA VARCHAR(5), "
     "TASA DOUBLE, VALOROTRAMONEDA DOUBLE, ABONO DOUBLE, PAGO DOUBLE, PERSONAS INTEGER, PROPINA DOUBLE, "
     "VALORPROPINA DOUBLE, RECIBIDO DOUBLE, CAMBIO DOUBLE",
     "EMPRESA,DOCUMENTO,CONSECUTIVO"},
    {"POSMOVIMIENTODETALLE",
     "EMPRESA CHAR(5) NOT NULL, DOCUMENTO CHAR(5) NOT NULL, CONSECUTIVO INTEGER NOT NULL, LINEA INTEGER NOT NULL, "
     "PRODUCTO INTEGER NOT NULL, CENTROCOSTOS CHAR(6), CANTIDAD DOUBLE, PRECIOUNIDAD DOUBLE, "
     "PORCENTAJEDESCUENTO DOUBLE, VALORDESCUENTO DOUBLE, VALORIVA DOUBLE, IVA DOUBLE, SUBTOTAL DOUBLE, "
     "BODEGA INTEGER, DESCUENTO DOUBLE, UNIDADMOVIMIENTO CHAR(2), UNIDADCOMPRA CHAR(2), CANTIDADRECIBIDA DOUBLE, "
     "OBSERVACION VARCHAR(60), SUBPRODUCTO INTEGER, COSTO DOUBLE, BUSCADOR CHAR(25), STATUS CHAR(1), "
     "AUTORIZADB DOUBLE, WKCAN DOUBLE, WKIVA DOUBLE, IPOCONSUMO DOUBLE, VALORIPOCONSUMO DOUBLE, FECHADOCUMENTO TIMESTAMP",
     "EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
    {"POSREMISIONES",
     "EMPRESA CHAR(5) NOT NULL, DOCUMENTO CHAR(5) NOT NULL, CONSECUTIVO INTEGER NOT NULL, BODEGA INTEGER NOT NULL, "
     "FECHA TIMESTAMP, CLIENTE DOUBLE, ORDENCOMPRASALIDA INTEGER, REMISION INTEGER, FACTURA INTEGER, STATUS CHAR(1), "
     "OBSERVACIONES VARCHAR(160), SUBTOTAL DOUBLE, DESCUENTO DOUBLE, IVA DOUBLE, NETO DOUBLE, VENDEDOR DOUBLE, "
     "PLAZO INTEGER, TIPODEPAGO CHAR(1), TIPODEPAGODES CHAR(60), CAJA DOUBLE",
     "EMPRESA,DOCUMENTO,CONSECUTIVO"},
    {"POSARQUEO", "CAJA DOUBLE NOT NULL, CAJERO DOUBLE NOT NULL, FECHA TIMESTAMP NOT NULL, INCIO DOUBLE, SALDO DOUBLE",
     "CAJA,CAJERO,FECHA"},
    {"POSPAGOSCAJA", "CAJA DOUBLE NOT NULL, FECHA TIMESTAMP NOT NULL, ITEM DOUBLE NOT NULL, VALOR DOUBLE, "
                     "DESCRIPCION VARCHAR(60), CAJERO DOUBLE", "ITEM"},
    {"POSBITACORA", "ID BIGINT NOT NULL, FECHA TIMESTAMP NOT NULL, EVENTO VARCHAR(20) NOT NULL, EMPRESA CHAR(5), "
                    "DOCUMENTO CHAR(5), CONSECUTIVO INTEGER, CAJA DOUBLE, CAJERO DOUBLE, USUARIO VARCHAR(30), "
                    "VALORANTES DOUBLE, VALORDESPUES DOUBLE, DETALLE VARCHAR(400), EQUIPO VARCHAR(60)", "ID"},
    {"POSFALLOSINGRESO", "TIPO CHAR(1) NOT NULL, CODIGO DOUBLE NOT NULL, FALLOS INTEGER NOT NULL, ULTIMOFALLO TIMESTAMP NOT NULL",
     "TIPO,CODIGO"},
    {"PRODUCTOS",
     "CODIGO CHAR(12) NOT NULL, GRUPO CHAR(2) NOT NULL, SUBGRUPO INTEGER NOT NULL, PRODUCTO INTEGER NOT NULL, "
     "REFERENCIA CHAR(20), NOMBRE CHAR(40), UNIDAD CHAR(2) NOT NULL, VALORUNIDAD DOUBLE, CANTIDADSTOK DOUBLE, "
     "CANTIDADMINIMA DOUBLE, CANTIDADMAXIMA DOUBLE, PUNTOPEDIDO DOUBLE, ULTIMOPROVEEDOR DOUBLE, VALORPROMEDIO DOUBLE, "
     "VALORIVA DOUBLE, CUENTACONTABLE CHAR(16), CUENTACONTABLEC CHAR(16), CUENTACONTABLEV CHAR(16), "
     "AJUSTAINFLACION CHAR(1), CODIGOBARRAS CHAR(25), TITULO CHAR(80), AUTOR CHAR(80), EDITORIAL CHAR(80), "
     "TEMA CHAR(80), LOTE CHAR(40), PRECIOCOMPRA DOUBLE, CUENTACONTABLEV1 CHAR(16), PRECIOMASIVA CHAR(1), "
     "IPOCONSUMO DOUBLE, CUENTACONTABLEIVAC CHAR(16), CUENTACONTABLEIVAV CHAR(16), CUENTACONTABLECOSTO CHAR(16), "
     "CANTIDADEMPACADA DOUBLE, PROSACUENTADB VARCHAR(16), PROSACUENTACR VARCHAR(16), PROENCUENTADB VARCHAR(16), "
     "PROENCUENTACR VARCHAR(16), SALMCUENTADB VARCHAR(16), SALMCUENTACR VARCHAR(16), UNIDADS CHAR(2)",
     "CODIGO"},
    {"PRODUCTOSVALORVENTA", "PRODUCTO INTEGER NOT NULL, UNIDAD CHAR(2) NOT NULL, CANTIDAD DOUBLE, "
                            "VALORVENTAMOSTRADOR DOUBLE, VALORVENTAEMPRESA DOUBLE, IND DOUBLE", "PRODUCTO,UNIDAD"},
    {"PRODUCTOSCCOSTOS", "PRODUCTO INTEGER NOT NULL, CODIGOCOSTOS CHAR(6) NOT NULL", ""},
    {"SALDOS", "EMPRESA CHAR(5), PRODUCTO INTEGER, SALDO DOUBLE", ""},
    {"DOCUMENTOS",
     "DOCUMENTO CHAR(5) NOT NULL, NOMBRE CHAR(40), OPERADOR CHAR(1), CONSECUTIVO INTEGER, CENTROCOSTOS CHAR(1), "
     "ORDENCOMPRA CHAR(1), SUBPRODUCTO CHAR(1), ENTRA CHAR(1), CUENTAS CHAR(1), CONTROLASALDO CHAR(1), "
     "PONDERADOR DOUBLE, CUENTACONTABLEI CHAR(16), CUENTACONTABLEC CHAR(16), CUENTACONTABLEV CHAR(16), "
     "CUENTACONTABLEIVAC CHAR(16), CUENTACONTABLECE CHAR(16), DOCUMENTOCR CHAR(5), INFORME INTEGER, "
     "DOCUMENTOLEGALIZACION CHAR(5), MONEDA VARCHAR(5), PREFIJO CHAR(3), RESOLUCIONFACTURACION TEXT",
     "DOCUMENTO"},
    {"PROVEEDORES",
     "NIT DOUBLE NOT NULL, DV CHAR(1), TIPOTERCERO CHAR(1), NOMBRE CHAR(40), CONTACTO CHAR(40), DIRECCION CHAR(40), "
     "TELEFONO CHAR(20), FAX CHAR(10), CIUDAD CHAR(20), PAIS CHAR(20), EMAIL CHAR(60), CUPOCREDITO DOUBLE, "
     "AUTERRETENEDOR CHAR(1), ICA CHAR(1), FECHACUMPLEANOS CHAR(5), NOTA CHAR(160), ZONA CHAR(5), SUBZONA CHAR(5), "
     "CUENTACONTABLEC CHAR(16), CUENTACONTABLEV CHAR(16), PADRE DOUBLE, ABUELO DOUBLE, VENDEDOR CHAR(5), "
     "COBRADOR CHAR(5), SUPERVISOR CHAR(5), BLOQUEO CHAR(1), CLASECLIENTE CHAR(2), CONDICION CHAR(2), CUPO DOUBLE, "
     "CLASETERCERO CHAR(1), FECHANACIMIENTO TIMESTAMP, APELLIDO1 CHAR(20), APELLIDO2 CHAR(20), NOMBRE1 CHAR(20), "
     "NOMBRE2 CHAR(20), DESCUENTOAUT DOUBLE",
     "NIT"},
    // Tavro declares IVA before VALORIVA here, unlike the sale lines.
    {"MOVIMIENTODETALLE",
     "EMPRESA CHAR(5) NOT NULL, DOCUMENTO CHAR(5) NOT NULL, CONSECUTIVO INTEGER NOT NULL, LINEA INTEGER NOT NULL, "
     "PRODUCTO INTEGER NOT NULL, CENTROCOSTOS CHAR(6), CANTIDAD DOUBLE, PRECIOUNIDAD DOUBLE, "
     "PORCENTAJEDESCUENTO DOUBLE, VALORDESCUENTO DOUBLE, IVA DOUBLE, VALORIVA DOUBLE, SUBTOTAL DOUBLE, "
     "BODEGA INTEGER, DESCUENTO DOUBLE, UNIDADMOVIMIENTO CHAR(2), UNIDADCOMPRA CHAR(2), CANTIDADRECIBIDA DOUBLE, "
     "OBSERVACION VARCHAR(60), SUBPRODUCTO INTEGER, COSTO DOUBLE",
     "EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
    {"CUENTASTAVRO", "VENTASCONTADO CHAR(16), VENTASCREDITO CHAR(16), VENTASCHEQUE CHAR(16), VENTASTDEBITO CHAR(16), "
                     "IPOCONSUMO CHAR(16), PROPINA CHAR(16), DESCUENTO CHAR(16), EMPRESA CHAR(5)", ""},
    // one numbering authorization per company and sale document type; the counters of the notes
    // and of the files sent to the DIAN
    {"POSAUTORIZACIONDIAN", "EMPRESA CHAR(5) NOT NULL, DOCUMENTO CHAR(5) NOT NULL, RESOLUCION VARCHAR(30), "
                            "PREFIJO VARCHAR(4), RANGODESDE BIGINT, RANGOHASTA BIGINT, FECHADESDE DATE, "
                            "FECHAHASTA DATE, CLAVETECNICA VARCHAR(100)", "EMPRESA,DOCUMENTO"},
    {"POSCONSECUTIVODIAN", "EMPRESA CHAR(5) NOT NULL, CLASE VARCHAR(4) NOT NULL, ANO SMALLINT NOT NULL, ULTIMO INTEGER",
     "EMPRESA,CLASE,ANO"},
};

const TableCase kAccountingTables[] = {
    {"COMPROBANTECONTABLE", "CODIGOCOMPANIA CHAR(5) NOT NULL, CODIGOTIPOCOMPROBANTE CHAR(10) NOT NULL, "
                            "NUMEROCOMPROBANTE INTEGER NOT NULL, FECHA TIMESTAMP NOT NULL, VALORDB DOUBLE, "
                            "VALORCR DOUBLE, DESCRIPCION BLOB",
     "CODIGOCOMPANIA,CODIGOTIPOCOMPROBANTE,NUMEROCOMPROBANTE"},
    {"MOVIMIENTOCONTABLE",
     "CODIGOCOMPANIA CHAR(5) NOT NULL, CODIGOTIPOCOMPROBANTE CHAR(10) NOT NULL, NUMEROCOMPROBANTE INTEGER NOT NULL, "
     "FECHA TIMESTAMP NOT NULL, ITEM SMALLINT NOT NULL, DOCUMENTO CHAR(10), DETALLE VARCHAR(120), TIPO CHAR(1), "
     "VALOR DOUBLE, FECHAGRABACION TIMESTAMP, CUENTA CHAR(15) NOT NULL, PLACA CHAR(10) NOT NULL, "
     "CODIGOMONEDA CHAR(5) NOT NULL, CODIGOUSUARIO INTEGER NOT NULL, CODIGOCENTROCOSTO CHAR(6), NIT DOUBLE, "
     "TASA DOUBLE, VALOROTRAMONEDA DOUBLE, MOVIMIENTOCIERRE CHAR(1), DOCUMENTO1 CHAR(10), BASEIVA DOUBLE, "
     "VALORIVA DOUBLE, VALORDEBITO DOUBLE, VALORCREDITO DOUBLE",
     "CODIGOCOMPANIA,CODIGOTIPOCOMPROBANTE,NUMEROCOMPROBANTE,ITEM"},
    {"TERCEROS",
     "NIT DOUBLE NOT NULL, DV CHAR(1), TIPODOC CHAR(2), RAZONSOCIAL CHAR(120), PRIMERAPELLIDO CHAR(20), "
     "SEGUNDOAPELLIDO CHAR(20), PRIMERNOMBRE CHAR(20), SEGUNDONOMBRE CHAR(20), DIRECCION CHAR(120), "
     "TELEFONO CHAR(60), SUJETORETENCION CHAR(1), AGENTERETENEDOR CHAR(1), CODIGOCIUDAD INTEGER, "
     "FECHAGRABACION TIMESTAMP, FOTO BLOB, EMAIL VARCHAR(120), WEB VARCHAR(120), AFILIADOFONDO CHAR(1), "
     "FECHAAFILIACION TIMESTAMP, FECHARETIRO TIMESTAMP, AUTORETENEDOR VARCHAR(1), REGIMEN VARCHAR(1)",
     "NIT"},
};

void expectShape(Connection& c, const TableCase& t)
{
    SCOPED_TRACE(t.table);
    EXPECT_EQ(describe(c, t.table), split(t.columns));
    EXPECT_EQ(primaryKey(c, t.table).join(','), QString(t.key));
}

class SchemaTest : public kvtest::DbTest {};

TEST_F(SchemaTest, PosTablesHaveTheirColumnsInOrderWithTypesAndKeys)
{
    for (const TableCase& t : kPosTables)
        expectShape(*db, t);
}

TEST_F(SchemaTest, AccountingTablesHaveTheirColumnsInOrderWithTypesAndKeys)
{
    Connection acc("TavroNi");
    acc.setLocation(kvtest::freshAccountingDatabase(dir.path()));
    acc.open();
    for (const TableCase& t : kAccountingTables)
        expectShape(acc, t);
    EXPECT_FALSE(acc.tableExists("PRODUCTOS"));
}

TEST_F(SchemaTest, EachDatabaseHoldsExactlyItsTables)
{
    const QStringList pos = {
        "USUARIOS", "MENU", "PROGRAMASPOS", "REGISTRO", "POSESQUEMA", "EMPRESAS", "POSCAJAS", "POSCAJEROS",
        "POSLINEATOP", "POSLINEABOTTOM", "MONEDA", "TASACAMBIO", "MESAS", "MESERO", "POSMOVIMIENTO",
        "POSMOVIMIENTODETALLE", "POSREMISIONES", "POSREMISIONESDETALLE", "POSARQUEO", "POSPAGOSCAJA", "POSBITACORA",
        "POSINTENTOS", "POSVERIFICACION", "POSFALLOSINGRESO", "ETIQUETAS", "POSDOCUMENTOELECTRONICO", "POSCONFIGELECTRONICA", "POSAUTORIZACIONDIAN", "POSCONSECUTIVODIAN", "PRODUCTOS", "PRODUCTOSVALORVENTA", "PRODUCTOSSUB", "PRODUCTOSCCOSTOS", "UNIDADES", "UNIDADCONVERSION",
        "GRUPOS", "SUBGRUPOS", "CENTROCOSTOS", "BODEGAS", "SALDOS", "DOCUMENTOS", "PROVEEDORES", "MOVIMIENTO",
        "MOVIMIENTODETALLE", "ORDENCOMPRA", "CUENTASTAVRO", "VENTASACTUALIZADAS",
        "VENTASACTUALIZADASDOC"};
    QStringList inDb;
    QSqlQuery q = db->exec("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0");
    while (q.next())
        inDb << q.value(0).toString();
    inDb.sort();
    QStringList expected = pos;
    expected.sort();
    EXPECT_EQ(inDb, expected);

    QStringList listed = posTableNames();
    listed.sort();
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(accountingTableNames(), QStringList({"COMPROBANTECONTABLE", "MOVIMIENTOCONTABLE", "TERCEROS"}));
}

TEST_F(SchemaTest, LookupsAndNumberingHaveTheirIndexes)
{
    // The highest document, line and expense numbers are read through descending indexes; grids
    // page through products and third parties by name and number in both directions.
    const struct {
        const char* table;
        const char* index;
    } cases[] = {
        {"POSMOVIMIENTO", "DESC EMPRESA,DOCUMENTO,CONSECUTIVO"},
        {"POSMOVIMIENTO", "FECHA"},
        {"POSMOVIMIENTODETALLE", "DESC EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
        {"POSREMISIONES", "DESC EMPRESA,DOCUMENTO,CONSECUTIVO"},
        {"POSREMISIONESDETALLE", "DESC EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
        {"MOVIMIENTODETALLE", "DESC EMPRESA,DOCUMENTO,CONSECUTIVO,LINEA"},
        {"POSPAGOSCAJA", "DESC ITEM"},
        {"PRODUCTOS", "UNIQUE PRODUCTO"},
        {"PRODUCTOS", "DESC PRODUCTO"},
        {"PRODUCTOS", "CODIGOBARRAS"},
        {"PRODUCTOS", "NOMBRE,CODIGO"},
        {"PRODUCTOS", "DESC NOMBRE,CODIGO"},
        {"PROVEEDORES", "NOMBRE,NIT"},
        {"PROVEEDORES", "DESC NOMBRE,NIT"},
        {"SALDOS", "PRODUCTO"},
        {"ORDENCOMPRA", "PROVEEDOR"},
        // the customer check before a third party is deleted, and what was sold of a product
        {"POSMOVIMIENTO", "CLIENTE"},
        {"MOVIMIENTO", "CLIENTE"},
        {"POSMOVIMIENTODETALLE", "PRODUCTO"},
        // whether each of the day's documents holds a product, for the counter's stock panel
        {"POSMOVIMIENTODETALLE", "EMPRESA,DOCUMENTO,CONSECUTIVO,PRODUCTO"},
        // the trail is listed by day and read per document
        {"POSBITACORA", "FECHA"},
        {"POSBITACORA", "EMPRESA,DOCUMENTO,CONSECUTIVO"},
        // sign-on reads the latest verdict of the database check
        {"POSVERIFICACION", "DESC ID"},
        // an electronic document's number is looked for before another is stored
        {"POSDOCUMENTOELECTRONICO", "EMPRESA,NUMERO"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(indexes(*db, c.table).contains(c.index)) << c.table << ": " << c.index << " in "
                                                             << indexes(*db, c.table).join(" | ").toStdString();
}

TEST_F(SchemaTest, TrailRowsAreNumberedByTheDatabaseAndKeepWhatHappened)
{
    TrailEntry e;
    e.evento = "ANULACION";
    e.empresa = "01";
    e.documento = "POS";
    e.consecutivo = 12;
    e.caja = 1;
    e.cajero = 4;
    e.valorAntes = 11900.0;
    e.valorDespues = 0.0;
    e.detalle = QString(500, 'x');  // longer than its column: cut, not refused
    recordTrail(*db, e);
    e.evento = "REIMPRESION";
    recordTrail(*db, e);
    QSqlQuery q = db->exec("SELECT ID, EVENTO, TRIM(DOCUMENTO), CONSECUTIVO, VALORANTES, CHAR_LENGTH(DETALLE), "
                           "FECHA FROM POSBITACORA ORDER BY ID");
    ASSERT_TRUE(q.next());
    const qint64 first = q.value(0).toLongLong();
    EXPECT_EQ(q.value(1).toString(), "ANULACION");
    EXPECT_EQ(q.value(2).toString(), "POS");
    EXPECT_EQ(q.value(3).toInt(), 12);
    EXPECT_EQ(q.value(4).toDouble(), 11900.0);
    EXPECT_EQ(q.value(5).toInt(), 400);
    EXPECT_FALSE(q.value(6).isNull());
    ASSERT_TRUE(q.next());
    EXPECT_GT(q.value(0).toLongLong(), first);
    EXPECT_EQ(q.value(1).toString(), "REIMPRESION");
}

TEST_F(SchemaTest, ProductNumberIsUnique)
{
    db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, UNIDAD) VALUES ('A1', '01', 1, 7, 'UN')");
    EXPECT_THROW(db->exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, UNIDAD) VALUES ('A2', '01', 1, 7, 'UN')"),
                 DbError);
}

TEST_F(SchemaTest, TablesTheScreensCreateAreMadeOnceWhenMissing)
{
    const struct {
        const char* table;
        void (*ensure)(Connection&);
    } cases[] = {{"MESAS", ensureMesas}, {"MESERO", ensureMesero}, {"CUENTASTAVRO", ensureCuentasTavro}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const QStringList shape = describe(*db, c.table);
        const QStringList key = primaryKey(*db, c.table);
        c.ensure(*db);  // present: nothing happens
        db->exec(QString("DROP TABLE %1").arg(c.table));
        db->forgetTableInfo();
        ASSERT_FALSE(db->tableExists(c.table));
        c.ensure(*db);
        c.ensure(*db);
        EXPECT_TRUE(db->tableExists(c.table));
        EXPECT_EQ(describe(*db, c.table), shape);
        EXPECT_EQ(primaryKey(*db, c.table), key);
    }
}

TEST_F(SchemaTest, TablesMadeBeforeTheyKeptTheirBillsKeyGetItAndKeepTheirRows)
{
    db->exec("DROP TABLE MESAS");
    db->exec("CREATE TABLE MESAS (\r  ESPACIO CHAR(20) NOT NULL,\r  NUMERO  CHAR(5) NOT NULL,\r  PEDIDO  INTEGER,\r"
             "  PRIMARY KEY (ESPACIO,NUMERO))");
    db->exec("INSERT INTO MESAS (ESPACIO, NUMERO, PEDIDO) VALUES ('SALON', '1', 7)");
    db->forgetTableInfo();
    ensureMesas(*db);
    EXPECT_EQ(db->scalar("SELECT PEDIDO FROM MESAS WHERE NUMERO = '1'").toInt(), 7);
    EXPECT_TRUE(db->scalar("SELECT EMPRESA FROM MESAS WHERE NUMERO = '1'").isNull());
    db->exec("UPDATE MESAS SET EMPRESA = '01', DOCUMENTO = 'POS'");
}

TEST_F(SchemaTest, SchemaCreationAddsOnlyWhatIsMissingAndKeepsRows)
{
    db->exec("INSERT INTO BODEGAS (BODEGA, NOMBRE) VALUES (1, 'PRINCIPAL')");
    db->exec("DROP TABLE SALDOS");
    db->exec("DROP INDEX IX_PRODUCTOS_CODIGOBARRAS");  // a database made before the index existed
    db->exec("DROP INDEX IX_POSMOVDETALLE_PRODUCTO");
    db->exec("DROP INDEX IX_POSMOVDETALLE_DOCPRODUCTO");
    db->forgetTableInfo();
    createPosSchema(*db);
    createPosSchema(*db);
    EXPECT_TRUE(db->tableExists("SALDOS"));
    EXPECT_TRUE(indexes(*db, "SALDOS").contains("PRODUCTO"));
    EXPECT_TRUE(indexes(*db, "PRODUCTOS").contains("CODIGOBARRAS"));
    EXPECT_TRUE(indexes(*db, "POSMOVIMIENTODETALLE").contains("PRODUCTO"));
    EXPECT_TRUE(indexes(*db, "POSMOVIMIENTODETALLE").contains("EMPRESA,DOCUMENTO,CONSECUTIVO,PRODUCTO"));
    EXPECT_EQ(db->scalar("SELECT NOMBRE FROM BODEGAS WHERE BODEGA = 1").toString().trimmed(), "PRINCIPAL");
}

TEST_F(SchemaTest, AnOlderDatabaseIsToldApartAndGetsItsMissingTablesAndColumns)
{
    EXPECT_EQ(missingPosSchema(*db), QStringList());
    // A database of an earlier version: registers without their refresh period, sale lines
    // without the line status (a NOT NULL column too, to be added to rows that exist), no record
    // of the daily update, no restaurant tables, cashiers without the active mark, no count of
    // failed sign-ons. Sale lines without their document's date either, stored before it existed.
    db->exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (1, 'CAJA 1', 1)");
    db->exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA) VALUES (11, 'ANA', '1', 'V', 1)");
    db->exec("DROP TRIGGER TG_POSMOVDETALLE_FECHADOC");
    db->exec("DROP TRIGGER TG_POSMOVIMIENTO_FECHADOC");
    db->exec("DROP INDEX IX_POSMOVDETALLE_PRODUCTOFECHA");
    db->exec("ALTER TABLE POSMOVIMIENTODETALLE DROP FECHADOCUMENTO");
    db->exec("COMMIT");
    db->forgetTableInfo();
    db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA) "
             "VALUES ('01', 'POS', 1, 1, '2026-03-04 10:20:00')");
    db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO) "
             "VALUES ('01', 'POS', 1, 1, 7)");
    db->exec("ALTER TABLE POSCAJAS DROP REFRESCO");
    db->exec("ALTER TABLE POSMOVIMIENTODETALLE DROP STATUS");
    db->exec("DROP INDEX IX_POSMOVDETALLE_PRODUCTO");
    db->exec("DROP INDEX IX_POSMOVDETALLE_DOCPRODUCTO");
    db->exec("ALTER TABLE POSMOVIMIENTODETALLE DROP PRODUCTO");
    db->exec("DROP TABLE VENTASACTUALIZADAS");
    db->exec("DROP TABLE MESAS");
    db->exec("ALTER TABLE POSCAJEROS DROP ACTIVO");
    db->exec("DROP TABLE POSFALLOSINGRESO");
    // ... and electronic documents without the DIAN's answer, the file names, the seller's tax
    // data or the authorizations per document type.
    db->exec("ALTER TABLE POSDOCUMENTOELECTRONICO DROP RESPUESTA");
    db->exec("ALTER TABLE POSCONFIGELECTRONICA DROP MUNICIPIO");
    db->exec("DROP TABLE POSAUTORIZACIONDIAN");
    db->exec("COMMIT");
    db->forgetTableInfo();

    QStringList missing = missingPosSchema(*db);
    missing.sort();
    EXPECT_EQ(missing, QStringList({"IX_POSMOVDETALLE_PRODUCTOFECHA", "MESAS", "POSAUTORIZACIONDIAN",
                                    "POSCAJAS.REFRESCO", "POSCAJEROS.ACTIVO", "POSCONFIGELECTRONICA.MUNICIPIO",
                                    "POSDOCUMENTOELECTRONICO.RESPUESTA", "POSFALLOSINGRESO",
                                    "POSMOVIMIENTODETALLE.FECHADOCUMENTO", "POSMOVIMIENTODETALLE.PRODUCTO",
                                    "POSMOVIMIENTODETALLE.STATUS", "TG_POSMOVDETALLE_FECHADOC",
                                    "TG_POSMOVIMIENTO_FECHADOC", "VENTASACTUALIZADAS"}));

    createPosSchema(*db);
    EXPECT_EQ(missingPosSchema(*db), QStringList());
    EXPECT_EQ(db->scalar("SELECT NOMBRE FROM POSCAJAS WHERE CAJA = 1").toString(), "CAJA 1");
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE WHERE LINEA = 1").toInt(), 1);
    EXPECT_TRUE(indexes(*db, "POSMOVIMIENTODETALLE").contains("PRODUCTO"));
    EXPECT_TRUE(indexes(*db, "POSMOVIMIENTODETALLE").contains("PRODUCTO,FECHADOCUMENTO"));
    // The line stored before takes its document's date.
    EXPECT_EQ(db->scalar("SELECT FECHADOCUMENTO FROM POSMOVIMIENTODETALLE").toDateTime(),
              QDateTime(QDate(2026, 3, 4), QTime(10, 20)));
    db->exec("UPDATE POSCAJAS SET REFRESCO = 30 WHERE CAJA = 1");
    EXPECT_EQ(db->scalar("SELECT REFRESCO FROM POSCAJAS WHERE CAJA = 1").toInt(), 30);
    // The cashier keeps his row, with no mark: he still counts as active.
    EXPECT_TRUE(db->scalar("SELECT ACTIVO FROM POSCAJEROS WHERE CEDULA = 11").isNull());
    EXPECT_EQ(db->scalar("SELECT NOMBRE FROM POSCAJEROS WHERE CEDULA = 11").toString(), "ANA");
}

// Every write leaves each sale line with its document's date, whoever makes it: the stock panel
// adds up a product's lines of the day by that date alone, so a line with a wrong or missing one
// would change the balance shown.
TEST_F(SchemaTest, SaleLinesCarryTheirDocumentsDateThroughEveryWrite)
{
    const QDateTime monday(QDate(2026, 3, 2), QTime(9, 0)), tuesday(QDate(2026, 3, 3), QTime(18, 45));
    auto header = [&](int n, const QDateTime& when) {
        db->exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA) VALUES ('01', 'POS', :N, 1, :F)",
                 {{"N", n}, {"F", when}});
    };
    auto line = [&](int n, int linea) {
        db->exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, FECHADOCUMENTO) "
                 "VALUES ('01', 'POS', :N, :L, 4, :F)",
                 {{"N", n}, {"L", linea}, {"F", QDateTime(QDate(1999, 1, 1), QTime(0, 0))}});  // a stray value is not kept
    };
    auto dateOf = [&](int n, int linea) {
        return db->scalar("SELECT FECHADOCUMENTO FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N AND LINEA = :L",
                          {{"N", n}, {"L", linea}})
            .toDateTime();
    };

    header(1, monday);
    line(1, 1);
    EXPECT_EQ(dateOf(1, 1), monday);
    line(2, 1);  // a line before its document (a copy that writes the lines first)
    EXPECT_FALSE(dateOf(2, 1).isValid());
    header(2, tuesday);
    EXPECT_EQ(dateOf(2, 1), tuesday);

    db->exec("UPDATE POSMOVIMIENTO SET FECHA = :F WHERE CONSECUTIVO = 1", {{"F", tuesday}});
    EXPECT_EQ(dateOf(1, 1), tuesday);
    db->exec("UPDATE POSMOVIMIENTO SET NETO = 5 WHERE CONSECUTIVO = 1");  // other columns leave it
    EXPECT_EQ(dateOf(1, 1), tuesday);
    db->exec("UPDATE POSMOVIMIENTO SET FECHA = :F WHERE CONSECUTIVO = 2", {{"F", monday}});
    db->exec("UPDATE POSMOVIMIENTODETALLE SET CONSECUTIVO = 2, LINEA = 2 WHERE CONSECUTIVO = 1");  // moved
    EXPECT_EQ(dateOf(2, 2), monday);
    db->exec("UPDATE POSMOVIMIENTO SET CONSECUTIVO = 3 WHERE CONSECUTIVO = 2");  // renumbered
    EXPECT_FALSE(dateOf(2, 1).isValid());
    header(2, tuesday);
    EXPECT_EQ(dateOf(2, 1), tuesday);
    db->exec("DELETE FROM POSMOVIMIENTO WHERE CONSECUTIVO = 2");
    EXPECT_FALSE(dateOf(2, 2).isValid());
}

TEST(DatabaseCreateTest, NewFileHasTheLargePageSizeAndUtf8)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nueva.fdb");
    createDatabase(path);
    Connection c("Nueva");
    c.setLocation(path);
    c.open();
    EXPECT_EQ(c.scalar("SELECT MON$PAGE_SIZE FROM MON$DATABASE").toInt(), 16384);
    EXPECT_EQ(c.scalar("SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE").toString(), "UTF8");
    EXPECT_EQ(c.scalar("SELECT MON$SQL_DIALECT FROM MON$DATABASE").toInt(), 3);
    // Accents survive the round trip through a CHAR column of the default character set.
    c.exec("CREATE TABLE T (N CHAR(10))");
    c.exec("INSERT INTO T VALUES (:N)", {{"N", QString("AÑEJO ñú")}});
    EXPECT_EQ(c.scalar("SELECT TRIM(N) FROM T").toString(), QString("AÑEJO ñú"));
}

TEST(DatabaseCreateTest, FailureCarriesFirebirdsText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dos.fdb");
    createDatabase(path);
    try {
        createDatabase(path);  // already there
        FAIL() << "a second database over the same file was accepted";
    } catch (const DbError& e) {
        EXPECT_FALSE(e.text().isEmpty());
        EXPECT_TRUE(e.text().contains("dos.fdb")) << e.text().toStdString();
    }
    EXPECT_THROW(createDatabase(dir.filePath("no/existe/aqui.fdb")), DbError);
}

}  // namespace
