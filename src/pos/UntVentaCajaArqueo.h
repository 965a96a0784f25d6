#pragma once
// "Reporte Para Arqueo de Cajas": the end of a shift. For a period (from and to, both today at
// first) and a document type it runs the listing of sales by payment type, the signed-on
// cashier's cash count and the summary of all sales, each in the print preview.
#include "pos/CashReports.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace kv {

class TDmVentas;

class TFrmVentaCajaArqueo : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentaCajaArqueo(TDmVentas& dm, QWidget* parent = nullptr);

    // What the sale screen's "&Informes" opens (for a cashier who takes payment).
    static void Abrir(TDmVentas& dm, QWidget* parent);
    // The same from a sale screen's menu: a cashier who does not take payment is told
    // "Usted No esta Autorizado".
    static void AbrirSiCobra(TDmVentas& dm, QWidget* parent);

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QDateEdit* DateTimePicker1;     // from
    QDateEdit* DateTimePicker2;     // to
    QComboBox* ComboDocumento;      // "Documento : "
    QPushButton* BtnVentasDiarias;  // "Ventas Diarias"
    QPushButton* BtnVentasCajero;   // "Reporte Ventas Diarias Cajero"
    QPushButton* BtnResumen;        // "Resumen Diario de Ventas"
    QLabel* LabelFecha;             // "Fecha del Reporte " and today

    // The parameters the buttons run their reports with.
    CashReportParams params() const;

    void BtnVentasDiariasClick();
    void BtnVentasCajeroClick();
    void BtnResumenClick();

private:
    TDmVentas& dm_;
};

}  // namespace kv
