#include "data/Schema.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>
#include <functional>
#include <vector>

namespace kv {

// These three are created by the screens of old databases too, so their statements are kept
// exactly as those screens have always issued them (carriage returns included).
const char* const kCreateMesas =
    "CREATE TABLE MESAS (\r"
    "  ESPACIO CHAR(20) NOT NULL,\r"
    "  NUMERO  CHAR(5) NOT NULL,\r"
    "  PEDIDO  INTEGER,\r"
    "  EMPRESA CHAR(5),\r"
    "  DOCUMENTO CHAR(5),\r"
    "  PRIMARY KEY (ESPACIO,NUMERO))";

const char* const kCreateMesero =
    "CREATE TABLE MESERO (\r"
    "  CEDULA DOUBLE PRECISION NOT NULL,\r"
    "  NOMBRE  VARCHAR(40),\r"
    "  PRIMARY KEY (CEDULA))";

const char* const kCreateCuentasTavro =
    "CREATE TABLE CUENTASTAVRO (\r"
    "  VENTASCONTADO CHAR(16),\r"
    "  VENTASCREDITO CHAR(16),\r"
    "  VENTASCHEQUE CHAR(16),\r"
    "  VENTASTDEBITO CHAR(16),\r"
    "  IPOCONSUMO CHAR(16),\r"
    "  PROPINA CHAR(16),\r"
    "  DESCUENTO CHAR(16),\r"
    "  EMPRESA CHAR(5)\r"
    ")";

const char* const kCreateVentasActualizadas =
    "CREATE TABLE VENTASACTUALIZADAS (\n"
    "  FECHAINICIAL DATE NOT NULL,\n"
    "  FECHAFINAL DATE NOT NULL,\n"
    "  FECHAGRABACION TIMESTAMP NOT NULL,\n"
    "  DOCUMENTOS INTEGER,\n"
    "  LINEAS INTEGER)";

// The inventory documents the daily update wrote, so that a later run replaces only its own and
// never a document loaded from another shop or entered in the inventory product.
const char* const kCreateVentasActualizadasDoc =
    "CREATE TABLE VENTASACTUALIZADASDOC (\n"
    "  EMPRESA CHAR(5) NOT NULL,\n"
    "  DOCUMENTO CHAR(5) NOT NULL,\n"
    "  CONSECUTIVO INTEGER NOT NULL,\n"
    "  CONSTRAINT PK_VENTASACTUALIZADASDOC PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO))";

// Runs made before the documents were recorded: the inventory documents that carry a sale's key
// and date from the days those runs updated are theirs.
const char* const kFillVentasActualizadasDoc =
    "INSERT INTO VENTASACTUALIZADASDOC (EMPRESA, DOCUMENTO, CONSECUTIVO) SELECT M.EMPRESA, M.DOCUMENTO, "
    "M.CONSECUTIVO FROM MOVIMIENTO M JOIN POSMOVIMIENTO P ON P.EMPRESA = M.EMPRESA AND P.DOCUMENTO = M.DOCUMENTO "
    "AND P.CONSECUTIVO = M.CONSECUTIVO WHERE P.FECHA IS NOT DISTINCT FROM M.FECHA AND EXISTS (SELECT 1 FROM "
    "VENTASACTUALIZADAS V WHERE P.FECHA >= V.FECHAINICIAL AND P.FECHA < DATEADD(1 DAY TO V.FECHAFINAL))";

namespace {

// One table: its CREATE statement (or the routine that creates it) and the indexes that go with it.
// Firebird walks an index in one direction only, so the large tables that grids page through
// backwards, and the tables whose highest number is read for numbering, get a descending twin.
struct TableDef {
    const char* name;
    const char* ddl;
    std::vector<const char*> indexes;
    // Run once, right after the table is made: a table added by this version takes what earlier
    // versions left in the tables before it.
    const char* fill = nullptr;
    // Triggers of the table (CREATE TRIGGER statements), made when missing once the table and its
    // columns are there.
    std::vector<const char*> triggers = {};
    // A column added by a later version whose value the rows already stored must get: the
    // statement fills them just before `index`, which reads the column, is made. The index's
    // presence says the fill was done, so an update stopped half way fills again the next time.
    struct Backfill {
        const char* index;
        const char* statement;
    };
    std::vector<Backfill> backfills = {};
};

// ---- configuration --------------------------------------------------------------------------

const char* kUsuarios = R"(CREATE TABLE USUARIOS (
  CODIGO INTEGER NOT NULL,
  NOMBRE CHAR(30),
  CLAVE CHAR(20),
  ACTIVO CHAR(1),
  FECHAHORA TIMESTAMP,
  FECHAVENCIMIENTO TIMESTAMP,
  CONSTRAINT PK_USUARIOS PRIMARY KEY (CODIGO)))";

const char* kMenu = R"(CREATE TABLE MENU (
  CODIGOUSUARIO INTEGER,
  OPCIONES CHAR(200)))";

const char* kProgramasPos = R"(CREATE TABLE PROGRAMASPOS (
  NUMEROPROGRAMA DOUBLE PRECISION NOT NULL,
  DESCRIPCION CHAR(40),
  OBSERVACION BLOB SUB_TYPE 1 SEGMENT SIZE 400,
  INDIMAGEN SMALLINT,
  INDSELECION SMALLINT,
  NIVEL INTEGER,
  PROGRAMA INTEGER,
  CONSTRAINT PK_PROGRAMASPOS PRIMARY KEY (NUMEROPROGRAMA)))";

const char* kRegistro = R"(CREATE TABLE REGISTRO (
  NOMBRE CHAR(40),
  NIT DOUBLE PRECISION,
  DIRECCION CHAR(40),
  TELEFONOS CHAR(30),
  EMAIL CHAR(60),
  LOGO BLOB SUB_TYPE 0))";

const char* kPosEsquema = R"(CREATE TABLE POSESQUEMA (
  LLAVE INTEGER NOT NULL,
  SUCURSAL INTEGER NOT NULL,
  DOCUMENTO CHAR(5) NOT NULL,
  EMPRESA CHAR(5),
  CONSTRAINT PK_POSESQUEMA PRIMARY KEY (LLAVE)))";

const char* kEmpresas = R"(CREATE TABLE EMPRESAS (
  EMPRESA CHAR(5) NOT NULL,
  NOMBRE CHAR(40),
  CSCORDEN INTEGER,
  NIT CHAR(15),
  TELEFONOS CHAR(30),
  CIUDAD CHAR(30),
  FECHACORTE TIMESTAMP,
  IVA INTEGER,
  VIGENCIA INTEGER,
  FECHAINICIAL TIMESTAMP,
  FECHAFINAL TIMESTAMP,
  EMPRESACONTABILIZA CHAR(5),
  CONSTRAINT PK_EMPRESAS PRIMARY KEY (EMPRESA)))";

const char* kPosCajas = R"(CREATE TABLE POSCAJAS (
  CAJA DOUBLE PRECISION NOT NULL,
  NOMBRE VARCHAR(80),
  EMPRESA INTEGER,
  REFRESCO INTEGER,
  CONSTRAINT PK_POSCAJAS PRIMARY KEY (CAJA)))";

const char* kPosCajeros = R"(CREATE TABLE POSCAJEROS (
  CEDULA DOUBLE PRECISION NOT NULL,
  NOMBRE VARCHAR(80),
  CLAVE CHAR(10),
  NIVEL CHAR(1),
  CAJA DOUBLE PRECISION,
  IMPRIMIR CHAR(1),
  COBRA CHAR(1),
  CAMBIAPRECIO CHAR(1),
  ACTIVO CHAR(1),
  CONSTRAINT PK_POSCAJEROS PRIMARY KEY (CEDULA)))";

const char* kPosLineaTop = R"(CREATE TABLE POSLINEATOP (
  LINEA INTEGER NOT NULL,
  DETALLE VARCHAR(80),
  TIPO CHAR(1)))";

const char* kPosLineaBottom = R"(CREATE TABLE POSLINEABOTTOM (
  LINEA INTEGER NOT NULL,
  DETALLE VARCHAR(80),
  TIPO CHAR(1)))";

