#pragma once
// Third party search, opened by the sale screens with a double click on their customer box and by
// the quick customer window for its dentist and salesperson boxes.
//
//     TFrmBuscarTercero dlg(db, this);
//     dlg.exec();
//     customerBox->setText(FloatToStr(NitTerceroElegido));   // whatever the dialog returned
//
// A choice sets both values; a cancelled search leaves the previous choice (0 before the first).
#include "catalog/ThirdPartySearch.h"

namespace kv {

extern double NitTerceroElegido;
extern double PadreTerceroElegido;

class TFrmBuscarTercero : public ThirdPartySearch {
    Q_OBJECT
public:
    explicit TFrmBuscarTercero(Connection& db, QWidget* parent = nullptr);
};

}  // namespace kv
