#pragma once
// "Excel Movimiento": the sales of a date range into a spreadsheet, per sale line with the doctor
// and the patient ("Copiar Detallado"), per doctor and product ("Copiar Resumido"), or per sale
// line with the patient's personal data for a health-services record ("Copiar Detallado  Rips").
// Reached from "A Excel" and "Cuadre de Caja Diario" of the sales reports menu.
#include "backoffice/SalesExportScreen.h"

namespace kv {

class TFrmVentasPosExcel : public SalesExportScreen {
    Q_OBJECT
public:
    explicit TFrmVentasPosExcel(Connection& db, QWidget* parent = nullptr);
    ~TFrmVentasPosExcel() override;

    Dataset QConcepto;   // one row per sale line
    Dataset QConceptoR;  // one row per doctor and product
    DbGrid* DBGrid1;     // QConcepto
    DbGrid* DBGrid2;     // QConceptoR
    QPushButton* BtnDetallado;  // "Copiar Detallado"
    QPushButton* BtnResumido;   // "Copiar Resumido"
    QPushButton* BtnRips;       // "Copiar Detallado  Rips"

public slots:
    void BtnValidarClick();
    void BtnDetalladoClick();
    void BtnResumidoClick();
    void BtnRipsClick();
};

}  // namespace kv
