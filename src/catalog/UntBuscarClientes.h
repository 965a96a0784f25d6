#pragma once
// Customer search of the order screen: the third party search, writing NitClienteElegido and
// PadreClienteElegido, with a button "Crear Terceros" to the full third party screen.
//
//     TFrmBuscarClientes dlg(db, this);
//     dlg.exec();
//     customerBox->setText(FloatToStr(NitClienteElegido));
#include "catalog/ThirdPartySearch.h"

namespace kv {

extern double NitClienteElegido;
extern double PadreClienteElegido;

class TFrmBuscarClientes : public ThirdPartySearch {
    Q_OBJECT
public:
    explicit TFrmBuscarClientes(Connection& db, QWidget* parent = nullptr);

    QPushButton* BtnCrearTerceros;

public slots:
    // Opens the full third party screen; afterwards the search goes on over the updated list.
    void BtnCrearTercerosClick();

private:
    Connection& db_;
};

}  // namespace kv
