#pragma once
// Branches (the warehouses BODEGAS): program 1 of the module menu.
#include "catalog/CatalogScreen.h"

namespace kv {

class TFrmSucursales : public CatalogScreen {
    Q_OBJECT
public:
    explicit TFrmSucursales(Connection& db, QWidget* parent = nullptr);
    // What the list prints: code and description of the branches.
    static CatalogList listDescription();
};

}  // namespace kv
