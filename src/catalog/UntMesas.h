#pragma once
// Restaurant tables (MESAS): program 6 of the module menu. An old database may lack the table;
// the screen creates it before first use.
#include "catalog/CatalogScreen.h"

namespace kv {

class TFrmMesas : public CatalogScreen {
    Q_OBJECT
public:
    explicit TFrmMesas(Connection& db, QWidget* parent = nullptr);
    // The list of tables by area. Areas are text, so the range boxes start empty: an empty box
    // sets no bound.
    static CatalogList listDescription();
};

}  // namespace kv
