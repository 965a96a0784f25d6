#include "backoffice/SalesDashboard.h"

#include "common/Dates.h"
#include "common/Numbers.h"
#include "pos/CashReports.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// The shop's pictures, with the units digit required: a dashboard shows "0.00" and "0", never
// ".00" or nothing, for a figure that is zero.
const QString kMoney = QStringLiteral("###,##0.00");
const QString kCount = QStringLiteral("###,##0.");

// A closed document that still has lines, or carries an amount: a sale. Voiding deletes the lines
// and sets the totals to 0, so only documents at 0 are asked whether they have lines left.
const char* const kVoided =
    "(COALESCE(H.NETO, 0) = 0 AND COALESCE(H.SUBTOTAL, 0) = 0 AND NOT EXISTS (SELECT 1 FROM POSMOVIMIENTODETALLE V "
    "WHERE V.EMPRESA = H.EMPRESA AND V.DOCUMENTO = H.DOCUMENTO AND V.CONSECUTIVO = H.CONSECUTIVO))";

// What a sale counts for: charged for the goods, the document's discount taken off.
const char* const kSaleValue = "(COALESCE(H.NETO, 0) - COALESCE(H.DESCUENTO, 0))";
// What a line counts for, and the same without its taxes.
const char* const kLineValue = "(COALESCE(D.SUBTOTAL, 0) - COALESCE(D.DESCUENTO, 0))";
const char* const kLineBase =
    "(COALESCE(D.SUBTOTAL, 0) - COALESCE(D.DESCUENTO, 0) - COALESCE(D.VALORIVA, 0) - COALESCE(D.VALORIPOCONSUMO, 0))";

// The period's headers, with the choices of company, branch and register. FECHA is the only
// column compared as it stands: the others are compared as expressions, so the engine reads the
// period by the FECHA index instead of a company's documents of every year (the key) or a
// register's (CAJA, STATUS).
QString periodWhere(const DashboardFilter& f, QVariantMap& params)
{
    params.insert(QStringLiteral("FECHAI"), QDateTime(f.first, QTime(0, 0)));
    params.insert(QStringLiteral("FECHAF"), QDateTime(f.last.addDays(1), QTime(0, 0)));
    QString w = QStringLiteral("H.FECHA >= :FECHAI AND H.FECHA < :FECHAF");
    if (!f.empresa.isEmpty()) {
        w += QStringLiteral(" AND H.EMPRESA || '' = :EMPRESA");
        params.insert(QStringLiteral("EMPRESA"), f.empresa);
    }
    if (!f.bodega.isNull()) {
        w += QStringLiteral(" AND H.BODEGA + 0 = :BODEGA");
        params.insert(QStringLiteral("BODEGA"), f.bodega);
    }
    if (!f.caja.isNull()) {
        w += QStringLiteral(" AND H.CAJA + 0 = :CAJA");
        params.insert(QStringLiteral("CAJA"), f.caja);
    }
    return w;
}

QString saleCondition() { return QStringLiteral("H.STATUS = 'I' AND NOT ") + QLatin1String(kVoided); }

double num(const QVariantMap& r, const char* column) { return r.value(QLatin1String(column)).toDouble(); }