const char* kMoneda = R"(CREATE TABLE MONEDA (
  CODIGOMONEDA CHAR(5) NOT NULL,
  DESCRIPCION CHAR(40),
  CONSTRAINT PK_MONEDA PRIMARY KEY (CODIGOMONEDA)))";

const char* kTasaCambio = R"(CREATE TABLE TASACAMBIO (
  CODIGOMONEDA CHAR(5) NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  VALOR DOUBLE PRECISION,
  TASACAMBIO DOUBLE PRECISION,
  CONSTRAINT PK_TASACAMBIO PRIMARY KEY (CODIGOMONEDA, FECHA)))";

// ---- sales, orders, cash --------------------------------------------------------------------

// The header columns shared by sale documents, orders and inventory movements, EMPRESA to PLAZO.
#define KV_DOCUMENT_HEAD                    \
    "  EMPRESA CHAR(5) NOT NULL,\n"         \
    "  DOCUMENTO CHAR(5) NOT NULL,\n"       \
    "  CONSECUTIVO INTEGER NOT NULL,\n"     \
    "  BODEGA INTEGER NOT NULL,\n"          \
    "  FECHA TIMESTAMP,\n"                  \
    "  CLIENTE DOUBLE PRECISION,\n"         \
    "  ORDENCOMPRASALIDA INTEGER,\n"        \
    "  REMISION INTEGER,\n"                 \
    "  FACTURA INTEGER,\n"                  \
    "  STATUS CHAR(1),\n"                   \
    "  OBSERVACIONES VARCHAR(160),\n"       \
    "  SUBTOTAL DOUBLE PRECISION,\n"        \
    "  DESCUENTO DOUBLE PRECISION,\n"       \
    "  IVA DOUBLE PRECISION,\n"             \
    "  NETO DOUBLE PRECISION,\n"            \
    "  VENDEDOR DOUBLE PRECISION,\n"        \
    "  PLAZO INTEGER,\n"

// The line columns shared by sale and order lines, EMPRESA to AUTORIZADB.
#define KV_SALE_LINE                        \
    "  EMPRESA CHAR(5) NOT NULL,\n"         \
    "  DOCUMENTO CHAR(5) NOT NULL,\n"       \
    "  CONSECUTIVO INTEGER NOT NULL,\n"     \
    "  LINEA INTEGER NOT NULL,\n"           \
    "  PRODUCTO INTEGER NOT NULL,\n"        \
    "  CENTROCOSTOS CHAR(6),\n"             \
    "  CANTIDAD DOUBLE PRECISION,\n"        \
    "  PRECIOUNIDAD DOUBLE PRECISION,\n"    \
    "  PORCENTAJEDESCUENTO DOUBLE PRECISION,\n" \
    "  VALORDESCUENTO DOUBLE PRECISION,\n"  \
    "  VALORIVA DOUBLE PRECISION,\n"        \
    "  IVA DOUBLE PRECISION,\n"             \
    "  SUBTOTAL DOUBLE PRECISION,\n"        \
    "  BODEGA INTEGER,\n"                   \
    "  DESCUENTO DOUBLE PRECISION,\n"       \
    "  UNIDADMOVIMIENTO CHAR(2),\n"         \
    "  UNIDADCOMPRA CHAR(2),\n"             \
    "  CANTIDADRECIBIDA DOUBLE PRECISION,\n" \
    "  OBSERVACION VARCHAR(60),\n"          \
    "  SUBPRODUCTO INTEGER,\n"              \
    "  COSTO DOUBLE PRECISION,\n"           \
    "  BUSCADOR CHAR(25),\n"                \
    "  STATUS CHAR(1),\n"                   \
    "  AUTORIZADB DOUBLE PRECISION,\n"

const char* kPosMovimiento = "CREATE TABLE POSMOVIMIENTO (\n" KV_DOCUMENT_HEAD
                             "  TIPODEPAGO CHAR(1),\n"
                             "  TIPODEPAGODES CHAR(60),\n"
                             "  CAJA DOUBLE PRECISION,\n"
                             "  CAJERO DOUBLE PRECISION,\n"
                             "  MONEDA VARCHAR(5),\n"
                             "  TASA DOUBLE PRECISION,\n"
                             "  VALOROTRAMONEDA DOUBLE PRECISION,\n"
                             "  ABONO DOUBLE PRECISION,\n"
                             "  PAGO DOUBLE PRECISION,\n"
                             "  PERSONAS INTEGER,\n"
                             "  PROPINA DOUBLE PRECISION,\n"
                             "  VALORPROPINA DOUBLE PRECISION,\n"
                             // The money the customer handed over for a cash payment and the
                             // change given back, stored when the document is paid.
                             "  RECIBIDO DOUBLE PRECISION,\n"
                             "  CAMBIO DOUBLE PRECISION,\n"
                             "  CONSTRAINT PK_POSMOVIMIENTO PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO))";

const char* kPosMovimientoDetalle = "CREATE TABLE POSMOVIMIENTODETALLE (\n" KV_SALE_LINE
                                    "  WKCAN DOUBLE PRECISION,\n"
                                    "  WKIVA DOUBLE PRECISION,\n"
                                    "  IPOCONSUMO DOUBLE PRECISION,\n"
                                    "  VALORIPOCONSUMO DOUBLE PRECISION,\n"
                                    // The FECHA of the document the line belongs to, kept by the
                                    // triggers below: what a product sold today adds up from the
                                    // product's own lines, without visiting the day's documents.
                                    "  FECHADOCUMENTO TIMESTAMP,\n"
                                    "  CONSTRAINT PK_POSMOVIMIENTODETALLE PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA))";

// FECHADOCUMENTO of a sale line is always its document's FECHA (null while no document has its
// key). The engine keeps it, so that every writer (this program, an older register still
// running, the inventory program, a restore) leaves it right: a line takes it when it is stored
// or moved to another document, and the lines follow their document when its date or key
// changes or it is deleted. MAX: a database made before the headers had their key may hold two
// headers with one number, and a line must still be stored there (the update refuses to add the
// key until they are mended).
const char* kTriggerLineDate = R"(CREATE TRIGGER TG_POSMOVDETALLE_FECHADOC FOR POSMOVIMIENTODETALLE
ACTIVE BEFORE INSERT OR UPDATE POSITION 0 AS
BEGIN
  NEW.FECHADOCUMENTO = (SELECT MAX(H.FECHA) FROM POSMOVIMIENTO H WHERE H.EMPRESA = NEW.EMPRESA
    AND H.DOCUMENTO = NEW.DOCUMENTO AND H.CONSECUTIVO = NEW.CONSECUTIVO);
END)";

const char* kTriggerHeaderDate = R"(CREATE TRIGGER TG_POSMOVIMIENTO_FECHADOC FOR POSMOVIMIENTO
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 0 AS
BEGIN
  IF (UPDATING) THEN
  BEGIN
    IF (NEW.FECHA IS NOT DISTINCT FROM OLD.FECHA AND NEW.EMPRESA = OLD.EMPRESA
        AND NEW.DOCUMENTO = OLD.DOCUMENTO AND NEW.CONSECUTIVO = OLD.CONSECUTIVO) THEN
      EXIT;
  END
  IF (NOT INSERTING) THEN
    UPDATE POSMOVIMIENTODETALLE SET FECHADOCUMENTO = NULL WHERE EMPRESA = OLD.EMPRESA
      AND DOCUMENTO = OLD.DOCUMENTO AND CONSECUTIVO = OLD.CONSECUTIVO;
  IF (NOT DELETING) THEN
    UPDATE POSMOVIMIENTODETALLE SET FECHADOCUMENTO = NEW.FECHA WHERE EMPRESA = NEW.EMPRESA
      AND DOCUMENTO = NEW.DOCUMENTO AND CONSECUTIVO = NEW.CONSECUTIVO;
END)";

const char* kIndexProductoFecha =
    "CREATE INDEX IX_POSMOVDETALLE_PRODUCTOFECHA ON POSMOVIMIENTODETALLE (PRODUCTO, FECHADOCUMENTO)";

