#include "ShopFixture.h"

#include "data/Dataset.h"
#include "einvoice/Certificate.h"

namespace kvtest {

void seedShop(kv::Connection& db)
{
    kv::Transaction t(db);
    db.exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, MONEDA) VALUES ('POS', 'FACTURA POS', 'COP')");
    db.exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, MONEDA) VALUES ('PRS', 'FACTURA RESTAURANTE', 'USD')");
    struct Esquema { int llave, sucursal; const char* documento; const char* empresa; };
    for (const Esquema& e : {Esquema{1, 3, "POS", "01"}, Esquema{2, 4, "PRS", "02"}, Esquema{3, 5, "XX", "03"}})
        db.exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (:L, :S, :D, :E)",
                {{"L", e.llave}, {"S", e.sucursal}, {"D", e.documento}, {"E", e.empresa}});

    struct Caja { double caja; QVariant empresa; };
    QList<Caja> cajas = {{1, 1}, {2, 2}, {3, 3}, {8, 8}, {9, QVariant()}};
    for (int i = 101; i <= 104; ++i)
        cajas.append({double(i), 1});
    for (const Caja& c : cajas)
        db.exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (:C, :N, :E)",
                {{"C", c.caja}, {"N", QStringLiteral("CAJA %1").arg(c.caja)}, {"E", c.empresa}});

    struct Cajero { double cedula; double caja; };
    QList<Cajero> cajeros = {{11, 1}, {22, 2}, {33, 3}, {88, 8}, {99, 9}, {77, 70}};
    for (int i = 101; i <= 104; ++i)
        cajeros.append({double(i), double(i)});
    for (const Cajero& c : cajeros)
        db.exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, IMPRIMIR, COBRA, CAMBIAPRECIO) "
                "VALUES (:C, :N, '1', 'V', :CAJA, 'F', 'S', 'N')",
                {{"C", c.cedula}, {"N", QStringLiteral("CAJERO %1").arg(c.cedula)}, {"CAJA", c.caja}});

    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (222222222, '1', 'CLIENTES VARIOS')");

    struct Producto { int producto; const char* nombre; double iva; const char* masIva; double ipo; };
    const Producto productos[] = {{1, "ARROZ", 16, "S", 0}, {2, "VINO", 16, "N", 0}, {3, "ALMUERZO", 0, "N", 8},
                                  {4, "TINTO", 0, "N", 0}, {5, "JABON", 5, "S", 0}};
    for (const Producto& p : productos)
        db.exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORIVA, PRECIOMASIVA, "
                "IPOCONSUMO) VALUES (:C, '01', 1, :P, :N, 'UN', :IVA, :M, :IPO)",
                {{"C", QString::number(p.producto)}, {"P", p.producto}, {"N", p.nombre}, {"IVA", p.iva},
                 {"M", p.masIva}, {"IPO", p.ipo}});
    t.commit();
}

kv::ElectronicSettings issueDocuments(kv::Connection& db, const QString& certificate)
{
    kv::makeTestCertificate(certificate, "clave", "TIENDA UNO SAS", "900123456", QDateTime::currentDateTimeUtc().addDays(-1), 365);
    kv::ElectronicSettings s;
    s.empresa = "01";
    s.activo = true;
    s.ambiente = 2;
    s.softwareId = "soft-1";
    s.softwarePin = "12345";
    s.certificado = certificate;
    s.claveCertificado = "clave";
    s.resolucion = "18760000001";
    s.prefijo = "SETP";
    s.rangoDesde = 1;
    s.rangoHasta = 1000;
    s.fechaDesde = QDate::currentDate().addDays(-10);
    s.fechaHasta = QDate::currentDate().addYears(1);
    s.proveedorNit = "900123456";
    kv::saveElectronicSettings(db, s);
    return s;
}

int startDocument(kv::TDmVentas& dm, double cliente)
{
    kv::ClienteActual = cliente;
    return dm.startDocument();
}

QVariantMap lineValues(const SaleLine& l)
{
    return {{"PRODUCTO", l.producto},
            {"BUSCADOR", QString::number(l.producto)},
            {"UNIDADMOVIMIENTO", l.unidad},
            {"IVA", l.iva > 0 ? QVariant(l.iva) : QVariant()},
            {"IPOCONSUMO", l.ipoconsumo > 0 ? QVariant(l.ipoconsumo) : QVariant()},
            {"PRECIOUNIDAD", l.precio},
            {"CANTIDAD", l.cantidad},
            {"PORCENTAJEDESCUENTO", 0.0},
            {"DESCUENTO", 0.0},
            {"VALORDESCUENTO", l.descuento}};
}

bool ringUp(kv::TDmVentas& dm, const SaleLine& l) { return dm.addLine(lineValues(l)); }

int headersUnlikeTheirLines(kv::Connection& db)
{
    return db.scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM POSMOVIMIENTO H LEFT JOIN (SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, "
                         "SUM(SUBTOTAL) S, SUM(VALORIVA) I, SUM(VALORDESCUENTO) D FROM POSMOVIMIENTODETALLE "
                         "GROUP BY EMPRESA, DOCUMENTO, CONSECUTIVO) L ON L.EMPRESA = H.EMPRESA AND "
                         "L.DOCUMENTO = H.DOCUMENTO AND L.CONSECUTIVO = H.CONSECUTIVO "
                         "WHERE ABS(COALESCE(H.SUBTOTAL, 0) - COALESCE(L.S, 0)) > 0.001 "
                         "OR ABS(COALESCE(H.NETO, 0) - COALESCE(L.S, 0)) > 0.001 "
                         "OR ABS(COALESCE(H.PAGO, 0) - COALESCE(L.S, 0)) > 0.001 "
                         "OR ABS(COALESCE(H.IVA, 0) - COALESCE(L.I, 0)) > 0.001 "
                         "OR ABS(COALESCE(H.DESCUENTO, 0) - COALESCE(L.D, 0)) > 0.001"))
        .toInt();
}

int documentsWithMissingLines(kv::Connection& db)
{
    return db.scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM (SELECT EMPRESA, DOCUMENTO, CONSECUTIVO FROM POSMOVIMIENTODETALLE "
                         "GROUP BY EMPRESA, DOCUMENTO, CONSECUTIVO HAVING MAX(LINEA) <> COUNT(*) OR MIN(LINEA) <> 1)"))
        .toInt();
}

}  // namespace kvtest