// The headers of a period by day and hour: sales, their amounts, the voids and the documents open.
QString headersSql(const QString& where)
{
    return QStringLiteral(
               "SELECT CAST(H.FECHA AS DATE) DIA, EXTRACT(HOUR FROM H.FECHA) HORA, "
               "SUM(CASE WHEN H.STATUS = 'I' AND NOT %1 THEN 1 ELSE 0 END) VENTAS, "
               "SUM(CASE WHEN H.STATUS = 'I' THEN %2 ELSE 0 END) VALOR, "
               "SUM(CASE WHEN H.STATUS = 'I' THEN COALESCE(H.DESCUENTO, 0) ELSE 0 END) DESCUENTO, "
               "SUM(CASE WHEN H.STATUS = 'I' THEN COALESCE(H.IVA, 0) ELSE 0 END) IVA, "
               "SUM(CASE WHEN H.STATUS = 'I' THEN COALESCE(H.VALORPROPINA, 0) ELSE 0 END) SERVICIO, "
               "SUM(CASE WHEN H.STATUS = 'I' AND %1 THEN 1 ELSE 0 END) ANULADOS, "
               "SUM(CASE WHEN H.STATUS = 'I' AND %1 THEN (SELECT SUM(B.VALORANTES) FROM POSBITACORA B WHERE "
               "B.EMPRESA = H.EMPRESA AND B.DOCUMENTO = H.DOCUMENTO AND B.CONSECUTIVO = H.CONSECUTIVO AND "
               "B.EVENTO = 'ANULACION') ELSE 0 END) VALORANULADO, "
               "SUM(CASE WHEN H.STATUS IS NULL OR H.STATUS <> 'I' THEN 1 ELSE 0 END) ABIERTOS "
               "FROM POSMOVIMIENTO H WHERE %3 GROUP BY 1, 2")
        .arg(QLatin1String(kVoided), QLatin1String(kSaleValue), where);
}

// The lines of the period's sales by product, with the product's name, group and average cost.
QString productsSql(const QString& where)
{
    return QStringLiteral(
               "SELECT L.PRODUCTO, P.NOMBRE, P.GRUPO, G.NOMBRE NOMBREGRUPO, P.VALORPROMEDIO, L.VALOR, L.UNIDADES, "
               "L.INC, L.DEVUELTO, L.COSTO, L.BASECOSTO, L.VALORCOSTO, L.UNIDADESSINCOSTO, L.BASESINCOSTO, "
               "L.VALORSINCOSTO FROM (SELECT D.PRODUCTO, SUM(%1) VALOR, "
               "SUM(COALESCE(D.CANTIDADRECIBIDA, D.CANTIDAD, 0)) UNIDADES, "
               "SUM(COALESCE(D.VALORIPOCONSUMO, 0)) INC, "
               "SUM(CASE WHEN D.CANTIDAD < 0 THEN -%1 ELSE 0 END) DEVUELTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN D.COSTO ELSE 0 END) COSTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN %2 ELSE 0 END) BASECOSTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN %1 ELSE 0 END) VALORCOSTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN 0 ELSE COALESCE(D.CANTIDADRECIBIDA, D.CANTIDAD, 0) END) "
               "UNIDADESSINCOSTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN 0 ELSE %2 END) BASESINCOSTO, "
               "SUM(CASE WHEN COALESCE(D.COSTO, 0) <> 0 THEN 0 ELSE %1 END) VALORSINCOSTO "
               "FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = "
               "H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO WHERE %3 AND H.STATUS = 'I' GROUP BY D.PRODUCTO) L "
               "LEFT JOIN PRODUCTOS P ON P.PRODUCTO = L.PRODUCTO LEFT JOIN GRUPOS G ON G.GRUPO = P.GRUPO")
        .arg(QLatin1String(kLineValue), QLatin1String(kLineBase), where);
}

// The period's sales by payment type, cashier and seller.
QString peopleSql(const QString& where)
{
    return QStringLiteral("SELECT H.TIPODEPAGO, H.CAJERO, H.VENDEDOR, COUNT(*) VENTAS, SUM(%1) VALOR "
                          "FROM POSMOVIMIENTO H WHERE %2 AND %3 GROUP BY 1, 2, 3")
        .arg(QLatin1String(kSaleValue), where, saleCondition());
}

// The electronic documents joined to the period's headers. The header's side of the join is an
// expression and the state is grouped as one: the engine cannot start from the documents (by the
// ESTADO index, every document of every year) and walks the period's headers instead.
const char* const kElectronicJoin =
    "FROM POSMOVIMIENTO H JOIN POSDOCUMENTOELECTRONICO E ON E.EMPRESA = H.EMPRESA || '' AND E.DOCUMENTO = "
    "H.DOCUMENTO || '' AND E.CONSECUTIVO = H.CONSECUTIVO + 0";

