#pragma once
// The screen every small catalogue shares (branches, cashiers, registers, restaurant tables,
// waiters): a record navigator, a search box, a print group with the list's range and order, the
// key box and a second box, room for the screen's own controls, and a grid of the table.
//
// A screen is the template plus its table's particulars:
//
//     TFrmCajas::TFrmCajas(Connection& db, QWidget* parent) : CatalogScreen(db, spec(), parent)
//     {
//         auto* indice = new DbEdit(table(), "EMPRESA", this);
//         addRow("Indice Parametros :", indice);
//     }
#include "catalog/CatalogList.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"

#include <QDialog>
#include <functional>
#include <memory>

class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

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

struct CatalogScreenSpec {
    QString objectName;      // "FrmSucursales"
    QString caption;         // window title
    QString titleLabel;      // the big label above the boxes
    QString table;
    QString datasetName;     // object name of the table's dataset ("TBodegas")
    QString keyField, keyCaption;
    QString secondField, secondCaption;
    QString keyPicture;      // shown with this picture when the box is not being edited
    QVector<GridColumn> gridColumns;
    // Every change of the search box moves to the row whose key equals the text.
    bool searchable = true;
    QString rangeFrom = QStringLiteral("1");
    QString rangeTo = QStringLiteral("999999999");
    CatalogList list;        // what "&Imprimir" prints
    // Creates the table when an old database lacks it (restaurant tables and waiters).
    std::function<void(Connection&)> ensureTable;
};

class CatalogScreen : public QDialog {
    Q_OBJECT
public:
    CatalogScreen(Connection& db, CatalogScreenSpec spec, QWidget* parent = nullptr);
    ~CatalogScreen() override;

    Connection& db() const { return db_; }
    Dataset& table() const { return *table_; }
    const CatalogScreenSpec& spec() const { return spec_; }

    // The list as "&Imprimir" prints it: the range of the two boxes, the order chosen in "Orden".
    // Raises ConversionError when a bound of a numeric key is not a number.
    Document ListDocument();

    QLabel* Label1;              // title
    DbNavigator* DBNavigator1;
    QGroupBox* GroupBox1;        // "Registro"
    QLineEdit* Edit1;            // search
    QGroupBox* GroupBox2;        // "Imprimir"
    QPushButton* BitBtn1;        // "&Imprimir"
    QLineEdit* Edit2;            // first record of the list
    QLineEdit* Edit3;            // last record of the list
    RadioGroup* RadioGroup1;     // "Orden": "A" by name, "#" by key
    DbEdit* DBEdit1;             // key
    DbEdit* DBEdit2;             // second box
    DbGrid* DBGrid1;
    QStatusBar* StatusBar1;

public slots:
    void Edit1Change(const QString& text);
    void BitBtn1Click();
    void DBNavigator1Click();

protected:
    // A caption and its control as a row of the boxes' form.
    void addRow(const QString& caption, QWidget* control);
    // Room between the boxes and the grid for a screen's own groups and grids.
    QVBoxLayout* extras() const { return extras_; }
    // Closes the screen's other datasets when the screen closes (the table is closed by the
    // template).
    virtual void closeTables() {}
    void done(int r) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Connection& db_;
    CatalogScreenSpec spec_;
    std::unique_ptr<Dataset> table_;
    QFormLayout* form_ = nullptr;
    QVBoxLayout* extras_ = nullptr;
    bool tabOrdered_ = false;
};

// Puts the given widgets at the end of the screen's Tab order, in that order, keeping the order of
// everything else: a screen's grid comes after the boxes its screen added below the template's.
void tabLast(QWidget* screen, const QList<QWidget*>& last);

// Keys of an editable grid, as the shop expects them in any data grid: Insert starts a new row,
// Down on the last row appends one, Ctrl+Delete deletes the row after the usual confirmation, Esc
// cancels the row being edited (instead of closing the screen); Tab leaves the grid.
void addGridEditingKeys(DbGrid* grid);

// Rows posted when a screen closes: pending typed text is written and a changed row is posted; a
// new row nothing was typed into is dropped. Returns false (the message shown) when the post is
// refused, so the screen stays open for correction.
bool postPendingRow(Dataset& ds);


// The record group of a catalogue screen's top bar (GroupBox1, titled `title`) and its search box
// Edit1, with the hint "Teclee Codigo O Flechas Para Buscar el registro". `boxName` is what the
// empty box shows and its accessible name. The screen watches the box's keys. Returns Edit1; the
// group's layout is a QHBoxLayout holding it.
QLineEdit* recordSearchBox(QGroupBox*& group, const QString& title, const QString& boxName, QWidget* screen);

}  // namespace kv
