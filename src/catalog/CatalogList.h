#pragma once
// The printed list of a catalogue table (branches, cashiers, registers, restaurant tables,
// waiters): the rows whose key lies between two typed values, by name or by key, on letter paper
// under the business letterhead, ending with the number of rows printed.
#include "report/Document.h"
#include "report/ListReport.h"

#include <QDateTime>

namespace kv {

struct CatalogList {
    QString title;      // "SUCURSALES"
    QString table;      // "BODEGAS"
    QString keyField;   // the range column and the "#" order
    QString nameField;  // the "A" order
    QVector<ListColumn> columns;
};

enum class ListOrder { ByName, ByKey };

// The SELECT of the list. A numeric key is compared with the typed bounds as numbers; a text key
// as text, and there an empty box sets no bound (withFrom / withTo false).
QString catalogListSql(Connection& db, const CatalogList& list, ListOrder order, bool withFrom = true,
                       bool withTo = true);

// Reads the rows between `from` and `to` and lays the list out. For a numeric key, a bound that is
// not a number raises ConversionError and nothing is printed.
Document renderCatalogList(Connection& db, const CatalogList& list, const QString& from, const QString& to,
                           ListOrder order, const QDateTime& printTime = QDateTime());

}  // namespace kv
