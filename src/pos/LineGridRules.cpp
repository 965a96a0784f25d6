#include "pos/LineGridRules.h"

#include "catalog/UntBuscarProducto.h"
#include "common/Numbers.h"
#include "platform/DbGrid.h"
#include "platform/Guard.h"
#include "pos/DocumentModule.h"

#include <QApplication>
#include <QKeyEvent>

namespace kv {

LineGridRules::LineGridRules(DocumentModule& dm, DbGrid* grid, Setup setup, QObject* parent)
    : QObject(parent), dm_(dm), grid_(grid), setup_(std::move(setup))
{
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    // A cell's editor is made when typing starts and gets its keys before the grid does.
    if (setup_.escapeKeepsTyping)
        qApp->installEventFilter(this);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex& prev) {
                // Moving to another line stores the line (the grid does that); the column rules
                // are about moving within one line.
                if (cur.isValid() && prev.isValid() && cur.row() == prev.row() && cur.column() != prev.column())
                    guarded([&] { columnChanged(cur.column(), prev.column()); });
                else if (cur.isValid())
                    rememberLine();
            });
    // A new line starts with nothing completed; once stored, what it was completed from is what
    // later changes are compared with.
    Dataset& lines = dm_.TFac;
    connect(&lines, &Dataset::stateChanged, this, [this, &lines] {
        if (lines.state() == DsState::Insert && lastState_ != DsState::Insert)
            newLineCode_.clear();
        else if (lastState_ == DsState::Insert && lines.state() == DsState::Browse && !lines.IsEmpty())
            completed_.insert(lines[QStringLiteral("LINEA")].asInteger(), code());
        lastState_ = lines.state();
    });
    lastState_ = lines.state();
    rememberLine();
}

void LineGridRules::rememberLine()
{
    // The grid may store each cell as it is left: the code a stored line came with is taken when
    // the cursor first reaches the line, before anything is typed into it.
    Dataset& line = dm_.TFac;
    if (line.active() && !line.IsEmpty() && line.state() == DsState::Browse &&
        !completed_.contains(line[QStringLiteral("LINEA")].asInteger()))
        completed_.insert(line[QStringLiteral("LINEA")].asInteger(), code());
}

int LineGridRules::column(const QString& field) const
{
    const auto& columns = grid_->datasetModel()->columns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return i;
    return -1;
}

QString LineGridRules::codeOf(Dataset& product)
{
    const QString barras = product[QStringLiteral("CODIGOBARRAS")].asString().trimmed();
    return barras.isEmpty() ? QString::number(product[QStringLiteral("PRODUCTO")].asLargeInt()) : barras;
}

bool LineGridRules::findProduct(const QString& code)
{
    if (code.isEmpty())
        return false;
    Dataset& p = dm_.TProductos;
    if (p.Locate(QStringLiteral("CODIGOBARRAS"), code))
        return true;
    bool number = false;
    const qlonglong producto = code.toLongLong(&number);
    return number && p.Locate(QStringLiteral("PRODUCTO"), producto);
}

QString LineGridRules::code() { return dm_.TFac[setup_.productField].asString().trimmed(); }

void LineGridRules::backToProduct()
{
    // Once the grid has finished its own move.
    const int row = grid_->currentIndex().row();
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            if (row >= 0 && row < grid_->model()->rowCount())
                grid_->setCurrentIndex(grid_->model()->index(row, column(setup_.productField)));
        },
        Qt::QueuedConnection);
}

void LineGridRules::columnChanged(int col, int previousCol)
{
    Dataset& line = dm_.TFac;
    if (line.IsEmpty() && !line.isEditing())
        return;
    if (leftColumn(previousCol))
        enteredColumn(col);
    if (setup_.showProductName && !dm_.TProductos.IsEmpty())
        setup_.showProductName(dm_.TProductos[QStringLiteral("NOMBRE")].asString());
}

bool LineGridRules::leftColumn(int col)
{
    Dataset& line = dm_.TFac;
    if (col == column(setup_.productField) && !code().isEmpty() && !findProduct(code())) {
        if (setup_.reportBadCode && !IsNumber(code()))
            guarded([this] { StrToInt(code()); });  // the conversion failure's own message
        backToProduct();
        return false;
    }
    if (!setup_.nameField.isEmpty() && col == column(setup_.nameField) && line.isEditing() && !code().isEmpty() &&
        line[setup_.nameField].asString().trimmed().isEmpty() && findProduct(code()))
        line[setup_.nameField] = dm_.TProductos[QStringLiteral("NOMBRE")].asString();
    return true;
}

