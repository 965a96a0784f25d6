#pragma once
// What the update and transfer screens share: a progress window with row counts whose Cancelar
// stops the run (the run then rolls back), the message that ends a run, and the two screens that
// carry a catalogue (third parties, products) to and from the removable database.
#include "backoffice/DatabaseTransfer.h"
#include "platform/DataScreen.h"

#include <QProgressDialog>

class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QVBoxLayout;

namespace kv {

// A modal progress window for one run; progress() is the callback the run is given.
class TransferProgressWindow {
public:
    TransferProgressWindow(const QString& title, QWidget* parent, QLabel* status = nullptr);
    ~TransferProgressWindow();
    TransferProgress progress();

private:
    QProgressDialog dialog_;
    QLabel* status_;
};

// Tells how a run ended: `done` when everything was stored; otherwise that it was cancelled or the
// rows that were refused, and that nothing changed. True when it was stored.
bool showTransferOutcome(const TransferResult& r, const QString& done);

// The status bar's one text (Panel1), where a screen tells how far a run got and how it ended.
QLabel* addStatusText(QStatusBar* bar);

// "Terceros" and "Copia de Productos": a page with the shop's table, a page with the removable
// database's, and the buttons "Subir" and "Bajar".
class CatalogTransferScreen : public DataScreen {
    Q_OBJECT
public:
    QTabWidget* PageControl1;
    DbGrid* DBGrid1;  // the shop's rows
    DbGrid* DBGrid2;  // the removable database's rows
    QPushButton* BtnSubir;
    QPushButton* BtnBajar;
    QLabel* Panel1;   // the status bar's text

public slots:
    void BtnSubirClick();
    void BtnBajarClick();

protected:
    // table: PROVEEDORES or PRODUCTOS; pages: the captions of the two pages.
    CatalogTransferScreen(Connection& pos, Connection& removable, const QString& objectName, const QString& caption,
                          const QString& table, const QString& page1, const QString& page2,
                          const QVector<GridColumn>& columns, QWidget* parent);
    ~CatalogTransferScreen() override;
    virtual TransferResult download(DatabaseTransfer& t, const TransferProgress& progress) = 0;
    void refreshGrids();
    QVBoxLayout* layout_;
    QHBoxLayout* buttons_;
    Connection& removable_;
    QString table_;

private:
    Dataset local_;
    Dataset remote_;
};

}  // namespace kv
