#pragma once
// "Excel Movimiento Por Producto": the sales of one company in a date range, totalled per
// product, into a spreadsheet. The company is the one the "Empresa" panel shows.
#include "backoffice/SalesExportScreen.h"

namespace kv {

class TFrmVentasPosExcelP : public SalesExportScreen {
    Q_OBJECT
public:
    explicit TFrmVentasPosExcelP(Connection& db, QWidget* parent = nullptr);
    ~TFrmVentasPosExcelP() override;

    Dataset QConcepto;  // one row per product of the company
    DbGrid* DBGrid1;
    QPushButton* BtnCopiar;  // "Copiar "

    // The company the panel shows.
    QString empresa();

public slots:
    void BtnValidarClick();
    void BtnCopiarClick();
};

}  // namespace kv
