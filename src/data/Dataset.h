#pragma once
// The cursor that data modules and screens share. A Dataset is either a table (rows in key order,
// or an order and a filter you set) or a query with named parameters (":EMPRESA"). It has a
// current row, fields read by name, the states browse / insert / edit, and events that the data
// modules hook their rules into. A handler stops the operation it belongs to by throwing Abort.
//
// Scale: a table dataset holds a window of rows, fetched a page at a time by keyset in either
// direction, so a grid over 100,000 products or a search by key never loads the whole table.
#include "data/Connection.h"

#include <QDateTime>
#include <QObject>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kv {

class Dataset;

enum class DsState { Inactive, Browse, Insert, Edit, CalcFields };

class Field {
public:
    const QString& name() const { return name_; }
    FieldType type() const { return type_; }
    int size() const { return size_; }
    bool required() const { return required_; }
    bool calculated() const { return calculated_; }
    bool isNumeric() const;
    int index() const { return index_; }
    Dataset& dataset() const { return *ds_; }

    QVariant value() const;     // null QVariant for NULL; char(n) without trailing blanks
    bool isNull() const;
    QString asString() const;   // "" for NULL
    double asFloat() const;     // 0 for NULL
    int asInteger() const;
    qint64 asLargeInt() const;
    QDateTime asDateTime() const;
    QDate asDate() const;
    QByteArray asBytes() const;

    // Sets the value of the row being edited. Text is cut to the column's width. Raises DbError
    // when the dataset is not in insert or edit mode (calculated fields: only while calculating).
    void setValue(const QVariant& v);
    void setString(const QString& s) { setValue(s); }
    void setFloat(double d) { setValue(d); }
    void setInteger(int i) { setValue(i); }
    void clear() { setValue(QVariant()); }
    Field& operator=(const QVariant& v) { setValue(v); return *this; }

    // Display: picture string for numbers (FormatFloat) or dates (FormatDateTime).
    QString displayFormat;
    QString displayLabel;
    int displayWidth = 0;
    bool readOnly = false;
    bool visible = true;
    QString displayText() const;

    // Called after the field's value changed (Delphi's OnChange), with the field.
    std::function<void(Field&)> OnChange;
    // Called before a value is stored; may throw to refuse it.
    std::function<void(Field&, const QVariant&)> OnValidate;

private:
    friend class Dataset;
    // Refuses a number that an integer or fixed-point column cannot hold as it stands.
    void checkFits(const QVariant& v) const;
    Dataset* ds_ = nullptr;
    QString name_;
    FieldType type_ = FieldType::String;
    int size_ = 0;
    int storageBytes_ = 0;  // SMALLINT 2, INTEGER 4, BIGINT 8 (also NUMERIC kept in them); else 0
    int decimals_ = 0;      // digits after the point of a NUMERIC column
    bool fixedChar_ = false;
    bool required_ = false;
    bool calculated_ = false;
    int index_ = 0;
};

using DatasetEvent = std::function<void(Dataset&)>;

// What to do when the database refuses a posted row: let the error through (Fail), stop silently
// (Abort), or write the row again after the handler corrected it (Retry).
enum class DataAction { Fail, Abort, Retry };
using DatasetErrorEvent = std::function<DataAction(Dataset&, const DbError&)>;

// A data module whose rows must be written together with rows of other tables (a sale line and
// its document's totals) runs the writes of a dataset inside its own operation: Post() and
// Delete() hand it the write, and it calls the write inside its transaction. After a rolled-back
// attempt it may call the write again: the dataset first puts the row back as it was before the
// first attempt (the same values, still in insert or edit, or the deleted row back in place), so
// the write starts over; when the operation finally fails the row is left that way too, to be
// corrected or cancelled, with nothing stored. Writes made while one is running (from an event)
// are part of it and happen at once.
enum class WriteKind { Post, Delete };
using WriteOperationEvent = std::function<void(Dataset&, WriteKind, const std::function<void()>& write)>;

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // text values match rows that start with them
};

class Dataset : public QObject {
    Q_OBJECT
public:
    explicit Dataset(Connection& connection, QObject* parent = nullptr);
    ~Dataset() override;

    Connection& connection() const { return conn_; }