// Lines stored before the column existed. The line trigger sets the value itself (the document's
// FECHA); the statement names it too so that it reads plainly.
const char* kFillLineDates =
    "UPDATE POSMOVIMIENTODETALLE D SET D.FECHADOCUMENTO = (SELECT H.FECHA FROM POSMOVIMIENTO H WHERE H.EMPRESA = "
    "D.EMPRESA AND H.DOCUMENTO = D.DOCUMENTO AND H.CONSECUTIVO = D.CONSECUTIVO) WHERE D.FECHADOCUMENTO IS NULL";

const char* kPosRemisiones = "CREATE TABLE POSREMISIONES (\n" KV_DOCUMENT_HEAD
                             "  TIPODEPAGO CHAR(1),\n"
                             "  TIPODEPAGODES CHAR(60),\n"
                             "  CAJA DOUBLE PRECISION,\n"
                             "  CONSTRAINT PK_POSREMISIONES PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO))";

const char* kPosRemisionesDetalle = "CREATE TABLE POSREMISIONESDETALLE (\n" KV_SALE_LINE
                                    "  CONSTRAINT PK_POSREMISIONESDETALLE PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA))";

const char* kPosArqueo = R"(CREATE TABLE POSARQUEO (
  CAJA DOUBLE PRECISION NOT NULL,
  CAJERO DOUBLE PRECISION NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  INCIO DOUBLE PRECISION,
  SALDO DOUBLE PRECISION,
  CONSTRAINT PK_POSARQUEO PRIMARY KEY (CAJA, CAJERO, FECHA)))";

const char* kPosPagosCaja = R"(CREATE TABLE POSPAGOSCAJA (
  CAJA DOUBLE PRECISION NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  ITEM DOUBLE PRECISION NOT NULL,
  VALOR DOUBLE PRECISION,
  DESCRIPCION VARCHAR(60),
  CAJERO DOUBLE PRECISION,
  CONSTRAINT PK_POSPAGOSCAJA PRIMARY KEY (ITEM)))";

// The trail of what was done to closed sales and of the sign-ons (see data/Trail.h). Rows are only
// added; the identity column numbers them without the highest-plus-one read other tables need.
const char* kPosBitacora = R"(CREATE TABLE POSBITACORA (
  ID BIGINT GENERATED BY DEFAULT AS IDENTITY NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  EVENTO VARCHAR(20) NOT NULL,
  EMPRESA CHAR(5),
  DOCUMENTO CHAR(5),
  CONSECUTIVO INTEGER,
  CAJA DOUBLE PRECISION,
  CAJERO DOUBLE PRECISION,
  USUARIO VARCHAR(30),
  VALORANTES DOUBLE PRECISION,
  VALORDESPUES DOUBLE PRECISION,
  DETALLE VARCHAR(400),
  EQUIPO VARCHAR(60),
  CONSTRAINT PK_POSBITACORA PRIMARY KEY (ID)))";

// One row per sale operation a register has in course or finished last: written in the operation's
// own transaction, so that after a commit whose answer a dropped connection never brought, the
// register looks its identity up and knows whether the operation was stored. Each register drops
// its previous row as it writes the next, so the table stays about one row per register.
const char* kPosIntentos = R"(CREATE TABLE POSINTENTOS (
  INTENTO CHAR(32) NOT NULL,
  CAJA DOUBLE PRECISION,
  FECHA TIMESTAMP,
  CONSTRAINT PK_POSINTENTOS PRIMARY KEY (INTENTO)))";

// The verdict of each run of "korvela-db check" (and of the check that closes a repair): whether the
// database was found damaged and what was found. The registers read the latest one at sign-on and
// refuse to sell while it says damaged.
const char* kPosVerificacion = R"(CREATE TABLE POSVERIFICACION (
  ID BIGINT GENERATED BY DEFAULT AS IDENTITY NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  DANADA CHAR(1) NOT NULL,
  DETALLE VARCHAR(4000),
  CONSTRAINT PK_POSVERIFICACION PRIMARY KEY (ID)))";

// Wrong passwords in a row per back-office user (TIPO "U", CODIGO = USUARIOS.CODIGO) or cashier
// ("C", POSCAJEROS.CEDULA), so that the wait before the next check outlives the program (see
// data/SignOnGuard.h). A right sign-on deletes the row.
const char* kPosFallosIngreso = R"(CREATE TABLE POSFALLOSINGRESO (
  TIPO CHAR(1) NOT NULL,
  CODIGO DOUBLE PRECISION NOT NULL,
  FALLOS INTEGER NOT NULL,
  ULTIMOFALLO TIMESTAMP NOT NULL,
  CONSTRAINT PK_POSFALLOSINGRESO PRIMARY KEY (TIPO, CODIGO)))";

// ---- electronic POS documents -----------------------------------------------------------------

// The signed document of each closed sale (and of the adjustment note of a voided one), keyed like
// the sale, with where its sending stands. XML is kept byte for byte as signed: it is what is sent.
const char* kPosDocumentoElectronico = R"(CREATE TABLE POSDOCUMENTOELECTRONICO (
  EMPRESA CHAR(5) NOT NULL,
  DOCUMENTO CHAR(5) NOT NULL,
  CONSECUTIVO INTEGER NOT NULL,
  TIPO CHAR(2) NOT NULL,
  NUMERO VARCHAR(30),
  CUDE VARCHAR(96),
  FECHA TIMESTAMP,
  XML BLOB SUB_TYPE TEXT,
  ESTADO CHAR(1),
  INTENTOS INTEGER,
  PROXIMOINTENTO TIMESTAMP,
  MENSAJES BLOB SUB_TYPE TEXT,
  ZIPKEY VARCHAR(100),
  RESPUESTA BLOB SUB_TYPE TEXT,
  ARCHIVO VARCHAR(40),
  ARCHIVOZIP VARCHAR(40),
  CONSTRAINT PK_POSDOCUMENTOELECTRONICO PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO)))";

// One row per company: whether it issues electronic POS documents and with what. The software PIN
// and the certificate's password are stored sealed (see einvoice/Settings), never readable.
const char* kPosConfigElectronica = R"(CREATE TABLE POSCONFIGELECTRONICA (
  EMPRESA CHAR(5) NOT NULL,
  ACTIVO CHAR(1),
  AMBIENTE SMALLINT,
  SOFTWAREID VARCHAR(60),
  SOFTWAREPIN VARCHAR(200),
  TESTSETID VARCHAR(60),
  CERTIFICADO VARCHAR(255),
  CLAVECERTIFICADO VARCHAR(300),
  RESOLUCION VARCHAR(30),
  PREFIJO VARCHAR(4),
  RANGODESDE BIGINT,
  RANGOHASTA BIGINT,
  FECHADESDE DATE,
  FECHAHASTA DATE,
  CLAVETECNICA VARCHAR(100),
  PLACACAJA VARCHAR(30),
  UBICACIONCAJA VARCHAR(60),
  TIPOCAJA VARCHAR(30),
  FABRICANTENOMBRE VARCHAR(60),
  FABRICANTERAZONSOCIAL VARCHAR(60),
  FABRICANTESOFTWARE VARCHAR(60),
  PROVEEDORNIT VARCHAR(20),
  SERVICIO VARCHAR(200),
  TIPOPERSONA CHAR(1),
  RESPONSABILIDADES VARCHAR(60),
  TRIBUTO VARCHAR(2),
  DIRECCION VARCHAR(100),
  MUNICIPIO VARCHAR(5),
  CORREO VARCHAR(100),
  CONSTRAINT PK_POSCONFIGELECTRONICA PRIMARY KEY (EMPRESA)))";

// The DIAN's numbering authorizations, one per company and sale document type (its own prefix
// and range).
const char* kPosAutorizacionDian = R"(CREATE TABLE POSAUTORIZACIONDIAN (
  EMPRESA CHAR(5) NOT NULL,
  DOCUMENTO CHAR(5) NOT NULL,
  RESOLUCION VARCHAR(30),
  PREFIJO VARCHAR(4),
  RANGODESDE BIGINT,
  RANGOHASTA BIGINT,
  FECHADESDE DATE,
  FECHAHASTA DATE,
  CLAVETECNICA VARCHAR(100),
  CONSTRAINT PK_POSAUTORIZACIONDIAN PRIMARY KEY (EMPRESA, DOCUMENTO)))";