// The electronic documents of the period's documents (the sales and the voids' notes) by state.
QString electronicSql(const QString& where)
{
    return QStringLiteral("SELECT E.ESTADO || '' ESTADO, COUNT(*) DOCUMENTOS %1 WHERE %2 GROUP BY 1")
        .arg(QLatin1String(kElectronicJoin), where);
}

struct ProductRow {
    int producto = 0;
    QString nombre;
    QString grupo;
    QString nombreGrupo;
    double valor = 0;
    double unidades = 0;
};

struct PeriodRead {
    DashboardTotals totals;
    std::vector<DashboardBar> porHora;
    std::vector<DashboardBar> porDia;
    std::vector<ProductRow> products;
};

PeriodRead readPeriod(Connection& db, const DashboardFilter& f)
{
    PeriodRead r;
    QVariantMap params;
    const QString where = periodWhere(f, params);

    r.porHora.resize(24);
    for (int h = 0; h < 24; ++h) {
        r.porHora[size_t(h)].key = h;
        r.porHora[size_t(h)].caption = QString::number(h);
    }
    QMap<QDate, DashboardBar> days;
    for (QDate d = f.first; d <= f.last; d = d.addDays(1))
        days.insert(d, DashboardBar{d, FormatDateTime(QStringLiteral("dd/mm"), d), 0, 0});

    DashboardTotals& t = r.totals;
    for (const QVariantMap& row : queryRows(db, headersSql(where), params)) {
        const int hour = row.value(QStringLiteral("HORA")).toInt();
        const QDate day = row.value(QStringLiteral("DIA")).toDate();
        const double ventas = num(row, "VENTAS"), valor = num(row, "VALOR");
        t.numeroVentas += int(ventas);
        t.ventas += valor;
        t.descuentos += num(row, "DESCUENTO");
        t.iva += num(row, "IVA");
        t.servicio += num(row, "SERVICIO");
        t.anulaciones += int(num(row, "ANULADOS"));
        t.valorAnulado += num(row, "VALORANULADO");
        t.abiertos += int(num(row, "ABIERTOS"));
        if (hour >= 0 && hour < 24) {
            r.porHora[size_t(hour)].valor += valor;
            r.porHora[size_t(hour)].cantidad += ventas;
        }
        auto d = days.find(day);
        if (d != days.end()) {
            d->valor += valor;
            d->cantidad += ventas;
        }
    }
    for (const DashboardBar& b : days)
        r.porDia.push_back(b);

    for (const QVariantMap& row : queryRows(db, productsSql(where), params)) {
        ProductRow p;
        p.producto = row.value(QStringLiteral("PRODUCTO")).toInt();
        p.nombre = row.value(QStringLiteral("NOMBRE")).toString();
        if (p.nombre.isEmpty())
            p.nombre = QStringLiteral("Producto %1").arg(p.producto);
        p.grupo = row.value(QStringLiteral("GRUPO")).toString();
        p.nombreGrupo = row.value(QStringLiteral("NOMBREGRUPO")).toString();
        p.valor = num(row, "VALOR");
        p.unidades = num(row, "UNIDADES");
        r.products.push_back(p);

        t.inc += num(row, "INC");
        t.devoluciones += num(row, "DEVUELTO");
        t.ventasLineas += p.valor;
        // Lines whose register stored their cost.
        t.costo += num(row, "COSTO");
        t.baseConCosto += num(row, "BASECOSTO");
        t.ventasConCosto += num(row, "VALORCOSTO");
        // The other lines at the product's average cost, when it has one.
        const double average = num(row, "VALORPROMEDIO");
        if (average > 0) {
            t.costo += average * num(row, "UNIDADESSINCOSTO");
            t.baseConCosto += num(row, "BASESINCOSTO");
            t.ventasConCosto += num(row, "VALORSINCOSTO");
        }
    }
    return r;
}