    // --- what the dataset reads ---
    void setTableName(const QString& table);             // table mode
    QString tableName() const { return table_; }
    void setSql(const QString& sql);                     // query mode
    QString sql() const { return sql_; }
    // Query parameters (names without colon). Changing them takes effect at the next Open/Refresh.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    // Table mode: order by these fields ("NOMBRE;PRODUCTO"); empty means key order.
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const { return order_.join(QLatin1Char(';')); }
    // Table mode: an SQL condition with its own named parameters, e.g. "LLAVE = :LLAVE".
    void setFilter(const QString& condition, const QVariantMap& params = {});
    QString filter() const { return filter_; }
    // Master-detail: this dataset shows the rows whose detailFields equal the master's
    // masterFields ("EMPRESA;DOCUMENTO;CONSECUTIVO"); an inserted row takes the master's values.
    void setMasterSource(Dataset* master, const QString& masterFields, const QString& detailFields = QString());
    Dataset* master() const { return master_; }
    // A calculated field, filled by OnCalcFields each time a row is read or changed.
    Field& addCalcField(const QString& name, FieldType type = FieldType::String, int size = 0);
    void setPageSize(int rows) { pageSize_ = rows > 0 ? rows : 100; }
    int pageSize() const { return pageSize_; }
    // Query mode: a table the query's rows can be written back to (keyed on its primary key).
    void setUpdateTable(const QString& table) { updateTable_ = table; }

    // --- life ---
    void Open();
    void Close();
    bool active() const { return state_ != DsState::Inactive; }
    void Refresh();  // re-reads, keeping the current row where it still exists
    DsState state() const { return state_; }
    bool isEditing() const { return state_ == DsState::Insert || state_ == DsState::Edit; }
    bool modified() const { return modified_; }

    // --- navigation ---
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveBy(int n);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const;
    // Rows held in memory (the grid's rows) and the current one's index among them.
    int bufferCount() const { return rows_.size(); }
    int currentIndex() const { return cur_; }
    void setCurrentIndex(int i);  // moves to a buffered row (posting pending changes)
    // Fetches another page after / before the buffered rows; false when there is none.
    bool fetchMoreForward();
    bool fetchMoreBackward();
    bool allFetchedForward() const { return atEnd_; }
    bool allFetchedBackward() const { return atStart_; }
    // Counts the rows of the whole set (a SELECT COUNT for tables).
    int recordCount();

    // Locate: the first row (in the dataset's order) whose fields equal the values.
    bool Locate(const QString& fields, const QVariantList& values, LocateOptions opt = {});
    bool Locate(const QString& field, const QVariant& value, LocateOptions opt = {})
    {
        return Locate(field, QVariantList{value}, opt);
    }
    // FindKey: exact match on the order fields (the key when no order is set).
    bool FindKey(const QVariantList& values);
    // FindNearest: the first row whose order fields are >= the values (incremental search).
    void FindNearest(const QVariantList& values);

    // --- editing ---
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts when editing; nothing otherwise (what navigation does before moving).
    void CheckBrowseMode();
    // Reads the current row again from the table by its key (one keyed read), dropping what the
    // buffer holds of it; a row no longer there makes a whole Refresh. lock: the read also takes
    // the row for the running transaction ("WITH LOCK"), and a row no longer there raises DbError.
    void RefreshRecord(bool lock = false);
    // True while a write of this dataset runs inside its WriteOperation.
    bool writing() const { return writing_; }

    // --- fields ---
    Field& FieldByName(const QString& name);
    Field* FindField(const QString& name);
    Field& operator[](const QString& name) { return FieldByName(name); }
    int fieldCount() const { return int(fields_.size()); }
    Field& fieldAt(int i) { return *fields_[i]; }
    // Value of a buffered row (for grids); calculated fields included.
    QVariant valueAt(int row, int field) const;
    QString displayTextAt(int row, int field) const;

    // While disabled, grids are not told of moves and details do not follow (bulk work).
    void DisableControls();
    void EnableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    // --- events (wired by the data module to its handlers) ---
    DatasetEvent BeforeOpen, AfterOpen;
    DatasetEvent BeforeInsert, OnNewRecord, AfterInsert;
    DatasetEvent BeforeEdit, AfterEdit;
    DatasetEvent BeforePost, AfterPost;
    DatasetEvent BeforeCancel, AfterCancel;
    DatasetEvent BeforeDelete, AfterDelete;
    DatasetEvent BeforeScroll, AfterScroll;
    DatasetEvent OnCalcFields;
    // The database refused the row being posted (a duplicate key, a broken constraint). The
    // handler may change the row's fields and answer Retry; the row stays in insert or edit mode
    // until it is written, so Fail leaves it for the user to correct or cancel.
    DatasetErrorEvent OnPostError;
    WriteOperationEvent WriteOperation;

signals:
    void reset();                       // the buffer was replaced
    // Rows are announced before the buffer changes and reported after, as item models expect.
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void rowChanged(int row);
    void currentChanged(int row);
    void stateChanged();

private:
    friend class Field;
    struct Row {
        QVector<QVariant> values;  // columns then calculated fields
        QVariantList key;          // identity for update/delete: the key values as read
    };