void LineGridRules::enteredColumn(int col)
{
    if (col == column(setup_.productField))
        return;
    if (code().isEmpty()) {
        backToProduct();
        return;
    }
    if (col == column(setup_.completionField))
        completeLine();
}

QString LineGridRules::completedCode()
{
    Dataset& line = dm_.TFac;
    if (line.state() == DsState::Insert)
        return newLineCode_;
    const int linea = line[QStringLiteral("LINEA")].asInteger();
    if (const auto it = completed_.constFind(linea); it != completed_.constEnd())
        return *it;
    if (!line.isEditing())
        return code();  // a stored line shows what is stored
    // A stored line the cursor reached before the rules watched it: what it was stored with.
    return dm_.DbPos
        .scalar(QStringLiteral("SELECT %1 FROM %2 WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                               "CONSECUTIVO = :CONSECUTIVO AND LINEA = :LINEA")
                    .arg(setup_.productField, dm_.tables().lines),
                {{QStringLiteral("EMPRESA"), line[QStringLiteral("EMPRESA")].value()},
                 {QStringLiteral("DOCUMENTO"), line[QStringLiteral("DOCUMENTO")].value()},
                 {QStringLiteral("CONSECUTIVO"), line[QStringLiteral("CONSECUTIVO")].value()},
                 {QStringLiteral("LINEA"), linea}})
        .toString()
        .trimmed();
}

void LineGridRules::completeLine()
{
    // The line's own code names the product, whatever product was read last; a line whose code
    // did not change keeps what the cashier typed for it.
    if (code() == completedCode())
        return;
    Dataset& line = dm_.TFac;
    // Putting a stored line into editing reads it again, which moves the product cursor: the
    // product is looked up after that.
    if (!line.isEditing())
        line.Edit();  // a stored line: the module's permission rule decides
    if (!findProduct(code())) {
        backToProduct();
        return;
    }
    const bool inserting = line.state() == DsState::Insert;
    const int linea = line[QStringLiteral("LINEA")].asInteger();
    if (setup_.complete)
        setup_.complete(line, dm_.TProductos);
    if (inserting)
        newLineCode_ = code();
    else
        completed_.insert(linea, code());
}

void LineGridRules::startLine()
{
    Dataset& line = dm_.TFac;
    line.Append();
    const int row = line.currentIndex();
    if (row >= 0 && row < grid_->model()->rowCount())
        grid_->setCurrentIndex(grid_->model()->index(row, column(setup_.productField)));
    grid_->setFocus();
}

void LineGridRules::searchProduct()
{
    TFrmBuscarProducto dlg(dm_.DbPos, grid_);
    if (dlg.exec() != QDialog::Accepted || ProductoBuscado == 0)
        return;  // a search given up changes nothing
    Dataset& line = dm_.TFac;
    if (line.IsEmpty() && !line.isEditing())
        return;
    if (!line.isEditing())
        line.Edit();  // the module's permission rule decides
    line[setup_.productField] = CodigoBuscado.trimmed().isEmpty() ? QString::number(ProductoBuscado) : CodigoBuscado.trimmed();
    line[QStringLiteral("PRODUCTO")] = ProductoBuscado;
    findProduct(code());
}

bool LineGridRules::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && setup_.escapeKeepsTyping && o->parent() == grid_->viewport() &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        // The cell's typing is stored and its editor closed at once; then the grid gets the Esc.
        auto* editor = static_cast<QWidget*>(o);
        if (QAbstractItemDelegate* delegate = grid_->itemDelegateForIndex(grid_->currentIndex())) {
            emit delegate->commitData(editor);
            emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, static_cast<QKeyEvent*>(e)->modifiers());
        QApplication::sendEvent(grid_, &esc);
        return true;
    }
    if (o == grid_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const QModelIndex cur = grid_->currentIndex();
        if (setup_.arrowsMoveRight && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QApplication::sendEvent(grid_, &right);
            return true;
        }
        if (setup_.appendPastEnd && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Right) && cur.isValid() &&
            cur.row() == grid_->model()->rowCount() - 1 && cur.column() == grid_->model()->columnCount() - 1) {
            if (!code().isEmpty())
                guarded([this] { startLine(); });
            return true;
        }
    }
    if (o == grid_->viewport() && e->type() == QEvent::MouseButtonDblClick &&
        grid_->currentIndex().column() == column(setup_.productField)) {
        guarded([this] { searchProduct(); });
        return true;
    }
    return QObject::eventFilter(o, e);
}

}  // namespace kv
