#pragma once
// "Valor Inicia Caja": the money put into the drawer at the start of the day. The sale screen of a
// cashier who takes payment opens it when his register has no opening amount for today yet; the
// row (register, cashier, today) is started once when the window opens and stored when Enter
// confirms the amount. Closing the window any other way stores nothing, so the amount is asked
// again the next time the sale screen opens.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace kv {

class TDmVentas;

class TFrmVentaCajaIncio : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVentaCajaIncio(TDmVentas& dm, QWidget* parent = nullptr);

    // True when the signed-on cashier takes payment and his register has no opening amount for
    // today, whoever recorded it.
    static bool falta(TDmVentas& dm);
    // What the sale screen calls when it opens: asks the opening amount when it is missing.
    static void AbrirSiFalta(TDmVentas& dm, QWidget* parent);

    QLabel* LabelCaja;
    QLabel* LabelCajero;
    QLineEdit* EditIncio;  // "Valor Dinero en Caja"
    QLabel* LabelFecha;
    QLabel* LabelNumeroCaja;

    // Enter in the amount box: the amount is stored and the window closes; an amount that is not
    // a number of at least 0 is refused with a message and nothing is stored.
    void EditIncioEnter();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void done(int r) override;

private:
    TDmVentas& dm_;
};

}  // namespace kv
