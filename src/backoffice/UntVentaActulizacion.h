#pragma once
// "Actualiza Ventas Diarias": the sales of the days chosen go into the inventory tables
// (DailyUpdate). The screen shows the last day updated, and asks before a day would be skipped or
// updated again.
#include "data/Connection.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

namespace kv {

class TFrmVentaActulizacion : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentaActulizacion(Connection& pos, QWidget* parent = nullptr);

    QDateEdit* DateTimePicker1;  // "Fecha Inicial :"
    QDateEdit* DateTimePicker2;  // "Fecha Final :"
    QPushButton* BtnActualizar;  // "Actualizar"
    QLabel* LblUltima;           // the last day updated
    QLabel* Panel1;              // progress and outcome

public slots:
    void BtnActualizarClick();

private:
    void showLastRun();
    Connection& pos_;
};

}  // namespace kv
