#include "data/DemoData.h"

#include "common/Nit.h"
#include "common/Numbers.h"
#include "data/BenchData.h"
#include "data/BulkInsert.h"
#include "data/DatabaseCreate.h"
#include "data/Installation.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <vector>

namespace kv {

QString withEanCheckDigit(const QString& digits)
{
    // Weights 3 and 1 alternate from the rightmost digit of the number without its check digit.
    int sum = 0;
    int weight = 3;
    for (int i = int(digits.size()) - 1; i >= 0; --i) {
        sum += digits[i].digitValue() * weight;
        weight = weight == 3 ? 1 : 3;
    }
    return digits + QString::number((10 - sum % 10) % 10);
}

namespace {

QVariant null() { return QVariant(); }
QDateTime at(const QDate& d, int h = 0, int m = 0) { return QDateTime(d, QTime(h, m)); }
QString dv(qint64 nit) { return QString::number(nitCheckDigit(nit)); }
// Prices end in round fifties, as shops mark them.
double round50(double x) { return R(x / 50.0) * 50.0; }

// ---- the business ---------------------------------------------------------------------------

const qint64 kBusinessNit = 900456789;
const char* const kBusinessAddress = "CALLE 12 # 4-35";
const char* const kBusinessName = "MINIMERCADO Y RESTAURANTE LA CANDELARIA";
const double kCounterCustomer = 222222222;

// The register staff: one cashier of each level, with the printing, payment and price privileges
// varied, and the restaurant's waiters. Each is also a third party, so that a receipt, which
// prints the seller of the sale from the third parties, names the cashier or waiter who sold.
struct Cashier {
    double cedula;
    const char* name;
    const char* role;
    const char* clave;
    const char* nivel;
    double caja;
    const char* imprimir;
    const char* cobra;
    const char* cambiaPrecio;
};
const Cashier kCashiers[] = {
    {1, "LAURA MARCELA GOMEZ", "VENDEDOR", "1111", "V", 1, "F", "S", "N"},
    {2, "JORGE ENRIQUE RUIZ", "CAJERO", "2222", "C", 2, "F", "S", "N"},
    {3, "SANDRA MILENA PARRA", "REGISTRADORA", "3333", "R", 2, "F", "S", "N"},
    {4, "CARLOS ANDRES MEJIA", "SUPERVISOR", "4444", "S", 1, "F", "S", "S"},
    {5, "MARTHA LUCIA CASTRO", "JEFE", "Jefe55", "J", 1, "F", "S", "S"},
    {6, "WILSON FERNEY ROJAS", "AMBULANTE", "6666", "8", 4, "R", "N", "N"},
    {7, "DIANA PATRICIA LOPEZ", "HOTEL", "7777", "1", 1, "N", "S", "S"},
    {8, "ANDREA CAROLINA DIAZ", "RESTAURANTE", "8888", "2", 3, "F", "S", "N"},
    {9, "PEDRO PABLO SUAREZ", "VENDEDOR DE PISO", "9999", "V", 2, "R", "N", "N"},
};
struct Waiter {
    double cedula;
    const char* name;
};
const Waiter kWaiters[] = {{1015420331, "JUAN DAVID MORALES"},
                           {1032456789, "NATALIA ANDREA VARGAS"},
                           {80765432, "LUIS ALBERTO CARDENAS"},
                           {1019087654, "KAREN JULIETH OSPINA"}};

void seedBusiness(Connection& c, const QDate& today)
{
    BulkInsert reg(c, "REGISTRO", {"NOMBRE", "NIT", "DIRECCION", "TELEFONOS", "EMAIL", "LOGO"});
    reg.add({kBusinessName, double(kBusinessNit), QStringLiteral("%1 LA CANDELARIA").arg(QLatin1String(kBusinessAddress)), "601 3345678 - 310 5551234",
             "ventas@lacandelaria.com.co", null()});

    const QString nitText = QStringLiteral("%1-%2").arg(kBusinessNit).arg(nitCheckDigit(kBusinessNit));
    BulkInsert emp(c, "EMPRESAS", {"EMPRESA", "NOMBRE", "CSCORDEN", "NIT", "TELEFONOS", "CIUDAD", "FECHACORTE", "IVA",
                                   "VIGENCIA", "FECHAINICIAL", "FECHAFINAL", "EMPRESACONTABILIZA"});
    const QDate jan1(today.year(), 1, 1);
    emp.add({"01", "LA CANDELARIA SAS", 0, nitText, "601 3345678", "BOGOTA D.C.", at(jan1.addDays(-1)), 1,
             today.year(), at(jan1), at(QDate(today.year(), 12, 31)), "01"});

    BulkInsert bod(c, "BODEGAS", {"BODEGA", "NOMBRE"});
    bod.add({1, "TIENDA - PUNTO DE VENTA"});
    bod.add({2, "RESTAURANTE"});
    bod.add({3, "BODEGA CENTRAL"});

    BulkInsert cc(c, "CENTROCOSTOS", {"CENTROCOSTO", "NOMBRE", "AREA", "EMPRESA"});
    cc.add({"01", "LA CANDELARIA SAS", "GEN", "01"});
    cc.add({"POS", "PUNTO DE VENTA TIENDA", "VEN", "01"});
    cc.add({"REST", "RESTAURANTE", "VEN", "01"});
    cc.add({"ADM", "ADMINISTRACION", "ADM", "01"});

    // Document types. The sign-on offers only the codes that begin with "P"; the others belong
    // to the inventory product and show that the filter works.
    const QString resolutionFrom = at(today.addMonths(-8)).toString(QStringLiteral("yyyy-MM-dd"));
    auto resolution = [&](const char* number, const char* prefix) {
        return QStringLiteral("Resolucion DIAN No. %1 del %2, vigencia 24 meses. Autoriza la numeracion %3 del 1 al "
                              "100000 para facturas de venta POS. Regimen comun - responsables de IVA.")
            .arg(QLatin1String(number), resolutionFrom, QLatin1String(prefix));
    };
    BulkInsert doc(c, "DOCUMENTOS", {"DOCUMENTO", "NOMBRE", "OPERADOR", "CONSECUTIVO", "CENTROCOSTOS", "ORDENCOMPRA",
                                     "SUBPRODUCTO", "ENTRA", "CUENTAS", "CONTROLASALDO", "PONDERADOR",
                                     "CUENTACONTABLEI", "CUENTACONTABLEC", "CUENTACONTABLEV", "CUENTACONTABLEIVAC",
                                     "CUENTACONTABLECE", "DOCUMENTOCR", "INFORME", "DOCUMENTOLEGALIZACION", "MONEDA",
                                     "PREFIJO", "RESOLUCIONFACTURACION"});
    doc.add({"POS", "FACTURA POS TIENDA", "-", 0, "N", "N", "N", "N", "S", "N", -1.0, "14350101", "14350101",
             "41352501", "24080219", "61350101", null(), 1, null(), "1", "TDA", resolution("18764000001234", "TDA")});
    doc.add({"PRS", "FACTURA POS RESTAURANTE", "-", 0, "N", "N", "N", "N", "S", "N", -1.0, "14350101", "14350101",
             "41401001", "24080219", "61400101", null(), 1, null(), "1", "RST", resolution("18764000005678", "RST")});
    doc.add({"PED", "PEDIDOS Y COTIZACIONES", "N", 0, "N", "N", "N", "N", "N", "N", 0.0, null(), null(), null(), null(),
             null(), null(), 2, null(), "1", "PED", null()});
    doc.add({"FV", "FACTURA DE VENTA", "-", 0, "S", "N", "N", "N", "S", "S", -1.0, "14350101", "14350101", "41352501",
             "24080219", "61350101", "DV", 3, null(), "1", "FV", null()});
    doc.add({"DV", "DEVOLUCION EN VENTAS", "+", 0, "S", "N", "N", "S", "S", "N", 1.0, "14350101", "14350101",
             "41750101", "24080219", "61350101", "FV", 3, null(), "1", "DV", null()});
    doc.add({"EA", "ENTRADA DE ALMACEN", "+", 0, "S", "S", "N", "S", "S", "N", 1.0, "14350101", "22050101", null(),
             "24080219", null(), null(), 4, null(), "1", "EA", null()});
    doc.add({"OC", "ORDEN DE COMPRA", "N", 3, "N", "S", "N", "N", "N", "N", 0.0, null(), null(), null(), null(), null(),
             null(), 5, "EA", "1", "OC", null()});

    // One parameter row per series: the shop's registers sell under row 1, the restaurant's under 2.
    BulkInsert esq(c, "POSESQUEMA", {"LLAVE", "SUCURSAL", "DOCUMENTO", "EMPRESA"});
    esq.add({1, 1, "POS", "01"});
    esq.add({2, 2, "PRS", "01"});

    BulkInsert cajas(c, "POSCAJAS", {"CAJA", "NOMBRE", "EMPRESA"});
    cajas.add({1.0, "CAJA 1 TIENDA", 1});
    cajas.add({2.0, "CAJA 2 TIENDA - COBRO", 1});
    cajas.add({3.0, "CAJA RESTAURANTE", 2});
    cajas.add({4.0, "VENTA AMBULANTE", 1});

    BulkInsert caj(c, "POSCAJEROS", {"CEDULA", "NOMBRE", "CLAVE", "NIVEL", "CAJA", "IMPRIMIR", "COBRA", "CAMBIAPRECIO"});
    for (const Cashier& k : kCashiers)
        caj.add({k.cedula, QStringLiteral("%1 (%2)").arg(QLatin1String(k.name), QLatin1String(k.role)), k.clave, k.nivel,
                 k.caja, k.imprimir, k.cobra, k.cambiaPrecio});

    BulkInsert mon(c, "MONEDA", {"CODIGOMONEDA", "DESCRIPCION"});
    mon.add({"1", "PESO COLOMBIANO"});
    mon.add({"USD", "DOLAR ESTADOUNIDENSE"});
    mon.add({"EUR", "EURO"});

    // A rate for every day from a month back to a year ahead, so that "today" finds its row
    // whenever the demo is used. VALOR is the official rate (pesos for one unit) and TASACAMBIO
    // the rate the shop takes the currency at, a little lower.
    BulkInsert tasa(c, "TASACAMBIO", {"CODIGOMONEDA", "FECHA", "VALOR", "TASACAMBIO"});
    for (int d = -30; d <= 365; ++d) {
        const QDate day = today.addDays(d);
        const double wave = double((d * 37) % 23 - 11);  // a small daily movement
        const double usd = 3950.0 + wave * 4.5;
        const double eur = 4280.0 + wave * 5.0;
        tasa.add({"1", at(day), 1.0, 1.0});
        tasa.add({"USD", at(day), usd, round50(usd - 100)});
        tasa.add({"EUR", at(day), eur, round50(eur - 120)});
    }

    BulkInsert top(c, "POSLINEATOP", {"LINEA", "DETALLE", "TIPO"});
    const char* topLines[] = {"LA CANDELARIA SAS",
                              "NIT 900.456.789-" "%DV%",
                              "REGIMEN COMUN - RESPONSABLE DE IVA",
                              "CALLE 12 # 4-35 BOGOTA D.C.",
                              "TEL. 601 334 5678 - 310 555 1234",
                              "RESOLUCION DIAN 18764000001234",
                              "RANGO TDA 1 AL 100000 - VIGENCIA 24 MESES",
                              "FACTURA DE VENTA POS"};
    for (int i = 0; i < 8; ++i)
        top.add({i + 1, QString::fromLatin1(topLines[i]).replace("%DV%", dv(kBusinessNit)), i == 6 ? "I" : "C"});
    BulkInsert bottom(c, "POSLINEABOTTOM", {"LINEA", "DETALLE", "TIPO"});
    const char* bottomLines[] = {"GRACIAS POR SU COMPRA",
                                 "CONSERVE SU FACTURA PARA CAMBIOS",
                                 "CAMBIOS DENTRO DE LOS 30 DIAS SIGUIENTES",
                                 "CON FACTURA Y EMPAQUE ORIGINAL",
                                 "LA PROPINA ES VOLUNTARIA",
                                 "DOMICILIOS: 310 555 1234",
                                 "www.lacandelaria.com.co",
                                 "ELABORADO POR KORVELAPOS"};
    for (int i = 0; i < 8; ++i)
        bottom.add({i + 1, bottomLines[i], i == 6 ? "D" : "C"});

    // Restaurant: two areas, and the waiters. The screen lists an area's tables in the order of
    // their text, so the salon's are numbered with two digits: 01, 02, ... 10.
    BulkInsert mesas(c, "MESAS", {"ESPACIO", "NUMERO", "PEDIDO"});
    for (int i = 1; i <= 10; ++i)
        mesas.add({"SALON PRINCIPAL", QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), 0});
    for (int i = 1; i <= 6; ++i)
        mesas.add({"TERRAZA", QStringLiteral("T%1").arg(i), 0});
    BulkInsert meseros(c, "MESERO", {"CEDULA", "NOMBRE"});
    for (const Waiter& w : kWaiters)
        meseros.add({w.cedula, w.name});

