#pragma once
// The figures of the owner's dashboard ("Tablero de Ventas"): a period's sales totals beside the
// previous period's, and the breakdowns its charts draw (by hour, by day, by product, by product
// group, by cashier, by seller, by payment type, electronic documents by state), with the rows
// behind each bar.
//
// What counts:
//  - A sale is a closed document (STATUS "I") that still has its lines; a document left open
//    (not collected yet) counts nowhere. A voided document is closed with its lines deleted and
//    its totals at 0: it is counted as a void, never as a sale. Documents count on the day and
//    hour of their FECHA (a void keeps the date of the sale it undid).
//  - "Ventas" is what the customers were charged for the goods: NETO less the document's
//    discount (DESCUENTO), taxes included, the service charge (VALORPROPINA) left out, as it is the
//    staff's. Returned goods (lines with a negative quantity) are already subtracted from it and
//    are shown on their own as "Devoluciones".
//  - IVA is the headers' IVA; INC (Ipoconsumo) the lines' VALORIPOCONSUMO.
//  - Gross margin: the lines' amount without taxes less their cost. The cost of a line is its
//    COSTO when the register stored one, else the product's average cost (PRODUCTOS.VALORPROMEDIO)
//    times the base units sold (CANTIDADRECIBIDA). Lines with neither are left out of the margin,
//    and the share of the sales the margin covers is given with it.
//  - The value of a void comes from the trail (POSBITACORA, EVENTO "ANULACION", VALORANTES) where
//    the void was recorded there.
//
// Scale: every statement starts from the period's headers through the FECHA index (the company,
// branch and register are compared as expressions so that no other index is taken instead) and
// reaches the lines by the document's key; the products' catalogue rows are read only for the
// products sold. Nothing grows with the years stored.
#include "data/Connection.h"
#include "report/ListReport.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace kv {

// The period choices of the screen, in the order it offers them.
enum class DashboardPeriod { Today, Yesterday, ThisWeek, ThisMonth, Range };

// Whole days, the last one included, and what the figures are restricted to.
struct DashboardFilter {
    QDate first;
    QDate last;
    QString empresa;  // empty: every company
    QVariant bodega;  // null: every branch (POSMOVIMIENTO.BODEGA)
    QVariant caja;    // null: every register
};

// The days of a period choice as seen on `today`; `from` and `to` are used by Range only (swapped
// when given backwards). A week runs from Monday.
std::pair<QDate, QDate> periodDays(DashboardPeriod period, const QDate& today, const QDate& from = {},
                                   const QDate& to = {});

// The period the figures are compared with: for one day, the same weekday of the week before (a
// Saturday is compared with a Saturday); for this week, the same days of the week before; for this
// month, the month before up to the same day (or its last day); for a range, as many days just
// before it.
DashboardFilter previousPeriod(const DashboardFilter& f, DashboardPeriod period);

struct DashboardTotals {
    double ventas = 0;        // NETO - DESCUENTO of the sales
    int numeroVentas = 0;     // sales (closed documents that were not voided)
    double descuentos = 0;    // DESCUENTO of the sales
    int anulaciones = 0;      // voided documents
    double valorAnulado = 0;  // their value before the void, where the trail recorded it
    double devoluciones = 0;  // amount of the returned lines (as a positive number)
    double iva = 0;
    double inc = 0;           // Ipoconsumo
    double servicio = 0;      // service charge, not part of the sales
    int abiertos = 0;         // documents of the period still open, not counted
    // Margin: the lines with a cost (see above).
    double baseConCosto = 0;     // their amount without taxes
    double costo = 0;
    double ventasConCosto = 0;   // their amount with taxes, to say which share the margin covers
    double ventasLineas = 0;     // every line's amount with taxes

