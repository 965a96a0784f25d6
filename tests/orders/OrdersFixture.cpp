#include "OrdersFixture.h"

namespace kvtest {

void seedOrderShop(kv::Connection& db)
{
    kv::Transaction t(db);
    db.exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (1, 3, 'COT', '01')");
    db.exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (2, 4, 'PED', '02')");
    for (int caja : {1, 2})
        db.exec("INSERT INTO POSCAJAS (CAJA, NOMBRE, EMPRESA) VALUES (:C, :N, :C)",
                {{"C", caja}, {"N", QStringLiteral("MOSTRADOR %1").arg(caja)}});
    struct Cajero { int cedula; const char* nivel; int caja; const char* clave; };
    for (const Cajero& c : {Cajero{11, "V", 1, "1"}, Cajero{22, "V", 2, "1"}, Cajero{33, "S", 1, "clave"},
                            Cajero{44, "J", 2, "1"}})
        db.exec("INSERT INTO POSCAJEROS (CEDULA, NOMBRE, CLAVE, NIVEL, CAJA, IMPRIMIR, COBRA, CAMBIAPRECIO) "
                "VALUES (:C, :N, :K, :L, :CAJA, 'S', 'S', 'S')",
                {{"C", c.cedula}, {"N", QStringLiteral("VENDEDOR %1").arg(c.cedula)}, {"K", c.clave}, {"L", c.nivel},
                 {"CAJA", c.caja}});
    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (222222222, '1', 'CLIENTES VARIOS')");
    db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE) VALUES (800100, '7', 'FERRETERIA LA 14')");
    struct Producto { int producto; const char* nombre; double precio; const char* barras; double iva; };
    for (const Producto& p : {Producto{1, "TORNILLO", 1250.50, "7701234000011", 19}, Producto{2, "TUERCA", 300, "", 0},
                              Producto{3, "ARANDELA", 2.5, "7701234000035", 0}})
        db.exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, NOMBRE, UNIDAD, VALORUNIDAD, CODIGOBARRAS, "
                "VALORIVA, PRECIOMASIVA) VALUES (:C, '01', 1, :P, :N, 'UN', :V, :B, :IVA, 'N')",
                {{"C", QString::number(p.producto)}, {"P", p.producto}, {"N", p.nombre}, {"V", p.precio},
                 {"B", *p.barras ? QVariant(p.barras) : QVariant()}, {"IVA", p.iva}});
    t.commit();
}

void OrdersTest::SetUp()
{
    DbTest::SetUp();
    seedOrderShop(*db);
    dm = std::make_unique<kv::TDmPedidos>(*db);
    ASSERT_TRUE(dm->signOn(22));
}

void OrdersTest::TearDown()
{
    dm.reset();
    DbTest::TearDown();
}

int OrdersTest::startOrder(double nit)
{
    EXPECT_TRUE(dm->TCliente.Locate(QStringLiteral("NIT"), nit));
    return dm->startDocument();
}

void OrdersTest::addLine(int producto, double cantidad, double precio, double porcentaje)
{
    dm->addLine({{"PRODUCTO", producto},
                 {"BUSCADOR", QString::number(producto)},
                 {"CANTIDAD", cantidad},
                 {"PRECIOUNIDAD", precio},
                 {"PORCENTAJEDESCUENTO", porcentaje}});
}

QVariant OrdersTest::header(const QString& column, int numero, const QString& empresa, const QString& documento)
{
    return db->scalar(QStringLiteral("SELECT %1 FROM POSREMISIONES WHERE EMPRESA = :E AND DOCUMENTO = :D AND "
                                     "CONSECUTIVO = :N")
                          .arg(column),
                      {{"E", empresa}, {"D", documento}, {"N", numero}});
}

}  // namespace kvtest