    BulkInsert cuentas(c, "CUENTASTAVRO", {"VENTASCONTADO", "VENTASCREDITO", "VENTASCHEQUE", "VENTASTDEBITO",
                                           "IPOCONSUMO", "PROPINA", "DESCUENTO", "EMPRESA"});
    cuentas.add({"11050501", "13050501", "11050502", "11100501", "24950101", "28150501", "53053501", "01"});
}

// ---- catalogue ------------------------------------------------------------------------------

struct Group {
    const char* code;
    const char* name;
};
const Group kGroups[] = {{"01", "ABARROTES"},        {"02", "LACTEOS Y HUEVOS"},     {"03", "BEBIDAS"},
                         {"04", "ASEO Y HOGAR"},     {"05", "CUIDADO PERSONAL"},     {"06", "FRUTAS Y VERDURAS"},
                         {"07", "CARNES Y CHARCUTERIA"}, {"08", "PANADERIA Y PASABOCAS"}, {"09", "LICORES"},
                         {kRestaurantGroup, "RESTAURANTE"}};

struct Subgroup {
    int code;
    const char* name;
};
const Subgroup kSubgroups[] = {
    {101, "GRANOS"},           {102, "ACEITES Y GRASAS"},   {103, "ENLATADOS"},       {104, "HARINAS Y PASTAS"},
    {105, "CAFE, AZUCAR Y SAL"}, {106, "ANCHETAS"},         {201, "LECHES Y BEBIDAS LACTEAS"}, {202, "QUESOS Y MANTEQUILLAS"},
    {203, "HUEVOS"},           {301, "GASEOSAS"},           {302, "JUGOS E HIDRATANTES"}, {303, "AGUAS"},
    {401, "DETERGENTES Y LIMPIEZA"}, {402, "PAPELES"},       {403, "DESECHABLES"},     {501, "CUIDADO PERSONAL"},
    {601, "FRUTAS"},           {602, "VERDURAS"},           {701, "CARNES FRIAS"},    {702, "CARNES Y POLLO"},
    {801, "PANADERIA"},        {802, "PASABOCAS Y DULCES"}, {901, "CERVEZAS"},        {902, "LICORES Y VINOS"},
    {11, "DESAYUNOS"},         {12, "ALMUERZOS"},           {13, "PLATOS A LA CARTA"}, {14, "BEBIDAS PREPARADAS"},
    {15, "POSTRES"}};
// The restaurant's sections are numbered below the shop's: its item picker opens on the subgroup of
// the lowest number.
bool isRestaurantSubgroup(int code) { return code < 100; }

// A catalogue line: sizes are "size:price" pairs separated by "|" (an empty size adds nothing to
// the name); each pair becomes one product. A packing (DO, CJ, SX, PQ, CU) applies to the first size.
struct Item {
    const char* group;
    int subgroup;
    const char* name;
    const char* sizes;
    int iva;
    bool priceIncludesIva;
    const char* pack = nullptr;
    int packQty = 0;
};

const Item kItems[] = {
    {"01", 101, "ARROZ BLANCO LA ESPIGA", "500G:2400|1KG:4600|5KG:22500", 0, false, "PQ", 25},
    {"01", 101, "FRIJOL CARGAMANTO ROJO", "500G:6900|1KG:13200", 0, false},
    {"01", 101, "LENTEJA", "500G:3200|1KG:6000", 0, false},
    {"01", 101, "GARBANZO", "500G:4500", 0, false},
    {"01", 101, "ARVEJA SECA VERDE", "500G:3100", 0, false},
    {"01", 101, "MAIZ PIRA", "500G:2900", 0, false},
    {"01", 102, "ACEITE DE GIRASOL DON PACHO", "500ML:7900|1000ML:14500|3000ML:39900", 5, true, "CJ", 12},
    {"01", 102, "ACEITE DE SOYA", "1000ML:11900", 5, true},
    {"01", 102, "MANTECA VEGETAL", "500G:6200", 19, true},
    {"01", 103, "ATUN EN AGUA EL MARINO", "160G:5900", 19, true, "PQ", 3},
    {"01", 103, "SARDINAS EN SALSA DE TOMATE", "425G:6800", 19, true},
    {"01", 103, "SALCHICHAS EN LATA", "150G:4200", 19, true},
    {"01", 103, "MAIZ TIERNO EN LATA", "300G:4900", 19, true},
    {"01", 103, "PASTA DE TOMATE", "200G:2800", 19, true},
    {"01", 103, "SALSA DE TOMATE", "400G:5900", 19, true},
    {"01", 103, "MAYONESA", "200G:4900|400G:8900", 19, true},
    {"01", 104, "HARINA DE TRIGO", "500G:2600|1KG:4900", 5, true},
    {"01", 104, "HARINA PRECOCIDA DE MAIZ", "1KG:4700", 5, true},
    {"01", 104, "PASTA SPAGHETTI LA ESPIGA", "250G:2100|500G:3900", 5, true, "PQ", 12},
    {"01", 104, "PASTA CONCHITAS", "250G:2100", 5, true},
    {"01", 104, "AVENA EN HOJUELAS", "400G:4300", 5, true},
    {"01", 104, "PANELA", "500G:2900|1KG:5500", 0, false, "PQ", 4},
    {"01", 105, "CAFE MOLIDO DON PACHO", "250G:8900|500G:16900", 5, true},
    {"01", 105, "CAFE INSTANTANEO", "50G:7800", 5, true},
    {"01", 105, "CHOCOLATE DE MESA", "250G:5600|500G:10800", 5, true},
    {"01", 105, "AZUCAR BLANCA", "500G:2400|1KG:4500|2.5KG:10900", 5, true},
    {"01", 105, "SAL REFINADA YODADA", "500G:1300|1KG:2400", 0, false},
    {"01", 106, "ANCHETA FAMILIAR", ":89900", 19, true},
    {"02", 201, "LECHE ENTERA BOLSA", "1100ML:4200", 0, false, "PQ", 6},
    {"02", 201, "LECHE ENTERA UHT", "1L:4800", 0, false, "SX", 6},
    {"02", 201, "LECHE DESLACTOSADA UHT", "1L:5200", 0, false, "SX", 6},
    {"02", 201, "LECHE EN POLVO", "380G:14900", 0, false},
    {"02", 201, "KUMIS", "1L:6900", 19, true},
    {"02", 201, "YOGURT DE FRESA", "200G:2400|1L:8900", 19, true, "PQ", 6},
    {"02", 201, "AVENA LIQUIDA", "200ML:2000", 19, true, "PQ", 6},
    {"02", 202, "QUESO CAMPESINO", "250G:5900|500G:11500", 0, false},
    {"02", 202, "QUESO DOBLE CREMA", "250G:7200", 0, false},
    {"02", 202, "MANTEQUILLA", "125G:5400", 19, true},
    {"02", 202, "CREMA DE LECHE", "200ML:4300", 19, true},
    {"02", 202, "AREQUIPE", "250G:5200", 19, true},
    {"02", 203, "HUEVO AA ROJO", ":650", 0, false, "CU", 30},
    {"02", 203, "HUEVO A BLANCO", ":550", 0, false, "DO", 12},
    {"03", 301, "GASEOSA COLA", "400ML:2500|1.5L:5200|3L:8200", 19, true, "CJ", 24},
    {"03", 301, "GASEOSA NARANJA", "400ML:2300|1.5L:4900", 19, true, "CJ", 24},
    {"03", 301, "GASEOSA LIMON", "400ML:2300|1.5L:4900", 19, true, "CJ", 24},
    {"03", 301, "GASEOSA MANZANA", "400ML:2300|2.5L:6900", 19, true},
    {"03", 302, "JUGO DE NARANJA", "1L:6500", 19, true},
    {"03", 302, "JUGO DE MORA CAJITA", "200ML:1700", 19, true, "CJ", 24},
    {"03", 302, "TE HELADO DE LIMON", "500ML:3200", 19, true},
    {"03", 302, "BEBIDA HIDRATANTE", "500ML:3900", 19, true, "SX", 6},
    {"03", 302, "BEBIDA ENERGIZANTE", "250ML:4500", 19, true},
    {"03", 303, "AGUA CRISTALINA", "600ML:1800|5L:7500", 19, true, "CJ", 24},
    {"03", 303, "AGUA CON GAS", "600ML:2200", 19, true},
    {"04", 401, "DETERGENTE EN POLVO", "500G:6900|1KG:12900|3KG:34900", 19, true},
    {"04", 401, "JABON EN BARRA AZUL", "300G:3900", 19, true, "PQ", 3},
    {"04", 401, "LAVALOZA EN CREMA", "450G:5900", 19, true},
    {"04", 401, "SUAVIZANTE DE ROPA", "1L:9900", 19, false},
    {"04", 401, "BLANQUEADOR", "1L:4200|2L:7600", 19, false},
    {"04", 401, "LIMPIAPISOS LAVANDA", "1L:5900", 19, false},
    {"04", 401, "ESPONJA LAVAPLATOS", ":1500", 19, true, "PQ", 3},
    {"04", 402, "PAPEL HIGIENICO DOBLE HOJA", "4 ROLLOS:7900|12 ROLLOS:21900", 19, true},
    {"04", 402, "TOALLA DE COCINA", "1 ROLLO:3800", 19, true},
    {"04", 402, "SERVILLETAS", "100 UND:2600", 19, true},
    {"04", 403, "BOLSA PARA BASURA", "10 UND:4500", 19, true},
    {"04", 403, "VASOS DESECHABLES", "25 UND:3200", 19, true},
    {"04", 403, "FOSFOROS", ":400", 19, true, "PQ", 10},
    {"04", 403, "VELAS BLANCAS", ":700", 19, true, "PQ", 10},
    {"05", 501, "JABON DE TOCADOR", "125G:3200", 19, true, "PQ", 3},
    {"05", 501, "CREMA DENTAL", "100ML:6900", 19, true},
    {"05", 501, "CEPILLO DENTAL", ":4500", 19, true},
    {"05", 501, "CHAMPU", "400ML:14900", 19, true},
    {"05", 501, "DESODORANTE ROLL ON", "50ML:11900", 19, true},
    {"05", 501, "TOALLAS HIGIENICAS", "10 UND:5900", 19, true},
    {"05", 501, "PANALES ETAPA 3", "30 UND:39900", 19, false},
    {"05", 501, "MAQUINA DE AFEITAR", ":1900", 19, true, "PQ", 5},
    {"05", 501, "ALCOHOL ANTISEPTICO", "350ML:6500", 19, true},
    {"06", 601, "BANANO", "KG:3200", 0, false},
    {"06", 601, "MANZANA ROJA", "KG:9800", 0, false},
    {"06", 601, "NARANJA VALENCIA", "KG:3600", 0, false},
    {"06", 601, "LIMON TAHITI", "KG:4200", 0, false},
    {"06", 601, "MANGO TOMMY", "KG:6400", 0, false},
    {"06", 601, "PAPAYA", "KG:3900", 0, false},
    {"06", 601, "GUAYABA", "KG:4500", 0, false},
    {"06", 601, "MORA DE CASTILLA", "KG:8200", 0, false},
    {"06", 601, "TOMATE DE ARBOL", "KG:5200", 0, false},
    {"06", 601, "LULO", "KG:7600", 0, false},
    {"06", 601, "MARACUYA", "KG:6900", 0, false},
    {"06", 601, "AGUACATE HASS", "KG:9900", 0, false},
    {"06", 602, "PAPA PASTUSA", "KG:2600", 0, false},
    {"06", 602, "PAPA CRIOLLA", "KG:4800", 0, false},
    {"06", 602, "CEBOLLA CABEZONA", "KG:3400", 0, false},
    {"06", 602, "CEBOLLA LARGA", "KG:3900", 0, false},
    {"06", 602, "TOMATE CHONTO", "KG:4400", 0, false},
    {"06", 602, "ZANAHORIA", "KG:2800", 0, false},
    {"06", 602, "PLATANO HARTON", ":1200", 0, false},
    {"06", 602, "YUCA", "KG:2900", 0, false},
    {"06", 602, "CILANTRO", "ATADO:1000", 0, false},
    {"06", 602, "LECHUGA BATAVIA", ":2500", 0, false},
    {"06", 602, "PIMENTON", "KG:6800", 0, false},
    {"07", 701, "SALCHICHA TIPO PERRO", "250G:5900", 5, true},
    {"07", 701, "JAMON DE CERDO", "250G:7900", 5, true},
    {"07", 701, "MORTADELA", "250G:4900", 5, true},
    {"07", 701, "CHORIZO ANTIOQUENO", "500G:11900", 5, true},
    {"07", 701, "SALCHICHON CERVECERO", "250G:4600", 5, true},
    {"07", 702, "CARNE MOLIDA DE RES", "KG:26900", 0, false},
    {"07", 702, "PECHUGA DE POLLO", "KG:19900", 0, false},
    {"07", 702, "MUSLOS DE POLLO", "KG:13900", 0, false},
    {"07", 702, "COSTILLA DE CERDO", "KG:18900", 0, false},
    {"07", 702, "CHULETA DE CERDO", "KG:21900", 0, false},
    {"08", 801, "PAN TAJADO BLANCO", "500G:5900", 0, false},
    {"08", 801, "PAN AJONJOLI", ":600", 0, false, "DO", 12},
    {"08", 801, "PAN DE BONO", ":1500", 0, false, "DO", 12},
    {"08", 801, "ALMOJABANA", ":1500", 0, false, "DO", 12},
    {"08", 801, "AREPA DE MAIZ BLANCO", "5 UND:3500", 0, false},
    {"08", 801, "TOSTADAS", "10 UND:3900", 5, true},
    {"08", 802, "PAPAS FRITAS LIMON", "45G:2300|115G:5200", 19, true, "PQ", 12},
    {"08", 802, "PASABOCAS DE QUESO", "45G:1900", 19, true, "PQ", 12},
    {"08", 802, "MANI SALADO", "50G:2200", 19, true},
    {"08", 802, "PLATANITOS VERDES", "45G:2100", 19, true},
    {"08", 802, "GALLETAS DE SODA", "9 UND:4200", 19, true},
    {"08", 802, "GALLETAS DE CHOCOLATE", "6 UND:3800", 19, true},
    {"08", 802, "BARRA DE CHOCOLATE", "40G:2600", 19, true},
    {"08", 802, "CHICLES DE MENTA", ":200", 19, true, "CJ", 100},
    {"08", 802, "BOMBON DE FRESA", ":300", 19, true, "PQ", 24},
    {"08", 802, "CHOCOLATINA", "12G:800", 19, true, "PQ", 12},
    {"09", 901, "CERVEZA RUBIA LATA", "330ML:3200", 19, true, "SX", 6},
    {"09", 901, "CERVEZA RUBIA BOTELLA", "330ML:3000", 19, true, "CJ", 30},
    {"09", 901, "CERVEZA NEGRA BOTELLA", "330ML:3500", 19, true, "SX", 6},
    {"09", 902, "AGUARDIENTE ANISADO", "375ML:22900|750ML:42900", 19, false},
    {"09", 902, "RON AÑEJO 5 AÑOS", "375ML:26900|750ML:49900", 19, false},
    {"09", 902, "VINO TINTO", "750ML:29900", 19, false},
    {"09", 902, "VINO BLANCO", "750ML:29900", 19, false},
    {"09", 902, "WHISKY 12 AÑOS", "750ML:119900", 19, false},
};

// Restaurant dishes: no IVA but the consumption tax of 8 %, prices as served.
struct Dish {
    int subgroup;
    const char* name;
    double price;
};
const Dish kDishes[] = {
    {11, "DESAYUNO CALENTADO PAISA", 16900},  {11, "HUEVOS PERICOS CON AREPA", 12900},
    {11, "CHANGUA CON CALADO", 11900},        {11, "TAMAL TOLIMENSE", 14900},
    {11, "CALDO DE COSTILLA", 11500},         {12, "ALMUERZO CORRIENTE", 18000},
    {12, "BANDEJA PAISA", 32900},             {12, "AJIACO SANTAFEREÑO", 26900},
    {12, "SANCOCHO DE GALLINA", 27900},       {12, "SOPA DEL DIA", 8000},
    {12, "MENU INFANTIL", 15900},             {12, "MENU EJECUTIVO", 29900},
    {13, "CHURRASCO 300 G", 39900},           {13, "PECHUGA A LA PLANCHA", 28900},
    {13, "MOJARRA FRITA", 34900},             {13, "SOBREBARRIGA EN SALSA CRIOLLA", 31900},
    {13, "ARROZ CON POLLO", 23900},           {13, "HAMBURGUESA DE LA CASA", 24900},
    {13, "SALCHIPAPA", 14900},                {13, "EMPANADA DE CARNE", 2500},
    {13, "PATACON CON HOGAO", 9900},          {14, "JUGO NATURAL EN AGUA", 6500},
    {14, "JUGO NATURAL EN LECHE", 7500},      {14, "LIMONADA DE COCO", 9900},
    {14, "LIMONADA NATURAL", 5900},           {14, "CAFE TINTO", 2000},
    {14, "CAFE CON LECHE", 3500},             {14, "CHOCOLATE CON QUESO", 7900},
    {14, "AGUA DE PANELA CON LIMON", 4000},   {15, "POSTRE DE NATAS", 8900},
    {15, "ARROZ CON LECHE", 6900},            {15, "TORTA TRES LECHES", 9900},
    {15, "BREVAS CON AREQUIPE", 8500},        {15, "OBLEA CON AREQUIPE", 5500},
};

// Suppliers: one per group of goods, also the last supplier of the group's products.
struct Supplier {
    qint64 nit;
    const char* name;
    const char* contact;
    const char* address;
    const char* phone;
    const char* city;
    const char* email;
    const char* groups;  // the product groups it supplies, as "01,02"
};
const Supplier kSuppliers[] = {
    {860512344, "DISTRIBUIDORA EL NEVADO SAS", "RICARDO PINZON", "CRA 68 # 13-45 BOD 4", "601 4123456", "BOGOTA D.C.",
     "pedidos@elnevado.com.co", "01"},
    {890903412, "LACTEOS SABANA SA", "GLORIA ESPERANZA TORRES", "KM 3 VIA CHIA - CAJICA", "601 8612345", "CHIA",
     "ventas@lacteossabana.com.co", "02"},
    {830045678, "EMBOTELLADORA ANDINA SAS", "FELIPE ARANGO", "AV BOYACA # 15-20", "601 4456789", "BOGOTA D.C.",
     "clientes@embandina.com.co", "03,09"},
    {900234567, "ASEO TOTAL DISTRIBUCIONES SAS", "MONICA ROA", "CALLE 19 # 68-12", "601 2901234", "BOGOTA D.C.",
     "info@aseototal.com.co", "04,05"},
    {800987654, "CENTRAL DE ABASTOS LOS ANDES LTDA", "HERNAN GIRALDO", "CORABASTOS BODEGA 12 LOCAL 40", "601 4530987",
     "BOGOTA D.C.", "fruver@losandes.com.co", "06,12"},
    {901123456, "CARNES Y EMBUTIDOS LA SABANA SAS", "OSCAR IVAN MUÑOZ", "CALLE 80 # 96-15", "601 4334455",
     "BOGOTA D.C.", "ventas@carneslasabana.com.co", "07"},
    {900876543, "PANIFICADORA SANTA FE SAS", "LUZ AMPARO RINCON", "CRA 30 # 8-76", "601 3718899", "BOGOTA D.C.",
     "pedidos@panificadorasantafe.com.co", "08"},
};

// Customers. The counter customer 222222222 takes every sale made without a name.
struct Person {
    qint64 cedula;
    const char* nombre1;
    const char* nombre2;
    const char* apellido1;
    const char* apellido2;
    const char* address;
    const char* phone;
    const char* city;
    const char* email;
    int birthYear, birthMonth, birthDay;
};
const Person kPersons[] = {
    {79456123, "JOSE", "GREGORIO", "HERNANDEZ", "PRIETO", "CALLE 10 # 3-21", "310 4567890", "BOGOTA D.C.",
     "jghernandez@correo.com", 1968, 3, 15},
    {52987654, "MARIA", "FERNANDA", "RODRIGUEZ", "SILVA", "CRA 5 # 11-40 APTO 302", "315 2233445", "BOGOTA D.C.",
     "mafe.rodriguez@correo.com", 1979, 7, 2},
    {1020304050, "SANTIAGO", "", "GARCIA", "BELTRAN", "CALLE 13 # 2-15", "300 1122334", "BOGOTA D.C.",
     "santigarcia@correo.com", 1995, 11, 28},
    {41678901, "ROSA", "ELENA", "MARTINEZ", "DE LEON", "CRA 4 # 12-08", "601 2841122", "BOGOTA D.C.", "", 1952, 1, 9},
    {80123456, "CAMILO", "ERNESTO", "LOPEZ", "GAITAN", "AV JIMENEZ # 4-51 OF 701", "311 9876543", "BOGOTA D.C.",
     "camilo.lopez@correo.com", 1983, 5, 20},
    {1015987321, "VALENTINA", "", "PEREZ", "OCAMPO", "CALLE 18 # 5-33", "318 5566778", "BOGOTA D.C.",
     "valeperez@correo.com", 2000, 9, 14},
    {19345678, "ALVARO", "", "GUTIERREZ", "NIÑO", "CRA 7 # 14-70", "601 3412233", "BOGOTA D.C.", "", 1948, 12, 3},
    {39765432, "CLAUDIA", "PATRICIA", "RAMIREZ", "TOVAR", "CALLE 9 # 1-80", "320 4455667", "CHIA",
     "clauramirez@correo.com", 1974, 4, 25},
    {1098765432, "ANDRES", "FELIPE", "MORENO", "RIVERA", "CRA 2 # 10-14", "312 7788990", "BOGOTA D.C.",
     "afmoreno@correo.com", 1992, 8, 8},
    {51234567, "BLANCA", "INES", "SANCHEZ", "CORTES", "CALLE 11 # 6-22", "601 2867788", "BOGOTA D.C.", "", 1960, 6, 30},
    {1001234567, "DANIEL", "ESTEBAN", "TORRES", "VILLAMIL", "CRA 3 # 15-09", "305 3344556", "SOACHA",
     "dtorres@correo.com", 1998, 2, 17},
    {35123987, "GLADYS", "", "CASTAÑEDA", "MURILLO", "CALLE 14 # 4-60", "601 3345566", "BOGOTA D.C.", "", 1966, 10, 11},
    {1030567890, "LAURA", "SOFIA", "JIMENEZ", "PARDO", "CRA 1 # 12-45", "316 2020202", "BOGOTA D.C.",
     "laurajimenez@correo.com", 1997, 12, 24},
    {79888777, "HECTOR", "FABIO", "OSORIO", "QUINTERO", "CALLE 16 # 3-30", "310 8080808", "MEDELLIN",
     "hfosorio@correo.com", 1971, 3, 3},
    {52333444, "PAOLA", "ANDREA", "NIETO", "BARRERA", "CRA 6 # 9-18", "313 6060606", "BOGOTA D.C.",
     "paonieto@correo.com", 1985, 1, 31},
};

struct Company {
    qint64 nit;
    const char* name;
    const char* contact;
    const char* address;
    const char* phone;
    const char* email;
    double credit;
};
const Company kCompanies[] = {
    {900345123, "CONSTRUCCIONES ANDINAS SAS", "ING. MAURICIO VEGA", "CALLE 26 # 13-19 PISO 4", "601 2123344",
     "compras@constructorasandinas.com.co", 2000000},
    {900654321, "HOTEL LOS CEDROS SAS", "ADRIANA MESA", "CRA 3 # 16-40", "601 2843030", "reservas@hotelloscedros.com.co",
     5000000},
    {901234765, "CLINICA DENTAL SONRISAS SAS", "DRA. LILIANA CRUZ", "CALLE 12B # 7-80 CONS 201", "601 3367788",
     "admin@clinicasonrisas.com.co", 1000000},
    {830111222, "ABOGADOS PEREZ & ASOCIADOS LTDA", "HUMBERTO PEREZ", "AV JIMENEZ # 8-74 OF 502", "601 2811919",
     "contacto@perezasociados.com.co", 1500000},
    {900777888, "TALLER AUTOMOTRIZ EL PISTON SAS", "JAIRO CARRILLO", "CALLE 6 # 24-11", "601 2478899",
     "elpiston@correo.com", 800000},
    {901555666, "JARDIN INFANTIL PEQUEÑOS GENIOS", "MARCELA ORTIZ", "CRA 8 # 18-25", "601 3425566",
     "jardin@pequenosgenios.edu.co", 3000000},
};

QString personName(const Person& p)
{
    QStringList parts;
    for (const char* s : {p.nombre1, p.nombre2, p.apellido1, p.apellido2})
        if (*s)
            parts << QString::fromUtf8(s);
    return parts.join(QLatin1Char(' '));
}

void seedCatalogue(Connection& c, const QDate& today)
{
    BulkInsert uni(c, "UNIDADES", {"UNIDAD", "NOMBRE"});
    const char* units[][2] = {{"UN", "UNIDAD"},     {"DO", "DOCENA"},      {"CJ", "CAJA"},   {"PQ", "PAQUETE"},
                              {"SX", "SIX PACK"},   {"CU", "CUBETA X 30"}, {"KG", "KILOGRAMO"}, {"LB", "LIBRA"},
                              {"LT", "LITRO"},      {"BT", "BOTELLA"},     {"PO", "PORCION"}};
    for (auto& u : units)
        uni.add({u[0], u[1]});

    BulkInsert conv(c, "UNIDADCONVERSION", {"CODIGOUNIDADRECIBIR", "CODIGOUNIDAD", "CANTIDAD", "OPERADOR"});
    conv.add({"DO", "UN", 12.0, "*"});
    conv.add({"CU", "UN", 30.0, "*"});
    conv.add({"SX", "UN", 6.0, "*"});
    conv.add({"KG", "LB", 2.0, "*"});
    conv.add({"LB", "KG", 2.0, "/"});

    BulkInsert grp(c, "GRUPOS", {"GRUPO", "NOMBRE"});
    for (const Group& g : kGroups)
        grp.add({g.code, g.name});
    BulkInsert sub(c, "SUBGRUPOS", {"SUBGRUPO", "NOMBRE", "CUENTA", "MODELO"});
    for (const Subgroup& s : kSubgroups)
        sub.add({s.code, QString::fromUtf8(s.name), isRestaurantSubgroup(s.code) ? "41401001" : "41352501", null()});

    QHash<QString, qint64> supplierOf;  // group -> supplier NIT
    for (const Supplier& s : kSuppliers)
        for (const QString& g : QString::fromLatin1(s.groups).split(QLatin1Char(',')))
            supplierOf.insert(g, s.nit);

    BulkInsert prod(c, "PRODUCTOS",
                    {"CODIGO", "GRUPO", "SUBGRUPO", "PRODUCTO", "REFERENCIA", "NOMBRE", "UNIDAD", "VALORUNIDAD",
                     "CANTIDADSTOK", "CANTIDADMINIMA", "CANTIDADMAXIMA", "PUNTOPEDIDO", "ULTIMOPROVEEDOR",
                     "VALORPROMEDIO", "VALORIVA", "CUENTACONTABLE", "CUENTACONTABLEC", "CUENTACONTABLEV",
                     "AJUSTAINFLACION", "CODIGOBARRAS", "PRECIOCOMPRA", "CUENTACONTABLEV1", "PRECIOMASIVA",
                     "IPOCONSUMO", "CUENTACONTABLEIVAC", "CUENTACONTABLEIVAV", "CUENTACONTABLECOSTO",
                     "CANTIDADEMPACADA", "UNIDADS"});
    BulkInsert prices(c, "PRODUCTOSVALORVENTA",
                      {"PRODUCTO", "UNIDAD", "CANTIDAD", "VALORVENTAMOSTRADOR", "VALORVENTAEMPRESA", "IND"});
    BulkInsert saldos(c, "SALDOS", {"EMPRESA", "PRODUCTO", "SALDO"});
    BulkInsert ccostos(c, "PRODUCTOSCCOSTOS", {"PRODUCTO", "CODIGOCOSTOS"});

    QHash<QString, int> numberOf;  // product name -> PRODUCTO, for the sets below
    quint32 state = 20240611;
    auto next = [&state](int n) {  // small deterministic generator: the demo is the same every time
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % quint32(n));
    };

