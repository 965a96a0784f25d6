#include "catalog/ProductExport.h"

#include "common/Numbers.h"
#include "platform/Workbook.h"

#include <QSqlRecord>

namespace kv {

namespace {

constexpr int kProgressEvery = 250;

QString orderBy(const ProductExportChoice& c)
{
    return c.alfabetico ? QStringLiteral(" ORDER BY Productos.NOMBRE, Productos.PRODUCTO")
                        : QStringLiteral(" ORDER BY Productos.PRODUCTO");
}

}  // namespace

const QList<ProductExport::Column>& ProductExport::columns()
{
    static const QList<Column> list{
        {QStringLiteral("Codigo"), QStringLiteral(" Productos.CODIGO, ")},
        {QStringLiteral("Grupo"), QStringLiteral(" Productos.GRUPO, ")},
        {QStringLiteral("Sub Grupo"), QStringLiteral(" Productos.SUBGRUPO, ")},
        {QStringLiteral("Referencia"), QStringLiteral(" Productos.REFERENCIA, ")},
        {QStringLiteral("Nombre"), QStringLiteral(" Productos.NOMBRE,")},
        {QStringLiteral("Unidad Venta"), QStringLiteral(" Productos.UNIDAD, ")},
        {QStringLiteral("Cantdad Minima"), QStringLiteral(" Productos.CANTIDADMINIMA,")},
        {QStringLiteral("Cantdad Maxima"), QStringLiteral(" Productos.CANTIDADMAXIMA, ")},
        {QStringLiteral("Punto de Pedido"), QStringLiteral(" Productos.PUNTOPEDIDO,")},
        {QStringLiteral("Codigo Barras"), QStringLiteral(" Productos.CODIGOBARRAS, ")},
        {QStringLiteral("Precio"), QStringLiteral(" Productos.VALORUNIDAD, ")},
        {QStringLiteral("% Iva"), QStringLiteral(" Productos.VALORIVA, ")},
        // The price net of IVA: a price that includes IVA is divided by 1 + the rate; any other
        // is already net.
        {QStringLiteral("Valor sin Iva"),
         QStringLiteral(" CASE WHEN Productos.PRECIOMASIVA = 'S' AND Productos.VALORIVA > 0"
                        " THEN ROUND(Productos.VALORUNIDAD / (1 + Productos.VALORIVA / 100.0), 2)"
                        " ELSE Productos.VALORUNIDAD END VALORSINIVA, ")},
        {QStringLiteral("Titulo"), QStringLiteral(" Productos.TITULO, ")},
        {QStringLiteral("Autor o Fabricante"), QStringLiteral(" Productos.AUTOR, ")},
        {QStringLiteral("Tema"), QStringLiteral(" Productos.TEMA, ")},
        {QStringLiteral("Lote"), QStringLiteral(" Productos.LOTE, ")},
        {QStringLiteral("Editorial"), QStringLiteral(" Productos.EDITORIAL, ")},
        {QStringLiteral("Cantidad Empaque"), QStringLiteral(" Productos.CANTIDADEMPACADA, ")},
        {QStringLiteral("Cuentas"),
         QStringLiteral(" Productos.PROSACUENTADB,  Productos.PROSACUENTACR,  Productos.CUENTACONTABLEC, "
                        " Productos.CUENTACONTABLE,  Productos.CUENTACONTABLECOSTO, ")},
    };
    return list;
}

QString ProductExport::sql(const ProductExportChoice& c)
{
    QString s = QStringLiteral(" SELECT Productos.PRODUCTO,");
    for (const Column& col : columns())
        if (c.columns.contains(col.caption))
            s += col.pieces;
    // The range is bound, never spliced into the text.
    s += QStringLiteral(" '.' ") + QStringLiteral(" FROM PRODUCTOS Productos") +
         QStringLiteral(" WHERE (  Productos.PRODUCTO >= :DESDE )AND       (  Productos.PRODUCTO <= :HASTA )");
    return s + orderBy(c);
}

QVariantMap ProductExport::params(const ProductExportChoice& c)
{
    return {{QStringLiteral("DESDE"), c.desde}, {QStringLiteral("HASTA"), c.hasta}};
}

int ProductExport::write(Connection& db, Workbook& wb, const ProductExportChoice& c, const ExportProgress& progress)
{
    // The prices come with their product in the same query (a left join, in unit order), so one
    // read serves every product instead of a read per product.
    QString select = sql(c);
    const int orderAt = select.lastIndexOf(QStringLiteral(" ORDER BY"));
    QString sqlText = select.left(orderAt);
    if (c.precios) {
        sqlText.replace(QStringLiteral(" '.'  FROM PRODUCTOS Productos"),
                        QStringLiteral(" '.' , Precio.UNIDAD KVPUNIDAD, Precio.CANTIDAD KVPCANTIDAD,"
                                       " Precio.VALORVENTAMOSTRADOR KVPMOSTRADOR, Precio.VALORVENTAEMPRESA KVPEMPRESA"
                                       " FROM PRODUCTOS Productos"
                                       " LEFT JOIN PRODUCTOSVALORVENTA Precio ON (Precio.PRODUCTO = Productos.PRODUCTO)"));
        sqlText += orderBy(c) + QStringLiteral(", Precio.UNIDAD");
    } else {
        sqlText += orderBy(c);
    }
    QSqlQuery q = db.exec(sqlText, params(c));
    const QSqlRecord rec = q.record();
    const int listed = c.precios ? rec.count() - 4 : rec.count();
    for (int i = 0; i < listed; ++i)
        wb.setText(1, i + 1, rec.fieldName(i));

    int row = 1, products = 0, priceColumn = 0;
    QVariant current;
    bool more = db.next(q);
    while (more) {
        const QVariant producto = q.value(0);
        if (!current.isValid() || producto != current) {
            current = producto;
            ++row;
            ++products;
            for (int i = 0; i < listed; ++i) {
                QVariant v = q.value(i);
                if (v.typeId() == QMetaType::QString)
                    v = v.toString().trimmed();
                wb.setValue(row, i + 1, v);
            }
            priceColumn = listed + 2;  // one empty column after the product's own
            if (progress && products % kProgressEvery == 1 &&
                !progress(products, QStringLiteral("Procesando Concepto [") + producto.toString() + QLatin1Char(']')))
                return -1;
        }
        // The price columns follow the listed ones: unit, quantity, counter and company prices.
        if (c.precios && !q.value(listed).isNull()) {
            wb.setText(row, priceColumn,
                       q.value(listed).toString().trimmed() + QStringLiteral(" * ") + FloatToStr(q.value(listed + 1).toDouble()));
            wb.setValue(row, priceColumn + 1, q.value(listed + 2));
            wb.setValue(row, priceColumn + 2, q.value(listed + 3));
            priceColumn += 4;  // the next unit after one more empty column
        }
        more = db.next(q);
    }
    if (progress && !progress(products, QStringLiteral("Procesando Concepto [") + current.toString() + QLatin1Char(']')))
        return -1;
    return products;
}

}  // namespace kv
