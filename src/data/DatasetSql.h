#pragma once
// Inside the Dataset: the pieces of SQL its parts share. Not for use outside src/data/Dataset*.
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kv::dsql {

// A column name as the statements write it.
QString quoted(const QString& id);
// "NOMBRE;PRODUCTO" -> {"NOMBRE", "PRODUCTO"}.
QStringList splitFields(const QString& s);
bool isNullValue(const QVariant& v);
// -1, 0 or 1, NULL first, as the database sorts in ascending order.
int compareValues(const QVariant& a, const QVariant& b);

// The keyset condition on `columns` (an order, or its first columns) against `values`: the rows
// after them in that order (`after`), or before them, and with `inclusive` the rows equal to them
// too. Lexicographic, NULL sorting first; written out term by term because the database has no
// row-value comparison, with a leading bound on the first column so that the database starts its
// index walk at the right place. The values are bound into `params`. Paging, Locate and
// FindNearest all read through it.
QString keysetCondition(const QStringList& columns, const QVariantList& values, bool after, bool inclusive,
                        QVariantMap& params);

}  // namespace kv::dsql