    auto addProduct = [&](const QString& group, int subgroup, int number, const QString& name, double price, int iva,
                          bool includesIva, int ipoconsumo, const QString& unit, const char* pack, int packQty) {
        if (name.size() > 40)
            throw DbError(QStringLiteral("Nombre de producto demasiado largo: %1").arg(name));
        const bool dish = group == QLatin1String(kRestaurantGroup);
        const bool weighed = unit == QLatin1String("KG");
        // In-store codes (prefix 20) for goods weighed or made here; EAN-8 for small packaged
        // goods; the GS1 Colombia prefix 770 with a maker code for the rest.
        QString barcode;
        if (dish || weighed || group == QLatin1String("06"))
            barcode = withEanCheckDigit(QStringLiteral("20%1").arg(number, 5, 10, QLatin1Char('0')) + QStringLiteral("00000"));
        else if (price < 2000)
            barcode = withEanCheckDigit(QStringLiteral("770%1").arg(number, 4, 10, QLatin1Char('0')));
        else
            barcode = withEanCheckDigit(QStringLiteral("770%1%2").arg(1000 + group.toInt() * 37).arg(number, 5, 10, QLatin1Char('0')));
        const double cost = round50(price * (dish ? 0.38 : 0.74));
        const double stock = dish ? 40 + next(40) : 12 + next(230);
        const QString revenue = dish ? QStringLiteral("41401001")
                                     : iva == 19 ? QStringLiteral("41352501")
                                     : iva == 5  ? QStringLiteral("41352502")
                                                 : QStringLiteral("41352503");
        const QVariant ivaSales = iva == 19 ? QVariant("24080119") : iva == 5 ? QVariant("24080105") : null();
        const QVariant ivaPurchases = iva == 19 ? QVariant("24080219") : iva == 5 ? QVariant("24080205") : null();
        prod.add({QStringLiteral("%1%2").arg(group).arg(number, 5, 10, QLatin1Char('0')), group, subgroup, number,
                  QStringLiteral("REF-%1").arg(number, 5, 10, QLatin1Char('0')), name, unit, price, stock, 10.0,
                  300.0, 20.0, double(supplierOf.value(group)), cost, double(iva), revenue, "14350101", revenue, "N",
                  barcode, cost, revenue, includesIva ? "S" : "N", double(ipoconsumo), ivaPurchases, ivaSales,
                  dish ? "61400101" : "61350101", double(pack ? packQty : 1), unit});
        prices.add({number, "UN", 1.0, price, round50(price * 0.95), 0.0});
        if (pack)
            prices.add({number, pack, double(packQty), round50(price * packQty * 0.95), round50(price * packQty * 0.9), 0.0});
        if (weighed)
            prices.add({number, "LB", 0.5, round50(price / 2), round50(price * 0.95 / 2), 0.0});
        saldos.add({"01", number, stock});
        if (dish)
            ccostos.add({number, "REST"});
        numberOf.insert(name, number);
    };

