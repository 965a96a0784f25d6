#pragma once
// "Iva Generado": the sales of a period broken down by IVA rate, one row per invoice and rate,
// with the tax and its base under the rate's pair of columns and the whole line amount under
// "Total". The rates of the page invoices (5, 8, 10, 16 and the general 19 %) have their own
// pair; any other rate above 0 goes to "Otras Tarifas", never to the exempt column, so that no
// tax charged goes unreported; the Ipoconsumo has a column of its own ("INC"). Only closed sales count
// (STATUS "I"; a voided sale keeps no lines). Landscape letter, printed even when there are no rows.
#include "report/Report.h"
#include "report/RowSource.h"

#include <QDate>
#include <functional>

namespace kv {

class Connection;

class TFrmMovimientoBaseIvaRpt1 {
public:
    explicit TFrmMovimientoBaseIvaRpt1(Connection& db);
    TFrmMovimientoBaseIvaRpt1(const TFrmMovimientoBaseIvaRpt1&) = delete;
    TFrmMovimientoBaseIvaRpt1& operator=(const TFrmMovimientoBaseIvaRpt1&) = delete;

    // Reads the sales of the company from the first day to the last, both whole. progress(rows)
    // is told now and then while a long period is read; answering false stops the reading, and
    // open() then returns false.
    bool open(const QString& empresa, const QDate& desde, const QDate& hasta,
              const std::function<bool(int)>& progress = {});
    Document render() { return rpt.render(); }

    // The rates with a pair of columns of their own, in the order printed.
    static const QList<int>& rates();

    Connection& db;
    Report rpt;

private:
    VectorRowSource rows_;
};

}  // namespace kv
