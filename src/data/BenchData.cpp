#include "data/BenchData.h"

#include "common/Nit.h"
#include "common/Numbers.h"
#include "common/SaleAmounts.h"
#include "data/BulkInsert.h"
#include "data/DemoData.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {

namespace {

QVariant null() { return QVariant(); }

// Deterministic generator (same seed, same data), fast enough for millions of draws.
class Rng {
public:
    explicit Rng(quint32 seed) : s_(seed ? seed : 1) {}
    quint32 next()
    {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }
    double unit() { return double(next() % 1000000u) / 1000000.0; }
    template <class T> const T& pick(const std::vector<T>& v) { return v[size_t(below(int(v.size())))]; }

private:
    quint32 s_;
};

struct Product {
    int number;
    double price;
    double iva;
    bool priceIncludesIva;
    double ipoconsumo;
};

struct Packing {
    QString unit;
    double quantity;
    double price;
};

// A register with a cashier who starts documents there, under the register's parameter row.
struct Station {
    double cashier;
    QString level;
    double register_;
    bool collects;
    double collector;  // who collects when the seller may not
    QString company;
    QString document;
    int branch;
    bool restaurant;
};

struct Line {
    int product;
    QString unit;
    double quantity, received, price, iva, ivaValue, subtotal, ipoconsumo, ipoValue;
};

// Prices a line as the sale screens do: subtotal to hundredths; IVA taken out of a price that
// includes it or added to one that does not; consumption tax on the subtotal.
Line priceLine(const Product& p, const QString& unit, double perPack, double price, double quantity)
{
    Line l;
    l.product = p.number;
    l.unit = unit;
    l.quantity = quantity;
    l.received = quantity * perPack;
    l.price = price;
    l.iva = p.iva;
    l.ipoconsumo = p.ipoconsumo;
    // Priced as the registers price it, so generated sales read like real ones.
    const LineTaxes t = lineTaxes(R(price * quantity * 100) / 100, 0, p.iva, p.priceIncludesIva, p.ipoconsumo);
    l.subtotal = t.subtotal;
    l.ivaValue = t.valorIva;
    l.ipoValue = t.valorIpoconsumo;
    return l;
}

QSqlQuery select(Connection& c, const QString& sql)
{
    return c.exec(sql);
}

std::vector<Product> loadProducts(Connection& c)
{
    std::vector<Product> v;
    QSqlQuery q = select(c, QStringLiteral("SELECT PRODUCTO, VALORUNIDAD, VALORIVA, PRECIOMASIVA, IPOCONSUMO FROM PRODUCTOS"));
    while (q.next())
        v.push_back({q.value(0).toInt(), q.value(1).toDouble(), q.value(2).toDouble(),
                     q.value(3).toString().trimmed() == QLatin1String("S"), q.value(4).toDouble()});
    return v;
}

std::vector<Station> loadStations(Connection& c, double onlyCashier)
{
    QHash<double, double> collectorOf;
    QSqlQuery k = select(c, QStringLiteral("SELECT CAJA, CEDULA FROM POSCAJEROS WHERE NIVEL = 'C' ORDER BY CEDULA"));
    while (k.next())
        if (!collectorOf.contains(k.value(0).toDouble()))
            collectorOf.insert(k.value(0).toDouble(), k.value(1).toDouble());

    std::vector<Station> v;
    QSqlQuery q = select(c, QStringLiteral(
        "SELECT C.CEDULA, C.NIVEL, C.CAJA, C.COBRA, E.EMPRESA, E.DOCUMENTO, E.SUCURSAL "
        "FROM POSCAJEROS C JOIN POSCAJAS K ON K.CAJA = C.CAJA JOIN POSESQUEMA E ON E.LLAVE = K.EMPRESA "
        "WHERE C.NIVEL IN ('V', 'R', '8', '1', '2') ORDER BY C.CEDULA"));
    while (q.next()) {
        Station s;
        s.cashier = q.value(0).toDouble();
        s.level = q.value(1).toString().trimmed();
        s.register_ = q.value(2).toDouble();
        s.collects = q.value(3).toString().trimmed() == QLatin1String("S");
        s.collector = s.collects ? s.cashier : collectorOf.value(s.register_, s.cashier);
        s.company = q.value(4).toString().trimmed();
        s.document = q.value(5).toString().trimmed();
        s.branch = q.value(6).toInt();
        s.restaurant = s.level == QLatin1String("2");
        if (onlyCashier == 0 || s.cashier == onlyCashier)
            v.push_back(s);
    }
    return v;
}

int maxInt(Connection& c, const QString& sql, const QVariantMap& params = {})
{
    return c.scalar(sql, params).toInt();
}

// A day's documents spread from 7:00 to 21:30 (seconds after midnight); today's stop at the
// current time.
void openingHours(const QDate& day, const QDateTime& now, double& first, double& last)
{
    first = 7 * 3600;
    last = 21.5 * 3600;
    if (day == now.date()) {
        last = std::max(60.0, double(now.time().msecsSinceStartOfDay() / 1000 - 60));
        first = std::min(first, last / 2);
    }
}

// The customers sales and orders are made out to; `companies` gets those that are companies.
void loadCustomers(Connection& c, std::vector<double>& customers, std::vector<double>* companies = nullptr)
{
    QSqlQuery q = select(c, QStringLiteral("SELECT NIT, TIPOTERCERO FROM PROVEEDORES WHERE CLASETERCERO = 'C'"));
    while (q.next()) {
        customers.push_back(q.value(0).toDouble());
        if (companies && q.value(1).toString().trimmed() == QLatin1String("C"))
            companies->push_back(q.value(0).toDouble());
    }
}

// One opening amount (POSARQUEO) per register, cashier and day: "CAJA|CAJERO|yyyyMMdd".
QString openingKey(double register_, double cashier, const QDate& day)
{
    return QStringLiteral("%1|%2|%3").arg(register_).arg(cashier).arg(day.toString(QStringLiteral("yyyyMMdd")));
}

QSet<QString> loadOpenings(Connection& c)
{
    QSet<QString> openings;
    QSqlQuery q = select(c, QStringLiteral("SELECT CAJA, CAJERO, FECHA FROM POSARQUEO"));
    while (q.next())
        openings.insert(openingKey(q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDateTime().date()));
    return openings;
}

// Reports a day-by-day generation about every hundredth of the way, and on its last day.
void reportDay(const std::function<void(const QString&)>& progress, const char* what, int done, int days, qint64 rows)
{
    if (!progress)
        return;
    const int step = std::max(1, days / 100);
    if (done % step == 0 || done == days)
        progress(QStringLiteral("%1: dia %2 de %3 (%4 %), %5 lineas").arg(QLatin1String(what)).arg(done).arg(days)
                     .arg(100 * done / days).arg(rows));
}

}  // namespace