    int number = 0;
    for (const Item& it : kItems) {
        const QStringList sizes = QString::fromUtf8(it.sizes).split(QLatin1Char('|'));
        for (int i = 0; i < sizes.size(); ++i) {
            const QString size = sizes[i].section(QLatin1Char(':'), 0, 0);
            const double price = sizes[i].section(QLatin1Char(':'), 1).toDouble();
            const QString name = size.isEmpty() ? QString::fromUtf8(it.name) : QString::fromUtf8(it.name) + QLatin1Char(' ') + size;
            const QString unit = size == QLatin1String("KG") ? QStringLiteral("KG") : QStringLiteral("UN");
            addProduct(QString::fromLatin1(it.group), it.subgroup, ++number, name, price, it.iva,
                       it.iva > 0 && it.priceIncludesIva, 0, unit, i == 0 ? it.pack : nullptr, it.packQty);
        }
    }
    number = 500;
    for (const Dish& d : kDishes)
        addProduct(QString::fromLatin1(kRestaurantGroup), d.subgroup, ++number, QString::fromUtf8(d.name), d.price, 0, false, 8,
                   QStringLiteral("UN"), nullptr, 0);

    // Products sold as a set of others.
    BulkInsert sets(c, "PRODUCTOSSUB", {"PRODUCTO", "SUBPRODUCTO", "CANTIDAD", "NOMBRE"});
    auto addSet = [&](const char* set, std::initializer_list<std::pair<const char*, double>> parts) {
        for (const auto& [part, qty] : parts) {
            const QString name = QString::fromUtf8(part);
            if (!numberOf.contains(name))
                throw DbError(QStringLiteral("Componente desconocido: %1").arg(name));
            sets.add({numberOf.value(QString::fromUtf8(set)), numberOf.value(name), qty, name});
        }
    };
    addSet("ANCHETA FAMILIAR", {{"ARROZ BLANCO LA ESPIGA 1KG", 2}, {"ACEITE DE GIRASOL DON PACHO 1000ML", 1},
                                {"PANELA 1KG", 1}, {"CAFE MOLIDO DON PACHO 500G", 1}, {"CHOCOLATE DE MESA 500G", 1},
                                {"AZUCAR BLANCA 1KG", 1}, {"VINO TINTO 750ML", 1}});
    addSet("MENU EJECUTIVO", {{"SOPA DEL DIA", 1}, {"ALMUERZO CORRIENTE", 1}, {"LIMONADA NATURAL", 1}});