// The bars of a breakdown, highest amount first, ties by caption.
std::vector<DashboardBar> sorted(QHash<QString, DashboardBar> bars, bool byQuantity = false, size_t limit = 0)
{
    std::vector<DashboardBar> out(bars.begin(), bars.end());
    std::sort(out.begin(), out.end(), [byQuantity](const DashboardBar& a, const DashboardBar& b) {
        const double x = byQuantity ? a.cantidad : a.valor, y = byQuantity ? b.cantidad : b.valor;
        if (x != y)
            return x > y;
        return a.caption < b.caption;
    });
    if (limit && out.size() > limit)
        out.resize(limit);
    return out;
}

// Names by cédula: the cashiers, and for sellers also the waiters.
QHash<qint64, QString> namesOf(Connection& db, bool withWaiters)
{
    QHash<qint64, QString> names;
    if (withWaiters && db.tableExists(QStringLiteral("MESERO")))
        for (const QVariantMap& r : queryRows(db, QStringLiteral("SELECT CEDULA, NOMBRE FROM MESERO")))
            names.insert(qint64(num(r, "CEDULA")), r.value(QStringLiteral("NOMBRE")).toString());
    for (const QVariantMap& r : queryRows(db, QStringLiteral("SELECT CEDULA, NOMBRE FROM POSCAJEROS")))
        names.insert(qint64(num(r, "CEDULA")), r.value(QStringLiteral("NOMBRE")).toString());
    return names;
}

QString personCaption(const QHash<qint64, QString>& names, const QVariant& cedula)
{
    if (cedula.isNull())
        return QStringLiteral("Sin nombre");
    const QString name = names.value(qint64(cedula.toDouble()));
    return name.isEmpty() ? FormatFloat(kCount, cedula.toDouble()) : name;
}

}  // namespace

std::pair<QDate, QDate> periodDays(DashboardPeriod period, const QDate& today, const QDate& from, const QDate& to)
{
    switch (period) {
    case DashboardPeriod::Today:
        return {today, today};
    case DashboardPeriod::Yesterday:
        return {today.addDays(-1), today.addDays(-1)};
    case DashboardPeriod::ThisWeek:
        return {today.addDays(1 - today.dayOfWeek()), today};
    case DashboardPeriod::ThisMonth:
        return {QDate(today.year(), today.month(), 1), today};
    case DashboardPeriod::Range:
        break;
    }
    const QDate a = from.isValid() ? from : today, b = to.isValid() ? to : a;
    return a <= b ? std::pair{a, b} : std::pair{b, a};
}

DashboardFilter previousPeriod(const DashboardFilter& f, DashboardPeriod period)
{
    DashboardFilter p = f;
    switch (period) {
    case DashboardPeriod::Today:
    case DashboardPeriod::Yesterday:
    case DashboardPeriod::ThisWeek:
        p.first = f.first.addDays(-7);
        p.last = f.last.addDays(-7);
        break;
    case DashboardPeriod::ThisMonth:
        // addMonths keeps the day or takes the month's last one (31 March -> 28 February).
        p.first = f.first.addMonths(-1);
        p.last = f.last.addMonths(-1);
        break;
    case DashboardPeriod::Range: {
        const qint64 days = f.first.daysTo(f.last) + 1;
        p.first = f.first.addDays(-days);
        p.last = f.first.addDays(-1);
        break;
    }
    }
    return p;
}

DashboardTotals readTotals(Connection& db, const DashboardFilter& f) { return readPeriod(db, f).totals; }

