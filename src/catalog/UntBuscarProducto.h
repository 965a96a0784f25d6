#pragma once
// General product search ("FrmBuscarProducto"), opened by the invoice change window and the order
// screen with a double click on a line's product code. Eight orders; every keystroke moves to the
// nearest product in the chosen order.
//
//     TFrmBuscarProducto dlg(db, this);
//     dlg.exec();
//     line.BUSCADOR = CodigoBuscado.isEmpty() ? QString::number(ProductoBuscado) : CodigoBuscado;
//     line.PRODUCTO = ProductoBuscado;
//
// Whichever way the dialog closes (Enter, OK, cancel, double click, Esc), the values are those of
// the product under the cursor; an empty list gives 0 and "".
#include "catalog/ProductSearch.h"

namespace kv {

// CODIGOBARRAS of the general search's product; the alphabetical search puts its PRODUCTO as text.
extern QString CodigoBuscado;
// PRODUCTO of the general search's product.
extern int ProductoBuscado;

class RadioGroup;

class TFrmBuscarProducto : public ProductSearch {
    Q_OBJECT
public:
    // The orders of "Selección", in its item order.
    enum Orden { Producto, Nombre, Referencia, Titulo, Autor, Editorial, Tema, Lote };

    explicit TFrmBuscarProducto(Connection& db, QWidget* parent = nullptr);
    static QString orderField(int orden);

    RadioGroup* RadioGroup1;  // "Selección"

public slots:
    void EditNitChange() override;
    void RadioGroup1Click();

protected:
    void done(int r) override;
};

}  // namespace kv
