#pragma once
// Waiters (MESERO): program 7 of the module menu. An old database may lack the table; the screen
// creates it before first use.
#include "catalog/CatalogScreen.h"

namespace kv {

class TFrmMeseros : public CatalogScreen {
    Q_OBJECT
public:
    explicit TFrmMeseros(Connection& db, QWidget* parent = nullptr);
    // The list of waiters. Cédulas run to ten digits, so the range ends at 9999999999.
    static CatalogList listDescription();
};

}  // namespace kv
