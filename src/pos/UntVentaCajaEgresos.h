#pragma once
// "Egresos de Caja": money paid out of the signed-on cashier's register against a receipt. The
// window opens on a new expense (today's date, the next receipt number of all registers, the
// cashier); Insert or the navigator's "+" starts another. The navigator moves through the
// register's earlier expenses, shown read-only: one of today changes only after "Editar", one of
// an earlier day (already counted in its cash count) never. ">> &Grabar" stores the expense,
// prints its receipt "PAGO EN CAJA" and closes. Two registers saving at the same moment never share a number: the
// second one takes the next number and stores its expense with it.
#include "data/Dataset.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kv {

class DbEdit;
class DbNavigator;
class TDmVentas;

class TFrmVentaCajaEgresos : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentaCajaEgresos(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmVentaCajaEgresos() override;

    // What the sale screen's "Egreso de Caja" opens.
    static void Abrir(TDmVentas& dm, QWidget* parent);

    Dataset TEgresos;  // POSPAGOSCAJA, the register's expenses (detail of its register on CAJA)
    Dataset QSigue;    // the highest ITEM of the whole table

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    DbEdit* EditItem;         // "Número de Recibo"
    DbEdit* EditFecha;        // "Fecha Recibo"
    DbEdit* EditDescripcion;  // "Detalle"
    DbEdit* EditValor;        // "Valor"
    DbNavigator* DBNavigator1;
    QPushButton* BtnGrabar;   // ">> &Grabar"

    void BtnGrabarClick();
    void TEgresosNewRecord(Dataset& ds);

    // What the cashier is told when an expense of an earlier day would change.
    static QString countedExpenseText();

private:
    double nextItem();
    void showEditable();
    TDmVentas& dm_;
};

}  // namespace kv
