// The Dataset's fields: reading and converting values, calculated fields, fields by name.
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
#include <cstdio>

namespace kv {

using namespace dsql;

bool Field::isNumeric() const
{
    return type_ == FieldType::Integer || type_ == FieldType::SmallInt || type_ == FieldType::LargeInt ||
           type_ == FieldType::Float;
}

QVariant Field::value() const
{
    const auto* r = ds_->activeRow();
    if (!r || index_ >= r->values.size())
        return QVariant();
    return r->values[index_];
}

bool Field::isNull() const
{
    QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const
{
    QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return FloatToStr(v.toDouble());
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? FormatDateTime(QStringLiteral("dd/mm/yyyy"), dt)
                                        : FormatDateTime(QStringLiteral("dd/mm/yyyy hh:nn:ss"), dt);
    }
    case QMetaType::QDate:
        return FormatDateTime(QStringLiteral("dd/mm/yyyy"), v.toDate());
    default:
        return v.toString();
    }
}

double Field::asFloat() const
{
    QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0.0;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        QString s = v.toString().trimmed();
        return s.isEmpty() ? 0.0 : StrToFloat(s);
    }
    return v.toDouble();
}

int Field::asInteger() const
{
    return int(asLargeInt());
}

qint64 Field::asLargeInt() const
{
    QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString().trimmed();
        return s.isEmpty() ? 0 : qint64(std::llround(StrToFloat(s)));
    }
    return v.toLongLong();
}

QDateTime Field::asDateTime() const
{
    QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QString)
        return QDateTime(StrToDate(v.toString()), QTime(0, 0));
    return v.toDateTime();
}

QDate Field::asDate() const { return asDateTime().date(); }

QByteArray Field::asBytes() const
{
    QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QByteArray();
    if (v.typeId() == QMetaType::QString)
        return v.toString().toUtf8();
    return v.toByteArray();
}

namespace {
int decimalPlaces(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(d));  // 15 significant digits: d.dd...de[+-]xx
    const QString s = QString::fromLatin1(buf);
    const int e = int(s.indexOf(QLatin1Char('e')));
    QString mantissa = s.left(e).remove(QLatin1Char('.'));
    while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    const int exponent = s.mid(e + 1).toInt();
    return std::max(0, int(mantissa.size()) - 1 - exponent);
}
}  // namespace

void Field::checkFits(const QVariant& v) const
{
    // The engine would store another number without a word: 3000000000 in an INTEGER wraps round
    // to a negative one, 1.5 in an INTEGER becomes 2, 1.234 in a NUMERIC(9,2) becomes 1.23.
    if (storageBytes_ == 0 || !v.isValid() || v.isNull())
        return;
    double d;
    if (v.typeId() == QMetaType::QString) {
        if (v.toString().trimmed().isEmpty())
            return;
        d = StrToFloat(v.toString());
    } else if (v.canConvert<double>() && v.typeId() != QMetaType::QDateTime && v.typeId() != QMetaType::QDate) {
        d = v.toDouble();
    } else {
        return;
    }
    const QString label = displayLabel.isEmpty() ? name_ : displayLabel;
    const QString typed = v.typeId() == QMetaType::QString ? v.toString().trimmed() : FloatToStr(d);
    const double scaled = d * std::pow(10.0, decimals_);
    const double whole = std::round(scaled);
    // The decimals the number has, as a person reads it (its first 15 significant digits, so the
    // tail of a sum of doubles such as 0.1 + 0.2 is not one): a tolerance relative to the size of
    // the number would let 1000000.5 through an INTEGER as 1000001.
    if (decimalPlaces(d) > decimals_) {
        if (decimals_ <= 0)
            throw ConversionError(QStringLiteral("El campo '%1' solo admite números enteros: %2").arg(label, typed));
        throw ConversionError(
            QStringLiteral("El campo '%1' admite %2 decimales como máximo: %3").arg(label).arg(decimals_).arg(typed));
    }
    const double limit = std::ldexp(1.0, storageBytes_ * 8 - 1);  // 2^15, 2^31, 2^63
    if (whole < -limit || whole >= limit)
        throw ConversionError(QStringLiteral("El valor %1 no cabe en el campo '%2'").arg(typed, label));
}

void Field::setValue(const QVariant& v)
{
    Dataset& d = *ds_;
    const bool calculating = d.state_ == DsState::CalcFields;
    if (calculated_) {
        if (!calculating && !d.isEditing())
            throw DbError(QStringLiteral("El campo '%1' solo se calcula").arg(name_));
    } else if (!d.isEditing()) {
        throw DbError(QStringLiteral("No se puede modificar '%1': los datos no están en modo de edición o inserción")
                          .arg(name_));
    }
    checkFits(v);
    QVariant stored = d.convertIn(*this, v);
    if (OnValidate)
        OnValidate(*this, stored);
    auto* r = d.activeRow();
    if (!r)
        return;
    r->values[index_] = stored;
    if (calculating)
        return;
    if (!calculated_)
        d.modified_ = true;
    if (!calculated_ && d.OnCalcFields && !d.calcFields_.empty())
        d.calcRow(*r);
    if (!d.controlsDisabled())
        emit d.rowChanged(d.cur_);
    if (OnChange)
        OnChange(*this);
}

