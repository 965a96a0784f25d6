#pragma once
// What the two product searches share: the search box "Buscar Producto :" (Up and Down move the
// cursor, Enter closes), the current product's stock balance beside "Saldo", a read-only grid and
// OK / cancel. Whichever way the dialog closes, the subclass hands the product under the cursor
// back through its shared values.
#include "data/Dataset.h"

#include <QDialog>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class DbGrid;

class ProductSearch : public QDialog {
    Q_OBJECT
public:
    ~ProductSearch() override;

    Dataset TbProductos;

    QLabel* Label1;
    QLineEdit* EditNit;
    QLabel* Label2;    // "Saldo"
    QLabel* LblSaldo;  // the balance
    DbGrid* DBGrid1;
    QPushButton* BitBtn1;  // OK
    QPushButton* BitBtn2;  // Cancel

    // Stock balance of the product under the cursor (0 on an empty list).
    double saldo() const { return saldo_; }
    // PRODUCTO and CODIGOBARRAS under the cursor; 0 and "" on an empty list.
    int currentProducto() const;
    QString currentCodigoBarras() const;

public slots:
    virtual void EditNitChange() = 0;

protected:
    explicit ProductSearch(Connection& db, QWidget* parent);
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void showSaldo();
    QHBoxLayout* top_;

private:
    Connection& db_;
    double saldo_ = 0;
};

}  // namespace kv
