#pragma once
// The sales of a date range copied into a spreadsheet: per sale line with the doctor and the
// patient ("Copiar Detallado"), per doctor and product ("Copiar Resumido"), per sale line with
// the patient's personal data ("Copiar Detallado  Rips") and per product for one company ("Copiar "
// of "Excel Movimiento Por Producto"). Each export reads the rows of its query, run once, forward
// only, and writes them as it reads, so a range of 100,000 lines is never held in memory.
//
// The range is whole days: FECHA from the first day at 00:00 up to, not including, the day after
// the last.
#include "data/Connection.h"
#include "platform/RowProgress.h"

#include <QDate>

namespace kv {

class Dataset;

struct SalesExport {
    // The queries, also shown in the screens' grids (parameters :FECHAINICIAL, :FECHAFINAL and,
    // per product, :EMPRESA).
    static QString conceptoSql();   // one row per sale line, with the doctor's columns
    static QString conceptoRSql();  // one row per doctor and product
    static QString productoSql();   // one row per product of one company
    static QVariantMap range(const QDate& first, const QDate& last);

    // The payment type's text in the sheets; empty for a code not listed.
    static QString tipoDePago(const QString& code);

    // Each writes its sheet into `wb` and returns the data rows written, or -1 when the progress
    // call stopped it (the workbook is then to be discarded). The first form reads a screen's
    // query (of the SQL above, its parameters set), open or not, once and forward only: the rows
    // its grid holds and then the rest. The second runs the query for the range itself.
    static int detallado(Dataset& concepto, Workbook& wb, const ExportProgress& progress = {});
    static int detallado(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                         const ExportProgress& progress = {});
    static int resumido(Dataset& conceptoR, Workbook& wb, const ExportProgress& progress = {});
    static int resumido(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                        const ExportProgress& progress = {});
    // `today` gives the patients' ages.
    static int rips(Dataset& concepto, Workbook& wb, const ExportProgress& progress = {},
                    const QDate& today = QDate::currentDate());
    static int rips(Connection& db, Workbook& wb, const QDate& first, const QDate& last,
                    const ExportProgress& progress = {}, const QDate& today = QDate::currentDate());
    // firstText and lastText: the range as the user typed it, for the heading "Periodo ..."; the
    // company is the query's :EMPRESA.
    static int porProducto(Dataset& producto, Workbook& wb, const QString& firstText, const QString& lastText,
                           const ExportProgress& progress = {});
    static int porProducto(Connection& db, Workbook& wb, const QString& empresa, const QDate& first, const QDate& last,
                           const QString& firstText, const QString& lastText, const ExportProgress& progress = {});
};

}  // namespace kv
