#include "data/DatasetModel.h"

#include "common/Dates.h"
#include "common/Numbers.h"

namespace kv {

DatasetModel::DatasetModel(Dataset& ds, QObject* parent) : QAbstractTableModel(parent), ds_(ds)
{
    // The dataset announces rows before it adds or drops them and reports them after; in between
    // it is in the middle of the operation, and views moving their current row meanwhile must not
    // act on the cursor.
    connect(&ds_, &Dataset::reset, this, [this] {
        const ChangingRows guard(changingRows_);
        beginResetModel();
        if (!explicitColumns_)
            rebuildDefaultColumns();
        endResetModel();
    });
    connect(&ds_, &Dataset::rowsAboutToBeInserted, this, [this](int first, int last) {
        ++changingRows_;
        beginInsertRows(QModelIndex(), first, last);
    });
    connect(&ds_, &Dataset::rowsInserted, this, [this] {
        endInsertRows();
        --changingRows_;
    });
    connect(&ds_, &Dataset::rowsAboutToBeRemoved, this, [this](int first, int last) {
        ++changingRows_;
        beginRemoveRows(QModelIndex(), first, last);
    });
    connect(&ds_, &Dataset::rowsRemoved, this, [this] {
        endRemoveRows();
        --changingRows_;
    });
    connect(&ds_, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    if (ds_.active())
        rebuildDefaultColumns();
}

void DatasetModel::rebuildDefaultColumns()
{
    columns_.clear();
    if (!ds_.active())
        return;
    for (int i = 0; i < ds_.fieldCount(); ++i)
        if (ds_.fieldAt(i).visible)
            columns_ << GridColumn{ds_.fieldAt(i).name(), QString(), QString(), false, 0};
}

void DatasetModel::setColumns(const QVector<GridColumn>& columns)
{
    beginResetModel();
    columns_ = columns;
    explicitColumns_ = true;
    endResetModel();
}

Field* DatasetModel::fieldOf(int column) const
{
    if (column < 0 || column >= columns_.size())
        return nullptr;
    return ds_.FindField(columns_[column].field);
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !ds_.active() ? 0 : ds_.bufferCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_.size();
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    Field* f = fieldOf(index.column());
    if (!f || !index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole) {
        const QString& pic = columns_[index.column()].picture;
        if (pic.isEmpty())
            return ds_.displayTextAt(index.row(), f->index());
        const QVariant v = ds_.valueAt(index.row(), f->index());
        if (!v.isValid() || v.isNull())
            return QString();
        if (f->isNumeric())
            return FormatFloat(pic, v.toDouble());
        if (f->type() == FieldType::Date || f->type() == FieldType::DateTime)
            return FormatDateTime(pic, v.toDateTime());
        return v.toString();
    }
    if (role == Qt::EditRole) {
        const QVariant v = ds_.valueAt(index.row(), f->index());
        if (f->type() == FieldType::Float && v.isValid() && !v.isNull())
            return FloatToStr(v.toDouble());
        return v;
    }
    if (role == Qt::TextAlignmentRole)
        return f->isNumeric() ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Field* f = fieldOf(index.column());
    if (!f || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (ds_.currentIndex() != index.row())
        ds_.setCurrentIndex(index.row());
    ds_.Edit();
    try {
        f->setValue(value);
        // A new row typed in the grid is posted when the user leaves it (or posts it), not after
        // its first cell: its other required columns are still to be typed.
        if (ds_.state() != DsState::Insert)
            ds_.Post();
    } catch (const Abort&) {
        ds_.Cancel();
        return false;
    } catch (...) {
        // The row stays in edit mode for correction; the caller shows the error.
        throw;
    }
    return true;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags fl = QAbstractTableModel::flags(index);
    Field* f = fieldOf(index.column());
    if (f && !readOnly_ && !columns_[index.column()].readOnly && !f->readOnly && !f->calculated())
        fl |= Qt::ItemIsEditable;
    return fl;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (o == Qt::Vertical)
        return QVariant();
    if (section < 0 || section >= columns_.size())
        return QVariant();
    if (!columns_[section].title.isEmpty())
        return columns_[section].title;
    Field* f = fieldOf(section);
    if (f && !f->displayLabel.isEmpty())
        return f->displayLabel;
    return columns_[section].field;
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const
{
    // Not while the rows are changing: a view asking from inside a reset or an insertion would
    // start another change inside this one. It asks again once the change is over.
    return !parent.isValid() && ds_.active() && !ds_.allFetchedForward() && !changingRows();
}

void DatasetModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        ds_.fetchMoreForward();
}

}  // namespace kv
