#include "report/DatasetRowSource.h"

namespace kv {

void DatasetRowSource::first()
{
    if (!ds_.active())
        ds_.Open();
    ds_.First();
}

void DatasetRowSource::next()
{
    if (ds_.active())
        ds_.Next();
}

bool DatasetRowSource::eof() const { return !ds_.active() || ds_.Eof(); }

QVariant DatasetRowSource::value(const QString& name) const
{
    if (eof())
        return QVariant();
    Field* f = ds_.FindField(name);
    return f ? f->value() : QVariant();
}

QStringList DatasetRowSource::fieldNames() const
{
    QStringList names;
    for (int i = 0; i < ds_.fieldCount(); ++i)
        names.append(ds_.fieldAt(i).name());
    return names;
}

}  // namespace kv
