#pragma once
// What the two sales export screens share: the company panel with its navigator over EMPRESAS,
// the range's two date boxes, "Validar", the page "Movimiento Pos" with the grid of the query last
// run, the status bar ("Proceso" and a progress text), and the run of one export into a new
// workbook that is saved under a name the user sees and opened in the spreadsheet program.
//
// Dates are typed and shown as dd/mm/yyyy whatever the machine's settings, so a range reads back
// as it was written.
#include "backoffice/SalesExport.h"
#include "platform/DataScreen.h"

class QHBoxLayout;
class QLabel;
class QTabWidget;

namespace kv {

class Workbook;

class SalesExportScreen : public DataScreen {
    Q_OBJECT
public:
    SalesExportScreen(Connection& db, const QString& objectName, const QString& caption, QWidget* parent = nullptr);
    ~SalesExportScreen() override;

    Dataset& TEmpresas() { return empresas_; }

    DbNavigator* DBNavigator1;  // over EMPRESAS
    DbEdit* DBEdit1;            // the company's NOMBRE
    DbEdit* DBEdit2;            // its EMPRESA
    QLineEdit* Edit1;           // "Fecha Inicial"
    QLineEdit* Edit2;           // "Fecha Final"
    QPushButton* BtnValidar;    // "Validar"
    QTabWidget* PageControl1;
    QWidget* TabSheet1;         // "Movimiento Pos"
    QStatusBar* StatusBar1;
    QLabel* Panel1;             // "Proceso"
    QLabel* Panel2;             // progress text, "..." at first

    // The file the last finished export was saved as; empty when none was.
    QString lastFile() const { return lastFile_; }

    // The range typed in the two boxes. Raises ConversionError when a box is not a dd/mm/yyyy
    // date; false (with a message) when the last day comes before the first.
    bool readRange(QDate& first, QDate& last) const;

protected:
    // The row of export buttons, beside "Validar".
    QHBoxLayout* buttons() const { return buttons_; }
    // A grid of the page over `query`; only one grid of the page shows at a time.
    DbGrid* addGrid(Dataset& query, const QString& objectName);
    void showGrid(DbGrid* grid);
    // Re-runs a grid's query for the range (and any other parameter set on it).
    void runQuery(Dataset& query, const QDate& first, const QDate& last);
    // Fills a new workbook named after `title`; a finished export is saved and opened and, when
    // `announce`, ends with "Termino la Preparacion". Cancel leaves no file.
    void runExport(const QString& title, const std::function<int(Workbook&, const ExportProgress&)>& fill,
                   bool announce = true);

    bool eventFilter(QObject* o, QEvent* e) override;

private:
    Dataset& empresas_;
    QHBoxLayout* buttons_;
    QList<DbGrid*> grids_;
    QString lastFile_;
};

}  // namespace kv