    bool tableMode() const { return !table_.isEmpty(); }
    void prepareFields();
    void describeQuery(const QSqlRecord& rec);
    void insertAt(int pos);
    void checkWritable() const;
    QString selectList() const;
    QStringList effectiveOrder() const;
    QString baseWhere(QVariantMap& params) const;
    QVector<Row> fetchRows(const QString& extraWhere, const QVariantMap& extraParams, bool descending, int limit);
    // " FROM table WHERE ..." with the filter, the master's values and extraWhere.
    QString fromWhere(const QString& extraWhere, QVariantMap& params) const;
    QString orderByClause(bool descending, bool orderByIndex) const;
    // The order and key values of the first row matching `where` in the dataset's order.
    std::optional<Row> firstMatch(const QString& where, const QVariantMap& params, bool orderByIndex);
    static QVariant readValue(const Field& f, QVariant v);
    Row readRow(QSqlQuery& q) const;
    QString keysetCondition(const Row& r, bool after, bool inclusive, QVariantMap& params) const;
    void loadFromStart();
    void loadAround(const Row& anchor, int rows = 0);  // 0: a page
    // The rows from the window's first on, `limit` asked for (fewer: the end is reached).
    void setWindow(QVector<Row> rows, int limit);
    // The cursor onto a located row: within the rows held when it is there, else on the window
    // readWindow() reads, with the scroll events and the controls and details told.
    // complete: `found` holds every column (else only the order and key columns, and a row held
    // already is read again by its key).
    void showLocated(const Row& found, bool complete, const std::function<void()>& readWindow);
    // The stored row of that key, read now (lock: taken for the running transaction).
    std::optional<Row> readByKey(const QVariantList& key, bool lock);
    // The next rows of an open query, `upTo` at most (-1: all); the query ends with its last row.
    QVector<Row> readQueryRows(int upTo);
    // After a move that read a new window: the grids, the bound controls and the details are
    // told, then AfterScroll runs.
    void windowReplaced();
    // Adds rows after the buffered ones, announced to the grids.
    void appendRows(QVector<Row> more);
    void calcRow(Row& r);
    void setCur(int i, bool fireScroll = true);
    void notifyDetails();
    void masterChanged();
    bool masterValuesChanged() const;
    QVariantList masterValues() const;
    Row* activeRow();
    const Row* activeRow() const;
    QVariant convertIn(const Field& f, const QVariant& v) const;
    void fire(const DatasetEvent& e);
    void setState(DsState s);
    void writeInsert(Row& r);
    void writeUpdate(Row& r, const Row& original);
    QString writeTable() const { return tableMode() ? table_ : updateTable_; }
    QVariantList keyOf(const Row& r) const;
    QString keyWhere(const QVariantList& key, QVariantMap& params) const;
    QStringList keyFields() const;
    // A field of a dataset whose fields are known (open, or a table already described); null
    // when there is none of that name.
    Field* preparedField(const QString& name) const;
    bool rowMatchesLocally(const Row& r, const QStringList& fields, const QVariantList& values,
                           const LocateOptions& opt) const;
    void placeAfterPost();
    void postNow();
    void deleteNow();
    // The row as it stands before a write, to be put back after a rolled-back attempt.
    struct Pending {
        DsState state = DsState::Browse;
        Row row, original;
        int index = -1;
        bool modified = false;
    };
    void runWrite(WriteKind kind, const std::function<void()>& write);
    void putBack(const Pending& p);

    Connection& conn_;
    QString table_, sql_, updateTable_;
    QStringList order_;
    QString filter_;
    QVariantMap filterParams_;
    QVariantMap params_;
    Dataset* master_ = nullptr;
    QStringList masterFields_, detailFields_;
    QVariantList linkedValues_;
    std::vector<Dataset*> details_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<std::unique_ptr<Field>> calcFields_;  // declared before Open
    int columnCount_ = 0;
    bool keyless_ = false;  // no primary key or unique index
    int pageSize_ = 100;

    QVector<Row> rows_;
    int cur_ = -1;
    bool atStart_ = true, atEnd_ = true;
    bool eof_ = true, bof_ = true;
    DsState state_ = DsState::Inactive;
    bool modified_ = false;
    Row original_;
    Row* calcTarget_ = nullptr;
    int disabled_ = 0;
    bool pendingDetailRefresh_ = false;
    bool writing_ = false;

    // Query mode keeps its cursor open until every row was read.
    std::unique_ptr<QSqlQuery> openQuery_;
};

}  // namespace kv
