// The Dataset's SQL: columns, order, conditions and the keyset builder.
#include "data/Dataset.h"

#include "common/Dates.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "data/DatasetSql.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

namespace kv {

using namespace dsql;

namespace dsql {

QString quoted(const QString& id) { return QLatin1Char('"') + id.toUpper() + QLatin1Char('"'); }

QStringList splitFields(const QString& s)
{
    QStringList out;
    for (const QString& p : s.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out << p.trimmed().toUpper();
    return out;
}

bool isNullValue(const QVariant& v) { return !v.isValid() || v.isNull(); }

int compareValues(const QVariant& a, const QVariant& b)
{
    const bool an = isNullValue(a), bn = isNullValue(b);
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const auto order = QVariant::compare(a, b);
    return order == QPartialOrdering::Less ? -1 : order == QPartialOrdering::Greater ? 1 : 0;
}

QString keysetCondition(const QStringList& columns, const QVariantList& values, bool after, bool inclusive,
                        QVariantMap& params)
{
    QStringList terms;
    QStringList equal;
    static int counter = 0;
    auto bind = [&params](const QVariant& v) {
        const QString name = QStringLiteral("KV_K%1").arg(counter++ % 100000);
        params.insert(name, v);
        return QLatin1Char(':') + name;
    };
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant v = values.value(i);
        const QString col = quoted(columns[i]);
        QString cmp;
        if (after)
            cmp = isNullValue(v) ? col + QStringLiteral(" IS NOT NULL") : col + QStringLiteral(" > ") + bind(v);
        else if (!isNullValue(v))
            cmp = QStringLiteral("(%1 < %2 OR %1 IS NULL)").arg(col, bind(v));
        if (!cmp.isEmpty()) {
            QStringList t = equal;
            t << cmp;
            terms << QLatin1Char('(') + t.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        }
        equal << (isNullValue(v) ? col + QStringLiteral(" IS NULL") : col + QStringLiteral(" = ") + bind(v));
    }
    if (inclusive)
        terms << QLatin1Char('(') + equal.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    if (terms.isEmpty())
        return QStringLiteral("1 = 0");
    QString cond = QLatin1Char('(') + terms.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    if (!columns.isEmpty() && !isNullValue(values.value(0))) {
        // Going back, the bound also leaves out the rows whose first field is NULL (they sort
        // first); fetchMoreBackward reads those on their own once the others run out.
        cond = quoted(columns.first()) + (after ? QStringLiteral(" >= ") : QStringLiteral(" <= ")) +
               bind(values.value(0)) + QStringLiteral(" AND ") + cond;
    }
    return cond;
}

}  // namespace dsql

QStringList Dataset::keyFields() const
{
    if (tableMode()) {
        const TableInfo& ti = conn_.tableInfo(table_);
        if (!ti.primaryKey.isEmpty())
            return ti.primaryKey;
        if (!ti.uniqueIndexes.isEmpty())
            return ti.uniqueIndexes.first();
        // No key: a row is told apart by all its values (blobs cannot be compared).
        QStringList all;
        for (const ColumnInfo& c : ti.columns)
            if (c.type != FieldType::Blob && c.type != FieldType::Memo)
                all << c.name;
        return all;
    }
    if (!updateTable_.isEmpty()) {
        const TableInfo& ti = conn_.tableInfo(updateTable_);
        return ti.primaryKey;
    }
    return {};
}

QString Dataset::selectList() const
{
    QStringList cols;
    for (const auto& f : fields_)
        cols << quoted(f->name_);
    return cols.join(QStringLiteral(", "));
}

QStringList Dataset::effectiveOrder() const
{
    QStringList order = order_;
    if (keyless_)
        return order;  // no identity to page by: the whole set is read
    const QStringList keys = keyFields();
    if (order.isEmpty())
        return keys;
    // The order must name each row once for paging: add the key unless a unique index is covered.
    const TableInfo& ti = conn_.tableInfo(table_);
    for (const QStringList& ux : ti.uniqueIndexes) {
        bool covered = true;
        for (const QString& f : ux)
            covered = covered && order.contains(f);
        if (covered)
            return order;
    }
    for (const QString& k : keys)
        if (!order.contains(k))
            order << k;
    return order;
}

QString Dataset::baseWhere(QVariantMap& params) const
{
    QStringList conds;
    if (!filter_.isEmpty()) {
        conds << QLatin1Char('(') + filter_ + QLatin1Char(')');
        for (auto it = filterParams_.begin(); it != filterParams_.end(); ++it)
            params.insert(it.key(), it.value());
    }
    if (master_) {
        const QVariantList mv = masterValues();
        for (int i = 0; i < detailFields_.size(); ++i) {
            const QVariant v = i < mv.size() ? mv[i] : QVariant();
            if (isNullValue(v)) {
                conds << QStringLiteral("1 = 0");  // a master without key has no details
                break;
            }
            const QString p = QStringLiteral("KV_M%1").arg(i);
            conds << quoted(detailFields_[i]) + QStringLiteral(" = :") + p;
            params.insert(p, v);
        }
    }
    return conds.join(QStringLiteral(" AND "));
}

QVariantList Dataset::masterValues() const
{
    QVariantList out;
    if (!master_ || !master_->active())
        return out;
    for (const QString& f : masterFields_) {
        Field* mf = master_->FindField(f);
        out << (mf ? mf->value() : QVariant());
    }
    return out;
}

QString Dataset::keysetCondition(const Row& r, bool after, bool inclusive, QVariantMap& params) const
{
    const QStringList order = effectiveOrder();
    QVariantList values;
    for (const QString& o : order) {
        const Field* f = preparedField(o);
        values << (f ? r.values.value(f->index_) : QVariant());
    }
    return dsql::keysetCondition(order, values, after, inclusive, params);
}

QString Dataset::fromWhere(const QString& extraWhere, QVariantMap& params) const
{
    QString where = baseWhere(params);
    if (!extraWhere.isEmpty())
        where = where.isEmpty() ? extraWhere : where + QStringLiteral(" AND ") + extraWhere;
    QString sql = QStringLiteral(" FROM ") + quoted(table_);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return sql;
}

QString Dataset::orderByClause(bool descending, bool orderByIndex) const
{
    const QStringList order = effectiveOrder();
    if (order.isEmpty())
        return QString();
    QStringList parts;
    for (const QString& o : order) {
        // COALESCE(c, c) sorts exactly like c but matches no index, so the database cannot
        // choose to walk the order's index and must use the WHERE's own index instead.
        const QString term = orderByIndex ? quoted(o) : QStringLiteral("COALESCE(%1, %1)").arg(quoted(o));
        parts << term + (descending ? QStringLiteral(" DESC") : QString());
    }
    return QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

QString Dataset::keyWhere(const QVariantList& key, QVariantMap& p) const
{
    const QStringList keys = keyFields();
    if (keys.isEmpty())
        throw DbError(QStringLiteral("La tabla %1 no tiene clave: no se puede modificar la fila").arg(writeTable()));
    QStringList where;
    for (int k = 0; k < keys.size(); ++k) {
        const QVariant v = key.value(k);
        if (isNullValue(v)) {
            where << quoted(keys[k]) + QStringLiteral(" IS NULL");
        } else {
            const QString name = QStringLiteral("K%1").arg(k);
            where << quoted(keys[k]) + QStringLiteral(" = :") + name;
            p.insert(name, v);
        }
    }
    QString w = where.join(QStringLiteral(" AND "));
    if (keyless_ && tableMode())
        w += QStringLiteral(" ROWS 1");  // identical rows: change only the one the user is on
    return w;
}

}  // namespace kv