// The counters of the electronic documents' own numbers and file names, per company, kind and
// year: the adjustment notes ("NA", year 0: one series), and the files sent to the DIAN ("ds",
// "ncs", "z"), which the DIAN wants numbered per year.
const char* kPosConsecutivoDian = R"(CREATE TABLE POSCONSECUTIVODIAN (
  EMPRESA CHAR(5) NOT NULL,
  CLASE VARCHAR(4) NOT NULL,
  ANO SMALLINT NOT NULL,
  ULTIMO INTEGER,
  CONSTRAINT PK_POSCONSECUTIVODIAN PRIMARY KEY (EMPRESA, CLASE, ANO)))";

const char* kEtiquetas = R"(CREATE TABLE ETIQUETAS (
  PRODUCTO INTEGER,
  CONSECUTIVO INTEGER))";

// ---- catalogue ------------------------------------------------------------------------------

const char* kProductos = R"(CREATE TABLE PRODUCTOS (
  CODIGO CHAR(12) NOT NULL,
  GRUPO CHAR(2) NOT NULL,
  SUBGRUPO INTEGER NOT NULL,
  PRODUCTO INTEGER NOT NULL,
  REFERENCIA CHAR(20),
  NOMBRE CHAR(40),
  UNIDAD CHAR(2) NOT NULL,
  VALORUNIDAD DOUBLE PRECISION,
  CANTIDADSTOK DOUBLE PRECISION,
  CANTIDADMINIMA DOUBLE PRECISION,
  CANTIDADMAXIMA DOUBLE PRECISION,
  PUNTOPEDIDO DOUBLE PRECISION,
  ULTIMOPROVEEDOR DOUBLE PRECISION,
  VALORPROMEDIO DOUBLE PRECISION,
  VALORIVA DOUBLE PRECISION,
  CUENTACONTABLE CHAR(16),
  CUENTACONTABLEC CHAR(16),
  CUENTACONTABLEV CHAR(16),
  AJUSTAINFLACION CHAR(1),
  CODIGOBARRAS CHAR(25),
  TITULO CHAR(80),
  AUTOR CHAR(80),
  EDITORIAL CHAR(80),
  TEMA CHAR(80),
  LOTE CHAR(40),
  PRECIOCOMPRA DOUBLE PRECISION,
  CUENTACONTABLEV1 CHAR(16),
  PRECIOMASIVA CHAR(1),
  IPOCONSUMO DOUBLE PRECISION,
  CUENTACONTABLEIVAC CHAR(16),
  CUENTACONTABLEIVAV CHAR(16),
  CUENTACONTABLECOSTO CHAR(16),
  CANTIDADEMPACADA DOUBLE PRECISION,
  PROSACUENTADB VARCHAR(16),
  PROSACUENTACR VARCHAR(16),
  PROENCUENTADB VARCHAR(16),
  PROENCUENTACR VARCHAR(16),
  SALMCUENTADB VARCHAR(16),
  SALMCUENTACR VARCHAR(16),
  UNIDADS CHAR(2),
  CONSTRAINT PK_PRODUCTOS PRIMARY KEY (CODIGO)))";

const char* kProductosValorVenta = R"(CREATE TABLE PRODUCTOSVALORVENTA (
  PRODUCTO INTEGER NOT NULL,
  UNIDAD CHAR(2) NOT NULL,
  CANTIDAD DOUBLE PRECISION,
  VALORVENTAMOSTRADOR DOUBLE PRECISION,
  VALORVENTAEMPRESA DOUBLE PRECISION,
  IND DOUBLE PRECISION,
  CONSTRAINT PK_PRODUCTOSVALORVENTA PRIMARY KEY (PRODUCTO, UNIDAD)))";

const char* kProductosSub = R"(CREATE TABLE PRODUCTOSSUB (
  PRODUCTO INTEGER NOT NULL,
  SUBPRODUCTO INTEGER NOT NULL,
  CANTIDAD DOUBLE PRECISION,
  NOMBRE CHAR(40),
  CONSTRAINT PK_PRODUCTOSSUB PRIMARY KEY (PRODUCTO, SUBPRODUCTO)))";

const char* kProductosCCostos = R"(CREATE TABLE PRODUCTOSCCOSTOS (
  PRODUCTO INTEGER NOT NULL,
  CODIGOCOSTOS CHAR(6) NOT NULL))";

const char* kUnidades = R"(CREATE TABLE UNIDADES (
  UNIDAD CHAR(2) NOT NULL,
  NOMBRE CHAR(40),
  CONSTRAINT PK_UNIDADES PRIMARY KEY (UNIDAD)))";

const char* kUnidadConversion = R"(CREATE TABLE UNIDADCONVERSION (
  CODIGOUNIDADRECIBIR CHAR(5) NOT NULL,
  CODIGOUNIDAD CHAR(5) NOT NULL,
  CANTIDAD DOUBLE PRECISION,
  OPERADOR CHAR(1)))";

const char* kGrupos = R"(CREATE TABLE GRUPOS (
  GRUPO CHAR(2) NOT NULL,
  NOMBRE CHAR(40),
  CONSTRAINT PK_GRUPOS PRIMARY KEY (GRUPO)))";

const char* kSubgrupos = R"(CREATE TABLE SUBGRUPOS (
  SUBGRUPO INTEGER NOT NULL,
  NOMBRE CHAR(40),
  CUENTA CHAR(16),
  MODELO CHAR(10),
  CONSTRAINT PK_SUBGRUPOS PRIMARY KEY (SUBGRUPO)))";

const char* kCentroCostos = R"(CREATE TABLE CENTROCOSTOS (
  CENTROCOSTO CHAR(6) NOT NULL,
  NOMBRE CHAR(40),
  AREA CHAR(3),
  EMPRESA CHAR(5),
  CONSTRAINT PK_CENTROCOSTOS PRIMARY KEY (CENTROCOSTO)))";

const char* kBodegas = R"(CREATE TABLE BODEGAS (
  BODEGA INTEGER NOT NULL,
  NOMBRE CHAR(40),
  CONSTRAINT PK_BODEGAS PRIMARY KEY (BODEGA)))";

const char* kSaldos = R"(CREATE TABLE SALDOS (
  EMPRESA CHAR(5),
  PRODUCTO INTEGER,
  SALDO DOUBLE PRECISION))";

const char* kDocumentos = R"(CREATE TABLE DOCUMENTOS (
  DOCUMENTO CHAR(5) NOT NULL,
  NOMBRE CHAR(40),
  OPERADOR CHAR(1),
  CONSECUTIVO INTEGER,
  CENTROCOSTOS CHAR(1),
  ORDENCOMPRA CHAR(1),
  SUBPRODUCTO CHAR(1),
  ENTRA CHAR(1),
  CUENTAS CHAR(1),
  CONTROLASALDO CHAR(1),
  PONDERADOR DOUBLE PRECISION,
  CUENTACONTABLEI CHAR(16),
  CUENTACONTABLEC CHAR(16),
  CUENTACONTABLEV CHAR(16),
  CUENTACONTABLEIVAC CHAR(16),
  CUENTACONTABLECE CHAR(16),
  DOCUMENTOCR CHAR(5),
  INFORME INTEGER,
  DOCUMENTOLEGALIZACION CHAR(5),
  MONEDA VARCHAR(5),
  PREFIJO CHAR(3),
  RESOLUCIONFACTURACION BLOB SUB_TYPE 1,
  CONSTRAINT PK_DOCUMENTOS PRIMARY KEY (DOCUMENTO)))";

