#include "TaxTable.h"

#include <QSqlQuery>
#include <cmath>
#include <gtest/gtest.h>

namespace kvtest {

void seedTaxTable(kv::Connection& db)
{
    kv::Transaction t(db);
    db.exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD) "
            "SELECT '6', GRUPO, SUBGRUPO, 6, 'LECHE', 'UN' FROM PRODUCTOS WHERE PRODUCTO = 1");
    db.exec("DELETE FROM PRODUCTOSVALORVENTA");
    for (const TaxCase& c : kTaxCases) {
        const QVariantMap p{{"P", c.producto}, {"PRECIO", c.precio}, {"IVA", c.iva},
                            {"M", c.incluido ? "S" : "N"}, {"IPO", c.ipoconsumo}};
        db.exec("UPDATE PRODUCTOS SET VALORUNIDAD = :PRECIO, VALORIVA = :IVA, PRECIOMASIVA = :M, IPOCONSUMO = :IPO "
                "WHERE PRODUCTO = :P", p);
        db.exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA) "
                "VALUES (:P, 'UN', 1, :PRECIO, :PRECIO)", p);
    }
    t.commit();
}

void expectTaxesAddUp(kv::Connection& db, int numero)
{
    double neto = 0, iva = 0;
    int found = 0;
    QSqlQuery q = db.exec("SELECT PRODUCTO, SUBTOTAL, VALORIVA, VALORIPOCONSUMO, IVA, IPOCONSUMO, VALORDESCUENTO "
                          "FROM POSMOVIMIENTODETALLE WHERE CONSECUTIVO = :N", {{"N", numero}});
    while (q.next()) {
        const int producto = q.value(0).toInt();
        const double subtotal = q.value(1).toDouble(), valorIva = q.value(2).toDouble(),
                     valorIpo = q.value(3).toDouble(), rateIva = q.value(4).toDouble(),
                     rateIpo = q.value(5).toDouble(), descuento = q.value(6).toDouble();
        for (const TaxCase& c : kTaxCases) {
            if (c.producto != producto)
                continue;
            SCOPED_TRACE(c.nombre);
            ++found;
            EXPECT_DOUBLE_EQ(subtotal, c.subtotal);
            EXPECT_DOUBLE_EQ(valorIva, c.valorIva);
            EXPECT_DOUBLE_EQ(valorIpo, c.valorIpoconsumo);
            EXPECT_DOUBLE_EQ(rateIva, c.iva);  // the rate travels with the tax, included or added
            EXPECT_DOUBLE_EQ(rateIpo, c.ipoconsumo);
            // What the tax authority checks: tax = base x rate, within the rounding of a base to
            // whole pesos (half a peso times 1 + the rate) or of the tax itself (half a peso).
            const double base = subtotal - descuento - valorIva - valorIpo;
            EXPECT_LE(std::abs(base * rateIva / 100 - valorIva), 0.5 * (1 + rateIva / 100)) << base;
            EXPECT_LE(std::abs(base * rateIpo / 100 - valorIpo), 0.5 * (1 + rateIpo / 100)) << base;
        }
        neto += subtotal;
        iva += valorIva;
    }
    EXPECT_EQ(found, int(std::size(kTaxCases)));
    QSqlQuery h = db.exec("SELECT NETO, IVA FROM POSMOVIMIENTO WHERE CONSECUTIVO = :N", {{"N", numero}});
    ASSERT_TRUE(h.next());
    EXPECT_DOUBLE_EQ(h.value(0).toDouble(), neto);
    EXPECT_DOUBLE_EQ(h.value(1).toDouble(), iva);
    EXPECT_DOUBLE_EQ(neto, 55486);  // what the customer pays: the prices, with the added IVA on top
}

}  // namespace kvtest
