#pragma once
// The restaurant's item picker: the waiter picks a dish or a drink from a subgroup (or by the
// beginning of its name), says how many and adds a note for the kitchen. OK hands the choice back;
// Cancel hands back nothing, so a closed picker never adds a line nor sends a ticket to the kitchen.
#include "data/Dataset.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kv {

class DbGrid;

class TFrmFacturacionVp : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        int producto = 0;
        int cantidad = 0;
        QString observacion;
    };

    // `factura` and `mesa` name the bill and the table the batch is for, in the window's title.
    TFrmFacturacionVp(Connection& db, const QString& factura, const QString& mesa, QWidget* parent = nullptr);
    ~TFrmFacturacionVp() override;

    // Opens the picker modally; the product and quantity chosen, nothing when cancelled.
    static std::optional<Choice> Elegir(Connection& db, const QString& factura, const QString& mesa,
                                        QWidget* parent = nullptr);

    QComboBox* ComboGrupo;        // "Grupo": the subgroups by name
    QLineEdit* EditBuscar;        // "Buscar Producto :"
    DbGrid* DBGrid1;              // the products
    QLabel* LabelSaldo;           // "Saldo"
    QSpinBox* SpinCantidad;       // "Cantidad"
    QLineEdit* EditObservacion;   // "Observacion"
    QPushButton* BitBtn1;         // "&OK"
    QPushButton* BitBtn2;         // "&Cancelar"

    Dataset TbProductos;
    const std::optional<Choice>& choice() const { return choice_; }

    void ComboGrupoChange();
    void EditBuscarChange();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSaldo();

    Connection& db_;
    std::optional<Choice> choice_;
};

}  // namespace kv
