#pragma once
// "Copia de Productos": the products of this database and of the removable one; "Subir" puts this
// database's into the removable one, "Validar" lists the groups, subgroups and units the removable
// products need that this database lacks, and "Bajar" brings the removable products in.
#include "backoffice/TransferScreens.h"

namespace kv {

class TFrmVentasProBd : public CatalogTransferScreen {
    Q_OBJECT
public:
    TFrmVentasProBd(Connection& pos, Connection& removable, QWidget* parent = nullptr);

    QPushButton* BtnValidar;
    QPlainTextEdit* Memo1;  // "Leer Despues de Validar"

public slots:
    void BtnValidarClick();

protected:
    TransferResult download(DatabaseTransfer& t, const TransferProgress& progress) override;
};

}  // namespace kv
