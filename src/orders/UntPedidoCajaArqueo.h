#pragma once
// "Reporte Cotizaciones": the day's order listings for the order screen's register and cashier.
// The order screen's "Total Cotizaciones" opens it with what its orders module works on:
//
//     kv::TFrmPedidoCajaArqueo::Abrir(DbPos, {caja, nombreCaja, cedula, nombreCajero}, this);
//
// The day is always today; each listing is shown in the print preview.
#include "data/Connection.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kv {

// The register and cashier the listings are for, with the names the heading shows.
struct OrderCashier {
    double caja = 0;
    QString nombreCaja;
    double cedula = 0;
    QString nombreCajero;
};

class TFrmPedidoCajaArqueo : public QDialog {
    Q_OBJECT
public:
    TFrmPedidoCajaArqueo(Connection& db, const OrderCashier& who, QWidget* parent = nullptr);

    static void Abrir(Connection& db, const OrderCashier& who, QWidget* parent);

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QPushButton* BtnCotizaciones;  // "Reporte Cotizaciones": the register's listing
    QPushButton* BtnCajero;        // "Reporte Pox Cajero": the cashier's listing
    QLabel* LabelFecha;            // "Fecha del Reporte " and today

    void BtnCotizacionesClick();
    void BtnCajeroClick();

private:
    Connection& db_;
    OrderCashier who_;
};

}  // namespace kv