    BulkInsert oc(c, "ORDENCOMPRA", {"EMPRESA", "ORDENCOMPRA", "FECHA", "PROVEEDOR", "BODEGA", "FECHAENTREGA", "VALOR",
                                     "OBSERVACIONES"});
    oc.add({"01", 1, at(today.addDays(-20), 9), double(kSuppliers[0].nit), 3, at(today.addDays(-17)), 1850000.0,
            "PEDIDO QUINCENAL DE ABARROTES"});
    oc.add({"01", 2, at(today.addDays(-6), 10), double(kSuppliers[1].nit), 1, at(today.addDays(-5)), 640000.0,
            "LACTEOS SEMANA"});
    oc.add({"01", 3, at(today.addDays(-1), 8), double(kSuppliers[4].nit), 2, at(today), 420000.0,
            "FRUVER PARA RESTAURANTE"});
}

void seedThirdParties(Connection& c)
{
    BulkInsert prov(c, "PROVEEDORES",
                    {"NIT", "DV", "TIPOTERCERO", "NOMBRE", "CONTACTO", "DIRECCION", "TELEFONO", "CIUDAD", "PAIS",
                     "EMAIL", "CUPOCREDITO", "AUTERRETENEDOR", "ICA", "FECHACUMPLEANOS", "NOTA", "ZONA",
                     "CUENTACONTABLEC", "CUENTACONTABLEV", "PADRE", "BLOQUEO", "CLASECLIENTE", "CONDICION", "CUPO",
                     "CLASETERCERO", "FECHANACIMIENTO", "APELLIDO1", "APELLIDO2", "NOMBRE1", "NOMBRE2",
                     "DESCUENTOAUT"});
    prov.add({kCounterCustomer, dv(qint64(kCounterCustomer)), "P", "CLIENTES VARIOS", null(), kBusinessAddress,
              null(), "BOGOTA D.C.", "COLOMBIA", null(), 0.0, "N", "N", null(), "CONSUMIDOR FINAL", "01", null(),
              "13050501", null(), null(), "01", "01", 0.0, "C", null(), null(), null(), null(), null(), 0.0});
    for (const Person& p : kPersons) {
        const QDate birth(p.birthYear, p.birthMonth, p.birthDay);
        prov.add({double(p.cedula), dv(p.cedula), "P", personName(p), null(), QString::fromUtf8(p.address),
                  QString::fromUtf8(p.phone), QString::fromUtf8(p.city), "COLOMBIA",
                  *p.email ? QVariant(QString::fromUtf8(p.email)) : null(), 0.0, "N", "N",
                  birth.toString(QStringLiteral("dd/MM")), null(), "01", null(), "13050501", null(), null(), "01",
                  "01", 0.0, "C", at(birth), QString::fromUtf8(p.apellido1), QString::fromUtf8(p.apellido2),
                  QString::fromUtf8(p.nombre1), QString::fromUtf8(p.nombre2), 0.0});
    }
    // Companies buy on 30 days' credit; the garage is blocked for overdue invoices.
    for (const Company& co : kCompanies) {
        const bool blocked = co.nit == 900777888;
        prov.add({double(co.nit), dv(co.nit), "C", QString::fromUtf8(co.name), QString::fromUtf8(co.contact),
                  QString::fromUtf8(co.address), QString::fromUtf8(co.phone), "BOGOTA D.C.", "COLOMBIA",
                  QString::fromUtf8(co.email), co.credit, "N", "S", null(),
                  blocked ? QVariant("CARTERA VENCIDA A MAS DE 60 DIAS") : null(), "02", null(), "13050501", null(),
                  blocked ? QVariant("7") : null(), co.nit == 900654321 ? "03" : "01", "30", co.credit, "C", null(),
                  null(), null(), null(), null(), co.nit == 900654321 ? 5.0 : 0.0});
    }
    // Two patients referred by the dental clinic, so the reports that group by reference have data.
    const qint64 patients[][2] = {{1019456789, 901234765}, {1023456781, 901234765}};
    const char* patientNames[][4] = {{"SEBASTIAN", "", "ROJAS", "MENDEZ"}, {"JULIANA", "", "ARIAS", "PAEZ"}};
    for (int i = 0; i < 2; ++i) {
        const char* const* n = patientNames[i];
        prov.add({double(patients[i][0]), dv(patients[i][0]), "P",
                  QStringLiteral("%1 %2 %3").arg(QLatin1String(n[0]), QLatin1String(n[2]), QLatin1String(n[3])), null(),
                  "CRA 9 # 20-11", "317 4455990", "BOGOTA D.C.", "COLOMBIA", null(), 0.0, "N", "N", null(), null(),
                  "01", null(), "13050501", double(patients[i][1]), null(), "01", "01", 0.0, "C", null(), n[2], n[3],
                  n[0], n[1], 0.0});
    }
    // The staff, at the shop's address.
    auto addStaff = [&](double cedula, const char* name, const char* nota) {
        prov.add({cedula, dv(qint64(cedula)), "P", name, null(), kBusinessAddress, null(), "BOGOTA D.C.", "COLOMBIA",
                  null(), 0.0, "N", "N", null(), nota, "01", null(), null(), null(), null(), "01", "01", 0.0, null(),
                  null(), null(), null(), null(), null(), 0.0});
    };
    for (const Cashier& k : kCashiers)
        addStaff(k.cedula, k.name, "EMPLEADO - CAJERO");
    for (const Waiter& w : kWaiters)
        addStaff(w.cedula, w.name, "EMPLEADO - MESERO");
    for (const Supplier& s : kSuppliers) {
        prov.add({double(s.nit), dv(s.nit), "C", QString::fromUtf8(s.name), QString::fromUtf8(s.contact),
                  QString::fromUtf8(s.address), QString::fromUtf8(s.phone), QString::fromUtf8(s.city), "COLOMBIA",
                  QString::fromUtf8(s.email), 0.0, s.nit == 890903412 ? "S" : "N", "S", null(), null(), "03",
                  "22050101", null(), null(), null(), "01", "30", 0.0, "P", null(), null(), null(), null(), null(),
                  0.0});
    }
}