qint64 generateSales(Connection& c, const SalesOptions& o)
{
    Rng rng(o.seed);
    const std::vector<Station> stations = loadStations(c, o.onlyCashier);
    const std::vector<Product> all = loadProducts(c);
    if (stations.empty() || all.empty() || o.days <= 0 || o.salesPerDay <= 0)
        return 0;

    // The restaurant sells its dishes (the products with consumption tax); the shop the rest.
    std::vector<Product> dishes, goods;
    for (const Product& p : all)
        (p.ipoconsumo > 0 ? dishes : goods).push_back(p);
    if (dishes.empty())
        dishes = all;
    if (goods.empty())
        goods = all;

    QHash<int, std::vector<Packing>> packings;
    {
        QSqlQuery q = select(c, QStringLiteral(
            "SELECT PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA WHERE UNIDAD <> 'UN'"));
        while (q.next())
            packings[q.value(0).toInt()].push_back({q.value(1).toString().trimmed(), q.value(2).toDouble(), q.value(3).toDouble()});
    }
    std::vector<double> customers, companies;
    loadCustomers(c, customers, &companies);
    const double counter = 222222222;
    std::vector<double> waiters;
    {
        QSqlQuery q = select(c, QStringLiteral("SELECT CEDULA FROM MESERO"));
        while (q.next())
            waiters.push_back(q.value(0).toDouble());
    }

    QHash<QString, int> lastNumber;  // "EMPRESA|DOCUMENTO" -> highest CONSECUTIVO so far
    for (const Station& s : stations) {
        const QString key = s.company + QLatin1Char('|') + s.document;
        if (!lastNumber.contains(key))
            lastNumber.insert(key, maxInt(c, QStringLiteral("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO WHERE EMPRESA = :E AND DOCUMENTO = :D"),
                                          {{"E", s.company}, {"D", s.document}}));
    }
    double lastItem = c.scalar(QStringLiteral("SELECT MAX(ITEM) FROM POSPAGOSCAJA")).toDouble();
    QSet<QString> openings;
    if (o.cashRows)
        openings = loadOpenings(c);

    static const char* const expenses[] = {"PAGO DOMICILIARIO", "COMPRA DE HIELO", "PAGO ASEO LOCAL", "COMPRA DE BOLSAS",
                                           "TRANSPORTE MERCANCIA", "PAGO REPARACION NEVERA", "COMPRA DE GAS"};
    static const char* const cards[] = {"VISA", "MASTERCARD", "AMERICAN EXPRESS", "DEBITO BANCOLOMBIA",
                                        "DEBITO DAVIVIENDA", "NEQUI"};

    const QDateTime now = QDateTime::currentDateTime();
    qint64 written = 0;
    std::vector<Line> doc;
    for (int d = o.days - 1; d >= 0; --d) {
        const QDate day = o.lastDay.addDays(-d);
        double first, last;
        openingHours(day, now, first, last);
        Transaction t(c);
        BulkInsert heads(c, QStringLiteral("POSMOVIMIENTO"),
                         {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "BODEGA", "FECHA", "CLIENTE", "FACTURA", "STATUS",
                          "SUBTOTAL", "DESCUENTO", "IVA", "NETO", "VENDEDOR", "PLAZO", "TIPODEPAGO", "TIPODEPAGODES",
                          "CAJA", "CAJERO", "MONEDA", "TASA", "VALOROTRAMONEDA", "PAGO", "PERSONAS", "PROPINA",
                          "VALORPROPINA"});
        BulkInsert lines(c, QStringLiteral("POSMOVIMIENTODETALLE"),
                         {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "LINEA", "PRODUCTO", "CANTIDAD", "PRECIOUNIDAD",
                          "PORCENTAJEDESCUENTO", "VALORDESCUENTO", "VALORIVA", "IVA", "SUBTOTAL", "BODEGA", "DESCUENTO",
                          "UNIDADMOVIMIENTO", "CANTIDADRECIBIDA", "COSTO", "BUSCADOR", "IPOCONSUMO", "VALORIPOCONSUMO"});
        BulkInsert opening(c, QStringLiteral("POSARQUEO"), {"CAJA", "CAJERO", "FECHA", "INCIO", "SALDO"});
        BulkInsert expense(c, QStringLiteral("POSPAGOSCAJA"), {"CAJA", "FECHA", "ITEM", "VALOR", "DESCRIPCION", "CAJERO"});
        struct Cash { double register_, cashier, opening, cash; };
        QHash<QString, Cash> cash;
        for (int i = 0; i < o.salesPerDay; ++i) {
            const Station& s = stations[size_t(rng.below(int(stations.size())))];
            const int seconds = int(first + (last - first) * (i + rng.unit()) / o.salesPerDay);
            const QDateTime when(day, QTime(0, 0).addSecs(seconds));
            const QString key = s.company + QLatin1Char('|') + s.document;
            const int number = ++lastNumber[key];

            // Lines: between 1 and twice the average, popular products more often.
            const std::vector<Product>& pool = s.restaurant ? dishes : goods;
            const int n = 1 + rng.below(std::max(1, 2 * o.linesPerSale - 1));
            doc.clear();
            double subtotal = 0, iva = 0;
            for (int k = 0; k < n; ++k) {
                const double u = rng.unit();
                const Product& p = pool[size_t(double(pool.size()) * u * u) % pool.size()];
                const auto packs = packings.constFind(p.number);
                Line l;
                if (!s.restaurant && packs != packings.constEnd() && rng.chance(15)) {
                    const Packing& pk = packs->at(size_t(rng.below(int(packs->size()))));
                    l = priceLine(p, pk.unit, pk.quantity, pk.price, 1);
                } else {
                    const double qty = rng.chance(65) ? 1 : 2 + rng.below(s.restaurant ? 3 : 5);
                    l = priceLine(p, QStringLiteral("UN"), 1, p.price, qty);
                }
                subtotal += l.subtotal;
                iva += l.ivaValue;
                doc.push_back(l);
            }
            subtotal = R(subtotal * 100) / 100;

            double customer = counter;
            if (!customers.empty() && rng.chance(35))
                customer = customers[size_t(rng.below(int(customers.size())))];
            QString payment = QStringLiteral("C");
            QVariant paymentText;
            int term = 0;
            if (o.closed) {
                const int r = rng.below(100);
                if (r >= 60 && r < 75)
                    payment = QStringLiteral("T");
                else if (r >= 75 && r < 90)
                    payment = QStringLiteral("t");
                else if (r >= 90 && r < 95)
                    payment = QStringLiteral("H");
                else if (r >= 95 && !companies.empty()) {
                    payment = QStringLiteral("E");
                    customer = companies[size_t(rng.below(int(companies.size())))];
                    term = 30;
                }
                if (payment == QLatin1String("T") || payment == QLatin1String("t"))
                    paymentText = QStringLiteral("%1 **** %2").arg(QLatin1String(cards[rng.below(6)])).arg(1000 + rng.below(9000));
                else if (payment == QLatin1String("H"))
                    paymentText = QStringLiteral("CHEQUE No. %1").arg(100000 + rng.below(900000));
            }
            QVariant seller = s.cashier, guests, tip, tipValue;
            if (s.restaurant) {
                if (!waiters.empty())
                    seller = waiters[size_t(rng.below(int(waiters.size())))];
                guests = 1 + rng.below(6);
                if (o.closed) {
                    const bool tips = rng.chance(70);
                    tip = tips ? 10.0 : 0.0;
                    tipValue = tips ? R(subtotal * 10 / 100) : 0.0;
                }
            }
            const double cashier = o.closed ? s.collector : s.cashier;
            heads.add({s.company, s.document, number, s.branch, when, customer, number,
                       o.closed ? QVariant(QStringLiteral("I")) : null(), subtotal, 0.0, iva, subtotal, seller, term,
                       payment, paymentText, s.register_, cashier, QStringLiteral("1"), 1.0,
                       o.closed ? QVariant(subtotal) : null(), subtotal, guests, tip, tipValue});
            int lineNo = 0;
            for (const Line& l : doc) {
                lines.add({s.company, s.document, number, ++lineNo, l.product, l.quantity, l.price, 0.0, 0.0,
                           l.ivaValue, l.iva, l.subtotal, s.branch, 0.0, l.unit, l.received,
                           R(l.subtotal * (s.restaurant ? 0.38 : 0.74)), QString::number(l.product), l.ipoconsumo,
                           l.ipoValue});
            }
            written += lineNo;

            if (o.closed && o.cashRows) {
                const QString ck = QStringLiteral("%1|%2").arg(s.register_).arg(cashier);
                Cash& cs = cash[ck];
                cs.register_ = s.register_;
                cs.cashier = cashier;
                cs.opening = s.restaurant ? 300000 : 200000;
                if (payment == QLatin1String("C"))
                    cs.cash += subtotal;
            }
        }
        // Opening amounts, and a cash expense or two, for every register and cashier that sold.
        for (auto it = cash.begin(); it != cash.end(); ++it) {
            Cash& cs = it.value();
            double paidOut = 0;
            const int count = rng.below(3);
            for (int e = 0; e < count; ++e) {
                const double value = 5000.0 * (1 + rng.below(12));
                const QDateTime when(day, QTime(10 + rng.below(9), rng.below(60)));
                expense.add({cs.register_, when, ++lastItem, value, expenses[rng.below(7)], cs.cashier});
                paidOut += value;
            }
            const QString ok = openingKey(cs.register_, cs.cashier, day);
            if (!openings.contains(ok)) {
                opening.add({cs.register_, cs.cashier, QDateTime(day, QTime(0, 0)), cs.opening,
                             cs.opening + cs.cash - paidOut});
                openings.insert(ok);
            }
        }
        t.commit();
        reportDay(o.progress, "Ventas", o.days - d, o.days, written);
    }
    return written;
}

