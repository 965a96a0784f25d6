#pragma once
// Where a report's rows come from. The engine only walks forward (first, next, eof) and reads
// values by name, so a query cursor, a plain list of rows or anything else can feed a report.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace kv {

class RowSource {
public:
    virtual ~RowSource() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // The value of a column of the current row; a null QVariant when the column is null, missing,
    // or there is no current row.
    virtual QVariant value(const QString& name) const = 0;
    // Column names, used to keep a copy of a row (group footers print the last row of their group
    // after the cursor has already moved on).
    virtual QStringList fieldNames() const = 0;
};

// Rows held in memory. Names are looked up without regard to case, as database columns are.
class VectorRowSource : public RowSource {
public:
    VectorRowSource() = default;
    explicit VectorRowSource(QList<QVariantMap> rows) : rows_(std::move(rows)) {}

    void setRows(QList<QVariantMap> rows)
    {
        rows_ = std::move(rows);
        pos_ = 0;
    }
    const QList<QVariantMap>& rows() const { return rows_; }

    void first() override { pos_ = 0; }
    void next() override
    {
        if (pos_ < rows_.size())
            ++pos_;
    }
    bool eof() const override { return pos_ >= rows_.size(); }
    QVariant value(const QString& name) const override;
    QStringList fieldNames() const override;

private:
    QList<QVariantMap> rows_;
    qsizetype pos_ = 0;
};

// A single row that never moves: a copy of another source's current row, or a row with no
// columns at all (what a band sees when a report has no data).
class FixedRow : public RowSource {
public:
    FixedRow() = default;
    explicit FixedRow(QVariantMap values) : values_(std::move(values)) {}
    // Copies the current row of `source`.
    static FixedRow copyOf(const RowSource& source);

    void first() override {}
    void next() override {}
    bool eof() const override { return false; }
    QVariant value(const QString& name) const override;
    QStringList fieldNames() const override { return values_.keys(); }

private:
    QVariantMap values_;
};

// Case-insensitive look-up in a row map: the exact key first, then any key equal but for case.
QVariant lookupValue(const QVariantMap& row, const QString& name);

}  // namespace kv
