// The Dataset's row window: reading pages in either direction, opening, moving, Locate and
// FindNearest.
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

namespace {
// Rows read from a located row on (see Locate).
constexpr int kLocateRows = 25;
}  // namespace

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
        rows_ = readQueryRows(pageSize_);
    }
    linkedValues_ = masterValues();
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
}

QVector<Dataset::Row> Dataset::readQueryRows(int upTo)
{
    QVector<Row> out;
    if (!openQuery_)
        return out;
    while ((upTo < 0 || out.size() < upTo) && conn_.next(*openQuery_)) {
        out << readRow(*openQuery_);
        calcRow(out.last());
    }
    if (upTo < 0 || out.size() < upTo) {
        atEnd_ = true;
        openQuery_.reset();  // ends the read and its transaction
    }
    return out;
}

void Dataset::windowReplaced()
{
    if (!controlsDisabled()) {
        emit reset();
        emit currentChanged(cur_);
    }
    notifyDetails();
    fire(AfterScroll);
}

void Dataset::appendRows(QVector<Row> more)
{
    if (more.isEmpty())
        return;
    const int first = rows_.size();
    const int last = first + more.size() - 1;
    if (!controlsDisabled())
        emit rowsAboutToBeInserted(first, last);
    rows_ += more;
    if (!controlsDisabled())
        emit rowsInserted(first, last);
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
        appendRows(readQueryRows(pageSize_));
    } else if (rows_.isEmpty()) {
        loadFromStart();
        if (!rows_.isEmpty() && !controlsDisabled())
            emit reset();
    } else {
        QVariantMap p;
        QString cond = keysetCondition(rows_.last(), true, false, p);
        QVector<Row> more = fetchRows(cond, p, false, pageSize_);
        atEnd_ = more.size() < pageSize_;
        appendRows(std::move(more));
    }
    return rows_.size() > before;
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
    if (!controlsDisabled())
        emit rowsAboutToBeInserted(0, n - 1);
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
            appendRows(readQueryRows(-1));
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
        appendRows(readQueryRows(-1));
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
        const Field* f = preparedField(fields[i]);
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

    // A table is always asked, even when all its rows are held: another register (or another
    // window) may have added or changed the row since they were read, and a lookup by key decides
    // who signs on or which document is collected. Only a query's own rows, and a table without a
    // key (whose rows cannot be found again by one), are searched where they are held.
    if (!tableMode() || keyless_) {
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
        QVariantMap wp;
        const QString from =
            dsql::keysetCondition(fields.mid(0, 1), {p.value(QStringLiteral("KV_L0"))}, true, true, wp);
        QVector<Row> window = fetchRows(from, wp, false, windowRows);
        if (window.isEmpty() || !rowMatchesLocally(window.first(), fields.mid(0, 1), values.mid(0, 1), opt))
            return false;
        if (rowMatchesLocally(window.first(), fields, values, opt)) {
            const Row found = window.first();
            showLocated(found, true, [this, &window, windowRows] { setWindow(std::move(window), windowRows); });
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
            showLocated(found, true, [this, &window, windowRows] { setWindow(std::move(window), windowRows); });
            return true;
        }
    }
    const std::optional<Row> found = firstMatch(where, p, walkOrder);
    if (!found)
        return false;
    showLocated(*found, false, [this, &found, windowRows] { loadAround(*found, windowRows); });
    return true;
}

void Dataset::showLocated(const Row& found, bool complete, const std::function<void()>& readWindow)
{
    for (int i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == found.key) {
            // The row is held already, perhaps as it was read long ago: it takes what is stored now.
            if (complete) {
                rows_[i] = found;
            } else if (std::optional<Row> now = readByKey(found.key, false)) {
                calcRow(*now);
                rows_[i] = *now;
            }
            if (!controlsDisabled())
                emit rowChanged(i);
            eof_ = bof_ = false;
            if (i == cur_)
                notifyDetails();  // a detail linked on a column that changed follows it
            else
                setCur(i);
            return;
        }
    }
    fire(BeforeScroll);
    readWindow();
    windowReplaced();
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
    // Rows whose first n order fields are >= the values: the keyset condition on those fields.
    const int n = int(qMin(values.size(), order.size()));
    QVariantList bound;
    for (int k = 0; k < n; ++k)
        bound << convertIn(*FindField(order[k]), values[k]);
    QVariantMap p;
    const QString cond = dsql::keysetCondition(order.mid(0, n), bound, true, true, p);
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
    windowReplaced();
}

}  // namespace kv
