#include "platform/DbGrid.h"

#include "platform/DbControls.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QKeyEvent>
#include <QScrollBar>

namespace kv {

DbGrid::DbGrid(Dataset& ds, QWidget* parent) : QTableView(parent), ds_(ds), model_(new DatasetModel(ds, this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    connect(&ds_, &Dataset::currentChanged, this, [this] { followDataset(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { followDataset(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        // Reaching the top of a window that does not start at the first row reads the page before.
        if (v == verticalScrollBar()->minimum() && !ds_.allFetchedBackward() && !syncing_) {
            syncing_ = true;
            const bool got = ds_.fetchMoreBackward();
            syncing_ = false;
            if (got)
                followDataset();
        }
    });
    followDataset();
}

void DbGrid::setColumns(const QVector<GridColumn>& columns)
{
    model_->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].width > 0)
            setColumnWidth(i, columns[i].width * fontMetrics().averageCharWidth() + 12);
    followDataset();
}

namespace {
class ShadedDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = option->palette.brush(QPalette::Disabled, QPalette::Window);
    }
};
}  // namespace

void DbGrid::shadeColumn(int column) { setItemDelegateForColumn(column, new ShadedDelegate(this)); }

void DbGrid::followDataset()
{
    if (syncing_)
        return;
    const int row = ds_.currentIndex();
    if (row < 0 || row >= model_->rowCount())
        return;
    syncing_ = true;
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex idx = model_->index(row, qMax(0, col));
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
    syncing_ = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // While the model is taking in rows the dataset already changed, the view moving its current
    // row is only bookkeeping: the dataset tells where its cursor is once it is done.
    if (syncing_ || model_->changingRows() || !current.isValid() || current.row() == ds_.currentIndex())
        return;
    syncing_ = true;
    // Leaving a row posts it. When the post is refused, the message is shown and the grid goes
    // back to the row being edited instead of letting the failure escape into the view.
    const bool moved = guarded([this, &current] { ds_.setCurrentIndex(current.row()); });
    syncing_ = false;
    // Posting may also have re-read or re-sorted the rows: the grid then follows the cursor.
    if (!moved || currentIndex().row() != ds_.currentIndex())
        QMetaObject::invokeMethod(this, [this] { followDataset(); }, Qt::QueuedConnection);
}

void DbGrid::commitData(QWidget* editor)
{
    guarded([this, editor] {
        QTableView::commitData(editor);
        // A cell the user typed into makes the row his: closing the screen asks about it.
        if (ds_.isEditing())
            markUserChanged(ds_);
    });
}

void DbGrid::keyPressEvent(QKeyEvent* e)
{
    // Moving may post the row being edited; a refusal is shown and the grid stays where it is.
    const int row = currentIndex().row();
    if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_PageUp) && row <= 0 && !ds_.allFetchedBackward()) {
        guarded([this] { ds_.Prior(); });  // reads the page before and moves onto its last row
        return;
    }
    if (e->key() == Qt::Key_Home && (e->modifiers() & Qt::ControlModifier)) {
        guarded([this] { ds_.First(); });
        return;
    }
    if (e->key() == Qt::Key_End && (e->modifiers() & Qt::ControlModifier)) {
        guarded([this] { ds_.Last(); });
        return;
    }
    QTableView::keyPressEvent(e);
}

}  // namespace kv