// ---- menu, users ----------------------------------------------------------------------------

struct ProgramRow {
    int level;
    const char* description;
    int program;  // 0 for the root and the groups
    const char* help;
};
// Listed depth-first: each row hangs from the nearest row above it with a level one lower.
const ProgramRow kPrograms[] = {
    {0, "KORVELA POS", 0, "Punto de venta. Abra una rama y de doble click en el programa."},
    {1, "Configuracion", 0, "Sucursales, cajeros, cajas, lineas de la factura y parametros del punto de venta."},
    {2, "Sucursales", 1, "Bodegas o sucursales en las que se registran las ventas."},
    {2, "Cajeros", 2, "Cajeros y vendedores: cedula, clave, nivel de autonomia, caja y privilegios."},
    {2, "Cajas", 3, "Cajas registradoras y el indice de parametros con el que vende cada una."},
    {2, "Linea Facturas", 4, "Lineas fijas que se imprimen arriba y abajo de la factura."},
    {2, "Parametros POS", 5, "Sucursal, documento y empresa de cada indice de parametros; datos y logo del negocio."},
    {1, "Restaurante", 0, "Mesas y meseros del restaurante."},
    {2, "Mesas", 6, "Mesas del restaurante por espacio (salon, terraza)."},
    {2, "Meseros", 7, "Meseros que atienden las mesas."},
    {1, "Inventario", 0, "Productos, precios por empaque y etiquetas."},
    {2, "Productos", 8, "Productos con sus precios por unidad de empaque, impuestos y codigos de barras."},
    {2, "Impresion de Etiquetas", 13, "Etiquetas de gondola con codigo de barras EAN-13 o EAN-8 y precio."},
    {1, "Punto de Venta", 0, "Venta, cobro, pedidos y cotizaciones."},
    {2, "Login Cajero Venta", 10, "El cajero ingresa con su cedula y clave y se abre la pantalla de su nivel."},
    {2, "Login Cajero Pedidos", 9, "Pedidos y cotizaciones: el cajero ingresa con su cedula y clave."},
    {1, "Informes y Contabilidad", 0, "Reportes de ventas, exportaciones y el asiento contable del dia."},
    {2, "Reportes de Ventas", 11, "Ventas del dia por caja y cajero, IVA generado, exportaciones y traslados."},
    {2, "Asiento Para Contabilidad Ventas Diarias", 12, "Contabiliza las ventas de un dia en Tavro."},
    {2, "Documentos Electronicos", 20, "Documentos electronicos POS enviados a la DIAN, sus mensajes y la configuracion."},
    // New entries go at the end: users' permission strings are read by position.
    {2, "Bitacora de Cambios", 21, "Anulaciones, correcciones, reimpresiones, devoluciones e ingresos de cada dia, por cajero."},
    {2, "Tablero de Ventas", 22, "Graficos de ventas por hora, dia, producto, cajero y forma de pago, comparados con el periodo anterior."},
};

