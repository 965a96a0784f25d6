#pragma once
// "Cantidad Valor y Precio": the quantity and the unit price of an item whose catalogue price is 0,
// asked before its line is added. Enter moves from one box to the other and accepts in "Valor";
// Escape closes it adding nothing.
#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

namespace kv {

class TFrmVentaCajaCVP : public QDialog {
    Q_OBJECT
public:
    struct Values {
        double cantidad = 0;
        double precio = 0;
    };

    TFrmVentaCajaCVP(const QString& nombre, double precio, double cantidad, QWidget* parent = nullptr);

    // The values typed, nothing when the cashier left with Escape.
    static std::optional<Values> Pedir(const QString& nombre, double precio, double cantidad, QWidget* parent);

    QLabel* LabelNombre;     // under "Articulo"
    QLabel* LabelPrecio;     // "Precio"
    QLabel* LabelNeto;       // the line's amount
    QLineEdit* EditCantidad; // "Cantidad"
    QLineEdit* EditValor;    // "Valor"

    const std::optional<Values>& values() const { return values_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showNeto();
    void accept() override;

    std::optional<Values> values_;
};

}  // namespace kv
