#include "catalog/CatalogList.h"

#include "common/Numbers.h"
#include "data/Dataset.h"

namespace kv {

namespace {

bool numericColumn(Connection& db, const QString& table, const QString& column)
{
    const TableInfo& ti = db.tableInfo(table);
    const int i = ti.indexOf(column);
    if (i < 0)
        return false;
    switch (ti.columns[i].type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt:
    case FieldType::Float:
        return true;
    default:
        return false;
    }
}

}  // namespace

QString catalogListSql(Connection& db, const CatalogList& list, ListOrder order, bool withFrom, bool withTo)
{
    const QString t = list.table;
    auto col = [&t](const QString& f) { return t + QLatin1Char('.') + f; };
    QStringList cols;
    for (const ListColumn& c : list.columns)
        cols << col(c.field);
    // The bounds are bound values. A numeric key compares with them as numbers (a register number
    // is a double, a branch an integer); text keys compare as text.
    const bool numeric = numericColumn(db, t, list.keyField);
    const QString from = numeric ? QStringLiteral("CAST(:DESDE AS DOUBLE PRECISION)") : QStringLiteral(":DESDE");
    const QString to = numeric ? QStringLiteral("CAST(:HASTA AS DOUBLE PRECISION)") : QStringLiteral(":HASTA");
    QStringList where;
    if (withFrom)
        where << QStringLiteral("(%1 >= %2)").arg(col(list.keyField), from);
    if (withTo)
        where << QStringLiteral("(%1 <= %2)").arg(col(list.keyField), to);
    QString sql = QStringLiteral("SELECT %1\nFROM %2\n").arg(cols.join(QStringLiteral(", ")), t);
    if (!where.isEmpty())
        sql += QStringLiteral("WHERE (%1)\n").arg(where.join(QStringLiteral(" AND ")));
    // The other column breaks ties, so rows with the same name always print in the same order.
    if (order == ListOrder::ByKey)
        sql += QStringLiteral("ORDER BY %1, %2").arg(col(list.keyField), col(list.nameField));
    else
        sql += QStringLiteral("ORDER BY %1, %2").arg(col(list.nameField), col(list.keyField));
    return sql;
}

Document renderCatalogList(Connection& db, const CatalogList& list, const QString& from, const QString& to,
                           ListOrder order, const QDateTime& printTime)
{
    const bool numeric = numericColumn(db, list.table, list.keyField);
    QVariant low, high;
    if (numeric) {
        // A bound that is not a number stops here with the conversion message; nothing prints.
        low = StrToFloat(from);
        high = StrToFloat(to);
    } else {
        if (!from.isEmpty())
            low = from;
        if (!to.isEmpty())
            high = to;
    }

    Dataset rows(db);
    rows.setSql(catalogListSql(db, list, order, low.isValid(), high.isValid()));
    if (low.isValid())
        rows.setParam(QStringLiteral("DESDE"), low);
    if (high.isValid())
        rows.setParam(QStringLiteral("HASTA"), high);
    rows.Open();

    auto rpt = listReport({list.title, list.columns}, readLetterhead(db), readRows(rows));
    if (printTime.isValid())
        rpt->setPrintTime(printTime);
    return rpt->render();
}

}  // namespace kv
