#include "RegisterFixture.h"

#include <QTest>

namespace kvtest {

void seedRegister(kv::Connection& db)
{
    seedShop(db);
    kv::Transaction t(db);
    db.exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('UN', 'Unidad')");
    db.exec("INSERT INTO UNIDADES (UNIDAD, NOMBRE) VALUES ('DO', 'Docena')");
    struct Precio { int producto; const char* unidad; double cantidad, mostrador, empresa; };
    for (const Precio& p : {Precio{4, "DO", 12, 24000, 22000}, Precio{4, "UN", 1, 2000, 1800}, Precio{1, "UN", 1, 11600, 11000},
                            Precio{3, "UN", 1, 0, 0}, Precio{5, "UN", 1, 10001, 10001}})
        db.exec("INSERT INTO PRODUCTOSVALORVENTA (PRODUCTO, UNIDAD, CANTIDAD, VALORVENTAMOSTRADOR, VALORVENTAEMPRESA) "
                "VALUES (:P, :U, :C, :M, :E)",
                {{"P", p.producto}, {"U", p.unidad}, {"C", p.cantidad}, {"M", p.mostrador}, {"E", p.empresa}});
    db.exec("UPDATE PRODUCTOS SET CODIGOBARRAS = :B, VALORUNIDAD = 11600 WHERE PRODUCTO = 1", {{"B", kArrozBarcode}});
    db.exec("UPDATE PRODUCTOS SET VALORUNIDAD = 2000 WHERE PRODUCTO = 4");
    db.exec("INSERT INTO SALDOS (EMPRESA, PRODUCTO, SALDO) VALUES ('01', 4, 30)");
    // Register 1 was opened today, so its sale screen does not ask the opening amount.
    db.exec("INSERT INTO POSARQUEO (CAJA, CAJERO, FECHA, INCIO) VALUES (1, 11, :HOY, 100000)",
            {{"HOY", QDateTime(QDate::currentDate(), QTime(0, 0))}});
    t.commit();
}

void RegisterTest::SetUp()
{
    DbTest::SetUp();
    seedRegister(*db);
    dm = std::make_unique<kv::TDmVentas>(*db);
    ASSERT_TRUE(dm->signOn(11));
    screen = std::make_unique<kv::TFrmVentaCajaVp>(*dm);
    showActive(screen.get());
}

void RegisterTest::TearDown()
{
    screen.reset();
    dm.reset();
    DbTest::TearDown();
}

void RegisterTest::setCashier(const char* column, const QString& value)
{
    db->exec(QStringLiteral("UPDATE POSCAJEROS SET %1 = :V WHERE CEDULA = 11").arg(QLatin1String(column)), {{"V", value}});
    dm->TCajero.Refresh();
    ASSERT_TRUE(dm->signOn(11));
}

void RegisterTest::startSale(const QString& customer) { typeInto(screen->EditCliente, customer, true); }

void RegisterTest::ringUp(const QString& code, int downs, const QString& quantity)
{
    typeInto(screen->EditProducto, code, true);
    if (!screen->RadioEmpaque->hasFocus())
        return;  // the product was refused
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(screen->RadioEmpaque, Qt::Key_Down);
    QTest::keyClick(screen->RadioEmpaque, Qt::Key_Return);
    typeInto(screen->EditCantidad, quantity, true);
}

int RegisterTest::lines() { return db->scalar("SELECT COUNT(*) FROM POSMOVIMIENTODETALLE").toInt(); }

double RegisterTest::stored(const QString& sql, const QVariantMap& params) { return db->scalar(sql, params).toDouble(); }

}  // namespace kvtest
