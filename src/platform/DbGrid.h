#pragma once
// A grid bound to a dataset. The grid's current row and the dataset's current row are one: moving
// in the grid moves the cursor (posting a pending edit first) and moving the cursor in code moves
// the grid. Scrolling past the rows held fetches the next page, down or up.
#include "data/DatasetModel.h"

#include <QTableView>

namespace kv {

// A grid column: the field, its title (empty: the field's name), a number picture and a width in
// characters (0: the grid's own).
inline GridColumn gridColumn(const QString& field, const QString& title = QString(), const QString& picture = QString(),
                             int width = 0)
{
    GridColumn c;
    c.field = field;
    c.title = title;
    c.picture = picture;
    c.width = width;
    return c;
}

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(Dataset& ds, QWidget* parent = nullptr);
    DatasetModel* datasetModel() const { return model_; }
    Dataset& dataset() const { return ds_; }
    void setColumns(const QVector<GridColumn>& columns);
    // Draws the column's cells on a shaded background, so that the columns left unshaded show
    // where the user types.
    void shadeColumn(int column);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // A cell's text the field refuses (letters in a number, a duplicate key on posting) is shown
    // through the general error box; the row stays in edit mode for correction.
    void commitData(QWidget* editor) override;

private:
    void followDataset();
    Dataset& ds_;
    DatasetModel* model_;
    bool syncing_ = false;
};

}  // namespace kv
