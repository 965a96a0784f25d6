#pragma once
// "Condiciones de Factura": the credit term, the reference and the customer of the document being
// sold, with its lines for reference. Closing the window stores what was changed on the document.
#include <QDialog>

class QLabel;
class QPushButton;

namespace kv {

class DbEdit;
class DbGrid;
class DbText;
class TDmVentas;

class TFrmCondicionesFactura : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCondicionesFactura(TDmVentas& dm, QWidget* parent = nullptr);
    ~TFrmCondicionesFactura() override;

    DbText* DBTextNombreCliente;
    DbEdit* DBEditPlazo;    // "Plazo (Credito)"
    DbEdit* DBEditFactura;  // "Referencia"
    DbEdit* DBEditCliente;  // "Nit O C.C."
    DbGrid* DBGrid1;
    QPushButton* BitBtn1;   // "&OK"

    // Enter in the customer box: the customer is looked up, and created when not on file.
    void DBEditClienteEnter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int r) override;

private:
    TDmVentas& dm_;
};

}  // namespace kv
