#include "report/RowSource.h"

namespace kv {

QVariant lookupValue(const QVariantMap& row, const QString& name)
{
    auto it = row.constFind(name);
    if (it != row.constEnd())
        return it.value();
    for (auto i = row.constBegin(); i != row.constEnd(); ++i)
        if (i.key().compare(name, Qt::CaseInsensitive) == 0)
            return i.value();
    return QVariant();
}

QVariant VectorRowSource::value(const QString& name) const
{
    if (eof())
        return QVariant();
    return lookupValue(rows_[pos_], name);
}

QStringList VectorRowSource::fieldNames() const
{
    if (rows_.isEmpty())
        return {};
    return rows_[eof() ? 0 : pos_].keys();
}

FixedRow FixedRow::copyOf(const RowSource& source)
{
    QVariantMap values;
    if (!source.eof()) {
        const QStringList names = source.fieldNames();
        for (const QString& n : names)
            values.insert(n, source.value(n));
    }
    return FixedRow(std::move(values));
}

QVariant FixedRow::value(const QString& name) const { return lookupValue(values_, name); }

}  // namespace kv
