#pragma once
// What the cash count and the daily sales reports share: the period they cover, the one amount a
// document counts for, the payment-type captions, the heading every one of them prints and the
// rows read for them.
//
// A period is whole days: from the first day 00:00 to the day after the last day 00:00, so the
// queries read the day's documents, opening amounts and expenses by their FECHA index.
#include "data/Connection.h"
#include "report/Report.h"

#include <QDate>
#include <QList>
#include <QVariantMap>

#include <memory>

class QWidget;

namespace kv {

struct CashReportParams {
    QDate first;            // first day of the period
    QDate last;             // last day, included
    QString empresa;        // company of the documents (the parameter row's EMPRESA)
    QString documento;      // document type
    double cajero = 0;      // the cash count: the cashier whose documents and drawer are counted
    QDateTime printTime;    // "Impreso"; the moment of rendering when not set
};

// FECHAI and FECHAF: the period as the half-open range of moments the queries compare FECHA with.
QVariantMap periodParams(const CashReportParams& p);

// The amount a sale document counts for in every cash figure: what the customer pays for it
// (NETO + service charge - discount - paid before), from a row read by column name. A voided
// document has all of these at 0 and counts 0.
double documentAmount(const RowSource& row);

// Caption of a payment type in the listings by payment type.
QString paymentCaption(const QString& code);

// Every row of a query, columns by name.
QList<QVariantMap> queryRows(Connection& db, const QString& sql, const QVariantMap& params = {});

// The business's name and "Nit :" with its NIT (REGISTRO), as the letter-size reports head them.
QStringList letterheadLines(Connection& db);

// The name of a company (EMPRESAS.NOMBRE), empty when there is none.
QString companyName(Connection& db, const QString& empresa);

// "SISTEMA P.O.S.", the title, "Impreso" with the print time and "Pagina" with the page number,
// with the given lines under the title, in the page header of a report of that printable width.
// Returns the height used.
double addReportHeading(Report& rpt, const QString& title, const QStringList& lines);

// The 73 mm roll page of the cash count and the summary.
PageSetup cashRollPage();

// Lays the report out and shows it in the print preview.
void previewReport(Report& rpt, QWidget* parent);

}  // namespace kv
