#pragma once
// The small shop of ShopFixture with what closing a sale needs around it: the drawer pulse written to
// a file, invoices printed as PDF files into a folder, and the currencies with today's dollar rate.
#include "../ShopFixture.h"
#include "platform/EnvScope.h"
#include "pos/UntDmVentas.h"
#include "support/TestDb.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace kvtest {

// MONEDA        1 PESO COLOMBIANO, USD DOLAR, EUR EURO
// TASACAMBIO    USD today: VALOR 4,100, TASACAMBIO 4,000 (pesos for one dollar); USD yesterday 3,000;
//               no rate for EUR
class PaymentTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedShop(*db);
        db->exec("INSERT INTO MONEDA (CODIGOMONEDA, DESCRIPCION) VALUES ('1', 'PESO COLOMBIANO')");
        db->exec("INSERT INTO MONEDA (CODIGOMONEDA, DESCRIPCION) VALUES ('USD', 'DOLAR')");
        db->exec("INSERT INTO MONEDA (CODIGOMONEDA, DESCRIPCION) VALUES ('EUR', 'EURO')");
        const QDate today = QDate::currentDate();
        db->exec("INSERT INTO TASACAMBIO (CODIGOMONEDA, FECHA, VALOR, TASACAMBIO) VALUES ('USD', :F, 4100, 4000)",
                 {{"F", QDateTime(today, QTime(8, 30))}});
        db->exec("INSERT INTO TASACAMBIO (CODIGOMONEDA, FECHA, VALOR, TASACAMBIO) VALUES ('USD', :F, 3100, 3000)",
                 {{"F", QDateTime(today.addDays(-1), QTime(8, 30))}});
        drawerFile = dir.filePath(QStringLiteral("cajon.bin"));
        printDir = dir.filePath(QStringLiteral("facturas"));
        QDir().mkpath(printDir);
        raw = std::make_unique<EnvScope>("KORVELA_RAW_TO", drawerFile.toUtf8());
        printTo = std::make_unique<EnvScope>("KORVELA_PRINT_TO", printDir.toUtf8());
        dm = std::make_unique<kv::TDmVentas>(*db);
        ASSERT_TRUE(dm->signOn(11));
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    // A new document of company 01, type POS with one line of that amount, current in the module.
    int sale(double amount)
    {
        const int n = startDocument(*dm);
        EXPECT_TRUE(ringUp(*dm, {.producto = 4, .precio = amount}));
        return n;
    }
    // A column of document `numero` of company 01, type POS as stored (text without its blanks).
    QVariant stored(int numero, const char* column)
    {
        const QVariant v = db->scalar(QStringLiteral("SELECT %1 FROM POSMOVIMIENTO WHERE EMPRESA = '01' AND DOCUMENTO = "
                                                     "'POS' AND CONSECUTIVO = :N")
                                          .arg(QLatin1String(column)),
                                      {{"N", numero}});
        return !v.isNull() && v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
    }
    QByteArray drawerBytes()
    {
        QFile f(drawerFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int pdfs() const { return int(QDir(printDir).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }

    QString drawerFile, printDir;
    std::unique_ptr<EnvScope> raw, printTo;
    std::unique_ptr<kv::TDmVentas> dm;
};

}  // namespace kvtest
