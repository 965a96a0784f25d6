#pragma once
// The rules of a document's lines grid, applied while the cashier moves between its columns; one
// controller for every screen whose lines are typed into a grid (the order screen, the
// item-entry registers, the invoice change window):
//  - a line with no product code ("Producto", BUSCADOR) sends the cursor back to that column
//    when another column is entered;
//  - leaving the product column looks the code up, as a barcode first and then as a product
//    number; a code that names no product sends the cursor back;
//  - entering the completion column completes the line from the product its own code names, but
//    only when that code changed since the line was last completed (or since it was stored): a
//    price or quantity the cashier typed for the same product is never overwritten;
//  - leaving the name column (OBSERVACION) empty fills in the product's name;
//  - after leaving any column, the screen is told the product's name (its status panel);
//  - a double click on the product column opens the product search; a cancelled search changes
//    nothing;
//  - optionally Up and Down act as Right, never leaving the line, moving on past the last column
//    of the last line starts a new line, and Esc in a cell being typed keeps the typing.
//
// How a screen plugs in: build its DbGrid on the module's TFac, then
//     LineGridRules::Setup setup;
//     setup.completionField = "CANTIDAD";                      // where completion happens
//     setup.complete = [](Dataset& line, Dataset& product) {...};  // its price rule
//     setup.showProductName = [this](const QString& n) {...};
//     rules_ = new LineGridRules(dm, grid, setup, this);
// The controller watches the grid's keys, clicks and column moves itself. The line given to
// `complete` is already being inserted or edited (putting a stored line into editing runs the
// module's permission rule first), and TProductos stands on the product.
#include "data/Dataset.h"

#include <QHash>
#include <QObject>
#include <functional>

namespace kv {

class DbGrid;
class DocumentModule;

class LineGridRules : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString productField = QStringLiteral("BUSCADOR");
        QString completionField;                          // entering it completes the line
        QString nameField = QStringLiteral("OBSERVACION");  // filled with the name when left empty ("": none)
        bool reportBadCode = false;   // a code that is no number and no barcode is reported as such
        bool arrowsMoveRight = false; // Up and Down move one column to the right
        bool appendPastEnd = false;   // moving on past the last column of the last line adds a line
        // Esc while a cell is being typed keeps what was typed and then acts as Esc on the grid
        // (instead of throwing the cell's typing away).
        bool escapeKeepsTyping = false;
        // Fills the line from the product (TProductos, on the product its code names). Read the
        // product before writing the line: writing a line's field recalculates its product name,
        // which moves the product cursor.
        std::function<void(Dataset& line, Dataset& product)> complete;
        // The current product's name, after every column left (may be empty).
        std::function<void(const QString& nombre)> showProductName;
    };

    LineGridRules(DocumentModule& dm, DbGrid* grid, Setup setup, QObject* parent = nullptr);

    // The grid's column showing this field (-1: none).
    int column(const QString& field) const;
    // Puts TProductos on the product a code names: barcode first, then product number.
    bool findProduct(const QString& code);
    // The code a line carries for the product under TProductos: its barcode, or its number as
    // text when it has none.
    static QString codeOf(Dataset& product);
    // Starts a new line at the end of the grid, the cursor in the product column.
    void startLine();
    // The product search on the current line (a double click on the product column).
    void searchProduct();
    // Completes the current line from its code when the code changed (what entering the
    // completion column does).
    void completeCurrentLine() { completeLine(); }
    // Forget what lines were completed from (another document is shown).
    void reset() { completed_.clear(); newLineCode_.clear(); rememberLine(); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void columnChanged(int col, int previousCol);
    // False when the cursor was sent back to the product column.
    bool leftColumn(int col);
    void enteredColumn(int col);
    void completeLine();
    void backToProduct();
    QString code();
    // The code the line was last completed from, else the one stored for it.
    QString completedCode();
    void rememberLine();

    DocumentModule& dm_;
    DbGrid* grid_;
    Setup setup_;
    QHash<int, QString> completed_;  // per stored line number: the code it was last completed from
    QString newLineCode_;            // the same for the line being inserted
    DsState lastState_;
};

}  // namespace kv
