// The demo shop must hang together: every reference points at a row that exists, barcodes scan,
// prices and totals follow the sale rules, and the menu and users let a person try every screen.
#include "common/Numbers.h"
#include "data/BenchData.h"
#include "data/DemoData.h"
#include "data/Schema.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <cmath>
#include <QTextStream>
#include <set>

using namespace kv;

namespace {

// Computed here from the EAN rule itself, not with the generator's helper.
bool validEan(const QString& code)
{
    if ((code.size() != 13 && code.size() != 8) || !std::all_of(code.begin(), code.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    int sum = 0;
    for (int i = 0; i < code.size() - 1; ++i) {
        const int fromRight = int(code.size()) - 2 - i;  // 0 for the digit next to the check digit
        sum += code[i].digitValue() * (fromRight % 2 == 0 ? 3 : 1);
    }
    return (10 - sum % 10) % 10 == code.back().digitValue();
}

int count(Connection& c, const QString& sql) { return c.scalar(sql).toInt(); }

// Orphans and inconsistencies: each query counts rows that should not exist.
const struct {
    const char* what;
    const char* sql;
} kMustBeEmpty[] = {
    {"register under a parameter row that does not exist",
     "SELECT COUNT(*) FROM POSCAJAS K WHERE NOT EXISTS (SELECT 1 FROM POSESQUEMA E WHERE E.LLAVE = K.EMPRESA)"},
    {"parameter row with an unknown or non-P document type, branch or company",
     "SELECT COUNT(*) FROM POSESQUEMA E WHERE E.DOCUMENTO NOT LIKE 'P%' "
     "OR NOT EXISTS (SELECT 1 FROM DOCUMENTOS D WHERE D.DOCUMENTO = E.DOCUMENTO) "
     "OR NOT EXISTS (SELECT 1 FROM BODEGAS B WHERE B.BODEGA = E.SUCURSAL) "
     "OR NOT EXISTS (SELECT 1 FROM EMPRESAS M WHERE M.EMPRESA = E.EMPRESA)"},
    {"cashier at an unknown register",
     "SELECT COUNT(*) FROM POSCAJEROS C WHERE NOT EXISTS (SELECT 1 FROM POSCAJAS K WHERE K.CAJA = C.CAJA)"},
    {"product without code, group, subgroup or unit",
     "SELECT COUNT(*) FROM PRODUCTOS P WHERE TRIM(P.CODIGO) = '' "
     "OR NOT EXISTS (SELECT 1 FROM GRUPOS G WHERE G.GRUPO = P.GRUPO) "
     "OR NOT EXISTS (SELECT 1 FROM SUBGRUPOS S WHERE S.SUBGRUPO = P.SUBGRUPO) "
     "OR NOT EXISTS (SELECT 1 FROM UNIDADES U WHERE U.UNIDAD = P.UNIDAD)"},
    {"product without its UN price or without stock",
     "SELECT COUNT(*) FROM PRODUCTOS P WHERE NOT EXISTS (SELECT 1 FROM PRODUCTOSVALORVENTA V "
     "WHERE V.PRODUCTO = P.PRODUCTO AND V.UNIDAD = 'UN' AND V.CANTIDAD = 1 AND V.VALORVENTAMOSTRADOR = P.VALORUNIDAD) "
     "OR NOT EXISTS (SELECT 1 FROM SALDOS S WHERE S.PRODUCTO = P.PRODUCTO)"},
    {"price row of an unknown product or unit",
     "SELECT COUNT(*) FROM PRODUCTOSVALORVENTA V WHERE NOT EXISTS (SELECT 1 FROM PRODUCTOS P WHERE P.PRODUCTO = V.PRODUCTO) "
     "OR NOT EXISTS (SELECT 1 FROM UNIDADES U WHERE U.UNIDAD = V.UNIDAD)"},
    {"duplicate barcode",
     "SELECT COUNT(*) FROM (SELECT CODIGOBARRAS FROM PRODUCTOS GROUP BY CODIGOBARRAS HAVING COUNT(*) > 1)"},
    {"set component that is not a product",
     "SELECT COUNT(*) FROM PRODUCTOSSUB S WHERE NOT EXISTS (SELECT 1 FROM PRODUCTOS P WHERE P.PRODUCTO = S.SUBPRODUCTO)"},
    {"sale of an unknown customer, register or document type",
     "SELECT COUNT(*) FROM POSMOVIMIENTO M WHERE NOT EXISTS (SELECT 1 FROM PROVEEDORES P WHERE P.NIT = M.CLIENTE) "
     "OR NOT EXISTS (SELECT 1 FROM POSCAJAS K WHERE K.CAJA = M.CAJA) "
     "OR NOT EXISTS (SELECT 1 FROM DOCUMENTOS D WHERE D.DOCUMENTO = M.DOCUMENTO)"},
    {"sale line of an unknown product or document",
     "SELECT COUNT(*) FROM POSMOVIMIENTODETALLE L WHERE NOT EXISTS (SELECT 1 FROM PRODUCTOS P WHERE P.PRODUCTO = L.PRODUCTO) "
     "OR NOT EXISTS (SELECT 1 FROM POSMOVIMIENTO M WHERE M.EMPRESA = L.EMPRESA AND M.DOCUMENTO = L.DOCUMENTO "
     "AND M.CONSECUTIVO = L.CONSECUTIVO)"},
    {"sale whose totals are not the sums of its lines",
     "SELECT COUNT(*) FROM POSMOVIMIENTO M WHERE ABS(M.NETO - M.SUBTOTAL) > 0.001 OR ABS(M.PAGO - M.NETO) > 0.001 "
     "OR ABS(M.SUBTOTAL - (SELECT SUM(L.SUBTOTAL) FROM POSMOVIMIENTODETALLE L WHERE L.EMPRESA = M.EMPRESA "
     "AND L.DOCUMENTO = M.DOCUMENTO AND L.CONSECUTIVO = M.CONSECUTIVO)) > 0.001 "
     "OR ABS(M.IVA - (SELECT SUM(L.VALORIVA) FROM POSMOVIMIENTODETALLE L WHERE L.EMPRESA = M.EMPRESA "
     "AND L.DOCUMENTO = M.DOCUMENTO AND L.CONSECUTIVO = M.CONSECUTIVO)) > 0.001"},
    {"order whose totals are not the sums of its lines",
     "SELECT COUNT(*) FROM POSREMISIONES M WHERE ABS(M.NETO - (M.SUBTOTAL + M.IVA - M.DESCUENTO)) > 0.001 "
     "OR NOT EXISTS (SELECT 1 FROM PROVEEDORES P WHERE P.NIT = M.CLIENTE) "
     "OR ABS(M.SUBTOTAL - (SELECT SUM(L.SUBTOTAL) FROM POSREMISIONESDETALLE L WHERE L.EMPRESA = M.EMPRESA "
     "AND L.DOCUMENTO = M.DOCUMENTO AND L.CONSECUTIVO = M.CONSECUTIVO)) > 0.001 "
     "OR ABS(M.IVA - (SELECT SUM(L.VALORIVA) FROM POSREMISIONESDETALLE L WHERE L.EMPRESA = M.EMPRESA "
     "AND L.DOCUMENTO = M.DOCUMENTO AND L.CONSECUTIVO = M.CONSECUTIVO)) > 0.001 "
     "OR ABS(M.DESCUENTO - (SELECT SUM(L.VALORDESCUENTO) FROM POSREMISIONESDETALLE L WHERE L.EMPRESA = M.EMPRESA "
     "AND L.DOCUMENTO = M.DOCUMENTO AND L.CONSECUTIVO = M.CONSECUTIVO)) > 0.001"},
    {"gap in the numbering of a company and document type",
     "SELECT COUNT(*) FROM (SELECT EMPRESA, DOCUMENTO FROM POSMOVIMIENTO GROUP BY EMPRESA, DOCUMENTO "
     "HAVING MAX(CONSECUTIVO) <> COUNT(*) OR MIN(CONSECUTIVO) <> 1)"},
    {"gap in the line numbers of a document",
     "SELECT COUNT(*) FROM (SELECT EMPRESA, DOCUMENTO, CONSECUTIVO FROM POSMOVIMIENTODETALLE "
     "GROUP BY EMPRESA, DOCUMENTO, CONSECUTIVO HAVING MAX(LINEA) <> COUNT(*))"},
    {"menu row of an unknown user",
     "SELECT COUNT(*) FROM MENU M WHERE NOT EXISTS (SELECT 1 FROM USUARIOS U WHERE U.CODIGO = M.CODIGOUSUARIO)"},
    {"exchange rate of an unknown currency",
     "SELECT COUNT(*) FROM TASACAMBIO T WHERE NOT EXISTS (SELECT 1 FROM MONEDA M WHERE M.CODIGOMONEDA = T.CODIGOMONEDA)"},
    {"busy restaurant table", "SELECT COUNT(*) FROM MESAS WHERE PEDIDO <> 0"},
    {"cashier or waiter who is not a third party (his receipts would name no seller)",
     "SELECT COUNT(*) FROM (SELECT CEDULA FROM POSCAJEROS UNION SELECT CEDULA FROM MESERO) S "
     "WHERE NOT EXISTS (SELECT 1 FROM PROVEEDORES P WHERE P.NIT = S.CEDULA)"},
    {"sale whose seller is not a third party",
     "SELECT COUNT(*) FROM POSMOVIMIENTO M WHERE NOT EXISTS (SELECT 1 FROM PROVEEDORES P WHERE P.NIT = M.VENDEDOR)"},
    {"dish outside the groups the restaurant's item picker lists",
     "SELECT COUNT(*) FROM PRODUCTOS WHERE IPOCONSUMO > 0 AND GRUPO NOT IN ('02', '12')"},
    {"accounts of another company",
     "SELECT COUNT(*) FROM CUENTASTAVRO C WHERE NOT EXISTS (SELECT 1 FROM EMPRESAS E WHERE E.EMPRESA = C.EMPRESA)"},
};

class DemoDataTest : public kvtest::DemoDbTest {};

TEST_F(DemoDataTest, EveryReferenceAndTotalHoldsTogether)
{
    for (const auto& check : kMustBeEmpty)
        EXPECT_EQ(count(*db, check.sql), 0) << check.what;
}

TEST_F(DemoDataTest, CatalogueIsAShopWithARestaurantCorner)
{
    const int products = count(*db, "SELECT COUNT(*) FROM PRODUCTOS");
    EXPECT_GE(products, 180);
    EXPECT_LE(products, 260);

    int ean13 = 0, ean8 = 0;
    QSqlQuery q = db->exec("SELECT PRODUCTO, TRIM(CODIGOBARRAS) FROM PRODUCTOS");
    while (q.next()) {
        const QString code = q.value(1).toString();
        EXPECT_TRUE(validEan(code)) << "product " << q.value(0).toInt() << " barcode " << code.toStdString();
        (code.size() == 13 ? ean13 : ean8)++;
    }
    EXPECT_GT(ean13, 0);
    EXPECT_GT(ean8, 0);

    // IVA 19, 5 and 0; prices that include IVA and prices it is added to; dishes with consumption tax.
    for (int rate : {19, 5, 0})
        EXPECT_GT(count(*db, QString("SELECT COUNT(*) FROM PRODUCTOS WHERE VALORIVA = %1").arg(rate)), 0) << rate;
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM PRODUCTOS WHERE VALORIVA > 0 AND PRECIOMASIVA = 'S'"), 0);
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM PRODUCTOS WHERE VALORIVA > 0 AND PRECIOMASIVA = 'N'"), 0);
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM PRODUCTOS WHERE IPOCONSUMO = 8"), 0);
    for (const char* unit : {"DO", "CJ"})
        EXPECT_GT(count(*db, QString("SELECT COUNT(*) FROM PRODUCTOSVALORVENTA WHERE UNIDAD = '%1' AND CANTIDAD > 1").arg(unit)), 0)
            << unit;

    EXPECT_EQ(db->scalar("SELECT TRIM(NOMBRE) FROM PROVEEDORES WHERE NIT = 222222222").toString(), "CLIENTES VARIOS");
    EXPECT_EQ(count(*db, "SELECT COUNT(DISTINCT ESPACIO) FROM MESAS"), 2);
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM MESERO"), 0);
}

TEST_F(DemoDataTest, ConfigurationCoversEveryCashierLevelAndInvoiceLine)
{
    std::set<QString> levels;
    QSqlQuery q = db->exec("SELECT NIVEL FROM POSCAJEROS");
    while (q.next())
        levels.insert(q.value(0).toString().trimmed());
    EXPECT_EQ(levels, (std::set<QString>{"C", "V", "R", "S", "J", "8", "1", "2"}));
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM POSCAJEROS WHERE COBRA = 'N'"), 0);
    EXPECT_EQ(count(*db, "SELECT COUNT(DISTINCT IMPRIMIR) FROM POSCAJEROS"), 3);

    for (const char* table : {"POSLINEATOP", "POSLINEABOTTOM"}) {
        EXPECT_EQ(count(*db, QString("SELECT COUNT(*) FROM %1 WHERE LINEA BETWEEN 1 AND 8").arg(table)), 8) << table;
        EXPECT_EQ(count(*db, QString("SELECT COUNT(DISTINCT LINEA) FROM %1").arg(table)), 8) << table;
    }
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM DOCUMENTOS WHERE DOCUMENTO LIKE 'P%' AND PREFIJO IS NOT NULL"), 0);
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM DOCUMENTOS WHERE DOCUMENTO NOT LIKE 'P%'"), 0);
    EXPECT_EQ(count(*db, "SELECT COUNT(*) FROM CUENTASTAVRO"), 1);
    EXPECT_FALSE(db->scalar("SELECT NOMBRE FROM REGISTRO").toString().trimmed().isEmpty());

    // The sale screens look up today's rate of the document's currency.
    for (const char* currency : {"1", "USD", "EUR"})
        EXPECT_EQ(count(*db, QString("SELECT COUNT(*) FROM TASACAMBIO WHERE CODIGOMONEDA = '%1' AND FECHA = CURRENT_DATE")
                                 .arg(currency)),
                  1)
            << currency;
}

TEST_F(DemoDataTest, ProgramTableIsDepthFirstWithTheThirteenPrograms)
{
    QList<int> levels;
    QList<int> programs;
    QSet<QString> descriptions;
    QSqlQuery q = db->exec("SELECT NIVEL, PROGRAMA, TRIM(DESCRIPCION) FROM PROGRAMASPOS ORDER BY NUMEROPROGRAMA");
    while (q.next()) {
        levels << q.value(0).toInt();
        if (q.value(1).toInt() >= 1 && q.value(1).toInt() <= 13)
            programs << q.value(1).toInt();
        EXPECT_FALSE(descriptions.contains(q.value(2).toString())) << "repeated " << q.value(2).toString().toStdString();
        descriptions.insert(q.value(2).toString());
    }
    ASSERT_FALSE(levels.isEmpty());
    EXPECT_EQ(levels[0], 0);
    for (int i = 1; i < levels.size(); ++i) {
        EXPECT_GE(levels[i], 1) << "row " << i;
        EXPECT_LE(levels[i], std::min(10, levels[i - 1] + 1)) << "row " << i;
    }
    std::sort(programs.begin(), programs.end());
    QList<int> all;
    for (int p = 1; p <= 13; ++p)
        all << p;
    EXPECT_EQ(programs, all);
    EXPECT_TRUE(descriptions.contains("Reportes de Ventas"));
}

// The programs a user reaches: a row shows unless its character is "0" or a row above it in the
// tree is hidden (the main window removes a hidden entry with its whole subtree).
QSet<int> reachablePrograms(Connection& c, const QString& user)
{
    const QString opciones = c.scalar("SELECT M.OPCIONES FROM MENU M JOIN USUARIOS U ON U.CODIGO = M.CODIGOUSUARIO "
                                      "WHERE U.NOMBRE = :N",
                                      {{"N", user}})
                                 .toString();
    QSet<int> reachable;
    QList<bool> hiddenAt;  // per level, whether the most recent row of that level is hidden
    QSqlQuery q = c.exec("SELECT NIVEL, PROGRAMA FROM PROGRAMASPOS ORDER BY NUMEROPROGRAMA");
    for (int k = 0; q.next(); ++k) {
        const int level = q.value(0).toInt();
        const bool parentHidden = level > 0 && hiddenAt.value(level - 1);
        const bool hidden = parentHidden || (k >= 1 && k <= opciones.size() && opciones[k - 1] == '0');
        while (hiddenAt.size() <= level)
            hiddenAt << false;
        hiddenAt[level] = hidden;
        if (!hidden)
            reachable.insert(q.value(1).toInt());
    }
    return reachable;
}

TEST_F(DemoDataTest, UsersSignOnWithTheDocumentedPasswordsAndSeeTheirMenus)
{
    const struct {
        const char* name;
        const char* password;
    } users[] = {{"Administrador", "1234"}, {"ADMIN", "admin"}, {"cajero", "0000"}};
    for (const auto& u : users)
        EXPECT_EQ(db->scalar("SELECT TRIM(CLAVE) FROM USUARIOS WHERE NOMBRE = :N", {{"N", u.name}}).toString(),
                  QString(u.password))
            << u.name;

    for (int p = 1; p <= 13; ++p)
        EXPECT_TRUE(reachablePrograms(*db, "Administrador").contains(p)) << p;
    const QSet<int> cashier = reachablePrograms(*db, "cajero");
    EXPECT_TRUE(cashier.contains(10));
    EXPECT_TRUE(cashier.contains(9));
    EXPECT_FALSE(cashier.contains(2));   // Cajeros, under a hidden group
    EXPECT_FALSE(cashier.contains(12));  // accounting posting
}

TEST_F(DemoDataTest, SaleLinesArePricedAsTheSaleScreensPriceThem)
{
    QSqlQuery q = db->exec(
        "SELECT L.PRECIOUNIDAD, L.CANTIDAD, L.SUBTOTAL, L.IVA, L.VALORIVA, P.PRECIOMASIVA, L.IPOCONSUMO, L.VALORIPOCONSUMO "
        "FROM POSMOVIMIENTODETALLE L JOIN PRODUCTOS P ON P.PRODUCTO = L.PRODUCTO");
    int lines = 0;
    while (q.next()) {
        ++lines;
        const double price = q.value(0).toDouble(), qty = q.value(1).toDouble(), subtotal = q.value(2).toDouble();
        const double rate = q.value(3).toDouble(), valorIva = q.value(4).toDouble();
        const double ipo = q.value(6).toDouble(), valorIpo = q.value(7).toDouble();
        const double gross = R(price * qty * 100) / 100;
        // An IVA the price leaves out is charged on top; an IVA or Ipoconsumo inside stays inside.
        const bool added = rate > 0 && q.value(5).toString().trimmed() == "N";
        ASSERT_DOUBLE_EQ(subtotal, added ? gross + R(gross * rate / 100) : gross) << "price " << price << " rate " << rate;
        // Each tax is its base times its rate, within the rounding of the base to whole pesos.
        const double base = subtotal - valorIva - valorIpo;
        ASSERT_LE(std::abs(base * rate / 100 - valorIva), 0.5 * (1 + rate / 100)) << "price " << price << " rate " << rate;
        ASSERT_LE(std::abs(base * ipo / 100 - valorIpo), 0.5 * (1 + ipo / 100)) << "price " << price << " ipo " << ipo;
    }
    EXPECT_GT(lines, 100);
    // Documents waiting for the collecting register: open, at the seller's register.
    EXPECT_GT(count(*db, "SELECT COUNT(*) FROM POSMOVIMIENTO WHERE STATUS IS NULL AND CAJA = 2"), 0);
}

TEST(DemoAccountingTest, HasTheCounterCustomerAndSomeThirdParties)
{
    QTemporaryDir dir;
    Connection c("TavroNi");
    c.setLocation(kvtest::freshAccountingDatabase(dir.path(), kvtest::Seed::Demo));
    c.open();
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM TERCEROS WHERE NIT = 222222222"), 1);
    EXPECT_GE(count(c, "SELECT COUNT(*) FROM TERCEROS"), 5);
}

TEST(DemoInstallationTest, WritesTheLocationFileAndKeepsExistingDatabases)
{
    QTemporaryDir dir;
    const QString location = createDemoInstallation(dir.filePath("demo"));
    QFile f(location);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QTextStream(&f).readAll().split('\n');
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[4], QDir(dir.filePath("demo")).filePath("tavro.fdb"));
    EXPECT_EQ(lines[6], QDir(dir.filePath("demo")).filePath("korvela.fdb"));
    {
        Connection pos("Korvela");
        pos.setLocation(lines[6]);
        pos.exec("UPDATE REGISTRO SET NOMBRE = 'TIENDA CAMBIADA'");
        Connection tavro("TavroNi");
        tavro.setLocation(lines[4]);
        EXPECT_GT(count(tavro, "SELECT COUNT(*) FROM TERCEROS"), 0);
    }
    // A second run finds the databases and leaves them as they are.
    EXPECT_EQ(createDemoInstallation(dir.filePath("demo")), location);
    Connection pos("Korvela");
    pos.setLocation(lines[6]);
    EXPECT_EQ(pos.scalar("SELECT TRIM(NOMBRE) FROM REGISTRO").toString(), "TIENDA CAMBIADA");
}

TEST(BenchDataTest, GeneratesOnTopOfTheDemoAndCanRunAgain)
{
    QTemporaryDir dir;
    Connection c("Korvela");
    c.setLocation(kvtest::freshPosDatabase(dir.path()));  // schema only: the demo comes first
    c.open();
    BenchDataOptions o;
    o.products = 60;
    o.customers = 25;
    o.days = 3;
    o.salesPerDay = 7;
    o.linesPerSale = 2;
    o.ordersPerDay = 5;
    o.linesPerOrder = 2;
    generateBenchData(c, o);
    const int products = count(c, "SELECT COUNT(*) FROM PRODUCTOS");
    const int customers = count(c, "SELECT COUNT(*) FROM PROVEEDORES");
    const int sales = count(c, "SELECT COUNT(*) FROM POSMOVIMIENTO");
    const int orders = count(c, "SELECT COUNT(*) FROM POSREMISIONES");
    EXPECT_EQ(orders, 3 * 5);
    EXPECT_GT(count(c, "SELECT COUNT(*) FROM POSCAJEROS"), 0);

    generateBenchData(c, o);  // new numbers, NITs and documents: nothing collides
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM PRODUCTOS"), products + 60);
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM PROVEEDORES"), customers + 25);
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM POSMOVIMIENTO"), sales + 3 * 7);
    EXPECT_EQ(count(c, "SELECT COUNT(*) FROM POSREMISIONES"), orders + 3 * 5);
    for (const auto& check : kMustBeEmpty)
        EXPECT_EQ(count(c, check.sql), 0) << check.what;
    QSqlQuery q = c.exec("SELECT TRIM(CODIGOBARRAS) FROM PRODUCTOS WHERE PRODUCTO > 10000");
    while (q.next())
        ASSERT_TRUE(validEan(q.value(0).toString())) << q.value(0).toString().toStdString();
}

}  // namespace
