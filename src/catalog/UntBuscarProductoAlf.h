#pragma once
// Alphabetical product search ("Bucar productos Orden Alfabetico"), opened by the sale screens
// from an empty product box. The list keeps only the products whose name begins with the typed
// text (upper case).
//
//     TFrmBuscarProductoAlf dlg(db, this);
//     dlg.exec();
//     productBox->setText(CodigoBuscado);   // ProductoBuscadoAlf as text, "" on an empty list
//
// A caller may put a text into EditNit before exec() to open on that prefix. Whichever way the
// dialog closes, the values are those of the product under the cursor.
#include "catalog/UntBuscarProducto.h"

namespace kv {

// PRODUCTO of the alphabetical search's product (CodigoBuscado takes it as text).
extern int ProductoBuscadoAlf;

class TFrmBuscarProductoAlf : public ProductSearch {
    Q_OBJECT
public:
    explicit TFrmBuscarProductoAlf(Connection& db, QWidget* parent = nullptr);

public slots:
    void EditNitChange() override;

protected:
    void done(int r) override;
};

}  // namespace kv
