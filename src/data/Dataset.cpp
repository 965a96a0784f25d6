// The Dataset's set-up, events, editing and posting, and the master-detail link.
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

Dataset::Row* Dataset::activeRow()
{
    if (calcTarget_)
        return calcTarget_;
    if (cur_ < 0 || cur_ >= rows_.size())
        return nullptr;
    return &rows_[cur_];
}

const Dataset::Row* Dataset::activeRow() const { return const_cast<Dataset*>(this)->activeRow(); }

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
    if (!controlsDisabled())
        emit rowsAboutToBeInserted(pos, pos);
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
            if (!controlsDisabled())
                emit rowsAboutToBeInserted(pos, pos);
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

std::optional<Dataset::Row> Dataset::readByKey(const QVariantList& key, bool lock)
{
    QVariantMap p;
    const QString where = keyWhere(key, p);
    QSqlQuery q = conn_.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
                                 .arg(selectList(), quoted(table_), where, lock ? QStringLiteral(" WITH LOCK") : QString()),
                             p);
    if (!conn_.next(q))
        return std::nullopt;
    return readRow(q);
}

void Dataset::RefreshRecord(bool lock)
{
    if (!active() || isEditing() || cur_ < 0 || !tableMode())
        return;
    std::optional<Row> now = readByKey(rows_[cur_].key, lock);
    if (!now) {
        if (lock)
            throw DbError(QStringLiteral("La fila ya no existe: otro usuario la borró o cambió su clave"));
        Refresh();
        return;
    }
    rows_[cur_] = *now;
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
        if (!controlsDisabled())
            emit rowsAboutToBeRemoved(pos, pos);
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
    if (!controlsDisabled())
        emit rowsAboutToBeRemoved(pos, pos);
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

void Dataset::DisableControls() { ++disabled_; }

void Dataset::EnableControls()
{
    if (disabled_ > 0 && --disabled_ == 0) {
        emit reset();
        emit currentChanged(cur_);
        notifyDetails();
    }
}

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
    windowReplaced();
}



}  // namespace kv