    double ticketPromedio() const { return numeroVentas ? ventas / numeroVentas : 0; }
    bool hayCosto() const { return ventasConCosto != 0 || costo != 0; }
    double margen() const { return baseConCosto - costo; }
    double margenPorcentaje() const { return baseConCosto != 0 ? margen() * 100 / baseConCosto : 0; }
    // The share of the lines' sales the margin covers, in percent.
    double coberturaCosto() const { return ventasLineas != 0 ? ventasConCosto * 100 / ventasLineas : 0; }
};

// One bar: its key (the hour, the day, the product number, the group code, the cashier's
// cédula, the payment code, the state), the caption under it and its figures.
struct DashboardBar {
    QVariant key;
    QString caption;
    double valor = 0;     // amount
    double cantidad = 0;  // sales counted, or units of a product
};

struct DashboardFigures {
    DashboardFilter filter;
    DashboardFilter previousFilter;
    DashboardTotals totals;
    DashboardTotals previous;
    std::vector<DashboardBar> porHora;        // 24 bars, 0 to 23
    std::vector<DashboardBar> porHoraAnterior;  // the previous period's, same hours
    std::vector<DashboardBar> porDia;         // every day of the period, in order
    std::vector<DashboardBar> topValor;       // the 20 products of highest amount
    std::vector<DashboardBar> topCantidad;    // the 20 products of most base units sold
    std::vector<DashboardBar> porGrupo;       // by amount, highest first
    std::vector<DashboardBar> porCajero;      // who collected (CAJERO)
    std::vector<DashboardBar> porVendedor;    // who sold (VENDEDOR: the cashier or the waiter)
    std::vector<DashboardBar> porPago;        // payment types
    std::vector<DashboardBar> documentosElectronicos;  // by state: count in `cantidad`
};

// The figures of a period and of the period it is compared with.
DashboardFigures readDashboard(Connection& db, const DashboardFilter& f, DashboardPeriod period);
// Only the totals of a period (both figures of the comparison are read this way).
DashboardTotals readTotals(Connection& db, const DashboardFilter& f);

// What a bar stands for, to list the rows behind it.
enum class DashboardChart {
    PorHora, PorDia, TopValor, TopCantidad, PorGrupo, PorCajero, PorVendedor, PorPago, DocumentosElectronicos
};

// The rows behind one bar: the statement (for a cursor) and its parameters. Sales for hours, days,
// cashiers, sellers and payment types (FECHA, DOCUMENTO, CONSECUTIVO, CLIENTE, NOMBRECLIENTE,
// CAJA, TIPODEPAGO, VALOR); lines for products and groups (FECHA, DOCUMENTO, CONSECUTIVO,
// LINEA, PRODUCTO, NOMBRE, CANTIDAD, UNIDADMOVIMIENTO, PRECIOUNIDAD, VALOR); documents for a
// state (FECHA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, ESTADO).
struct DashboardDrill {
    QString sql;
    QString sumSql;  // the same rows counted (N) and their amount summed (VALOR)
    QVariantMap params;
};
DashboardDrill drillStatement(const DashboardFilter& f, DashboardChart chart, const QVariant& key);

// The bars of one chart as read (horizontal charts show them bottom up).
const std::vector<DashboardBar>& dashboardBars(const DashboardFigures& fig, DashboardChart chart);

// Captions.
QString dashboardChartTitle(DashboardChart chart);
QString electronicStateCaption(const QString& estado);
// "12.5 %" more or less than the previous figure, "" when there is nothing to compare with.
QString changeText(double now, double before);

// A chart as printed: its title and a picture file (PNG).
struct DashboardPicture {
    QString title;
    QByteArray png;
};

// The dashboard on letter paper: the letterhead, the period and the registers it covers, the
// table of totals beside the previous period's, then the charts, two to a page.
std::unique_ptr<Report> dashboardReport(const DashboardFigures& fig, const Letterhead& head, const QString& alcance,
                                        const std::vector<DashboardPicture>& charts);

// The rows of the totals table: Concepto, ACTUAL, ANTERIOR, VARIACION (texts, already formatted).
QList<QVariantMap> totalsRows(const DashboardFigures& fig);

}  // namespace kv
