#pragma once
// A small shop for the order tests: two companies, so an order shows which parameter row it
// stands on; cashiers of the levels that matter; customers; products with and without barcodes.
#include "data/Connection.h"
#include "orders/UntDmPedidos.h"
#include "support/TestDb.h"

#include <memory>

namespace kvtest {

// POSESQUEMA   LLAVE 1: company 01, document COT, branch 3
//              LLAVE 2: company 02, document PED, branch 4
// POSCAJAS     1 -> company 1, 2 -> company 2
// POSCAJEROS   11 level V on register 1, 22 level V on register 2, 33 level S on register 1,
//              44 level J on register 2; password "1" (33: "clave")
// PROVEEDORES  222222222 CLIENTES VARIOS, 800100 FERRETERIA LA 14
// PRODUCTOS    1 TORNILLO 1250.50, barcode 7701234000011, IVA 19
//              2 TUERCA   300,  no barcode, no IVA
//              3 ARANDELA 2.5,  barcode 7701234000035
void seedOrderShop(kv::Connection& db);

class OrdersTest : public DbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the customer cursor on the NIT and starts an order; returns its number.
    int startOrder(double nit = 222222222);
    // A line as the order screen stores it: product, quantity, price, discount percentage.
    void addLine(int producto, double cantidad, double precio, double porcentaje = 0);
    QVariant header(const QString& column, int numero, const QString& empresa = QStringLiteral("02"),
                    const QString& documento = QStringLiteral("PED"));

    std::unique_ptr<kv::TDmPedidos> dm;
};

}  // namespace kvtest
