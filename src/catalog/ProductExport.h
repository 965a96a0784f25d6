#pragma once
// The product catalogue into a spreadsheet: the columns the user checked, for a range of product
// numbers, in name or number order, optionally followed by each product's prices per unit of
// packing. The list and the export read the same query; the export walks it forward only, so
// 100,000 products with their prices are never held in memory.
#include "data/Connection.h"
#include "platform/RowProgress.h"

#include <QStringList>

namespace kv {

class Workbook;

struct ProductExportChoice {
    // The columns to export, by the captions of their check boxes (see columns()).
    QStringList columns;
    qint64 desde = 1, hasta = 999999999;  // product numbers, both included
    bool alfabetico = false;              // by name; else by number
    bool precios = false;                 // with the prices per unit of packing
};

struct ProductExport {
    // The check boxes in the order their columns come, each with its select-list piece.
    struct Column {
        QString caption;
        QString pieces;
    };
    static const QList<Column>& columns();

    // The list's query: the product number, the checked columns in the table's order and the
    // constant column, with the range bound as :DESDE and :HASTA.
    static QString sql(const ProductExportChoice& c);
    static QVariantMap params(const ProductExportChoice& c);

    // Writes the list (and the prices when asked) into `wb`: row 1 the column names, then one row
    // per product. Returns the products written, or -1 when the progress call stopped it.
    static int write(Connection& db, Workbook& wb, const ProductExportChoice& c, const ExportProgress& progress = {});
};

}  // namespace kv
