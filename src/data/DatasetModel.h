#pragma once
// A grid bound to a dataset: the rows the dataset holds, the columns you choose with their titles,
// pictures and read-only flags. Edits go through the dataset's Edit/Post, so a change typed in a
// grid runs the same rules as a change made in code. More rows are fetched as the grid scrolls.
#include "data/Dataset.h"

#include <QAbstractTableModel>

namespace kv {

struct GridColumn {
    QString field;
    QString title;          // empty: the field's display label or name
    QString picture;        // empty: the field's display format
    bool readOnly = false;
    int width = 0;          // in characters, a hint for the view
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset& ds, QObject* parent = nullptr);

    // Columns shown, in order. Without a call every visible field of the dataset is shown.
    void setColumns(const QVector<GridColumn>& columns);
    const QVector<GridColumn>& columns() const { return columns_; }
    void setReadOnly(bool ro) { readOnly_ = ro; }
    Dataset& dataset() const { return ds_; }
    // True while rows are being added, dropped or replaced after the dataset changed them.
    bool changingRows() const { return changingRows_ > 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    Field* fieldOf(int column) const;
    void rebuildDefaultColumns();

    Dataset& ds_;
    QVector<GridColumn> columns_;
    bool explicitColumns_ = false;
    bool readOnly_ = false;
    int changingRows_ = 0;
    struct ChangingRows {
        explicit ChangingRows(int& n) : n_(n) { ++n_; }
        ~ChangingRows() { --n_; }
        int& n_;
    };
};

}  // namespace kv