DashboardFigures readDashboard(Connection& db, const DashboardFilter& f, DashboardPeriod period)
{
    DashboardFigures fig;
    fig.filter = f;
    fig.previousFilter = previousPeriod(f, period);

    // One snapshot for all the figures, so the totals and the charts agree while registers sell.
    db.readTogether([&] {
        PeriodRead now = readPeriod(db, f);
        PeriodRead before = readPeriod(db, fig.previousFilter);
        fig.totals = now.totals;
        fig.previous = before.totals;
        fig.porHora = std::move(now.porHora);
        fig.porHoraAnterior = std::move(before.porHora);
        fig.porDia = std::move(now.porDia);

        QHash<QString, DashboardBar> products, groups;
        for (const ProductRow& p : now.products) {
            products.insert(QString::number(p.producto), DashboardBar{p.producto, p.nombre, p.valor, p.unidades});
            DashboardBar& g = groups[p.grupo];
            g.key = p.grupo;
            g.caption = p.grupo.isEmpty() ? QStringLiteral("Sin grupo")
                                          : p.nombreGrupo.isEmpty() ? p.grupo : p.nombreGrupo;
            g.valor += p.valor;
            g.cantidad += p.unidades;
        }
        fig.topValor = sorted(products, false, 20);
        fig.topCantidad = sorted(products, true, 20);
        fig.porGrupo = sorted(groups);

        QVariantMap params;
        const QString where = periodWhere(f, params);
        const QHash<qint64, QString> cashiers = namesOf(db, false), sellers = namesOf(db, true);
        QHash<QString, DashboardBar> byCashier, bySeller, byPayment;
        auto add = [](QHash<QString, DashboardBar>& bars, const QVariant& key, const QString& caption, double valor,
                      double ventas) {
            DashboardBar& b = bars[key.isNull() ? QString() : key.toString()];
            b.key = key;
            b.caption = caption;
            b.valor += valor;
            b.cantidad += ventas;
        };
        for (const QVariantMap& r : queryRows(db, peopleSql(where), params)) {
            const double valor = num(r, "VALOR"), ventas = num(r, "VENTAS");
            const QVariant cajero = r.value(QStringLiteral("CAJERO")), vendedor = r.value(QStringLiteral("VENDEDOR"));
            const QString tipo = r.value(QStringLiteral("TIPODEPAGO")).toString();
            add(byCashier, cajero, personCaption(cashiers, cajero), valor, ventas);
            add(bySeller, vendedor, personCaption(sellers, vendedor), valor, ventas);
            add(byPayment, tipo.isEmpty() ? QVariant() : QVariant(tipo),
                tipo.isEmpty() ? QStringLiteral("Sin forma de pago") : paymentCaption(tipo).simplified(), valor, ventas);
        }
        fig.porCajero = sorted(byCashier);
        fig.porVendedor = sorted(bySeller);
        fig.porPago = sorted(byPayment);

        // Every state shows, at 0 when the period has none of it, so the chart reads the same daily.
        QMap<QString, double> states{{QStringLiteral("A"), 0}, {QStringLiteral("R"), 0}, {QStringLiteral("P"), 0},
                                     {QStringLiteral("E"), 0}};
        for (const QVariantMap& r : queryRows(db, electronicSql(where), params))
            states[r.value(QStringLiteral("ESTADO")).toString()] += num(r, "DOCUMENTOS");
        for (const QString& s : {QStringLiteral("A"), QStringLiteral("R"), QStringLiteral("P"), QStringLiteral("E")})
            fig.documentosElectronicos.push_back(DashboardBar{s, electronicStateCaption(s), 0, states.take(s)});
        for (auto it = states.cbegin(); it != states.cend(); ++it)
            fig.documentosElectronicos.push_back(DashboardBar{it.key(), electronicStateCaption(it.key()), 0, it.value()});
    });
    return fig;
}

