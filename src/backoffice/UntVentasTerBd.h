#pragma once
// "Terceros": the third parties of this database and of the removable one, side by side; "Subir"
// puts this database's into the removable one, "Bajar" brings the removable one's in.
#include "backoffice/TransferScreens.h"

namespace kv {

class TFrmVentasTerBd : public CatalogTransferScreen {
    Q_OBJECT
public:
    TFrmVentasTerBd(Connection& pos, Connection& removable, QWidget* parent = nullptr);

protected:
    TransferResult download(DatabaseTransfer& t, const TransferProgress& progress) override;
};

}  // namespace kv
