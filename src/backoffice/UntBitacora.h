#pragma once
// "Bitacora de Cambios": the trail of a day as the back office reads it: every void, correction,
// reprint of a closed sale, cash handed back and sign-on (whatever the registers wrote), with who
// did it, at which register, on which document and the amounts before and after. The list can be
// narrowed to one cashier and printed or exported through the report output dialog.
#include "platform/DataScreen.h"
#include "report/Report.h"

#include <memory>

class QComboBox;
class QDateEdit;

namespace kv {

class TFrmBitacora : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmBitacora(Connection& db, QWidget* parent = nullptr);
    ~TFrmBitacora() override;

    QDateEdit* EditFecha;      // "Fecha"
    QComboBox* CmbCajero;      // "Cajero": Todos, then each cashier by name
    QPushButton* BtnConsultar; // "Consultar"
    DbGrid* GridBitacora;
    QPushButton* BtnImprimir;  // "Imprimir": the list through the output dialog

    Dataset& QBitacora() { return bitacora_; }

    // Lists the chosen day's rows, of the chosen cashier or of all.
    void BtnConsultarClick();
    // The rows listed, as a printed list.
    std::unique_ptr<Report> listReport();
    void BtnImprimirClick();

private:
    Dataset& bitacora_;
};

}  // namespace kv
