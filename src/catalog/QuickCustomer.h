#pragma once
// The quick customer window "Datos del Cliente" that a sale or order screen opens when the NIT
// typed in its customer box is not on file. TFrmCrearClientes asks for surnames and given names
// and builds the name from them (and has the dentist and salesperson boxes); TFrmCrearTercero has
// one name box. The row is posted when the window closes, by OK, Esc or the close box: there is
// no cancel. When the post is refused the reason is shown and the window stays open, unless the
// user then chooses to leave without saving.
//
// Callers use the class's Crear... function:
//
//     if (TFrmCrearClientes::CrearCliente(db, customerBox->text(), this)) { ...look the NIT up again... }
//
// which refuses a text that is not a NIT (digits only) with a clear message, and otherwise opens
// the window on a new row with that NIT, purchase account "220505" and sales account "14350101".
#include "data/Dataset.h"

#include <QDialog>
#include <QHash>

class QGridLayout;
class QGroupBox;
class QPushButton;

namespace kv {

class DbEdit;
class DbRadioGroup;

class QuickCustomerDialog : public QDialog {
    Q_OBJECT
public:
    ~QuickCustomerDialog() override;

    Dataset TbProveedores;

    // Steps 1 and 2 of the quick creation: the cursor in insert mode with the NIT and accounts.
    void NuevoCliente(double nit);
    // The bound box of a column ("NIT", "APELLIDO1", ...), or null.
    DbEdit* edit(const QString& column) const { return edits_.value(column.toUpper()); }
    DbRadioGroup* TipoTercero;
    QPushButton* BitBtn1;  // OK

    static QString PurchaseAccount() { return QStringLiteral("220505"); }
    static QString SalesAccount() { return QStringLiteral("14350101"); }

public slots:
    void FechaNacimientoDblClick();

protected:
    enum class Kind { Names, OneName };
    QuickCustomerDialog(Connection& db, Kind kind, QWidget* parent);
    // Validates the typed NIT, then opens dlg on a new row for it. False when the text is no NIT.
    static bool runQuickCreation(QuickCustomerDialog& dlg, const QString& typedNit);

    void done(int r) override;
    void showEvent(QShowEvent* e) override;
    DbEdit* addEdit(QGridLayout* grid, int row, int col, const QString& caption, const QString& column, int span = 1);
    virtual void beforePost();

    Connection& db_;
    Kind kind_;
    QHash<QString, DbEdit*> edits_;
    QGroupBox* GroupOdontologo = nullptr;
};

}  // namespace kv
