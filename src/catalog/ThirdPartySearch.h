#pragma once
// The third party search that TFrmBuscarTercero and TFrmBuscarClientes both are: a search box
// that moves to the nearest third party in the chosen order (NIT, name, telephone or city) at
// every keystroke, a grid, OK and cancel. Choosing (Enter in the box, OK, a double click on the
// grid) writes the row's NIT and PADRE into the two shared values the dialog was built with;
// cancelling leaves them as they were.
#include "data/Dataset.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QHBoxLayout;

namespace kv {

class DbGrid;
class RadioGroup;

class ThirdPartySearch : public QDialog {
    Q_OBJECT
public:
    // The orders of "Selección", in its item order.
    enum Orden { PorNit, PorNombre, PorTelefono, PorCiudad };

    ThirdPartySearch(Connection& db, double& nitOut, double& padreOut, QWidget* parent = nullptr);
    ~ThirdPartySearch() override;

    Dataset TbProveedores;

    QLabel* Label1;
    QLineEdit* EditNit;
    RadioGroup* RadioGroup1;  // "Selección"
    DbGrid* DBGrid1;
    QPushButton* BitBtn1;  // OK
    QPushButton* BitBtn2;  // Cancel

public slots:
    void EditNitChange();
    void RadioGroup1Click();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Writes the current row's NIT and PADRE into the shared values; false on an empty list.
    bool choose();
    QHBoxLayout* buttonRow_;

private:
    double& nitOut_;
    double& padreOut_;
};

}  // namespace kv
