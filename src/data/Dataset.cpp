#include "data/Dataset.h"

#include "common/Dates.h"
#include "common/Errors.h"
#include "common/Numbers.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>

namespace kv {

// ---------------------------------------------------------------- Field

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
    if (std::fabs(scaled - whole) > 1e-6 * std::max(1.0, std::fabs(scaled))) {
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

// ---------------------------------------------------------------- Dataset

namespace {
// Rows read from a located row on (see Locate).
constexpr int kLocateRows = 25;

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
    // NULL sorts first, as the database does in ascending order.
    const bool an = isNullValue(a), bn = isNullValue(b);
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    return QVariant::compare(a, b) == QPartialOrdering::Less      ? -1
           : QVariant::compare(a, b) == QPartialOrdering::Greater ? 1
                                                                  : 0;
}
}  // namespace

Dataset::Dataset(Connection& connection, QObject* parent) : QObject(parent), conn_(connection) {}

Dataset::~Dataset()
{
    if (master_) {
        auto& d = master_->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    for (Dataset* d : details_)
        d->master_ = nullptr;
}

void Dataset::setTableName(const QString& table)
{
    Close();
    table_ = table.trimmed().toUpper();
    sql_.clear();
    fields_.clear();
}

void Dataset::setSql(const QString& sql)
{
    if (sql == sql_ && table_.isEmpty())
        return;
    Close();
    sql_ = sql;
    table_.clear();
    fields_.clear();
}

void Dataset::setParam(const QString& name, const QVariant& value)
{
    QString k = name.toUpper();
    if (k.startsWith(QLatin1Char(':')))
        k.remove(0, 1);
    params_.insert(k, value);
}

QVariant Dataset::param(const QString& name) const { return params_.value(name.toUpper()); }

void Dataset::setIndexFieldNames(const QString& fields)
{
    QStringList f = splitFields(fields);
    if (f == order_)
        return;
    order_ = f;
    if (active()) {
        CheckBrowseMode();
        QVariantList key;
        if (cur_ >= 0)
            key = rows_[cur_].key;
        loadFromStart();
        if (!key.isEmpty()) {
            const QStringList kf = keyFields();
            if (!kf.isEmpty() && !keyless_)
                Locate(kf.join(QLatin1Char(';')), key);
        }
        emit reset();
        emit currentChanged(cur_);
    }
}

void Dataset::setFilter(const QString& condition, const QVariantMap& params)
{
    filter_ = condition.trimmed();
    filterParams_.clear();
    for (auto it = params.begin(); it != params.end(); ++it)
        filterParams_.insert(it.key().toUpper(), it.value());
    if (active()) {
        CheckBrowseMode();
        loadFromStart();
        emit reset();
        setCur(rows_.isEmpty() ? -1 : 0);
    }
}

void Dataset::setMasterSource(Dataset* master, const QString& masterFields, const QString& detailFields)
{
    if (master_) {
        auto& d = master_->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    master_ = master;
    masterFields_ = splitFields(masterFields);
    detailFields_ = detailFields.isEmpty() ? masterFields_ : splitFields(detailFields);
    if (master_)
        master_->details_.push_back(this);
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
    // Lexicographic comparison on the order fields, NULL sorting first; written out term by term
    // because the database has no row-value comparison. A leading bound on the first field lets
    // the database start its index walk at the right place.
    const QStringList order = effectiveOrder();
    QStringList terms;
    QStringList equal;
    static int counter = 0;
    auto bind = [&](const QVariant& v) {
        const QString name = QStringLiteral("KV_K%1").arg(counter++ % 100000);
        params.insert(name, v);
        return QLatin1Char(':') + name;
    };
    for (int i = 0; i < order.size(); ++i) {
        Field* f = const_cast<Dataset*>(this)->FindField(order[i]);
        const QVariant v = f ? r.values.value(f->index_) : QVariant();
        const QString col = quoted(order[i]);
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
    if (!order.isEmpty()) {
        Field* f = const_cast<Dataset*>(this)->FindField(order[0]);
        const QVariant v = f ? r.values.value(f->index_) : QVariant();
        if (!isNullValue(v)) {
            const QString col = quoted(order[0]);
            // Going back, the bound also leaves out the rows whose first field is NULL (they sort
            // first); fetchMoreBackward reads those on their own once the others run out.
            cond = col + (after ? QStringLiteral(" >= ") : QStringLiteral(" <= ")) + bind(v) + QStringLiteral(" AND ") +
                   cond;
        }
    }
    return cond;
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
        Field* fd = const_cast<Dataset*>(this)->FindField(f);
        k << (fd ? r.values.value(fd->index_) : QVariant());
    }
    return k;
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

std::optional<Dataset::Row> Dataset::firstMatch(const QString& where, const QVariantMap& extraParams,
                                                bool orderByIndex)
{
    // Only the order and key columns: they are all that placing the cursor on the row needs,
    // and a narrow statement is prepared and read in a fraction of the time of the whole row.
    QStringList cols = effectiveOrder();
    for (const QString& k : keyFields())
        if (!cols.contains(k, Qt::CaseInsensitive))
            cols << k;
    QStringList select;
    for (const QString& c : cols)
        select << quoted(c);
    QVariantMap params = extraParams;
    const QString sql = QStringLiteral("SELECT FIRST 1 ") + select.join(QStringLiteral(", ")) +
                        fromWhere(where, params) + orderByClause(false, orderByIndex);
    QSqlQuery q = conn_.exec(sql, params);
    if (!conn_.next(q))
        return std::nullopt;
    Row r;
    r.values.resize(columnCount_ + int(calcFields_.size()));
    for (int i = 0; i < cols.size(); ++i) {
        const Field* f = FindField(cols[i]);
        r.values[f->index_] = readValue(*f, q.value(i));
    }
    r.key = keyOf(r);
    return r;
}

QVector<Dataset::Row> Dataset::fetchRows(const QString& extraWhere, const QVariantMap& extraParams, bool descending,
                                         int limit)
{
    // A detail whose master has no key yet (a master row just inserted) has no rows: nothing to
    // ask the database.
    if (master_) {
        const QVariantList mv = masterValues();
        for (int i = 0; i < detailFields_.size(); ++i)
            if (i >= mv.size() || isNullValue(mv[i]))
                return {};
    }
    QVariantMap params = extraParams;
    QString sql = QStringLiteral("SELECT ");
    if (limit > 0)
        sql += QStringLiteral("FIRST %1 ").arg(limit);
    sql += selectList() + fromWhere(extraWhere, params);
    sql += orderByClause(descending, true);
    QSqlQuery q = conn_.exec(sql, params);
    QVector<Row> out;
    while (conn_.next(q)) {
        out << readRow(q);
        calcRow(out.last());
    }
    return out;
}

bool Dataset::IsEmpty() const { return rows_.isEmpty(); }

void Dataset::loadFromStart()
{
    rows_.clear();
    openQuery_.reset();
    if (tableMode()) {
        const bool paged = !effectiveOrder().isEmpty() && !keyless_;
        rows_ = fetchRows(QString(), {}, false, paged ? pageSize_ : 0);
        atStart_ = true;
        atEnd_ = !paged || rows_.size() < pageSize_;
    } else {
        QVariantMap p;
        QString where;  // queries carry their own conditions
        Q_UNUSED(where);
        auto q = std::make_unique<QSqlQuery>(conn_.exec(sql_, params_));
        describeQuery(q->record());
        openQuery_ = std::move(q);
        atStart_ = true;
        atEnd_ = false;
        fetchAllQuery(pageSize_);
    }
    linkedValues_ = masterValues();
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
}

void Dataset::fetchAllQuery(int upTo)
{
    if (!openQuery_)
        return;
    int n = 0;
    while ((upTo < 0 || n < upTo) && conn_.next(*openQuery_)) {
        rows_ << readRow(*openQuery_);
        calcRow(rows_.last());
        ++n;
    }
    if (upTo < 0 || n < upTo) {
        atEnd_ = true;
        openQuery_.reset();  // ends the read and its transaction
    }
}

void Dataset::loadAround(const Row& anchor, int rows)
{
    const int limit = rows > 0 ? qMin(rows, pageSize_) : pageSize_;
    QVariantMap p;
    QString cond = keysetCondition(anchor, true, true, p);
    setWindow(fetchRows(cond, p, false, limit), limit);
}

void Dataset::setWindow(QVector<Row> rows, int limit)
{
    rows_ = std::move(rows);
    atEnd_ = rows_.size() < limit;
    atStart_ = false;
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = false;
    eof_ = rows_.isEmpty();
    if (rows_.isEmpty())
        loadFromStart();
}

bool Dataset::fetchMoreForward()
{
    if (!active() || atEnd_)
        return false;
    const int before = rows_.size();
    if (!tableMode()) {
        fetchAllQuery(pageSize_);
    } else if (rows_.isEmpty()) {
        loadFromStart();
    } else {
        QVariantMap p;
        QString cond = keysetCondition(rows_.last(), true, false, p);
        QVector<Row> more = fetchRows(cond, p, false, pageSize_);
        atEnd_ = more.size() < pageSize_;
        rows_ += more;
    }
    const int added = rows_.size() - before;
    if (added > 0 && !controlsDisabled())
        emit rowsInserted(before, rows_.size() - 1);
    return added > 0;
}

bool Dataset::fetchMoreBackward()
{
    if (!active() || atStart_ || !tableMode())
        return false;
    if (rows_.isEmpty()) {
        atStart_ = true;
        return false;
    }
    QVariantMap p;
    QString cond = keysetCondition(rows_.first(), false, false, p);
    QVector<Row> more = fetchRows(cond, p, true, pageSize_);
    // The condition starts the index walk at the first row's value, which keeps out the rows
    // whose first order field is NULL: when the rows before run out, those come next.
    const QStringList order = effectiveOrder();
    if (more.size() < pageSize_ && !order.isEmpty()) {
        const Field* f = FindField(order.first());
        if (f && !f->required_ && !isNullValue(rows_.first().values.value(f->index_)))
            more += fetchRows(quoted(order.first()) + QStringLiteral(" IS NULL"), {}, true, pageSize_ - more.size());
    }
    atStart_ = more.size() < pageSize_;
    if (more.isEmpty())
        return false;
    std::reverse(more.begin(), more.end());
    const int n = more.size();
    rows_ = more + rows_;
    if (cur_ >= 0)
        cur_ += n;
    if (!controlsDisabled())
        emit rowsInserted(0, n - 1);
    return true;
}

void Dataset::Open()
{
    if (active())
        return;
    if (table_.isEmpty() && sql_.isEmpty())
        throw DbError(QStringLiteral("No se indicó la tabla o la consulta que se debe abrir"));
    fire(BeforeOpen);
    conn_.ensureOpen();
    prepareFields();
    loadFromStart();
    state_ = DsState::Browse;
    modified_ = false;
    emit reset();
    emit stateChanged();
    fire(AfterOpen);
    notifyDetails();
    if (cur_ >= 0)
        emit currentChanged(cur_);
    fire(AfterScroll);
}

void Dataset::Close()
{
    if (!active())
        return;
    openQuery_.reset();
    rows_.clear();
    cur_ = -1;
    state_ = DsState::Inactive;
    eof_ = bof_ = true;
    emit reset();
    emit stateChanged();
    for (Dataset* d : details_)
        d->Close();
}

void Dataset::Refresh()
{
    if (!active())
        return;
    CheckBrowseMode();
    const int oldIndex = cur_;
    const QVariantList key = cur_ >= 0 ? rows_[cur_].key : QVariantList();
    const Row anchor = cur_ >= 0 ? rows_[cur_] : Row();
    const bool wasWhole = atStart_ && atEnd_;
    if (tableMode() && !wasWhole && cur_ >= 0) {
        loadAround(anchor);
    } else {
        loadFromStart();
        if (!key.isEmpty()) {
            int found = -1;
            for (int i = 0; i < rows_.size() && found < 0; ++i)
                if (rows_[i].key == key)
                    found = i;
            if (found < 0 && !tableMode()) {
                while (rows_.size() <= oldIndex && fetchMoreForward()) {
                }
                found = qMin(oldIndex, int(rows_.size()) - 1);
            }
            cur_ = found >= 0 ? found : qMin(oldIndex, int(rows_.size()) - 1);
        }
    }
    eof_ = rows_.isEmpty();
    bof_ = cur_ <= 0;
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
    notifyDetails();
}

// ---------------------------------------------------------------- navigation

void Dataset::fire(const DatasetEvent& e)
{
    if (e)
        e(*this);
}

void Dataset::setState(DsState s)
{
    if (s == state_)
        return;
    state_ = s;
    emit stateChanged();
}

void Dataset::setCur(int i, bool fireScroll)
{
    if (i == cur_)
        return;
    if (fireScroll)
        fire(BeforeScroll);
    cur_ = i;
    if (!controlsDisabled())
        emit currentChanged(cur_);
    notifyDetails();
    if (fireScroll)
        fire(AfterScroll);
}

void Dataset::setCurrentIndex(int i)
{
    if (!active() || i < 0 || i >= rows_.size())
        return;
    if (isEditing() && i != cur_) {
        // Posting may move the posted row to its place in the order: go to the row that was
        // asked for, wherever it is now, not to whatever took its index.
        const QVariantList target = rows_[i].key;
        CheckBrowseMode();
        if (i >= rows_.size() || rows_[i].key != target)
            for (int j = 0; j < rows_.size(); ++j)
                if (rows_[j].key == target) {
                    i = j;
                    break;
                }
        if (i >= rows_.size())
            return;
    }
    CheckBrowseMode();
    eof_ = false;
    bof_ = false;
    setCur(i);
}

void Dataset::First()
{
    if (!active())
        throw DbError(QStringLiteral("Los datos no están abiertos"));
    CheckBrowseMode();
    if (!atStart_) {
        loadFromStart();
        cur_ = -1;
        if (!controlsDisabled())
            emit reset();
    }
    bof_ = true;
    eof_ = rows_.isEmpty();
    if (cur_ != 0 && !rows_.isEmpty())
        setCur(0);
    else if (rows_.isEmpty())
        cur_ = -1;
}

void Dataset::Last()
{
    if (!active())
        throw DbError(QStringLiteral("Los datos no están abiertos"));
    CheckBrowseMode();
    if (!atEnd_) {
        if (tableMode()) {
            rows_ = fetchRows(QString(), {}, true, pageSize_);
            std::reverse(rows_.begin(), rows_.end());
            atEnd_ = true;
            atStart_ = rows_.size() < pageSize_;
        } else {
            fetchAllQuery(-1);
        }
        cur_ = -1;
        if (!controlsDisabled())
            emit reset();
    }
    eof_ = true;
    bof_ = rows_.isEmpty();
    if (!rows_.isEmpty())
        setCur(rows_.size() - 1);
}

void Dataset::Next()
{
    if (!active())
        return;
    CheckBrowseMode();
    if (cur_ + 1 < rows_.size() || fetchMoreForward()) {
        bof_ = false;
        eof_ = false;
        setCur(cur_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::Prior()
{
    if (!active())
        return;
    CheckBrowseMode();
    if (cur_ > 0 || fetchMoreBackward()) {
        eof_ = false;
        bof_ = false;
        setCur(cur_ - 1);
    } else {
        bof_ = true;
    }
}

void Dataset::MoveBy(int n)
{
    for (; n > 0 && !eof_; --n)
        Next();
    for (; n < 0 && !bof_; ++n)
        Prior();
}

int Dataset::recordCount()
{
    if (!active())
        return 0;
    if (!tableMode()) {
        fetchAllQuery(-1);
        return rows_.size();
    }
    if (atStart_ && atEnd_)
        return rows_.size();
    QVariantMap p;
    QString where = baseWhere(p);
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ") + quoted(table_);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return conn_.scalar(sql, p).toInt();
}

bool Dataset::rowMatchesLocally(const Row& r, const QStringList& fields, const QVariantList& values,
                                const LocateOptions& opt) const
{
    for (int i = 0; i < fields.size(); ++i) {
        Field* f = const_cast<Dataset*>(this)->FindField(fields[i]);
        if (!f)
            return false;
        const QVariant a = r.values.value(f->index_);
        const QVariant b = values.value(i);
        if (isNullValue(b) || isNullValue(a)) {
            if (isNullValue(a) != isNullValue(b))
                return false;
            continue;
        }
        if (f->type_ == FieldType::String || f->type_ == FieldType::Memo) {
            QString sa = a.toString(), sb = b.toString();
            while (sb.endsWith(QLatin1Char(' ')) && f->fixedChar_)
                sb.chop(1);
            const Qt::CaseSensitivity cs = opt.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
            if (opt.partialKey ? !sa.startsWith(sb, cs) : sa.compare(sb, cs) != 0)
                return false;
        } else if (f->isNumeric()) {
            bool ok = false;
            double db = b.toDouble(&ok);
            if (!ok || a.toDouble() != db)
                return false;
        } else if (compareValues(a, b) != 0) {
            return false;
        }
    }
    return true;
}

bool Dataset::Locate(const QString& fieldList, const QVariantList& given, LocateOptions opt)
{
    if (!active())
        Open();
    CheckBrowseMode();
    const QStringList fields = splitFields(fieldList);
    for (const QString& f : fields)
        if (!FindField(f))
            throw DbError(QStringLiteral("Campo '%1' no encontrado").arg(f));
    // A value the field cannot hold ("12a" for a number) is refused with the conversion error
    // whether the rows are all in memory or read by key, not silently "not found" on small tables.
    QVariantList values = given;
    for (int i = 0; i < fields.size() && i < values.size(); ++i) {
        const Field* f = FindField(fields[i]);
        if (f->isNumeric() || f->type_ == FieldType::Date || f->type_ == FieldType::DateTime)
            values[i] = convertIn(*f, values[i]);
    }

    const bool whole = atStart_ && atEnd_;
    if (!tableMode() || whole || keyless_) {
        if (!tableMode() && !atStart_)
            loadFromStart();
        for (int i = 0;; ++i) {
            if (i >= rows_.size()) {
                if (tableMode() || !fetchMoreForward())
                    return false;
            }
            if (i < rows_.size() && rowMatchesLocally(rows_[i], fields, values, opt)) {
                eof_ = bof_ = false;
                setCur(i);
                return true;
            }
        }
    }

    // Keyed read of the first matching row in the dataset's order.
    QVariantMap p;
    QStringList conds;
    for (int i = 0; i < fields.size(); ++i) {
        const QString col = quoted(fields[i]);
        const QVariant v = values.value(i);
        const QString name = QStringLiteral("KV_L%1").arg(i);
        Field* f = FindField(fields[i]);
        if (isNullValue(v)) {
            conds << col + QStringLiteral(" IS NULL");
            continue;
        }
        const bool text = f->type_ == FieldType::String;
        if (text && opt.partialKey) {
            conds << (opt.caseInsensitive ? QStringLiteral("UPPER(%1) STARTING WITH UPPER(:%2)")
                                          : QStringLiteral("%1 STARTING WITH :%2"))
                         .arg(col, name);
        } else if (text && opt.caseInsensitive) {
            conds << QStringLiteral("UPPER(%1) = UPPER(:%2)").arg(col, name);
        } else {
            conds << col + QStringLiteral(" = :") + name;
        }
        p.insert(name, convertIn(*f, v));
    }
    // When the first searched field leads the order, walking the order's index from the value is
    // the quickest way to the first match. Otherwise (a barcode looked for in a table ordered by
    // code) a walk of the order's index would test row after row until the match: let the
    // searched field's index find the few matching rows and sort only those.
    const QStringList order = effectiveOrder();
    const bool walkOrder =
        !order.isEmpty() && !fields.isEmpty() && order.first().compare(fields.first(), Qt::CaseInsensitive) == 0;
    // About a screenful from the found row on: enough for a grid to show it among its neighbours
    // at once, while a lookup by code or barcode at the counter does not pay for a whole page.
    // The rest is read as the cursor or the grid reaches it.
    const int windowRows = qMin(kLocateRows, pageSize_);
    const Field* first = FindField(fields.first());
    const bool plainFirst = walkOrder && !isNullValue(values.value(0)) &&
                            !(first->type_ == FieldType::String && (opt.partialKey || opt.caseInsensitive));
    if (plainFirst) {
        // One read does it: the rows from the value on, in the dataset's order. When the first
        // of them lacks the value no row has it; when it has all the searched values it is the
        // match. Only when rows share the first value and the first is not the one (a search on
        // several fields) is the match looked up on its own.
        QVariantMap wp{{QStringLiteral("KV_W0"), p.value(QStringLiteral("KV_L0"))}};
        QVector<Row> window =
            fetchRows(quoted(fields.first()) + QStringLiteral(" >= :KV_W0"), wp, false, windowRows);
        if (window.isEmpty() || !rowMatchesLocally(window.first(), fields.mid(0, 1), values.mid(0, 1), opt))
            return false;
        if (rowMatchesLocally(window.first(), fields, values, opt)) {
            const Row found = window.first();
            showLocated(found, [this, &window, windowRows] { setWindow(std::move(window), windowRows); });
            return true;
        }
    }
    const QString where = conds.join(QStringLiteral(" AND "));
    if (order.size() == 1) {
        // The order is one unique column: one statement finds the first match and reads the rows
        // from it on. When that comes back empty or the first row is not a match (a NULL in the
        // column, text the database compares differently) the two reads below decide.
        QVariantMap wp = p;
        const QString col = quoted(order.first());
        const QString firstKey = QStringLiteral("(SELECT FIRST 1 ") + col + fromWhere(where, wp) +
                                 orderByClause(false, walkOrder) + QLatin1Char(')');
        QVector<Row> window = fetchRows(col + QStringLiteral(" >= ") + firstKey, wp, false, windowRows);
        if (!window.isEmpty() && rowMatchesLocally(window.first(), fields, values, opt)) {
            const Row found = window.first();
            showLocated(found, [this, &window, windowRows] { setWindow(std::move(window), windowRows); });
            return true;
        }
    }
    const std::optional<Row> found = firstMatch(where, p, walkOrder);
    if (!found)
        return false;
    showLocated(*found, [this, &found, windowRows] { loadAround(*found, windowRows); });
    return true;
}

void Dataset::showLocated(const Row& found, const std::function<void()>& readWindow)
{
    for (int i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == found.key) {
            eof_ = bof_ = false;
            setCur(i);
            return;
        }
    }
    fire(BeforeScroll);
    readWindow();
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
    notifyDetails();
    fire(AfterScroll);
}

bool Dataset::FindKey(const QVariantList& values)
{
    QStringList order = order_.isEmpty() ? keyFields() : order_;
    return Locate(order.mid(0, values.size()).join(QLatin1Char(';')), values);
}

void Dataset::FindNearest(const QVariantList& values)
{
    if (!active())
        Open();
    CheckBrowseMode();
    const QStringList order = effectiveOrder();
    if (!tableMode() || order.isEmpty() || (atStart_ && atEnd_)) {
        // Everything is in memory: walk it.
        Row probe;
        probe.values.resize(columnCount_ + int(calcFields_.size()));
        for (int i = 0; i < rows_.size(); ++i) {
            bool ge = true;
            for (int k = 0; k < values.size() && k < order.size(); ++k) {
                Field* f = FindField(order[k]);
                int c = compareValues(rows_[i].values.value(f->index_), convertIn(*f, values[k]));
                if (c != 0) {
                    ge = c > 0;
                    break;
                }
            }
            if (ge) {
                eof_ = bof_ = false;
                setCur(i);
                return;
            }
        }
        if (!rows_.isEmpty())
            setCur(rows_.size() - 1);
        return;
    }
    // Rows whose first n order fields are >= the values: keyset condition on those fields only.
    QVariantMap p;
    QStringList terms, equal;
    for (int k = 0; k < values.size() && k < order.size(); ++k) {
        Field* f = FindField(order[k]);
        const QVariant v = convertIn(*f, values[k]);
        const QString col = quoted(order[k]);
        const QString name = QStringLiteral("KV_N%1").arg(k);
        if (isNullValue(v)) {
            equal << col + QStringLiteral(" IS NULL");
            QStringList t = equal;
            t.removeLast();
            t << col + QStringLiteral(" IS NOT NULL");
            terms << QLatin1Char('(') + t.join(QStringLiteral(" AND ")) + QLatin1Char(')');
            continue;
        }
        p.insert(name, v);
        QStringList t = equal;
        t << col + QStringLiteral(" > :") + name;
        terms << QLatin1Char('(') + t.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        equal << col + QStringLiteral(" = :") + name;
    }
    terms << QLatin1Char('(') + equal.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    QString cond = QLatin1Char('(') + terms.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    if (!values.isEmpty() && !isNullValue(values[0]))
        cond = quoted(order[0]) + QStringLiteral(" >= :KV_N0 AND ") + cond;
    QVector<Row> found = fetchRows(cond, p, false, pageSize_);
    fire(BeforeScroll);
    if (found.isEmpty()) {
        Last();
        return;
    }
    rows_ = found;
    atEnd_ = rows_.size() < pageSize_;
    atStart_ = false;
    cur_ = 0;
    eof_ = bof_ = false;
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
    notifyDetails();
    fire(AfterScroll);
}

// ---------------------------------------------------------------- editing

Dataset::Row* Dataset::activeRow()
{
    if (calcTarget_)
        return calcTarget_;
    if (cur_ < 0 || cur_ >= rows_.size())
        return nullptr;
    return &rows_[cur_];
}

const Dataset::Row* Dataset::activeRow() const { return const_cast<Dataset*>(this)->activeRow(); }

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

void Dataset::CheckBrowseMode()
{
    if (isEditing())
        Post();
}

void Dataset::Insert()
{
    if (!active())
        Open();
    CheckBrowseMode();
    insertAt(cur_ < 0 ? 0 : cur_);
}

void Dataset::Append()
{
    if (!active())
        Open();
    CheckBrowseMode();
    if (!atEnd_)
        Last();
    insertAt(rows_.size());
}

void Dataset::insertAt(int pos)
{
    checkWritable();
    fire(BeforeInsert);
    Row r;
    r.values.resize(columnCount_ + int(calcFields_.size()));
    rows_.insert(pos, r);
    if (!controlsDisabled())
        emit rowsInserted(pos, pos);
    original_ = Row();
    cur_ = pos;
    eof_ = bof_ = false;
    setState(DsState::Insert);
    modified_ = false;
    // A detail row belongs to the master's current row from the start.
    if (master_) {
        const QVariantList mv = masterValues();
        for (int i = 0; i < detailFields_.size() && i < mv.size(); ++i)
            if (Field* f = FindField(detailFields_[i]))
                rows_[cur_].values[f->index_] = convertIn(*f, mv[i]);
    }
    try {
        fire(OnNewRecord);
    } catch (...) {
        Cancel();
        throw;
    }
    calcRow(rows_[cur_]);
    if (!controlsDisabled())
        emit currentChanged(cur_);
    notifyDetails();
    fire(AfterInsert);
}

void Dataset::Edit()
{
    if (!active())
        Open();
    if (isEditing())
        return;
    if (rows_.isEmpty() || cur_ < 0) {
        Insert();
        return;
    }
    checkWritable();
    fire(BeforeEdit);
    original_ = rows_[cur_];
    modified_ = false;
    setState(DsState::Edit);
    fire(AfterEdit);
}

void Dataset::checkWritable() const
{
    if (writeTable().isEmpty())
        throw DbError(QStringLiteral("Esta consulta no se puede modificar"));
}

void Dataset::writeInsert(Row& r)
{
    const QString table = writeTable();
    if (table.isEmpty())
        throw DbError(QStringLiteral("Esta consulta no se puede modificar"));
    const TableInfo& ti = conn_.tableInfo(table);
    QStringList cols, marks;
    QVariantMap p;
    for (int i = 0; i < columnCount_; ++i) {
        const Field& f = *fields_[i];
        if (ti.indexOf(f.name_) < 0 || isNullValue(r.values[i]))
            continue;
        const QString name = QStringLiteral("P%1").arg(i);
        cols << quoted(f.name_);
        marks << QLatin1Char(':') + name;
        p.insert(name, r.values[i]);
    }
    QString sql;
    if (cols.isEmpty())
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
    else
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    conn_.exec(sql, p);
    r.key = keyOf(r);
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

void Dataset::writeUpdate(Row& r, const Row& original)
{
    const QString table = writeTable();
    if (table.isEmpty())
        throw DbError(QStringLiteral("Esta consulta no se puede modificar"));
    const TableInfo& ti = conn_.tableInfo(table);
    QStringList sets;
    QVariantMap p;
    for (int i = 0; i < columnCount_; ++i) {
        const Field& f = *fields_[i];
        if (ti.indexOf(f.name_) < 0)
            continue;
        const QVariant& a = r.values[i];
        const QVariant& b = original.values.value(i);
        if (isNullValue(a) == isNullValue(b) && (isNullValue(a) || a == b))
            continue;
        const QString name = QStringLiteral("P%1").arg(i);
        sets << quoted(f.name_) + QStringLiteral(" = :") + name;
        p.insert(name, a);
    }
    if (sets.isEmpty())
        return;
    const QString where = keyWhere(original.key, p);
    QSqlQuery q = conn_.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(quoted(table), sets.join(QStringLiteral(", ")), where),
                             p);
    if (q.numRowsAffected() == 0)
        throw DbError(QStringLiteral("La fila ya no existe: otro usuario la borró o cambió su clave"));
    r.key = keyOf(r);
}

void Dataset::placeAfterPost()
{
    // With the whole set in memory the posted row moves to its place in the order, as it will be
    // on the next read; a partial window keeps it where the user sees it.
    if (!tableMode() || !(atStart_ && atEnd_) || cur_ < 0)
        return;
    QVector<int> columns;  // the order's fields, looked up once: this runs on every post
    for (const QString& o : effectiveOrder())
        if (Field* f = FindField(o))
            columns << f->index_;
    if (columns.isEmpty())
        return;
    auto less = [&columns](const Row& a, const Row& b) {
        for (int c : columns) {
            const int d = compareValues(a.values.value(c), b.values.value(c));
            if (d != 0)
                return d < 0;
        }
        return false;
    };
    // The other rows are in order, so the common case (the row still belongs where it is) is
    // seen from its neighbours, and otherwise its place is found by halving.
    if ((cur_ == 0 || less(rows_[cur_ - 1], rows_[cur_])) &&
        (cur_ + 1 >= rows_.size() || !less(rows_[cur_ + 1], rows_[cur_])))
        return;
    Row r = rows_[cur_];
    rows_.removeAt(cur_);
    const int target = int(std::lower_bound(rows_.begin(), rows_.end(), r, less) - rows_.begin());
    rows_.insert(target, r);
    cur_ = target;
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
}

void Dataset::Post()
{
    if (!isEditing())
        return;
    if (WriteOperation && !writing_)
        runWrite(WriteKind::Post, [this] { postNow(); });
    else
        postNow();
}

void Dataset::runWrite(WriteKind kind, const std::function<void()>& write)
{
    const Pending before{state_, cur_ >= 0 ? rows_[cur_] : Row(), original_, cur_, modified_};
    bool attempted = false;
    writing_ = true;
    try {
        WriteOperation(*this, kind, [&] {
            if (attempted)
                putBack(before);
            attempted = true;
            write();
        });
    } catch (const Abort&) {
        writing_ = false;  // a handler stopped the write on purpose and left the row as it wanted
        throw;
    } catch (...) {
        writing_ = false;
        if (attempted)
            putBack(before);
        throw;
    }
    writing_ = false;
}

void Dataset::putBack(const Pending& p)
{
    if (p.index < 0)
        return;
    if (p.state == DsState::Browse) {
        // A delete: the row goes back where it was, unless it is still there.
        const bool there = cur_ >= 0 && cur_ < rows_.size() && rows_[cur_].key == p.row.key;
        if (!there) {
            const int pos = qBound(0, p.index, int(rows_.size()));
            rows_.insert(pos, p.row);
            if (!controlsDisabled())
                emit rowsInserted(pos, pos);
            cur_ = pos;
            eof_ = bof_ = false;
        }
        if (state_ != DsState::Browse)
            setState(DsState::Browse);
    } else {
        // A post: the row (still in insert or edit, or written to the buffer only) gets the values
        // it had before the attempt, in the state it had.
        if (cur_ < 0 || cur_ >= rows_.size())
            return;
        rows_[cur_] = p.row;
        original_ = p.original;
        modified_ = p.modified;
        if (state_ != p.state)
            setState(p.state);
    }
    if (!controlsDisabled()) {
        emit rowChanged(cur_);
        emit currentChanged(cur_);
    }
}

void Dataset::RefreshRecord(bool lock)
{
    if (!active() || isEditing() || cur_ < 0 || !tableMode())
        return;
    QVariantMap p;
    const QString where = keyWhere(rows_[cur_].key, p);
    QSqlQuery q = conn_.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
                                 .arg(selectList(), quoted(table_), where, lock ? QStringLiteral(" WITH LOCK") : QString()),
                             p);
    if (!conn_.next(q)) {
        if (lock)
            throw DbError(QStringLiteral("La fila ya no existe: otro usuario la borró o cambió su clave"));
        Refresh();
        return;
    }
    rows_[cur_] = readRow(q);
    calcRow(rows_[cur_]);
    if (!controlsDisabled())
        emit rowChanged(cur_);
}

void Dataset::postNow()
{
    fire(BeforePost);
    Row& r = rows_[cur_];
    for (int i = 0; i < columnCount_; ++i) {
        const Field& f = *fields_[i];
        if (f.required_ && isNullValue(r.values[i]))
            throw DbError(QStringLiteral("El campo '%1' debe tener un valor").arg(f.displayLabel.isEmpty() ? f.name_ : f.displayLabel));
    }
    for (;;) {
        try {
            if (state_ == DsState::Insert)
                writeInsert(r);
            else
                writeUpdate(r, original_);
            break;
        } catch (const DbError& e) {
            const DataAction action = OnPostError ? OnPostError(*this, e) : DataAction::Fail;
            if (action == DataAction::Retry)
                continue;
            if (action == DataAction::Abort)
                throw Abort();
            throw;
        }
    }
    setState(DsState::Browse);
    modified_ = false;
    calcRow(rows_[cur_]);
    if (!controlsDisabled())
        emit rowChanged(cur_);
    placeAfterPost();
    fire(AfterPost);
    notifyDetails();
}

void Dataset::Cancel()
{
    if (!isEditing())
        return;
    fire(BeforeCancel);
    if (state_ == DsState::Insert) {
        const int pos = cur_;
        rows_.removeAt(pos);
        if (!controlsDisabled())
            emit rowsRemoved(pos, pos);
        cur_ = rows_.isEmpty() ? -1 : qMin(pos, int(rows_.size()) - 1);
        eof_ = rows_.isEmpty();
    } else {
        rows_[cur_] = original_;
        if (!controlsDisabled())
            emit rowChanged(cur_);
    }
    setState(DsState::Browse);
    modified_ = false;
    if (!controlsDisabled())
        emit currentChanged(cur_);
    fire(AfterCancel);
    notifyDetails();
}

void Dataset::Delete()
{
    if (WriteOperation && !writing_ && active() && state_ != DsState::Insert && !rows_.isEmpty() && cur_ >= 0) {
        if (state_ == DsState::Edit)
            Cancel();
        runWrite(WriteKind::Delete, [this] { deleteNow(); });
        return;
    }
    deleteNow();
}

void Dataset::deleteNow()
{
    if (!active())
        throw DbError(QStringLiteral("Los datos no están abiertos"));
    if (state_ == DsState::Insert) {
        Cancel();
        return;
    }
    if (rows_.isEmpty() || cur_ < 0)
        throw DbError(QStringLiteral("No hay ninguna fila para borrar"));
    if (state_ == DsState::Edit)
        Cancel();
    fire(BeforeDelete);
    const QString table = writeTable();
    if (table.isEmpty())
        throw DbError(QStringLiteral("Esta consulta no se puede modificar"));
    const Row& r = rows_[cur_];
    QVariantMap p;
    const QString where = keyWhere(r.key, p);
    conn_.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(table), where), p);
    const int pos = cur_;
    rows_.removeAt(pos);
    if (!controlsDisabled())
        emit rowsRemoved(pos, pos);
    if (rows_.isEmpty() && !atEnd_)
        fetchMoreForward();
    cur_ = rows_.isEmpty() ? -1 : qMin(pos, int(rows_.size()) - 1);
    eof_ = rows_.isEmpty();
    bof_ = cur_ <= 0;
    fire(AfterDelete);
    if (!controlsDisabled())
        emit currentChanged(cur_);
    notifyDetails();
    fire(AfterScroll);
}

// ---------------------------------------------------------------- fields

Field* Dataset::FindField(const QString& name)
{
    if (fields_.empty() && !table_.isEmpty())
        prepareFields();
    for (auto& f : fields_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    for (auto& f : calcFields_)
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
    auto* self = const_cast<Dataset*>(this);
    Row* saved = self->calcTarget_;
    self->calcTarget_ = &self->rows_[row];
    QString t;
    try {
        Field& f = field < columnCount_ ? *self->fields_[field] : *self->calcFields_[field - columnCount_];
        t = f.displayText();
    } catch (...) {
        self->calcTarget_ = saved;
        throw;
    }
    self->calcTarget_ = saved;
    return t;
}

void Dataset::DisableControls() { ++disabled_; }

void Dataset::EnableControls()
{
    if (disabled_ > 0 && --disabled_ == 0) {
        emit reset();
        emit currentChanged(cur_);
        notifyDetails();
    }
}

// ---------------------------------------------------------------- master-detail

void Dataset::notifyDetails()
{
    if (controlsDisabled())
        return;
    for (Dataset* d : details_)
        d->masterChanged();
}

bool Dataset::masterValuesChanged() const
{
    const QVariantList now = masterValues();
    if (now.size() != linkedValues_.size())
        return true;
    for (int i = 0; i < now.size(); ++i)
        if (compareValues(now[i], linkedValues_[i]) != 0 || isNullValue(now[i]) != isNullValue(linkedValues_[i]))
            return true;
    return false;
}

void Dataset::masterChanged()
{
    if (!active() || !masterValuesChanged())
        return;
    CheckBrowseMode();
    loadFromStart();
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
    notifyDetails();
    fire(AfterScroll);
}

}  // namespace kv
