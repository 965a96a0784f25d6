#include "InvoiceFixture.h"

namespace kvtest {

void seedInvoiceShop(kv::Connection& db)
{
    kv::Transaction t(db);
    db.exec("INSERT INTO REGISTRO (NOMBRE, NIT, DIRECCION, TELEFONOS, EMAIL) VALUES ('TIENDA LA ESQUINA', 900123456, "
            "'CRA 7 # 12-30', '601 2345678', 'ventas@laesquina.co')");
    db.exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE, NIT) VALUES ('01', 'LA ESQUINA SAS', '900123456')");
    db.exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, MONEDA, PREFIJO, RESOLUCIONFACTURACION) "
            "VALUES ('POS', 'FACTURA POS', '1', 'TDA', 'RESOLUCION DIAN 1234 DEL 2024')");
    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE, DIRECCION, TELEFONO, FECHANACIMIENTO, PADRE) VALUES "
            "(79456123, '0', 'JOSE PEREZ', 'CALLE 10 # 3-21', '310 4567890', '1968-03-15', 900654321)");
    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (900654321, '2', 'HOTEL LOS CEDROS')");
    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (1015, '5', 'LAURA GOMEZ')");
    db.exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('UN', 'UNIDAD')");
    db.exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('CJ', 'CAJA')");
    struct Producto { int producto; const char* nombre; double iva; double ipo; };
    const Producto productos[] = {{1, "ARROZ", 0, 0}, {2, "GASEOSA", 19, 0}, {3, "ACEITE", 5, 0},
                                  {4, "ALMUERZO", 0, 8}, {5, "VINO", 16, 0}};
    for (const Producto& p : productos) {
        db.exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORIVA, PRECIOMASIVA, "
                "IPOCONSUMO) VALUES (:C, '01', 1, :P, :N, 'UN', :IVA, 'S', :IPO)",
                {{"C", QString::number(p.producto)}, {"P", p.producto}, {"N", p.nombre}, {"IVA", p.iva}, {"IPO", p.ipo}});
        db.exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD) VALUES (:P, 'UN', 1)", {{"P", p.producto}});
    }
    db.exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD) VALUES (2, 'CJ', 24)");
    for (int i = 1; i <= 8; ++i) {
        db.exec("INSERT INTO POSLINEATOP (LINEA, DETALLE, TIPO) VALUES (:L, :D, 'C')",
                {{"L", i}, {"D", QStringLiteral("ENCABEZADO %1").arg(i)}});
        db.exec("INSERT INTO POSLINEABOTTOM (LINEA, DETALLE, TIPO) VALUES (:L, :D, 'C')",
                {{"L", i}, {"D", QStringLiteral("PIE %1").arg(i)}});
    }
    t.commit();
}

InvoiceLine line(int producto, double cantidad, double precio, double iva, double valorIva)
{
    InvoiceLine l;
    l.producto = producto;
    l.cantidad = cantidad;
    l.precio = precio;
    l.iva = iva;
    l.valorIva = valorIva;
    return l;
}

kv::SaleDocumentKey saveDocument(kv::Connection& db, const InvoiceHeader& h, const QList<InvoiceLine>& lines)
{
    kv::Transaction t(db);
    double subtotal = 0, iva = 0;
    int linea = 0;
    for (const InvoiceLine& l : lines) {
        const double sub = l.subtotal.value_or(l.precio * l.cantidad);
        subtotal += sub;
        iva += l.valorIva;
        db.exec("INSERT INTO POSMOVIMIENTODETALLE (EMPRESA, DOCUMENTO, CONSECUTIVO, LINEA, PRODUCTO, CANTIDAD, "
                "PRECIOUNIDAD, IVA, VALORIVA, SUBTOTAL, UNIDADMOVIMIENTO, IPOCONSUMO, VALORIPOCONSUMO, OBSERVACION, "
                "VALORDESCUENTO, CANTIDADRECIBIDA) VALUES (:E, :D, :C, :L, :P, :CANT, :PRECIO, :IVA, :VIVA, :SUB, :U, "
                ":IPO, :VIPO, :OBS, :VDESC, :CANT)",
                {{"E", h.empresa}, {"D", h.documento}, {"C", h.consecutivo}, {"L", ++linea}, {"P", l.producto},
                 {"CANT", l.cantidad}, {"PRECIO", l.precio}, {"IVA", l.iva}, {"VIVA", l.valorIva}, {"SUB", sub},
                 {"U", l.unidad}, {"IPO", l.ipoconsumo}, {"VIPO", l.valorIpo}, {"VDESC", l.valorDescuento},
                 {"OBS", l.observacion.isEmpty() ? QVariant() : QVariant(l.observacion)}});
    }
    db.exec("INSERT INTO POSMOVIMIENTO (EMPRESA, DOCUMENTO, CONSECUTIVO, BODEGA, FECHA, CLIENTE, FACTURA, STATUS, "
            "SUBTOTAL, DESCUENTO, IVA, NETO, VENDEDOR, PLAZO, TIPODEPAGO, TIPODEPAGODES, CAJA, CAJERO, ABONO, "
            "VALORPROPINA) VALUES (:E, :D, :C, 1, :F, :CLI, :C, 'I', :SUB, :DESC, :IVA, :SUB, :V, :PLAZO, :TP, :TPD, "
            "1, 1, :ABONO, :PROP)",
            {{"E", h.empresa}, {"D", h.documento}, {"C", h.consecutivo}, {"F", h.fecha}, {"CLI", h.cliente},
             {"SUB", subtotal}, {"DESC", h.descuento}, {"IVA", iva}, {"V", h.vendedor}, {"PLAZO", h.plazo},
             {"TP", h.tipoDePago}, {"TPD", h.tipoDePagoDes.isEmpty() ? QVariant() : QVariant(h.tipoDePagoDes)},
             {"ABONO", h.abono}, {"PROP", h.valorPropina}});
    t.commit();
    return {h.empresa, h.documento, h.consecutivo};
}

}  // namespace kvtest