DashboardDrill drillStatement(const DashboardFilter& f, DashboardChart chart, const QVariant& key)
{
    DashboardDrill d;
    DashboardFilter period = f;
    if (chart == DashboardChart::PorDia) {
        // The day's own headers, by the same index.
        period.first = key.toDate();
        period.last = key.toDate();
    }
    const QString where = periodWhere(period, d.params);
    const bool nullKey = key.isNull() || (key.typeId() == QMetaType::QString && key.toString().isEmpty());
    if (!nullKey && chart != DashboardChart::PorDia)
        d.params.insert(QStringLiteral("CLAVE"), key);
    auto keyed = [nullKey](const char* column, const char* compared) {
        return nullKey ? QLatin1String(column) + QStringLiteral(" IS NULL")
                       : QLatin1String(compared) + QStringLiteral(" = :CLAVE");
    };

    QString columns, value, from, order;
    switch (chart) {
    case DashboardChart::TopValor:
    case DashboardChart::TopCantidad:
    case DashboardChart::PorGrupo:
        // "+ 0": the product's lines are reached from the period's headers, never through the
        // product's index over all the years stored.
        columns = QStringLiteral("H.FECHA, H.DOCUMENTO, H.CONSECUTIVO, D.LINEA, D.PRODUCTO, P.NOMBRE, D.CANTIDAD, "
                                 "D.UNIDADMOVIMIENTO, D.PRECIOUNIDAD, ");
        value = QLatin1String(kLineValue);
        from = QStringLiteral("FROM POSMOVIMIENTO H JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = H.EMPRESA AND "
                              "D.DOCUMENTO = H.DOCUMENTO AND D.CONSECUTIVO = H.CONSECUTIVO LEFT JOIN PRODUCTOS P ON "
                              "P.PRODUCTO = D.PRODUCTO WHERE %1 AND H.STATUS = 'I' AND %2")
                   .arg(where, chart == DashboardChart::PorGrupo ? keyed("P.GRUPO", "P.GRUPO")
                                                                 : keyed("D.PRODUCTO", "D.PRODUCTO + 0"));
        order = QStringLiteral(" ORDER BY H.FECHA, H.CONSECUTIVO, D.LINEA");
        break;
    case DashboardChart::DocumentosElectronicos:
        columns = QStringLiteral("H.FECHA, H.DOCUMENTO, H.CONSECUTIVO, E.TIPO, E.NUMERO, E.ESTADO, ");
        value = QStringLiteral("0");
        from = QLatin1String(kElectronicJoin) + QStringLiteral(" WHERE %1 AND %2").arg(where, keyed("E.ESTADO", "E.ESTADO || ''"));
        order = QStringLiteral(" ORDER BY H.FECHA, E.NUMERO");
        break;
    default: {
        QString which = QStringLiteral("1 = 1");
        if (chart == DashboardChart::PorHora)
            which = QStringLiteral("EXTRACT(HOUR FROM H.FECHA) = :CLAVE");
        else if (chart == DashboardChart::PorCajero)
            which = keyed("H.CAJERO", "H.CAJERO + 0");
        else if (chart == DashboardChart::PorVendedor)
            which = keyed("H.VENDEDOR", "H.VENDEDOR + 0");
        else if (chart == DashboardChart::PorPago)
            which = keyed("H.TIPODEPAGO", "H.TIPODEPAGO");
        columns = QStringLiteral("H.FECHA, H.DOCUMENTO, H.CONSECUTIVO, H.CLIENTE, C.NOMBRE NOMBRECLIENTE, H.CAJA, "
                                 "H.TIPODEPAGO, ");
        value = QLatin1String(kSaleValue);
        from = QStringLiteral("FROM POSMOVIMIENTO H LEFT JOIN PROVEEDORES C ON C.NIT = H.CLIENTE WHERE %1 AND %2 AND %3")
                   .arg(where, saleCondition(), which);
        order = QStringLiteral(" ORDER BY H.FECHA, H.CONSECUTIVO");
        break;
    }
    }
    d.sql = QStringLiteral("SELECT ") + columns + value + QStringLiteral(" VALOR ") + from + order;
    d.sumSql = QStringLiteral("SELECT COUNT(*) N, SUM(") + value + QStringLiteral(") VALOR ") + from;
    return d;
}

