#pragma once
// The base of every screen that edits rows: a dialog that owns its datasets, opens them when it is
// shown and closes them when it is done, and settles the rows being edited by one rule:
//
//  - Esc while a row is being edited cancels that edit; the next Esc closes the screen.
//  - Closing while the current row holds values the user typed asks "¿Desea grabar los cambios?":
//    Sí posts (when the post is refused its message shows and the screen stays open), No
//    discards, Cancelar stays. A row holding only the defaults of a new record (an Insert nobody
//    typed into) is discarded without a question.
//
// It also makes the screen's controls with their object and accessible names in one call:
//
//     TFrmParametros::TFrmParametros(Connection& db, QWidget* parent)
//         : DataScreen(db, "FrmParametros", "Parametros POS", parent),
//           esquema_(addTable("TEsquema", "POSESQUEMA"))
//     {
//         DBNavigator1 = navigator(esquema_);
//         DBGrid1 = grid(esquema_, "DBGrid1", "Parametros POS", {gridColumn("LLAVE", "Indice")});
//     }
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/ScreenKeys.h"

#include <QDialog>
#include <memory>
#include <vector>

class QBoxLayout;
class QLabel;
class QPushButton;
class QStatusBar;

namespace kv {

class DataScreen : public QDialog {
    Q_OBJECT
public:
    DataScreen(Connection& db, const QString& objectName, const QString& caption, QWidget* parent = nullptr);
    ~DataScreen() override;

    Connection& db() const { return db_; }
    ScreenKeys* keys() const { return keys_; }

    // Opens every dataset of the screen not yet open, in the order they were added. A refusal is
    // shown; false then.
    bool openTables();

    // The rule for one row when its screen closes: true when the screen may close.
    static bool settleRow(Dataset& ds);
    // Without a question: posts the row being edited when the user changed it, drops a row that
    // holds only defaults. False (the refusal shown) when the post is refused.
    static bool postRow(Dataset& ds);
    static QString saveChangesText() { return QStringLiteral("¿Desea grabar los cambios?"); }

    // A control's object name and its caption as accessible name (the caption without "&", the
    // colon and surrounding blanks).
    template <class W>
    static W* named(W* w, const QString& objectName, const QString& caption)
    {
        w->setObjectName(objectName);
        setCaptionName(w, caption);
        return w;
    }
    static void setCaptionName(QWidget* w, const QString& caption);

protected:
    enum class Rows { Edited, ReadOnly };
    // A dataset on `table` owned by the screen. Edited rows follow the closing rule; read-only ones
    // (pick lists, lookups) are only opened and closed. Details are added after their masters.
    Dataset& addTable(const QString& objectName, const QString& table, Rows rows = Rows::Edited);
    // A dataset the screen holds itself, under the same rule.
    void addDataset(Dataset& ds, Rows rows = Rows::Edited);

    DbEdit* edit(Dataset& ds, const QString& objectName, const QString& field, QWidget* parent = nullptr);
    DbGrid* grid(Dataset& ds, const QString& objectName, const QString& caption, const QVector<GridColumn>& columns,
                 QWidget* parent = nullptr);
    DbNavigator* navigator(Dataset& ds, QWidget* parent = nullptr);
    QPushButton* button(const QString& objectName, const QString& caption, QWidget* parent = nullptr);
    QStatusBar* statusBar(QWidget* parent = nullptr);
    // The status bar of a screen that runs a long job, added at the end of `into`: the fixed
    // panel "Proceso" (Panel1) and the job's progress text (Panel2, "..." until a job runs).
    QStatusBar* processStatusBar(QBoxLayout* into, QLabel*& proceso, QLabel*& progress);

    // Cancels the rows being edited; true when there was one (Esc's first press).
    virtual bool cancelEdits();
    // Settles every edited row by the rule; false keeps the screen open.
    virtual bool settleRows();

    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    // Esc reaching the screen itself (no control has the focus) follows the same rule.
    void keyPressEvent(QKeyEvent* e) override;

private:
    struct Entry {
        Dataset* ds;
        Rows rows;
    };
    Connection& db_;
    std::vector<std::unique_ptr<Dataset>> owned_;
    std::vector<Entry> datasets_;
    ScreenKeys* keys_;
};

}  // namespace kv