const char* kProveedores = R"(CREATE TABLE PROVEEDORES (
  NIT DOUBLE PRECISION NOT NULL,
  DV CHAR(1),
  TIPOTERCERO CHAR(1),
  NOMBRE CHAR(40),
  CONTACTO CHAR(40),
  DIRECCION CHAR(40),
  TELEFONO CHAR(20),
  FAX CHAR(10),
  CIUDAD CHAR(20),
  PAIS CHAR(20),
  EMAIL CHAR(60),
  CUPOCREDITO DOUBLE PRECISION,
  AUTERRETENEDOR CHAR(1),
  ICA CHAR(1),
  FECHACUMPLEANOS CHAR(5),
  NOTA CHAR(160),
  ZONA CHAR(5),
  SUBZONA CHAR(5),
  CUENTACONTABLEC CHAR(16),
  CUENTACONTABLEV CHAR(16),
  PADRE DOUBLE PRECISION,
  ABUELO DOUBLE PRECISION,
  VENDEDOR CHAR(5),
  COBRADOR CHAR(5),
  SUPERVISOR CHAR(5),
  BLOQUEO CHAR(1),
  CLASECLIENTE CHAR(2),
  CONDICION CHAR(2),
  CUPO DOUBLE PRECISION,
  CLASETERCERO CHAR(1),
  FECHANACIMIENTO TIMESTAMP,
  APELLIDO1 CHAR(20),
  APELLIDO2 CHAR(20),
  NOMBRE1 CHAR(20),
  NOMBRE2 CHAR(20),
  DESCUENTOAUT DOUBLE PRECISION,
  CONSTRAINT PK_PROVEEDORES PRIMARY KEY (NIT)))";

// ---- inventory shared with Tavro ------------------------------------------------------------

const char* kMovimiento = "CREATE TABLE MOVIMIENTO (\n" KV_DOCUMENT_HEAD
                          "  CONSTRAINT PK_MOVIMIENTO PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO))";

// Same meaning as the sale lines, but Tavro declares IVA before VALORIVA and stops at COSTO.
const char* kMovimientoDetalle = R"(CREATE TABLE MOVIMIENTODETALLE (
  EMPRESA CHAR(5) NOT NULL,
  DOCUMENTO CHAR(5) NOT NULL,
  CONSECUTIVO INTEGER NOT NULL,
  LINEA INTEGER NOT NULL,
  PRODUCTO INTEGER NOT NULL,
  CENTROCOSTOS CHAR(6),
  CANTIDAD DOUBLE PRECISION,
  PRECIOUNIDAD DOUBLE PRECISION,
  PORCENTAJEDESCUENTO DOUBLE PRECISION,
  VALORDESCUENTO DOUBLE PRECISION,
  IVA DOUBLE PRECISION,
  VALORIVA DOUBLE PRECISION,
  SUBTOTAL DOUBLE PRECISION,
  BODEGA INTEGER,
  DESCUENTO DOUBLE PRECISION,
  UNIDADMOVIMIENTO CHAR(2),
  UNIDADCOMPRA CHAR(2),
  CANTIDADRECIBIDA DOUBLE PRECISION,
  OBSERVACION VARCHAR(60),
  SUBPRODUCTO INTEGER,
  COSTO DOUBLE PRECISION,
  CONSTRAINT PK_MOVIMIENTODETALLE PRIMARY KEY (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA)))";

// Tavro's purchase orders. The point of sale only counts a supplier's orders before deleting the
// supplier, so this keeps the columns a purchase order plainly needs.
const char* kOrdenCompra = R"(CREATE TABLE ORDENCOMPRA (
  EMPRESA CHAR(5) NOT NULL,
  ORDENCOMPRA INTEGER NOT NULL,
  FECHA TIMESTAMP,
  PROVEEDOR DOUBLE PRECISION,
  BODEGA INTEGER,
  FECHAENTREGA TIMESTAMP,
  VALOR DOUBLE PRECISION,
  OBSERVACIONES VARCHAR(160),
  CONSTRAINT PK_ORDENCOMPRA PRIMARY KEY (EMPRESA, ORDENCOMPRA)))";

// ---- accounting database --------------------------------------------------------------------

const char* kComprobanteContable = R"(CREATE TABLE COMPROBANTECONTABLE (
  CODIGOCOMPANIA CHAR(5) NOT NULL,
  CODIGOTIPOCOMPROBANTE CHAR(10) NOT NULL,
  NUMEROCOMPROBANTE INTEGER NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  VALORDB DOUBLE PRECISION,
  VALORCR DOUBLE PRECISION,
  DESCRIPCION BLOB SUB_TYPE 0,
  CONSTRAINT PK_COMPROBANTECONTABLE PRIMARY KEY (CODIGOCOMPANIA, CODIGOTIPOCOMPROBANTE, NUMEROCOMPROBANTE)))";

const char* kMovimientoContable = R"(CREATE TABLE MOVIMIENTOCONTABLE (
  CODIGOCOMPANIA CHAR(5) NOT NULL,
  CODIGOTIPOCOMPROBANTE CHAR(10) NOT NULL,
  NUMEROCOMPROBANTE INTEGER NOT NULL,
  FECHA TIMESTAMP NOT NULL,
  ITEM SMALLINT NOT NULL,
  DOCUMENTO CHAR(10),
  DETALLE VARCHAR(120),
  TIPO CHAR(1),
  VALOR DOUBLE PRECISION,
  FECHAGRABACION TIMESTAMP,
  CUENTA CHAR(15) NOT NULL,
  PLACA CHAR(10) NOT NULL,
  CODIGOMONEDA CHAR(5) NOT NULL,
  CODIGOUSUARIO INTEGER NOT NULL,
  CODIGOCENTROCOSTO CHAR(6),
  NIT DOUBLE PRECISION,
  TASA DOUBLE PRECISION,
  VALOROTRAMONEDA DOUBLE PRECISION,
  MOVIMIENTOCIERRE CHAR(1),
  DOCUMENTO1 CHAR(10),
  BASEIVA DOUBLE PRECISION,
  VALORIVA DOUBLE PRECISION,
  VALORDEBITO DOUBLE PRECISION,
  VALORCREDITO DOUBLE PRECISION,
  CONSTRAINT PK_MOVIMIENTOCONTABLE PRIMARY KEY (CODIGOCOMPANIA, CODIGOTIPOCOMPROBANTE, NUMEROCOMPROBANTE, ITEM)))";

const char* kTerceros = R"(CREATE TABLE TERCEROS (
  NIT DOUBLE PRECISION NOT NULL,
  DV CHAR(1),
  TIPODOC CHAR(2),
  RAZONSOCIAL CHAR(120),
  PRIMERAPELLIDO CHAR(20),
  SEGUNDOAPELLIDO CHAR(20),
  PRIMERNOMBRE CHAR(20),
  SEGUNDONOMBRE CHAR(20),
  DIRECCION CHAR(120),
  TELEFONO CHAR(60),
  SUJETORETENCION CHAR(1),
  AGENTERETENEDOR CHAR(1),
  CODIGOCIUDAD INTEGER,
  FECHAGRABACION TIMESTAMP,
  FOTO BLOB SUB_TYPE 0,
  EMAIL VARCHAR(120),
  WEB VARCHAR(120),
  AFILIADOFONDO CHAR(1),
  FECHAAFILIACION TIMESTAMP,
  FECHARETIRO TIMESTAMP,
  AUTORETENEDOR VARCHAR(1),
  REGIMEN VARCHAR(1),
  CONSTRAINT PK_TERCEROS PRIMARY KEY (NIT)))";

#undef KV_DOCUMENT_HEAD
#undef KV_SALE_LINE

