#pragma once
// The orders' cashier sign-on "Login Cajero" behind program 9: identity number and password. A
// right sign-on puts the orders module on the cashier, his register and the parameter row of the
// register's company, opens the order screen, and closes when that screen closes. Esc or the
// window's close button leave without signing anyone on.
#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class TDmPedidos;

class TFrmPedido : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPedido(TDmPedidos& dm, QWidget* parent = nullptr);

    QLabel* Label1;        // "Cajero"
    QLineEdit* Edit1;      // "Cèdula"
    QLineEdit* Edit2;      // "Password"
    QPushButton* BitBtn1;  // "OK"

    // Opens the order screen for the signed-on cashier and returns when it closes (the order
    // screen unless a test puts something else here).
    std::function<void()> openScreen;

    void EditKeyDown();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool findCashierTyped();
    TDmPedidos& dm_;
};

// Program 9 of the module tree.
void registerOrderPrograms();

}  // namespace kv