qint64 generateOrders(Connection& c, const OrdersOptions& o)
{
    Rng rng(o.seed);
    const std::vector<Station> stations = loadStations(c, o.onlyCashier);
    if (stations.empty() || o.days <= 0 || o.ordersPerDay <= 0)
        return 0;
    struct Item {
        int number;
        double price, iva;
        QString name, code;
        bool priceIncludesIva;
    };
    std::vector<Item> items;
    {
        QSqlQuery q = select(c, QStringLiteral("SELECT PRODUCTO, VALORUNIDAD, VALORIVA, NOMBRE, CODIGOBARRAS, PRECIOMASIVA FROM PRODUCTOS"));
        while (q.next()) {
            const QString code = q.value(4).toString().trimmed();
            items.push_back({q.value(0).toInt(), q.value(1).toDouble(), q.value(2).toDouble(),
                             q.value(3).toString().trimmed().left(60), code.isEmpty() ? q.value(0).toString() : code,
                             q.value(5).toString().trimmed() == QLatin1String("S")});
        }
    }
    if (items.empty())
        return 0;
    std::vector<double> customers;
    loadCustomers(c, customers);
    const double counter = 222222222;

    QHash<QString, int> lastNumber;  // "EMPRESA|DOCUMENTO" -> highest order number so far
    for (const Station& s : stations) {
        const QString key = s.company + QLatin1Char('|') + s.document;
        if (!lastNumber.contains(key))
            lastNumber.insert(key, maxInt(c, QStringLiteral("SELECT MAX(CONSECUTIVO) FROM POSREMISIONES WHERE EMPRESA = :E AND DOCUMENTO = :D"),
                                          {{"E", s.company}, {"D", s.document}}));
    }
    QSet<QString> openings;
    if (o.openingRows)
        openings = loadOpenings(c);
    static const char* const notes[] = {"PARA DOMICILIO", "EMPACAR PARA REGALO", "SIN AZUCAR", "TALLA M", "COLOR AZUL"};

    const QDateTime now = QDateTime::currentDateTime();
    qint64 written = 0;
    for (int d = o.days - 1; d >= 0; --d) {
        const QDate day = o.lastDay.addDays(-d);
        double first, last;
        openingHours(day, now, first, last);
        Transaction t(c);
        BulkInsert heads(c, QStringLiteral("POSREMISIONES"),
                         {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "BODEGA", "FECHA", "CLIENTE", "STATUS", "SUBTOTAL",
                          "DESCUENTO", "IVA", "NETO", "VENDEDOR", "TIPODEPAGO", "TIPODEPAGODES", "CAJA"});
        BulkInsert lines(c, QStringLiteral("POSREMISIONESDETALLE"),
                         {"EMPRESA", "DOCUMENTO", "CONSECUTIVO", "LINEA", "PRODUCTO", "CANTIDAD", "PRECIOUNIDAD",
                          "PORCENTAJEDESCUENTO", "VALORDESCUENTO", "VALORIVA", "IVA", "SUBTOTAL", "BODEGA", "DESCUENTO",
                          "OBSERVACION", "BUSCADOR"});
        BulkInsert opening(c, QStringLiteral("POSARQUEO"), {"CAJA", "CAJERO", "FECHA", "INCIO", "SALDO"});
        for (int i = 0; i < o.ordersPerDay; ++i) {
            const Station& s = stations[size_t(rng.below(int(stations.size())))];
            const int seconds = int(first + (last - first) * (i + rng.unit()) / o.ordersPerDay);
            const QDateTime when(day, QTime(0, 0).addSecs(seconds));
            const int number = ++lastNumber[s.company + QLatin1Char('|') + s.document];

            // Lines priced as the order screen prices them: whole pesos, the discount from its
            // percentage, an IVA the price leaves out added after the discount (an IVA inside the
            // price stays there; the line keeps the product's rate).
            const int n = 1 + rng.below(std::max(1, 2 * o.linesPerOrder - 1));
            double subtotal = 0, discount = 0, iva = 0;
            for (int k = 0; k < n; ++k) {
                const double u = rng.unit();
                const Item& p = items[size_t(double(items.size()) * u * u) % items.size()];
                const double qty = rng.chance(70) ? 1 : 2 + rng.below(5);
                const double percent = rng.chance(80) ? 0 : 5.0 * (1 + rng.below(3));
                const double gross = R(qty * p.price);
                const double off = R(percent * gross / 100);
                const QString note = rng.chance(10) ? QLatin1String(notes[rng.below(5)]) + QLatin1Char(' ') + p.name : p.name;
                const double added = p.priceIncludesIva ? 0.0 : lineTaxes(gross, off, p.iva, false, 0).valorIva;
                lines.add({s.company, s.document, number, k + 1, p.number, qty, p.price, percent, off, added, p.iva,
                           gross, s.branch, 0.0, note.left(60), p.code});
                subtotal += gross;
                discount += off;
                iva += added;
            }
            written += n;

            // Most orders are paid at once; a quotation the customer only asked for stays open.
            const bool paid = rng.below(100) < o.paidPercent;
            QString payment = QStringLiteral("C");
            QVariant paymentText;
            const int r = rng.below(100);
            if (r >= 70 && r < 85) {
                payment = QStringLiteral("T");
                paymentText = QStringLiteral("VISA **** %1").arg(1000 + rng.below(9000));
            } else if (r >= 85 && r < 95) {
                payment = QStringLiteral("H");
                paymentText = QStringLiteral("CHEQUE No. %1").arg(100000 + rng.below(900000));
            } else if (r >= 95) {
                payment = QStringLiteral("O");
                paymentText = QStringLiteral("USD");
            }
            const double customer = !customers.empty() && rng.chance(50) ? customers[size_t(rng.below(int(customers.size())))]
                                                                       : counter;
            heads.add({s.company, s.document, number, s.branch, when, customer,
                       paid ? QVariant(QStringLiteral("I")) : null(), subtotal, discount, iva, subtotal + iva - discount,
                       s.cashier, payment, paymentText, s.register_});

            // Some cashiers open their register before taking orders, some never do.
            const QString ok = openingKey(s.register_, s.cashier, day);
            if (o.openingRows && !openings.contains(ok) && rng.chance(60)) {
                opening.add({s.register_, s.cashier, QDateTime(day, QTime(0, 0)), 100000.0, null()});
                openings.insert(ok);
            }
        }
        t.commit();
        reportDay(o.progress, "Pedidos", o.days - d, o.days, written);
    }
    return written;
}

