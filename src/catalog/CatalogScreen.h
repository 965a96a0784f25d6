#pragma once
// The screen every small catalogue shares (branches, cashiers, registers, restaurant tables,
// waiters): a record navigator, a search box, a print group with the list's range and order, the
// key box and a second box, room for the screen's own controls, and a grid of the table.
//
// A screen is the template plus its table's particulars:
//
//     TFrmCajas::TFrmCajas(Connection& db, QWidget* parent) : CatalogScreen(db, description(), parent)
//     {
//         auto* indice = new DbEdit(table(), "EMPRESA", this);
//         addRow("Indice Parametros :", indice);
//     }
#include "catalog/CatalogList.h"
#include "platform/DataScreen.h"
#include "platform/DialogParts.h"

#include <functional>
#include <memory>

class QFormLayout;
class QGroupBox;
class QLabel;
class QVBoxLayout;

namespace kv {

struct CatalogScreenDescription {
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
    // Sets up the table's dataset before anything reads it (calculated fields for the grid).
    std::function<void(Dataset&)> prepareTable;
};

class CatalogScreen : public DataScreen {
    Q_OBJECT
public:
    CatalogScreen(Connection& db, CatalogScreenDescription description, QWidget* parent = nullptr);
    ~CatalogScreen() override;

    Dataset& table() const { return *table_; }
    const CatalogScreenDescription& description() const { return description_; }

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
    void showEvent(QShowEvent* e) override;

private:
    CatalogScreenDescription description_;
    std::unique_ptr<Dataset> table_;
    QFormLayout* form_ = nullptr;
    QVBoxLayout* extras_ = nullptr;
    bool tabOrdered_ = false;
};

}  // namespace kv