QString Field::displayText() const
{
    if (isNull())
        return QString();
    if (!displayFormat.isEmpty()) {
        if (isNumeric())
            return FormatFloat(displayFormat, asFloat());
        if (type_ == FieldType::Date || type_ == FieldType::DateTime)
            return FormatDateTime(displayFormat, asDateTime());
    }
    if (type_ == FieldType::Float)
        return FloatToStr(asFloat());
    return asString();
}

Field& Dataset::addCalcField(const QString& name, FieldType type, int size)
{
    auto f = std::make_unique<Field>();
    f->ds_ = this;
    f->name_ = name;
    f->type_ = type;
    f->size_ = size;
    f->calculated_ = true;
    f->readOnly = true;
    calcFields_.push_back(std::move(f));
    for (size_t i = 0; i < calcFields_.size(); ++i)
        calcFields_[i]->index_ = columnCount_ + int(i);
    return *calcFields_.back();
}

void Dataset::prepareFields()
{
    if (!fields_.empty())
        return;
    auto addField = [this](const ColumnInfo& c) {
        auto f = std::make_unique<Field>();
        f->ds_ = this;
        f->name_ = c.name;
        f->type_ = c.type;
        f->size_ = c.size;
        f->storageBytes_ = c.storageBytes;
        f->decimals_ = -c.scale;
        f->fixedChar_ = c.fixedChar;
        f->required_ = c.notNull;
        f->index_ = int(fields_.size());
        fields_.push_back(std::move(f));
    };
    if (tableMode()) {
        const TableInfo& ti = conn_.tableInfo(table_);
        for (const ColumnInfo& c : ti.columns)
            addField(c);
        keyless_ = ti.primaryKey.isEmpty() && ti.uniqueIndexes.isEmpty();
    } else {
        // A query describes its own columns once it has run (loadFromStart calls describeQuery).
        return;
    }
    columnCount_ = int(fields_.size());
    for (size_t i = 0; i < calcFields_.size(); ++i)
        calcFields_[i]->index_ = columnCount_ + int(i);
}

void Dataset::describeQuery(const QSqlRecord& rec)
{
    if (!fields_.empty())
        return;
    // Sizes and required flags come from the table the query writes to, if it has one.
    const TableInfo* ti = updateTable_.isEmpty() ? nullptr : &conn_.tableInfo(updateTable_);
    for (int i = 0; i < rec.count(); ++i) {
        auto f = std::make_unique<Field>();
        f->ds_ = this;
        f->name_ = rec.fieldName(i).toUpper();
        switch (rec.field(i).metaType().id()) {
        case QMetaType::Int: f->type_ = FieldType::Integer; break;
        case QMetaType::Short: f->type_ = FieldType::SmallInt; break;
        case QMetaType::LongLong: f->type_ = FieldType::LargeInt; break;
        case QMetaType::Double: case QMetaType::Float: f->type_ = FieldType::Float; break;
        case QMetaType::QDate: f->type_ = FieldType::Date; break;
        case QMetaType::QTime: f->type_ = FieldType::Time; break;
        case QMetaType::QDateTime: f->type_ = FieldType::DateTime; break;
        case QMetaType::QByteArray: f->type_ = FieldType::Blob; break;
        case QMetaType::Bool: f->type_ = FieldType::Boolean; break;
        default: f->type_ = FieldType::String; f->fixedChar_ = true; break;
        }
        if (ti) {
            const int k = ti->indexOf(f->name_);
            if (k >= 0) {
                f->size_ = ti->columns[k].size;
                f->required_ = ti->columns[k].notNull;
            }
        }
        f->index_ = int(fields_.size());
        fields_.push_back(std::move(f));
    }
    columnCount_ = int(fields_.size());
    for (size_t i = 0; i < calcFields_.size(); ++i)
        calcFields_[i]->index_ = columnCount_ + int(i);
}

QVariant Dataset::readValue(const Field& f, QVariant v)
{
    if (v.isNull())
        return QVariant();
    if (f.type_ == FieldType::String && v.typeId() == QMetaType::QString) {
        if (f.fixedChar_) {
            QString s = v.toString();
            int n = s.size();
            while (n > 0 && s[n - 1] == QLatin1Char(' '))
                --n;
            s.truncate(n);
            return s;
        }
    } else if (f.type_ == FieldType::Memo && v.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(v.toByteArray());
    } else if (f.type_ == FieldType::Date && v.typeId() == QMetaType::QDate) {
        return QDateTime(v.toDate(), QTime(0, 0));
    }
    return v;
}