namespace {

const char* const kKinds[] = {"GALLETA", "PASTA", "ARROZ", "JABON", "DETERGENTE", "GASEOSA", "JUGO", "CAFE", "ATUN",
                              "SALSA", "CEREAL", "CHOCOLATE", "HARINA", "ACEITE", "LECHE", "YOGURT", "QUESO", "SHAMPOO",
                              "CREMA", "TOALLA", "SERVILLETA", "BOMBILLO", "PILAS", "CUADERNO", "LAPICERO", "VELA",
                              "INSECTICIDA", "AMBIENTADOR", "COMPOTA", "MERMELADA", "VINAGRE", "CONDIMENTO", "SOPA",
                              "CALDO", "GELATINA", "PONQUE", "SNACK", "TE", "AROMATICA", "AVENA"};
const char* const kBrands[] = {"LA ESPIGA", "DON PACHO", "EL NEVADO", "SABANA", "CRISTALINA", "MONTEBELLO", "LA FINCA",
                               "EL TRIGAL", "ANDINA", "DOÑA ROSA", "EL CAFETAL", "SANTA FE", "LOS ANDES", "MARINO",
                               "DEL VALLE", "CORDILLERA", "PACIFICO", "CARIBE", "LLANERO", "PAISA"};
const char* const kVariants[] = {"CLASICO", "LIGHT", "INTEGRAL", "FRESA", "VAINILLA", "LIMON", "NATURAL", "PICANTE",
                                 "FAMILIAR", "EXTRA", "PREMIUM", "ECONOMICO", "TROPICAL", "MORA", "COCO", "MIEL"};
const char* const kSizes[] = {"100G", "200G", "250G", "500G", "1KG", "250ML", "500ML", "1L", "2L", "X3", "X6", "X12"};
const char* const kFirstNames[] = {"JUAN", "MARIA", "CARLOS", "ANA", "LUIS", "SANDRA", "JORGE", "CLAUDIA", "ANDRES",
                                   "PAOLA", "DIEGO", "LILIANA", "FELIPE", "DIANA", "OSCAR", "CAROLINA", "MIGUEL",
                                   "NATALIA", "JAVIER", "ADRIANA", "CAMILO", "MONICA", "RAFAEL", "GLORIA"};
const char* const kSurnames[] = {"GARCIA", "RODRIGUEZ", "MARTINEZ", "LOPEZ", "GONZALEZ", "HERNANDEZ", "PEREZ",
                                 "SANCHEZ", "RAMIREZ", "TORRES", "DIAZ", "MORENO", "ROJAS", "VARGAS", "JIMENEZ",
                                 "CASTRO", "ORTIZ", "RUIZ", "SUAREZ", "GOMEZ", "MUÑOZ", "CARDENAS", "OSPINA", "PARRA"};
const char* const kStreets[] = {"CALLE", "CARRERA", "DIAGONAL", "TRANSVERSAL", "AVENIDA"};

template <size_t N> const char* pickOf(Rng& r, const char* const (&a)[N]) { return a[r.below(int(N))]; }

double round50(double x) { return R(x / 50.0) * 50.0; }

void generateProducts(Connection& c, const BenchDataOptions& o, Rng& rng)
{
    if (o.products <= 0)
        return;
    // Groups and their subgroups (a subgroup belongs to the group of its hundreds).
    std::vector<std::pair<QString, std::vector<int>>> groups;
    {
        QHash<int, std::vector<int>> subs;
        QSqlQuery s = select(c, QStringLiteral("SELECT SUBGRUPO FROM SUBGRUPOS ORDER BY SUBGRUPO"));
        std::vector<int> any;
        while (s.next()) {
            subs[s.value(0).toInt() / 100].push_back(s.value(0).toInt());
            any.push_back(s.value(0).toInt());
        }
        if (any.empty())
            any.push_back(0);
        QSqlQuery g = select(c, QStringLiteral("SELECT GRUPO FROM GRUPOS ORDER BY GRUPO"));
        while (g.next()) {
            const QString code = g.value(0).toString().trimmed();
            if (code == QLatin1String(kRestaurantGroup))  // the restaurant's dishes are made here, not bought
                continue;
            groups.push_back({code, subs.value(code.toInt(), any)});
        }
        if (groups.empty())
            groups.push_back({QStringLiteral("01"), any});
    }
    std::vector<double> suppliers;
    {
        QSqlQuery q = select(c, QStringLiteral("SELECT NIT FROM PROVEEDORES WHERE CLASETERCERO = 'P'"));
        while (q.next())
            suppliers.push_back(q.value(0).toDouble());
        if (suppliers.empty())
            suppliers.push_back(0);
    }
    const int firstNumber = std::max(10000, maxInt(c, QStringLiteral("SELECT MAX(PRODUCTO) FROM PRODUCTOS"))) + 1;
    static const char* const packs[] = {"PQ", "CJ", "DO", "SX"};
    static const int packQty[] = {6, 24, 12, 6};

    const int batch = 20000;
    for (int start = 0; start < o.products; start += batch) {
        Transaction t(c);
        BulkInsert prod(c, QStringLiteral("PRODUCTOS"),
                        {"CODIGO", "GRUPO", "SUBGRUPO", "PRODUCTO", "REFERENCIA", "NOMBRE", "UNIDAD", "VALORUNIDAD",
                         "CANTIDADSTOK", "CANTIDADMINIMA", "CANTIDADMAXIMA", "PUNTOPEDIDO", "ULTIMOPROVEEDOR",
                         "VALORPROMEDIO", "VALORIVA", "CUENTACONTABLE", "CUENTACONTABLEC", "CUENTACONTABLEV",
                         "AJUSTAINFLACION", "CODIGOBARRAS", "PRECIOCOMPRA", "PRECIOMASIVA", "IPOCONSUMO",
                         "CUENTACONTABLEIVAC", "CUENTACONTABLEIVAV", "CUENTACONTABLECOSTO", "CANTIDADEMPACADA", "UNIDADS"});
        BulkInsert prices(c, QStringLiteral("PRODUCTOSVALORVENTA"),
                          {"PRODUCTO", "UNIDAD", "CANTIDAD", "VALORVENTAMOSTRADOR", "VALORVENTAEMPRESA", "IND"});
        BulkInsert saldos(c, QStringLiteral("SALDOS"), {"EMPRESA", "PRODUCTO", "SALDO"});
        for (int i = start; i < std::min(o.products, start + batch); ++i) {
            const int number = firstNumber + i;
            const auto& g = groups[size_t(rng.below(int(groups.size())))];
            const int subgroup = g.second[size_t(rng.below(int(g.second.size())))];
            const QString name = QStringLiteral("%1 %2 %3 %4")
                                     .arg(QString::fromUtf8(pickOf(rng, kKinds)), QString::fromUtf8(pickOf(rng, kBrands)),
                                          QString::fromUtf8(pickOf(rng, kVariants)), QString::fromUtf8(pickOf(rng, kSizes)))
                                     .left(40);
            const double price = round50(500 + 150000 * std::pow(rng.unit(), 3));
            const int r = rng.below(100);
            const double iva = r < 60 ? 19 : r < 75 ? 5 : 0;
            const bool includes = iva > 0 && rng.chance(80);
            const double cost = round50(price * 0.74);
            const double stock = double(rng.below(500));
            const QString revenue = iva == 19 ? QStringLiteral("41352501") : iva == 5 ? QStringLiteral("41352502")
                                                                                      : QStringLiteral("41352503");
            const QVariant ivaSales = iva == 19 ? QVariant("24080119") : iva == 5 ? QVariant("24080105") : null();
            const QVariant ivaBuy = iva == 19 ? QVariant("24080219") : iva == 5 ? QVariant("24080205") : null();
            const int pk = rng.chance(20) ? rng.below(4) : -1;
            prod.add({QStringLiteral("B%1").arg(number, 8, 10, QLatin1Char('0')), g.first, subgroup, number,
                      QStringLiteral("R%1").arg(number), name, "UN", price, stock, 5.0, 600.0, 20.0,
                      suppliers[size_t(rng.below(int(suppliers.size())))], cost, iva, revenue, "14350101", revenue,
                      "N", withEanCheckDigit(QStringLiteral("77%1").arg(number, 10, 10, QLatin1Char('0'))), cost,
                      includes ? "S" : "N", 0.0, ivaBuy, ivaSales, "61350101", pk >= 0 ? double(packQty[pk]) : 1.0,
                      "UN"});
            prices.add({number, "UN", 1.0, price, round50(price * 0.95), 0.0});
            if (pk >= 0)
                prices.add({number, packs[pk], double(packQty[pk]), round50(price * packQty[pk] * 0.95),
                            round50(price * packQty[pk] * 0.9), 0.0});
            saldos.add({"01", number, stock});
        }
        t.commit();
        if (o.progress)
            o.progress(QStringLiteral("Productos: %1 de %2").arg(std::min(o.products, start + batch)).arg(o.products));
    }
}

void generateCustomers(Connection& c, const BenchDataOptions& o, Rng& rng)
{
    if (o.customers <= 0)
        return;
    // Generated people take ten-digit cédulas from 1,100,000,001 and companies NITs from
    // 902,000,001, after any generated before, so the generator can run again on the same database.
    auto after = [&c](qint64 from, qint64 to) {
        const QVariant v = c.scalar(QStringLiteral("SELECT MAX(NIT) FROM PROVEEDORES WHERE NIT > :A AND NIT < :B"),
                                    {{"A", double(from)}, {"B", double(to)}});
        return v.isNull() ? from : qint64(v.toDouble());
    };
    const qint64 personBase = after(1100000000, 1200000000);
    const qint64 companyBase = after(902000000, 903000000);
    qint64 persons = 0, firms = 0;
    const int batch = 20000;
    for (int start = 0; start < o.customers; start += batch) {
        Transaction t(c);
        BulkInsert prov(c, QStringLiteral("PROVEEDORES"),
                        {"NIT", "DV", "TIPOTERCERO", "NOMBRE", "DIRECCION", "TELEFONO", "CIUDAD", "PAIS", "EMAIL",
                         "CUPOCREDITO", "AUTERRETENEDOR", "ICA", "ZONA", "CUENTACONTABLEV", "CLASECLIENTE", "CONDICION",
                         "CUPO", "CLASETERCERO", "APELLIDO1", "APELLIDO2", "NOMBRE1", "NOMBRE2", "DESCUENTOAUT"});
        for (int i = start; i < std::min(o.customers, start + batch); ++i) {
            const QString address = QStringLiteral("%1 %2 # %3-%4").arg(QLatin1String(pickOf(rng, kStreets)))
                                        .arg(1 + rng.below(180)).arg(1 + rng.below(120)).arg(1 + rng.below(99));
            const QString phone = QStringLiteral("3%1%2").arg(10 + rng.below(25)).arg(1000000 + rng.below(9000000));
            if (i % 10 == 9) {  // one in ten is a company, on credit
                const qint64 nit = companyBase + ++firms;
                const QString name = QStringLiteral("INVERSIONES %1 %2 SAS")
                                         .arg(QString::fromUtf8(pickOf(rng, kSurnames)), QString::fromUtf8(pickOf(rng, kSurnames)));
                prov.add({double(nit), QString::number(nitCheckDigit(nit)), "C", name.left(40), address, phone,
                          "BOGOTA D.C.", "COLOMBIA", QStringLiteral("compras%1@empresa.com.co").arg(i), 2000000.0, "N",
                          "S", "02", "13050501", "01", "30", 2000000.0, "C", null(), null(), null(), null(), 0.0});
            } else {
                const qint64 id = personBase + ++persons;
                const QString n1 = QString::fromUtf8(pickOf(rng, kFirstNames));
                const QString a1 = QString::fromUtf8(pickOf(rng, kSurnames));
                const QString a2 = QString::fromUtf8(pickOf(rng, kSurnames));
                prov.add({double(id), QString::number(nitCheckDigit(id)), "P", QStringLiteral("%1 %2 %3").arg(n1, a1, a2),
                          address, phone, "BOGOTA D.C.", "COLOMBIA", null(), 0.0, "N", "N", "01", "13050501", "01",
                          "01", 0.0, "C", a1, a2, n1, null(), 0.0});
            }
        }
        t.commit();
        if (o.progress)
            o.progress(QStringLiteral("Clientes: %1 de %2").arg(std::min(o.customers, start + batch)).arg(o.customers));
    }
}

}  // namespace

void generateBenchData(Connection& c, const BenchDataOptions& o)
{
    if (c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSESQUEMA")).toInt() == 0)
        seedDemoPos(c);
    Rng rng(4242);
    generateProducts(c, o, rng);
    generateCustomers(c, o, rng);
    SalesOptions s;
    s.lastDay = QDate::currentDate().addDays(-1);
    s.days = o.days;
    s.salesPerDay = o.salesPerDay;
    s.linesPerSale = o.linesPerSale;
    s.seed = 9001;
    s.progress = o.progress;
    generateSales(c, s);
    OrdersOptions orders;
    orders.lastDay = s.lastDay;
    orders.days = o.days;
    orders.ordersPerDay = o.ordersPerDay;
    orders.linesPerOrder = o.linesPerOrder;
    orders.seed = 9002;
    orders.progress = o.progress;
    generateOrders(c, orders);
}

}  // namespace kv