const std::vector<TableDef>& posTables()
{
    static const std::vector<TableDef> defs = {
        {"USUARIOS", kUsuarios, {}},
        {"MENU", kMenu, {}},
        {"PROGRAMASPOS", kProgramasPos, {}},
        {"REGISTRO", kRegistro, {}},
        {"POSESQUEMA", kPosEsquema, {}},
        {"EMPRESAS", kEmpresas, {}},
        {"POSCAJAS", kPosCajas, {}},
        {"POSCAJEROS", kPosCajeros, {}},
        {"POSLINEATOP", kPosLineaTop, {}},
        {"POSLINEABOTTOM", kPosLineaBottom, {}},
        {"MONEDA", kMoneda, {}},
        {"TASACAMBIO", kTasaCambio, {}},
        {"MESAS", kCreateMesas, {}},
        {"MESERO", kCreateMesero, {}},

        // Numbering reads MAX(CONSECUTIVO) of a company and type, and MAX(LINEA) of a document:
        // the descending indexes make both a single index read on tables of millions of rows.
        {"POSMOVIMIENTO", kPosMovimiento,
         {"CREATE DESCENDING INDEX IX_POSMOVIMIENTO_DESC ON POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO)",
          "CREATE INDEX IX_POSMOVIMIENTO_FECHA ON POSMOVIMIENTO (FECHA)",
          // the collection register lists the open documents of one register
          "CREATE INDEX IX_POSMOVIMIENTO_CAJA ON POSMOVIMIENTO (CAJA, STATUS)",
          // a third party is not deleted while sales name him as customer
          "CREATE INDEX IX_POSMOVIMIENTO_CLIENTE ON POSMOVIMIENTO (CLIENTE)"}},
        {"POSMOVIMIENTODETALLE", kPosMovimientoDetalle,
         {"CREATE DESCENDING INDEX IX_POSMOVDETALLE_DESC ON POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA)",
          // a product's lines over all the years stored: the counter's statements keep off it
          // and start from the day's headers instead
          "CREATE INDEX IX_POSMOVDETALLE_PRODUCTO ON POSMOVIMIENTODETALLE (PRODUCTO)",
          // whether a document holds a product, answered from the index alone: the stock panel
          // asks it of each of the day's documents and reads only the lines of that product
          "CREATE INDEX IX_POSMOVDETALLE_DOCPRODUCTO ON POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, PRODUCTO)",
          // a product's lines of one day (the stock panel, the add-line routine): a keyed range
          // read whatever the day's volume and the years stored
          kIndexProductoFecha},
         nullptr,
         {kTriggerLineDate, kTriggerHeaderDate},
         {{kIndexProductoFecha, kFillLineDates}}},
        {"POSREMISIONES", kPosRemisiones,
         {"CREATE DESCENDING INDEX IX_POSREMISIONES_DESC ON POSREMISIONES (EMPRESA, DOCUMENTO, CONSECUTIVO)",
          "CREATE INDEX IX_POSREMISIONES_FECHA ON POSREMISIONES (FECHA)"}},
        {"POSREMISIONESDETALLE", kPosRemisionesDetalle,
         {"CREATE DESCENDING INDEX IX_POSREMDETALLE_DESC ON POSREMISIONESDETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA)"}},
        // the cash count and the daily summary read a period's opening amounts
        {"POSARQUEO", kPosArqueo, {"CREATE INDEX IX_POSARQUEO_FECHA ON POSARQUEO (FECHA)"}},
        // the next expense number is the highest ITEM of the whole table plus one
        {"POSPAGOSCAJA", kPosPagosCaja,
         {"CREATE DESCENDING INDEX IX_POSPAGOSCAJA_ITEM_DESC ON POSPAGOSCAJA (ITEM)",
          "CREATE INDEX IX_POSPAGOSCAJA_FECHA ON POSPAGOSCAJA (FECHA)"}},
        // listed by day (and a register's own on its cash count); a document's history by its key
        {"POSBITACORA", kPosBitacora,
         {"CREATE INDEX IX_POSBITACORA_FECHA ON POSBITACORA (FECHA)",
          "CREATE INDEX IX_POSBITACORA_DOCUMENTO ON POSBITACORA (EMPRESA, DOCUMENTO, CONSECUTIVO)"}},
        {"POSINTENTOS", kPosIntentos, {}},
        // sign-on reads the latest verdict
        {"POSVERIFICACION", kPosVerificacion,
         {"CREATE DESCENDING INDEX IX_POSVERIFICACION_ID_DESC ON POSVERIFICACION (ID)"}},
        {"POSFALLOSINGRESO", kPosFallosIngreso, {}},
        {"ETIQUETAS", kEtiquetas, {}},
        // the sender takes the documents by state; the back office lists them by day
        {"POSDOCUMENTOELECTRONICO", kPosDocumentoElectronico,
         {"CREATE INDEX IX_POSDOCELECTRONICO_ESTADO ON POSDOCUMENTOELECTRONICO (ESTADO)",
          "CREATE INDEX IX_POSDOCELECTRONICO_FECHA ON POSDOCUMENTOELECTRONICO (FECHA)",
          // a number is issued once: checked before each document is stored
          "CREATE INDEX IX_POSDOCELECTRONICO_NUMERO ON POSDOCUMENTOELECTRONICO (EMPRESA, NUMERO)"}},
        {"POSCONFIGELECTRONICA", kPosConfigElectronica, {}},
        {"POSAUTORIZACIONDIAN", kPosAutorizacionDian, {}},
        {"POSCONSECUTIVODIAN", kPosConsecutivoDian, {}},

        // Sale screens find a product by PRODUCTO or by barcode; grids page through it by
        // key (CODIGO), by PRODUCTO and by NOMBRE, forwards and backwards. The name index carries
        // the key as its last segment so that rows with the same name still have a fixed order.
        {"PRODUCTOS", kProductos,
         {"CREATE UNIQUE INDEX UQ_PRODUCTOS_PRODUCTO ON PRODUCTOS (PRODUCTO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_PRODUCTO_DESC ON PRODUCTOS (PRODUCTO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_CODIGO_DESC ON PRODUCTOS (CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_CODIGOBARRAS ON PRODUCTOS (CODIGOBARRAS)",
          "CREATE INDEX IX_PRODUCTOS_NOMBRE ON PRODUCTOS (NOMBRE, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_NOMBRE_DESC ON PRODUCTOS (NOMBRE, CODIGO)",
          // The general product search also walks the products by reference, title, author,
          // publisher, subject and lot, in both directions.
          "CREATE INDEX IX_PRODUCTOS_REFERENCIA ON PRODUCTOS (REFERENCIA, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_REFERENCIA_DESC ON PRODUCTOS (REFERENCIA, CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_TITULO ON PRODUCTOS (TITULO, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_TITULO_DESC ON PRODUCTOS (TITULO, CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_AUTOR ON PRODUCTOS (AUTOR, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_AUTOR_DESC ON PRODUCTOS (AUTOR, CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_EDITORIAL ON PRODUCTOS (EDITORIAL, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_EDITORIAL_DESC ON PRODUCTOS (EDITORIAL, CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_TEMA ON PRODUCTOS (TEMA, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_TEMA_DESC ON PRODUCTOS (TEMA, CODIGO)",
          "CREATE INDEX IX_PRODUCTOS_LOTE ON PRODUCTOS (LOTE, CODIGO)",
          "CREATE DESCENDING INDEX IX_PRODUCTOS_LOTE_DESC ON PRODUCTOS (LOTE, CODIGO)"}},
        // Prices of a product are read by PRODUCTO alone: the key's first segment serves that.
        {"PRODUCTOSVALORVENTA", kProductosValorVenta, {}},
        {"PRODUCTOSSUB", kProductosSub, {}},
        {"PRODUCTOSCCOSTOS", kProductosCCostos,
         {"CREATE INDEX IX_PRODUCTOSCCOSTOS_PRODUCTO ON PRODUCTOSCCOSTOS (PRODUCTO)"}},
        {"UNIDADES", kUnidades, {}},
        {"UNIDADCONVERSION", kUnidadConversion, {}},
        {"GRUPOS", kGrupos, {}},
        {"SUBGRUPOS", kSubgrupos, {}},
        {"CENTROCOSTOS", kCentroCostos, {}},
        {"BODEGAS", kBodegas, {}},
        {"SALDOS", kSaldos, {"CREATE INDEX IX_SALDOS_PRODUCTO ON SALDOS (PRODUCTO)"}},
        {"DOCUMENTOS", kDocumentos, {}},
        {"PROVEEDORES", kProveedores,
         {"CREATE DESCENDING INDEX IX_PROVEEDORES_NIT_DESC ON PROVEEDORES (NIT)",
          "CREATE INDEX IX_PROVEEDORES_NOMBRE ON PROVEEDORES (NOMBRE, NIT)",
          "CREATE DESCENDING INDEX IX_PROVEEDORES_NOMBRE_DESC ON PROVEEDORES (NOMBRE, NIT)",
          // The third party searches also go by telephone and by city.
          "CREATE INDEX IX_PROVEEDORES_TELEFONO ON PROVEEDORES (TELEFONO, NIT)",
          "CREATE DESCENDING INDEX IX_PROVEEDORES_TELEFONO_DESC ON PROVEEDORES (TELEFONO, NIT)",
          "CREATE INDEX IX_PROVEEDORES_CIUDAD ON PROVEEDORES (CIUDAD, NIT)",
          "CREATE DESCENDING INDEX IX_PROVEEDORES_CIUDAD_DESC ON PROVEEDORES (CIUDAD, NIT)"}},

        {"MOVIMIENTO", kMovimiento,
         {"CREATE DESCENDING INDEX IX_MOVIMIENTO_DESC ON MOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO)",
          "CREATE INDEX IX_MOVIMIENTO_FECHA ON MOVIMIENTO (FECHA)",
          "CREATE INDEX IX_MOVIMIENTO_CLIENTE ON MOVIMIENTO (CLIENTE)"}},
        {"MOVIMIENTODETALLE", kMovimientoDetalle,
         {"CREATE DESCENDING INDEX IX_MOVDETALLE_DESC ON MOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA)"}},
        {"ORDENCOMPRA", kOrdenCompra,
         {"CREATE INDEX IX_ORDENCOMPRA_PROVEEDOR ON ORDENCOMPRA (PROVEEDOR)"}},
        {"CUENTASTAVRO", kCreateCuentasTavro, {}},
        // The record of the daily update's runs (which days went to the inventory tables).
        {"VENTASACTUALIZADAS", kCreateVentasActualizadas, {}},
        {"VENTASACTUALIZADASDOC", kCreateVentasActualizadasDoc, {}, kFillVentasActualizadasDoc},
    };
    return defs;
}

