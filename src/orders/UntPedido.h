#pragma once
// The orders' cashier sign-on "Login Cajero" behind program 9: identity number and password. A
// right sign-on puts the orders module on the cashier, his register and the parameter row of the
// register's company, opens the order screen, and closes when that screen closes. Esc or the
// window's close button leave without signing anyone on.
#include "pos/CashierSignOn.h"

#include <functional>

namespace kv {

class TDmPedidos;

class TFrmPedido : public CashierSignOn {
    Q_OBJECT
public:
    explicit TFrmPedido(TDmPedidos& dm, QWidget* parent = nullptr);

    // Opens the order screen for the signed-on cashier and returns when it closes (the order
    // screen unless a test puts something else here).
    std::function<void()> openScreen;

public slots:
    void BitBtn1Click() override;

private:
    TDmPedidos& dm_;
};

// Program 9 of the module tree.
void registerOrderPrograms();

}  // namespace kv
