#pragma once
// "Egresos de Caja": money paid out of the signed-on cashier's register against a receipt. The
// navigator moves through the register's earlier expenses and starts a new one (today's date, the
// next receipt number of all registers, the cashier); ">> &Grabar" stores it, prints its receipt
// "PAGO EN CAJA" and closes. Two registers saving at the same moment never share a number: the
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

private:
    double nextItem();
    TDmVentas& dm_;
};

}  // namespace kv
