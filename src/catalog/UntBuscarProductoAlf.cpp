#include "catalog/UntBuscarProductoAlf.h"

#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QLineEdit>

namespace kv {

int ProductoBuscadoAlf = 0;

TFrmBuscarProductoAlf::TFrmBuscarProductoAlf(Connection& db, QWidget* parent) : ProductSearch(db, parent)
{
    setObjectName(QStringLiteral("FrmBuscarProductoAlf"));
    setWindowTitle(QStringLiteral("Bucar productos Orden Alfabetico"));
    setAccessibleName(QStringLiteral("Bucar productos Orden Alfabetico"));

    // The last column is the consumption tax, as its title says.
    DBGrid1->setColumns({{QStringLiteral("PRODUCTO"), QStringLiteral("Producto"), QString(), true, 8},
                         {QStringLiteral("NOMBRE"), QStringLiteral("Nombre Producto"), QString(), true, 38},
                         {QStringLiteral("UNIDAD"), QStringLiteral("Unidad"), QString(), true, 7},
                         {QStringLiteral("VALORUNIDAD"), QStringLiteral("Valor Unidad"), QStringLiteral("###,###.00."), true, 12},
                         {QStringLiteral("IPOCONSUMO"), QStringLiteral("Ipoconsumo"), QStringLiteral("###,###."), true, 11}});

    TbProductos.setIndexFieldNames(QStringLiteral("NOMBRE"));
    TbProductos.Open();

    connect(EditNit, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const QString upper = typed.toUpper();
        if (upper != typed) {
            const int pos = EditNit->cursorPosition();
            EditNit->setText(upper);
            EditNit->setCursorPosition(pos);
        }
    });
    connect(EditNit, &QLineEdit::textChanged, this, &TFrmBuscarProductoAlf::EditNitChange);
}

void TFrmBuscarProductoAlf::EditNitChange()
{
    // A prefix match on the name, with the text as a bound value: quotes, "%" or "_" in it are
    // looked for as they are.
    const QString text = EditNit->text().toUpper();
    guarded([this, &text] {
        if (text.isEmpty())
            TbProductos.setFilter(QString());
        else
            TbProductos.setFilter(QStringLiteral("NOMBRE STARTING WITH :NOMBRE"), {{QStringLiteral("NOMBRE"), text}});
    });
}

void TFrmBuscarProductoAlf::done(int r)
{
    ProductoBuscadoAlf = currentProducto();
    CodigoBuscado = ProductoBuscadoAlf == 0 && TbProductos.IsEmpty() ? QString() : QString::number(ProductoBuscadoAlf);
    QDialog::done(r);
}

}  // namespace kv