// Permission string of a user who may use only the entries named (and the groups above them).
QString permissions(const QStringList& allowed)
{
    const int rows = int(std::size(kPrograms));
    QString s(rows - 1, QLatin1Char('0'));
    for (int k = 1; k < rows; ++k) {
        if (!allowed.contains(QString::fromLatin1(kPrograms[k].description)))
            continue;
        s[k - 1] = QLatin1Char('1');
        // the groups above the entry stay visible too
        int level = kPrograms[k].level;
        for (int j = k - 1; j >= 1 && level > 1; --j)
            if (kPrograms[j].level < level) {
                s[j - 1] = QLatin1Char('1');
                level = kPrograms[j].level;
            }
    }
    return s;
}

void seedMenuAndUsers(Connection& c, const QDate& today)
{
    seedProgramTable(c);

    BulkInsert users(c, "USUARIOS", {"CODIGO", "NOMBRE", "CLAVE", "ACTIVO", "FECHAHORA", "FECHAVENCIMIENTO"});
    const QDateTime created = at(today.addDays(-30), 8, 0);
    const QDateTime expires = at(QDate(today.year() + 1, 12, 31));
    users.add({1, "Administrador", "1234", "S", created, expires});
    users.add({2, "ADMIN", "admin", "S", created, expires});
    users.add({3, "cajero", "0000", "S", created, expires});
    users.add({4, "contador", "conta", "S", created, expires});

    BulkInsert menu(c, "MENU", {"CODIGOUSUARIO", "OPCIONES"});
    const QString all(200, QLatin1Char('1'));
    menu.add({1, all});
    menu.add({2, all});
    menu.add({3, permissions({"Login Cajero Venta", "Login Cajero Pedidos", "Impresion de Etiquetas"})});
    menu.add({4, permissions({"Reportes de Ventas", "Asiento Para Contabilidad Ventas Diarias", "Productos"})});
}

}  // namespace