const std::vector<DashboardBar>& dashboardBars(const DashboardFigures& fig, DashboardChart chart)
{
    switch (chart) {
    case DashboardChart::PorHora: return fig.porHora;
    case DashboardChart::PorDia: return fig.porDia;
    case DashboardChart::TopValor: return fig.topValor;
    case DashboardChart::TopCantidad: return fig.topCantidad;
    case DashboardChart::PorGrupo: return fig.porGrupo;
    case DashboardChart::PorCajero: return fig.porCajero;
    case DashboardChart::PorVendedor: return fig.porVendedor;
    case DashboardChart::PorPago: return fig.porPago;
    case DashboardChart::DocumentosElectronicos: break;
    }
    return fig.documentosElectronicos;
}

QString dashboardChartTitle(DashboardChart chart)
{
    switch (chart) {
    case DashboardChart::PorHora: return QStringLiteral("Ventas por hora del día");
    case DashboardChart::PorDia: return QStringLiteral("Ventas por día");
    case DashboardChart::TopValor: return QStringLiteral("Los 20 productos de mayor venta (valor)");
    case DashboardChart::TopCantidad: return QStringLiteral("Los 20 productos más vendidos (unidades)");
    case DashboardChart::PorGrupo: return QStringLiteral("Ventas por grupo de productos");
    case DashboardChart::PorCajero: return QStringLiteral("Ventas por cajero");
    case DashboardChart::PorVendedor: return QStringLiteral("Ventas por vendedor o mesero");
    case DashboardChart::PorPago: return QStringLiteral("Ventas por forma de pago");
    case DashboardChart::DocumentosElectronicos: return QStringLiteral("Documentos electrónicos por estado");
    }
    return QString();
}

QString electronicStateCaption(const QString& estado)
{
    if (estado == QLatin1String("A"))
        return QStringLiteral("Aceptados");
    if (estado == QLatin1String("R"))
        return QStringLiteral("Rechazados");
    if (estado == QLatin1String("P"))
        return QStringLiteral("Por enviar");
    if (estado == QLatin1String("E"))
        return QStringLiteral("Con falla, en espera");
    return estado.isEmpty() ? QStringLiteral("Sin estado") : estado;
}

QString changeText(double now, double before)
{
    if (std::fabs(before) < 0.005)
        return QString();
    const double pct = (now - before) * 100 / std::fabs(before);
    const QString figure = FormatFloat(QStringLiteral("###,##0.0"), std::fabs(pct)) + QStringLiteral(" %");
    if (std::fabs(pct) < 0.05)
        return QStringLiteral("= ") + figure;
    return (pct > 0 ? QStringLiteral("+") : QStringLiteral("-")) + figure;
}