const std::vector<TableDef>& accountingTables()
{
    static const std::vector<TableDef> defs = {
        {"COMPROBANTECONTABLE", kComprobanteContable,
         {"CREATE INDEX IX_COMPROBANTECONTABLE_FECHA ON COMPROBANTECONTABLE (FECHA)"}},
        {"MOVIMIENTOCONTABLE", kMovimientoContable,
         {"CREATE INDEX IX_MOVIMIENTOCONTABLE_CUENTA ON MOVIMIENTOCONTABLE (CUENTA, FECHA)",
          "CREATE INDEX IX_MOVIMIENTOCONTABLE_NIT ON MOVIMIENTOCONTABLE (NIT)"}},
        {"TERCEROS", kTerceros,
         {"CREATE INDEX IX_TERCEROS_RAZONSOCIAL ON TERCEROS (RAZONSOCIAL)"}},
    };
    return defs;
}

// The name in "CREATE [UNIQUE|DESCENDING] INDEX name ON ...".
QString indexName(const char* statement)
{
    static const QRegularExpression name(QStringLiteral("\\bINDEX\\s+(\\w+)\\s+ON\\b"));
    return name.match(QString::fromLatin1(statement)).captured(1);
}

// Tables whose numbers are taken as the highest plus one. Their primary key is what stops two
// registers from silently sharing a number (the second one is refused and takes the next), so an
// older database that lacks it gets it.
const char* const kNumberedTables[] = {"POSMOVIMIENTO", "POSMOVIMIENTODETALLE", "POSREMISIONES",
                                       "POSREMISIONESDETALLE", "POSPAGOSCAJA"};

struct MissingKey {
    QString table, constraint;
    QStringList columns;
};

// The numbered tables that exist without a primary key, with the key their statement declares.
std::vector<MissingKey> missingKeys(Connection& c, const std::vector<TableDef>& defs)
{
    static const QRegularExpression pk(QStringLiteral("CONSTRAINT\\s+(\\w+)\\s+PRIMARY KEY\\s*\\(([^)]*)\\)"));
    std::vector<MissingKey> missing;
    for (const TableDef& t : defs) {
        const QString name = QString::fromLatin1(t.name);
        if (!std::count(std::begin(kNumberedTables), std::end(kNumberedTables), name) || !c.tableExists(name))
            continue;
        const bool hasKey = c.scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE "
                                                    "RDB$RELATION_NAME = :T AND RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"),
                                     {{QStringLiteral("T"), name}})
                                .toInt() > 0;
        if (hasKey)
            continue;
        const QRegularExpressionMatch m = pk.match(QString::fromLatin1(t.ddl));
        QStringList columns;
        for (const QString& col : m.captured(2).split(QLatin1Char(',')))
            columns << col.trimmed();
        missing.push_back({name, m.captured(1), columns});
    }
    return missing;
}

// Rows that would break the key (a key column empty, or a key repeated), described for the user;
// at most a screenful.
QStringList keyBreakers(Connection& c, const MissingKey& k)
{
    const QString cols = k.columns.join(QStringLiteral(", "));
    QStringList found;
    QStringList nulls;
    for (const QString& col : k.columns)
        nulls << col + QStringLiteral(" IS NULL");
    QSqlQuery q = c.exec(QStringLiteral("SELECT FIRST 20 %1, COUNT(*) FROM %2 GROUP BY %1 HAVING COUNT(*) > 1 OR %3")
                             .arg(cols, k.table, QStringLiteral("MAX(CASE WHEN %1 THEN 1 ELSE 0 END) = 1")
                                                     .arg(nulls.join(QStringLiteral(" OR ")))));
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < k.columns.size(); ++i)
            values << (q.value(i).isNull() ? QStringLiteral("(vacío)") : q.value(i).toString().trimmed());
        found << QStringLiteral("  %1: %2 (%3 %4)")
                     .arg(k.table, values.join(QStringLiteral(" ")))
                     .arg(q.value(k.columns.size()).toInt())
                     .arg(q.value(k.columns.size()).toInt() == 1 ? QStringLiteral("fila") : QStringLiteral("filas"));
    }
    return found;
}

// Checks every missing key first and changes nothing when any table holds rows that would break
// it; then adds the keys (a key column must be NOT NULL first).
void addMissingKeys(Connection& c, const std::vector<TableDef>& defs)
{
    const std::vector<MissingKey> missing = missingKeys(c, defs);
    if (missing.empty())
        return;
    QStringList problems;
    for (const MissingKey& k : missing)
        problems << keyBreakers(c, k);
    if (!problems.isEmpty())
        throw DbError(QStringLiteral("No se puede agregar la clave que impide que dos cajas usen el mismo número: estas "
                                     "filas tienen la clave vacía o repetida (tabla: clave, cuántas). Corríjalas y vuelva "
                                     "a intentar; no se cambió nada.\n") +
                      problems.join(QLatin1Char('\n')));
    Transaction t(c);
    for (const MissingKey& k : missing) {
        const TableInfo& info = c.tableInfo(k.table);
        for (const QString& col : k.columns)
            if (!info.columns.value(info.indexOf(col)).notNull)
                c.exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 SET NOT NULL").arg(k.table, col));
    }
    t.commit();
    for (const MissingKey& k : missing)
        c.exec(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 PRIMARY KEY (%3)")
                   .arg(k.table, k.constraint, k.columns.join(QStringLiteral(", "))));
    c.exec(QStringLiteral("COMMIT"));
    c.forgetTableInfo();
}

// The column declarations of a CREATE TABLE statement, name and definition ("PRECIO DOUBLE
// PRECISION NOT NULL"), in order; the table's constraints are left out.
std::vector<std::pair<QString, QString>> columnsOf(const char* ddl)
{
    const QString text = QString::fromLatin1(ddl);
    const int open = int(text.indexOf(QLatin1Char('(')));
    const int close = int(text.lastIndexOf(QLatin1Char(')')));
    QStringList items;
    int depth = 0;
    QString current;
    for (int i = open + 1; i < close; ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('('))
            ++depth;
        else if (ch == QLatin1Char(')'))
            --depth;
        if (ch == QLatin1Char(',') && depth == 0) {
            items << current;
            current.clear();
        } else {
            current += ch;
        }
    }
    items << current;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression constraint(QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|FOREIGN|CHECK)\\b"));
    std::vector<std::pair<QString, QString>> columns;
    for (const QString& item : items) {
        const QString declaration = item.simplified();
        if (declaration.isEmpty() || constraint.match(declaration).hasMatch())
            continue;
        const int space = int(declaration.indexOf(blanks));
        columns.emplace_back(declaration.left(space).toUpper(), declaration.mid(space + 1));
    }
    return columns;
}