void seedProgramTable(Connection& c)
{
    BulkInsert prog(c, "PROGRAMASPOS",
                    {"NUMEROPROGRAMA", "DESCRIPCION", "OBSERVACION", "INDIMAGEN", "INDSELECION", "NIVEL", "PROGRAMA"});
    int i = 0;
    for (const ProgramRow& p : kPrograms) {
        ++i;
        const int image = p.level == 0 ? 0 : p.program == 0 ? 1 : 3;
        prog.add({double(i * 10), p.description, p.help, image, image + 1, p.level, p.program});
    }
}

void seedDemoPos(Connection& c)
{
    const QDate today = QDate::currentDate();
    Transaction t(c);
    seedBusiness(c, today);
    seedCatalogue(c, today);
    seedThirdParties(c);
    seedMenuAndUsers(c, today);

    // Two weeks of closed sales for the reports and the accounting posting, and three documents
    // a floor seller left today at register 2 for the collecting cashier.
    SalesOptions history;
    history.lastDay = today.addDays(-1);
    history.days = 14;
    history.salesPerDay = 30;
    history.linesPerSale = 3;
    history.seed = 1402;
    generateSales(c, history);
    SalesOptions waiting;
    waiting.lastDay = today;
    waiting.salesPerDay = 3;
    waiting.closed = false;
    waiting.onlyCashier = 9;
    waiting.cashRows = false;
    waiting.seed = 77;
    generateSales(c, waiting);
    t.commit();
}

void seedDemoAccounting(Connection& c)
{
    Transaction t(c);
    BulkInsert ter(c, "TERCEROS",
                   {"NIT", "DV", "TIPODOC", "RAZONSOCIAL", "PRIMERAPELLIDO", "SEGUNDOAPELLIDO", "PRIMERNOMBRE",
                    "SEGUNDONOMBRE", "DIRECCION", "TELEFONO", "SUJETORETENCION", "AGENTERETENEDOR", "CODIGOCIUDAD",
                    "FECHAGRABACION", "EMAIL", "WEB", "AUTORETENEDOR", "REGIMEN"});
    const QDateTime now = QDateTime::currentDateTime();
    // Bogotá's DANE city code, as the posting writes for new third parties.
    const int bogota = 11001;
    ter.add({double(kBusinessNit), dv(kBusinessNit), "31", "LA CANDELARIA SAS", null(), null(), null(), null(),
             "CALLE 12 # 4-35", "601 3345678", "S", "N", bogota, now, "ventas@lacandelaria.com.co",
             "www.lacandelaria.com.co", "N", "C"});
    ter.add({kCounterCustomer, dv(qint64(kCounterCustomer)), "13", "CLIENTES VARIOS", null(), null(), null(), null(),
             "CALLE 12 # 4-35", null(), "N", "N", bogota, now, null(), null(), "N", "S"});
    for (const Supplier& s : kSuppliers)
        ter.add({double(s.nit), dv(s.nit), "31", QString::fromUtf8(s.name), null(), null(), null(), null(),
                 QString::fromUtf8(s.address), QString::fromUtf8(s.phone), "S", s.nit == 890903412 ? "S" : "N", bogota,
                 now, QString::fromUtf8(s.email), null(), s.nit == 890903412 ? "S" : "N", "C"});
    for (const Company& co : kCompanies)
        ter.add({double(co.nit), dv(co.nit), "31", QString::fromUtf8(co.name), null(), null(), null(), null(),
                 QString::fromUtf8(co.address), QString::fromUtf8(co.phone), "S", "N", bogota, now,
                 QString::fromUtf8(co.email), null(), "N", "C"});
    for (int i = 0; i < 5; ++i) {
        const Person& p = kPersons[i];
        ter.add({double(p.cedula), dv(p.cedula), "13", personName(p), QString::fromUtf8(p.apellido1),
                 QString::fromUtf8(p.apellido2), QString::fromUtf8(p.nombre1), QString::fromUtf8(p.nombre2),
                 QString::fromUtf8(p.address), QString::fromUtf8(p.phone), "N", "N", bogota, now,
                 *p.email ? QVariant(QString::fromUtf8(p.email)) : null(), null(), "N", "S"});
    }
    t.commit();
}

QString createDemoInstallation(const QString& dir)
{
    const QString root = QFileInfo(dir).absoluteFilePath();
    if (!QDir().mkpath(root))
        throw DbError(QStringLiteral("No se pudo crear la carpeta %1").arg(root));
    const QString pos = QDir(root).filePath(QStringLiteral("korvela.fdb"));
    const QString tavro = QDir(root).filePath(QStringLiteral("tavro.fdb"));

    auto build = [](const QString& path, const QString& alias, void (*schema)(Connection&),
                    void (*seed)(Connection&)) {
        if (QFile::exists(path)) {
            // A demo made by an earlier version gets the tables and indexes added since.
            Connection c(alias);
            c.setLocation(path);
            c.open();
            schema(c);
            return;
        }
        createDatabase(path);
        try {
            Connection c(alias);
            c.setLocation(path);
            c.open();
            schema(c);
            seed(c);
        } catch (...) {
            // A half-built database would be taken for a finished one next time.
            QFile::remove(path);
            throw;
        }
    };
    build(pos, QStringLiteral("KorvelaDemo"), createPosSchema, seedDemoPos);
    build(tavro, QStringLiteral("TavroDemo"), createAccountingSchema, seedDemoAccounting);

    const QString location =
        writeLocationFile(root, QStringLiteral("KorvelaPos - instalacion de demostracion"), tavro, pos);
    return location;
}

}  // namespace kv