QList<QVariantMap> totalsRows(const DashboardFigures& fig)
{
    const DashboardTotals& a = fig.totals;
    const DashboardTotals& b = fig.previous;
    QList<QVariantMap> rows;
    auto row = [&rows](const QString& concepto, double now, double before, const QString& picture) {
        rows.append({{QStringLiteral("CONCEPTO"), concepto},
                     {QStringLiteral("ACTUAL"), FormatFloat(picture, now)},
                     {QStringLiteral("ANTERIOR"), FormatFloat(picture, before)},
                     {QStringLiteral("VARIACION"), changeText(now, before)}});
    };
    row(QStringLiteral("Ventas"), a.ventas, b.ventas, kMoney);
    row(QStringLiteral("Número de ventas"), a.numeroVentas, b.numeroVentas, kCount);
    row(QStringLiteral("Ticket promedio"), a.ticketPromedio(), b.ticketPromedio(), kMoney);
    row(QStringLiteral("Descuentos"), a.descuentos, b.descuentos, kMoney);
    row(QStringLiteral("Anulaciones"), a.anulaciones, b.anulaciones, kCount);
    if (a.valorAnulado != 0 || b.valorAnulado != 0)
        row(QStringLiteral("Valor anulado"), a.valorAnulado, b.valorAnulado, kMoney);
    row(QStringLiteral("Devoluciones"), a.devoluciones, b.devoluciones, kMoney);
    row(QStringLiteral("IVA"), a.iva, b.iva, kMoney);
    row(QStringLiteral("INC (Ipoconsumo)"), a.inc, b.inc, kMoney);
    if (a.hayCosto() || b.hayCosto()) {
        row(QStringLiteral("Margen bruto"), a.margen(), b.margen(), kMoney);
        rows.append({{QStringLiteral("CONCEPTO"), QStringLiteral("Margen sobre ventas sin impuestos")},
                     {QStringLiteral("ACTUAL"), FormatFloat(QStringLiteral("##0.0"), a.margenPorcentaje()) + QStringLiteral(" %")},
                     {QStringLiteral("ANTERIOR"), FormatFloat(QStringLiteral("##0.0"), b.margenPorcentaje()) + QStringLiteral(" %")},
                     {QStringLiteral("VARIACION"), QString()}});
    }
    if (a.abiertos || b.abiertos)
        row(QStringLiteral("Documentos abiertos (no cuentan)"), a.abiertos, b.abiertos, kCount);
    return rows;
}

std::unique_ptr<Report> dashboardReport(const DashboardFigures& fig, const Letterhead& head, const QString& alcance,
                                        const std::vector<DashboardPicture>& charts)
{
    const ListReport list(QStringLiteral("TABLERO DE VENTAS"),
                          {ListColumn(QStringLiteral("Concepto"), QStringLiteral("CONCEPTO"), 0, 75),
                           ListColumn(QStringLiteral("Periodo"), QStringLiteral("ACTUAL"), 78, 40, QString(), true),
                           ListColumn(QStringLiteral("Anterior"), QStringLiteral("ANTERIOR"), 121, 40, QString(), true),
                           ListColumn(QStringLiteral("Variación"), QStringLiteral("VARIACION"), 164, 31.9, QString(), true)});
    std::unique_ptr<Report> rpt = listReport(list, head, totalsRows(fig));
    const double W = rpt->page().printableWidth();

    auto days = [](const DashboardFilter& f) {
        return FormatDateTime(QStringLiteral("dd/mm/yyyy"), f.first) +
               (f.last != f.first ? QStringLiteral(" Hasta ") + FormatDateTime(QStringLiteral("dd/mm/yyyy"), f.last)
                                  : QString());
    };
    Band& title = rpt->titleBand().setHeight(14);
    title.addText(0, 1, W, 4, QStringLiteral("Periodo : ") + days(fig.filter)).named(QStringLiteral("Periodo"));
    title.addText(0, 5.5, W, 4, QStringLiteral("Comparado con : ") + days(fig.previousFilter))
        .named(QStringLiteral("Anterior"));
    title.addText(0, 10, W, 4, alcance).named(QStringLiteral("Alcance"));

    // The column titles belong to the table of totals, which fits on the first page; the pages of
    // charts go without them.
    rpt->columnHeader().beforePrint = [](BandEvent& e) { e.print = e.page == 1; };
    if (ReportItem* count = rpt->summary().find(QStringLiteral("TotalRegistros")))
        count->show(false);

    QList<QVariantMap> pictures;
    for (const DashboardPicture& c : charts)
        pictures.append({{QStringLiteral("TITULO"), c.title}, {QStringLiteral("IMAGEN"), c.png}});
    SubDetail& sd = rpt->addSubDetail(std::move(pictures), true);
    Band& b = sd.band().setHeight(112);
    b.addField(0, 3, W, 5, QStringLiteral("TITULO")).named(QStringLiteral("Grafico")).bold().size(10);
    b.addImageField(0, 9, W, 100, QStringLiteral("IMAGEN"));
    return rpt;
}

}  // namespace kv