// Every column of every user table, as "TABLE.COLUMN", in one read of the catalogue.
QSet<QString> existingColumns(Connection& c)
{
    QSet<QString> found;
    QSqlQuery q = c.exec(QStringLiteral("SELECT TRIM(F.RDB$RELATION_NAME) || '.' || TRIM(F.RDB$FIELD_NAME) "
                                        "FROM RDB$RELATION_FIELDS F JOIN RDB$RELATIONS R "
                                        "ON R.RDB$RELATION_NAME = F.RDB$RELATION_NAME "
                                        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0"));
    while (q.next())
        found.insert(q.value(0).toString());
    return found;
}

QSet<QString> tablesOf(const QSet<QString>& columns)
{
    QSet<QString> tables;
    for (const QString& c : columns)
        tables.insert(c.section(QLatin1Char('.'), 0, 0));
    return tables;
}

// The names of the database's objects of one kind, read from the catalogue in one query.
QSet<QString> catalogueNames(Connection& c, const QString& query)
{
    QSet<QString> names;
    QSqlQuery q = c.exec(query);
    while (q.next())
        names.insert(q.value(0).toString());
    return names;
}

QSet<QString> existingIndexes(Connection& c)
{
    return catalogueNames(c, QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES"));
}

QSet<QString> existingTriggers(Connection& c)
{
    return catalogueNames(c, QStringLiteral("SELECT TRIM(RDB$TRIGGER_NAME) FROM RDB$TRIGGERS"));
}

// The name in "CREATE TRIGGER name FOR ...".
QString triggerName(const char* statement)
{
    static const QRegularExpression name(QStringLiteral("\\bTRIGGER\\s+(\\w+)\\s+FOR\\b"));
    return name.match(QString::fromLatin1(statement)).captured(1);
}

// What the description below has and the database lacks: whole tables ("MESAS"), and columns of
// tables it has ("POSCAJAS.REFRESCO").
QStringList missingParts(Connection& c, const std::vector<TableDef>& defs)
{
    const QSet<QString> columns = existingColumns(c);
    const QSet<QString> tables = tablesOf(columns);
    QStringList missing;
    for (const TableDef& t : defs) {
        const QString table = QString::fromLatin1(t.name);
        if (!tables.contains(table)) {
            missing << table;
            continue;
        }
        for (const auto& [column, definition] : columnsOf(t.ddl))
            if (!columns.contains(table + QLatin1Char('.') + column))
                missing << table + QLatin1Char('.') + column;
    }
    // A column whose triggers or fill are missing holds no right value yet: the database is not
    // up to date until the update has made them.
    QSet<QString> indexes, triggers;
    bool read = false;
    for (const TableDef& t : defs) {
        if (t.triggers.empty() && t.backfills.empty())
            continue;
        if (!read) {
            indexes = existingIndexes(c);
            triggers = existingTriggers(c);
            read = true;
        }
        for (const char* trigger : t.triggers)
            if (!triggers.contains(triggerName(trigger)))
                missing << triggerName(trigger);
        for (const TableDef::Backfill& b : t.backfills)
            if (!indexes.contains(indexName(b.index)))
                missing << indexName(b.index);
    }
    return missing;
}

// Columns added to a table since it was made. The rows already stored have nothing in them, so a
// column declared NOT NULL is added without that rule (Firebird would refuse it otherwise).
void addMissingColumns(Connection& c, const std::vector<TableDef>& defs)
{
    const QSet<QString> columns = existingColumns(c);
    const QSet<QString> tables = tablesOf(columns);
    static const QRegularExpression notNull(QStringLiteral("\\s+NOT\\s+NULL\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    bool added = false;
    for (const TableDef& t : defs) {
        const QString table = QString::fromLatin1(t.name);
        if (!tables.contains(table))
            continue;
        for (const auto& [column, definition] : columnsOf(t.ddl)) {
            if (columns.contains(table + QLatin1Char('.') + column))
                continue;
            QString type = definition;
            type.remove(notNull);
            c.exec(QStringLiteral("ALTER TABLE %1 ADD %2 %3").arg(table, column, type));
            added = true;
        }
    }
    if (added) {
        c.exec(QStringLiteral("COMMIT"));
        c.forgetTableInfo();
    }
}

void createTables(Connection& c, const std::vector<TableDef>& defs)
{
    addMissingKeys(c, defs);
    addMissingColumns(c, defs);
    const QSet<QString> indexes = existingIndexes(c);
    const QSet<QString> triggers = existingTriggers(c);
    for (const TableDef& t : defs) {
        // A table made by an earlier version still gets the indexes added since, so that its
        // lookups are as quick as on a new database.
        if (!c.tableExists(QString::fromLatin1(t.name))) {
            c.exec(QString::fromLatin1(t.ddl));
            if (t.fill) {
                c.exec(QStringLiteral("COMMIT"));
                c.exec(QString::fromLatin1(t.fill));
            }
        }
        // The triggers come before any fill, so that a row another register stores meanwhile
        // gets its value from them.
        bool madeTrigger = false;
        for (const char* trigger : t.triggers)
            if (!triggers.contains(triggerName(trigger))) {
                c.exec(QString::fromLatin1(trigger));
                madeTrigger = true;
            }
        if (madeTrigger)
            c.exec(QStringLiteral("COMMIT"));
        for (const char* index : t.indexes) {
            if (indexes.contains(indexName(index)))
                continue;
            for (const TableDef::Backfill& b : t.backfills)
                if (QString::fromLatin1(b.index) == QString::fromLatin1(index)) {
                    c.exec(QString::fromLatin1(b.statement));
                    c.exec(QStringLiteral("COMMIT"));
                }
            c.exec(QString::fromLatin1(index));
        }
        c.exec(QStringLiteral("COMMIT"));
    }
    c.forgetTableInfo();
}

void ensureTable(Connection& c, const char* name, const char* ddl, const char* fill = nullptr)
{
    if (c.tableExists(QString::fromLatin1(name)))
        return;
    c.exec(QString::fromLatin1(ddl));
    c.exec(QStringLiteral("COMMIT"));
    if (fill) {
        c.exec(QString::fromLatin1(fill));
        c.exec(QStringLiteral("COMMIT"));
    }
    c.forgetTableInfo();
}

QStringList namesOf(const std::vector<TableDef>& defs)
{
    QStringList names;
    for (const TableDef& t : defs)
        names << QString::fromLatin1(t.name);
    return names;
}

}  // namespace

void createPosSchema(Connection& c) { createTables(c, posTables()); }
void createAccountingSchema(Connection& c) { createTables(c, accountingTables()); }

QStringList missingPosSchema(Connection& c) { return missingParts(c, posTables()); }
QStringList missingAccountingSchema(Connection& c) { return missingParts(c, accountingTables()); }

void ensureMesas(Connection& c)
{
    ensureTable(c, "MESAS", kCreateMesas);
    // PEDIDO alone names a bill only under the document type the parameter row names today, and a
    // sign-on may choose another one while the bill is open: a table keeps its bill's company and
    // document type beside the number. A table made before these columns gets them here.
    if (c.tableInfo(QStringLiteral("MESAS")).indexOf(QStringLiteral("EMPRESA")) < 0) {
        c.exec(QStringLiteral("ALTER TABLE MESAS ADD EMPRESA CHAR(5), ADD DOCUMENTO CHAR(5)"));
        c.exec(QStringLiteral("COMMIT"));
        c.forgetTableInfo();
    }
}
void ensureMesero(Connection& c) { ensureTable(c, "MESERO", kCreateMesero); }
void ensureCuentasTavro(Connection& c) { ensureTable(c, "CUENTASTAVRO", kCreateCuentasTavro); }
void ensureVentasActualizadas(Connection& c)
{
    ensureTable(c, "VENTASACTUALIZADAS", kCreateVentasActualizadas);
    ensureTable(c, "VENTASACTUALIZADASDOC", kCreateVentasActualizadasDoc, kFillVentasActualizadasDoc);
}

const QStringList& posTableNames()
{
    static const QStringList names = namesOf(posTables());
    return names;
}

const QStringList& accountingTableNames()
{
    static const QStringList names = namesOf(accountingTables());
    return names;
}

}  // namespace kv
