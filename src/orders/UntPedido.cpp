#include "orders/UntPedido.h"

#include "common/ProgramRegistry.h"
#include "orders/UntDmPedidos.h"
#include "orders/UntPedidoCaja.h"

#include <QApplication>

namespace kv {

TFrmPedido::TFrmPedido(TDmPedidos& dm, QWidget* parent)
    : CashierSignOn(dm, {QStringLiteral("FrmPedido"), QStringLiteral("Cajero"), QStringLiteral("tomar pedidos"),
                         EnterKey::InEitherBox, QStringLiteral("Pedidos")},
                    parent),
      dm_(dm)
{
    openScreen = [this] {
        TFrmPedidoCaja screen(dm_, this);
        screen.exec();
    };
}

void TFrmPedido::BitBtn1Click()
{
    // The orders stand on the parameter row of the cashier's register's company, as the sales do.
    if (!signOnTyped())
        return;
    acceptSignOn();
    openScreen();
    accept();
}

void registerOrderPrograms()
{
    registerProgram(9, [] {
        if (!DmPedidos)
            return;
        TFrmPedido window(*DmPedidos, QApplication::activeWindow());
        window.exec();
    });
}

}  // namespace kv
