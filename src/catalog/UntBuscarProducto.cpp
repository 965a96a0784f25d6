#include "catalog/UntBuscarProducto.h"

#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QHBoxLayout>
#include <QLineEdit>

namespace kv {

QString CodigoBuscado;
int ProductoBuscado = 0;

namespace {
const char* const kOrderFields[] = {"PRODUCTO", "NOMBRE", "REFERENCIA", "TITULO", "AUTOR", "EDITORIAL", "TEMA", "LOTE"};
}

QString TFrmBuscarProducto::orderField(int orden)
{
    return orden >= Producto && orden <= Lote ? QString::fromLatin1(kOrderFields[orden]) : QString();
}

TFrmBuscarProducto::TFrmBuscarProducto(Connection& db, QWidget* parent) : ProductSearch(db, parent)
{
    setObjectName(QStringLiteral("FrmBuscarProducto"));
    setWindowTitle(QStringLiteral("FrmBuscarProducto"));
    setAccessibleName(QStringLiteral("FrmBuscarProducto"));

    RadioGroup1 = new RadioGroup(QStringLiteral("Selección"),
                                 {QStringLiteral("Producto"), QStringLiteral("Nombre"), QStringLiteral("Referencia"),
                                  QStringLiteral("Titulo"), QStringLiteral("Autor"), QStringLiteral("Editorial"),
                                  QStringLiteral("Tema"), QStringLiteral("Lote")},
                                 3, this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setItemIndex(Producto);
    top_->addWidget(RadioGroup1);

    DBGrid1->setColumns({{QStringLiteral("CODIGO"), QStringLiteral("Codigo"), QString(), true, 12},
                         {QStringLiteral("PRODUCTO"), QStringLiteral("Producto"), QString(), true, 8},
                         {QStringLiteral("REFERENCIA"), QStringLiteral("Referencia"), QString(), true, 14},
                         {QStringLiteral("NOMBRE"), QStringLiteral("Nombre Producto"), QString(), true, 34},
                         {QStringLiteral("UNIDAD"), QStringLiteral("Unidad"), QString(), true, 7},
                         {QStringLiteral("VALORUNIDAD"), QStringLiteral("Valor Unidad"), QStringLiteral("###,###.00."), true, 12},
                         {QStringLiteral("VALORIVA"), QStringLiteral("Valor Iva"), QStringLiteral("###,###.000."), true, 8},
                         {QStringLiteral("TITULO"), QStringLiteral("Titulo"), QString(), true, 24},
                         {QStringLiteral("AUTOR"), QStringLiteral("Autor"), QString(), true, 20},
                         {QStringLiteral("EDITORIAL"), QStringLiteral("Editorial"), QString(), true, 16},
                         {QStringLiteral("TEMA"), QStringLiteral("Tema"), QString(), true, 16},
                         {QStringLiteral("LOTE"), QStringLiteral("Lote"), QString(), true, 12}});

    TbProductos.setIndexFieldNames(QStringLiteral("PRODUCTO"));
    TbProductos.Open();

    connect(EditNit, &QLineEdit::textChanged, this, &TFrmBuscarProducto::EditNitChange);
    connect(RadioGroup1, &RadioGroup::itemChosen, this, &TFrmBuscarProducto::RadioGroup1Click);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

void TFrmBuscarProducto::EditNitChange()
{
    // The nearest product: the first whose ordering column equals the text or sorts after it. In
    // product number order the text must be a number; otherwise the conversion's message is shown
    // and the box keeps what was typed.
    const QString text = EditNit->text();
    guarded([this, &text] {
        if (text.isEmpty())
            TbProductos.First();
        else
            TbProductos.FindNearest({text});
    });
}

void TFrmBuscarProducto::RadioGroup1Click()
{
    const QString f = orderField(RadioGroup1->itemIndex());
    if (!f.isEmpty())
        guarded([this, &f] { TbProductos.setIndexFieldNames(f); });
}

void TFrmBuscarProducto::done(int r)
{
    CodigoBuscado = currentCodigoBarras();
    ProductoBuscado = currentProducto();
    QDialog::done(r);
}

}  // namespace kv