Dataset::Row Dataset::readRow(QSqlQuery& q) const
{
    Row r;
    r.values.resize(columnCount_ + int(calcFields_.size()));
    for (int i = 0; i < columnCount_; ++i)
        r.values[i] = readValue(*fields_[i], q.value(i));
    r.key = keyOf(r);
    return r;
}

QVariantList Dataset::keyOf(const Row& r) const
{
    QVariantList k;
    for (const QString& f : keyFields()) {
        const Field* fd = preparedField(f);
        k << (fd ? r.values.value(fd->index_) : QVariant());
    }
    return k;
}

QVariant Dataset::convertIn(const Field& f, const QVariant& v) const
{
    if (isNullValue(v))
        return QVariant();
    switch (f.type_) {
    case FieldType::String: {
        QString s = v.typeId() == QMetaType::Double ? FloatToStr(v.toDouble()) : v.toString();
        if (f.size_ > 0 && s.size() > f.size_)
            s.truncate(f.size_);  // text longer than its column is cut to the column's width
        if (f.fixedChar_) {
            int n = s.size();
            while (n > 0 && s[n - 1] == QLatin1Char(' '))
                --n;
            s.truncate(n);
        }
        if (s.isEmpty())
            return QVariant();  // an empty text box leaves the column empty
        return s;
    }
    case FieldType::Memo: {
        QString s = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::LargeInt: {
        double d;
        if (v.typeId() == QMetaType::QString) {
            if (v.toString().trimmed().isEmpty())
                return QVariant();
            d = StrToFloat(v.toString());
        } else {
            d = v.toDouble();
        }
        if (f.type_ == FieldType::LargeInt)
            return QVariant(qint64(std::llround(d)));
        return QVariant(int(std::llround(d)));
    }
    case FieldType::Float: {
        if (v.typeId() == QMetaType::QString) {
            if (v.toString().trimmed().isEmpty())
                return QVariant();
            return StrToFloat(v.toString());
        }
        return v.toDouble();
    }
    case FieldType::Date:
    case FieldType::DateTime: {
        if (v.typeId() == QMetaType::QDate)
            return QDateTime(v.toDate(), QTime(0, 0));
        if (v.typeId() == QMetaType::QString) {
            if (v.toString().trimmed().isEmpty())
                return QVariant();
            return QDateTime(StrToDate(v.toString()), QTime(0, 0));
        }
        return v.toDateTime();
    }
    case FieldType::Time:
        return v.toTime();
    case FieldType::Blob:
        return v.typeId() == QMetaType::QString ? v.toString().toUtf8() : v.toByteArray();
    case FieldType::Boolean:
        return v.toBool();
    }
    return v;
}

void Dataset::calcRow(Row& r)
{
    if (calcFields_.empty() || !OnCalcFields)
        return;
    const DsState saved = state_;
    Row* savedTarget = calcTarget_;
    // A row read before a calculated field was added (a screen adds its own to a table its base
    // already set up) gets the room for it here.
    if (r.values.size() < columnCount_ + qsizetype(calcFields_.size()))
        r.values.resize(columnCount_ + qsizetype(calcFields_.size()));
    for (size_t i = 0; i < calcFields_.size(); ++i)
        r.values[columnCount_ + int(i)] = QVariant();
    state_ = DsState::CalcFields;
    calcTarget_ = &r;
    try {
        OnCalcFields(*this);
    } catch (...) {
        state_ = saved;
        calcTarget_ = savedTarget;
        throw;
    }
    state_ = saved;
    calcTarget_ = savedTarget;
}

Field* Dataset::FindField(const QString& name)
{
    // A table describes its columns on the first lookup, so a screen can set up its fields
    // before opening; everything that runs on an open dataset uses preparedField.
    if (fields_.empty() && !table_.isEmpty())
        prepareFields();
    return preparedField(name);
}

Field* Dataset::preparedField(const QString& name) const
{
    for (const auto& f : fields_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    for (const auto& f : calcFields_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& Dataset::FieldByName(const QString& name)
{
    Field* f = FindField(name);
    if (!f)
        throw DbError(QStringLiteral("Campo '%1' no encontrado").arg(name));
    return *f;
}

QVariant Dataset::valueAt(int row, int field) const
{
    if (row < 0 || row >= rows_.size())
        return QVariant();
    return rows_[row].values.value(field);
}

QString Dataset::displayTextAt(int row, int field) const
{
    if (row < 0 || row >= rows_.size())
        return QString();
    // The field reads the row it is shown for, then the current row again.
    auto* self = const_cast<Dataset*>(this);
    Row* saved = self->calcTarget_;
    self->calcTarget_ = &self->rows_[row];
    QString t;
    try {
        const Field& f = field < columnCount_ ? *fields_[field] : *calcFields_[field - columnCount_];
        t = f.displayText();
    } catch (...) {
        self->calcTarget_ = saved;
        throw;
    }
    self->calcTarget_ = saved;
    return t;
}

}  // namespace kv
